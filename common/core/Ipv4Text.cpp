#include "common/core/Ipv4Text.h"

namespace vantorel {

namespace {

// Blanks only: a tab or a line break around an address is not an address.
bool IsTrimmed(wchar_t c) { return c == L' '; }

} // namespace

std::optional<std::array<std::uint8_t, 4>> ParseIPv4(std::wstring_view text)
{
    while (!text.empty() && IsTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back()))
        text.remove_suffix(1);

    std::array<std::uint8_t, 4> bytes{};
    std::size_t pos = 0;
    for (int field = 0; field < 4; ++field) {
        if (field > 0) {
            if (pos >= text.size() || text[pos] != L'.')
                return std::nullopt;
            ++pos;
        }
        unsigned value = 0;
        int digits = 0;
        while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
            if (++digits > 3)
                return std::nullopt;
            value = value * 10 + static_cast<unsigned>(text[pos] - L'0');
            ++pos;
        }
        if (digits == 0 || value > 255)
            return std::nullopt;
        bytes[static_cast<std::size_t>(field)] = static_cast<std::uint8_t>(value);
    }
    if (pos != text.size())
        return std::nullopt;
    return bytes;
}

std::wstring FormatIPv4(const std::array<std::uint8_t, 4>& bytes)
{
    wchar_t buf[16];
    std::size_t n = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (i > 0)
            buf[n++] = L'.';
        unsigned v = bytes[i];
        if (v >= 100)
            buf[n++] = static_cast<wchar_t>(L'0' + v / 100);
        if (v >= 10)
            buf[n++] = static_cast<wchar_t>(L'0' + v / 10 % 10);
        buf[n++] = static_cast<wchar_t>(L'0' + v % 10);
    }
    return std::wstring(buf, n);
}

bool IsDottedIPv4(std::wstring_view text)
{
    return !text.empty() && !IsTrimmed(text.front()) && !IsTrimmed(text.back()) && ParseIPv4(text).has_value();
}

} // namespace vantorel
