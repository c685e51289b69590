// Field arithmetic over dotted text, as the address box's key filter uses it. Positions are
// 1-based like the filter's other text positions; a caret is the number of characters
// before it. Platform-neutral: no <windows.h>.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel::brennix {

// Position at which the n-th occurrence of `d` in `s` begins (n >= 1); the length of `s`
// plus 1 when `s` holds fewer than n occurrences.
int NthDelimiterPos(std::wstring_view s, std::wstring_view d, int n);

// Highest position k <= p at which `d` starts in `s`, compared lower-cased; 0 when there is
// none or p < 1. An empty `d` stands for one blank.
int LastDelimiterBefore(std::wstring_view s, int p, std::wstring_view d);

// Number of positions 1..p whose character equals, case-insensitively, the character at p
// (p lowered to the length of `s` first); 0 for p < 1.
int OccurrenceIndexAt(std::wstring_view s, int p);

// 0-based index of the field of `s` in which the caret stands, for a one-character `d`.
int FieldIndexAtCaret(std::wstring_view s, int caret, std::wstring_view d);

// The n-th field (0-based) of `s` split at the one-character `d` (an empty `d` stands for
// one blank); an n past the last field gives the last field. No result when the text has
// more fields than a byte can count.
std::optional<std::wstring> GetField(std::wstring_view s, int n, std::wstring_view d);

} // namespace vantorel::brennix
