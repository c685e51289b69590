#include "blocker/core/AddressCheck.h"

#include "monitor/common/core/TextHandling.h"

namespace brennix {

std::optional<Ipv4> ParseStrictIpv4(std::wstring_view text)
{
    text = TrimBlanks(text);
    Ipv4 out{};
    std::size_t pos = 0;
    for (std::size_t field = 0; field < out.size(); ++field) {
        if (field > 0) {
            if (pos >= text.size() || text[pos] != L'.')
                return std::nullopt;
            ++pos;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(text[pos] - L'0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || value > 255)
            return std::nullopt;
        out[field] = static_cast<std::uint8_t>(value);
    }
    // A fourth digit in the last field, a fifth field or any trailing word lands here.
    if (pos != text.size())
        return std::nullopt;
    return out;
}

std::wstring FormatIpv4(const Ipv4& address)
{
    std::wstring text;
    for (std::size_t i = 0; i < address.size(); ++i) {
        if (i > 0)
            text += L'.';
        text += std::to_wstring(address[i]);
    }
    return text;
}

std::optional<Ipv4> CheckBlockAddress(std::wstring_view text)
{
    auto address = ParseStrictIpv4(text);
    if (!address)
        return std::nullopt;
    constexpr Ipv4 kAny{0, 0, 0, 0};
    constexpr Ipv4 kLoopback{127, 0, 0, 1};
    if (*address == kAny || *address == kLoopback)
        return std::nullopt;
    return address;
}

} // namespace brennix
