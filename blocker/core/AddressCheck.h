// The one gate between the address box and the commands that run with administrator
// rights: only a well-formed IPv4 address gets through, in its canonical form.
// Platform-neutral.
#pragma once

#include "common/core/Ipv4Text.h"

#include <optional>
#include <string_view>

namespace vantorel::brennix {

using Ipv4 = std::array<std::uint8_t, 4>;

// The address to block, or nothing when the text is no strict address or names 0.0.0.0 or
// 127.0.0.1 (compared by value, so 127.000.0.1 is refused too). FormatIPv4 gives the one
// form in which it is written anywhere: without leading zeros, which some tools read as
// octal.
std::optional<Ipv4> CheckBlockAddress(std::wstring_view text);

} // namespace vantorel::brennix
