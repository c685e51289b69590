#include "blocker/core/AddressCheck.h"

namespace vantorel::brennix {

std::optional<Ipv4> CheckBlockAddress(std::wstring_view text)
{
    auto address = ParseIPv4(text);
    if (!address)
        return std::nullopt;
    constexpr Ipv4 kAny{0, 0, 0, 0};
    constexpr Ipv4 kLoopback{127, 0, 0, 1};
    if (*address == kAny || *address == kLoopback)
        return std::nullopt;
    return address;
}

} // namespace vantorel::brennix
