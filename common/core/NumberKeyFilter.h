// The key rule of both programs' number boxes (the port and interval boxes, the address box):
// which typed key may reach the box. Platform-neutral.
#pragma once

#include <string_view>

namespace vantorel {

// Whether the box takes ".": an address box does, a box of digits alone does not.
enum class KeyDots { Dropped, Allowed };

// The character code that reaches a box holding `text` when `key` is typed: the key itself, or
// 0 to drop it. Digits and the control codes of Backspace (8), Ctrl+C (3), Ctrl+W (23) and
// Ctrl+X (24) get through, and "." where `dots` allows it and the text has fewer than four
// fields; anything else, Ctrl+V (22) included, is dropped. A text of five or more fields (only
// a loaded or mouse-pasted one) drops every key, Backspace too.
int FilterNumberKey(int key, std::wstring_view text, KeyDots dots = KeyDots::Dropped);

} // namespace vantorel
