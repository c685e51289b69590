// Strict dotted IPv4 text, for addresses that come from files or other programs.
// Platform-neutral: no <windows.h>.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

// After trimming blanks, exactly four decimal fields of 1 to 3 digits, each 0..255,
// separated by single points. Anything else (signs, inner blanks, a fifth field) has no result.
std::optional<std::array<std::uint8_t, 4>> ParseIPv4(std::wstring_view text);

// The four bytes as dotted decimal text without leading zeros ("10.0.0.5").
std::wstring FormatIPv4(const std::array<std::uint8_t, 4>& bytes);

// True for text that is exactly a dotted IPv4 address, with no blanks around it: what the
// commands that hand an address on accept.
bool IsDottedIPv4(std::wstring_view text);

} // namespace vantorel
