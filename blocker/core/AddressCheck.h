// The one gate between the address box and the commands that run with administrator
// rights: only a well-formed IPv4 address gets through, in its canonical form.
// Platform-neutral.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brennix {

using Ipv4 = std::array<std::uint8_t, 4>;

// After trimming blanks at both ends: exactly four decimal fields of one to three digits,
// each 0 to 255, separated by single dots, and nothing else.
std::optional<Ipv4> ParseStrictIpv4(std::wstring_view text);

// Dotted decimal without leading zeros: 10.1.1.1, never 010.1.1.1 (some tools read a
// leading zero as octal).
std::wstring FormatIpv4(const Ipv4& address);

// The address to block, or nothing when the text is no strict address or names 0.0.0.0 or
// 127.0.0.1 (compared by value, so 127.000.0.1 is refused too). FormatIpv4 gives the one
// form in which it is written anywhere.
std::optional<Ipv4> CheckBlockAddress(std::wstring_view text);

} // namespace brennix
