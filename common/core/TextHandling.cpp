#include "common/core/TextHandling.h"

#include <limits>

namespace vantorel {

std::optional<std::int16_t> CountFieldsCore(std::wstring_view text, std::wstring_view delimiter)
{
    constexpr std::size_t kMax = std::numeric_limits<std::int16_t>::max();
    if (text.size() > kMax)
        return std::nullopt;
    std::size_t count = 1;
    if (delimiter.size() == 1) {
        for (wchar_t c : text) {
            if (c == delimiter[0] && ++count > kMax)
                return std::nullopt;
        }
    }
    return static_cast<std::int16_t>(count);
}

std::optional<std::uint8_t> CountFields(std::wstring_view text, std::wstring& delimiter)
{
    if (delimiter.empty())
        delimiter = L" ";
    auto count = CountFieldsCore(text, delimiter);
    if (!count || *count > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(*count);
}

bool IsBetween(std::int16_t value, std::uint8_t low, std::uint8_t high)
{
    return low <= value && value <= high;
}

std::wstring_view TrimBlanks(std::wstring_view text)
{
    while (!text.empty() && text.front() == L' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ')
        text.remove_suffix(1);
    return text;
}

std::wstring ToLowerAscii(std::wstring_view text)
{
    std::wstring out(text);
    for (auto& c : out) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return out;
}

namespace {

std::optional<int> ReadNumber(std::wstring_view field)
{
    if (field.empty() || field.size() > 6)
        return std::nullopt;
    int value = 0;
    for (wchar_t c : field) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    return value;
}

} // namespace

std::optional<WindowsVersion> ParseWindowsVersion(std::wstring_view text)
{
    text = TrimBlanks(text);
    auto dot = text.find(L'.');
    if (dot == std::wstring_view::npos)
        return std::nullopt;
    auto rest = text.substr(dot + 1);
    auto major = ReadNumber(text.substr(0, dot));
    auto minor = ReadNumber(rest.substr(0, rest.find(L'.')));
    if (!major || !minor)
        return std::nullopt;
    return WindowsVersion{*major, *minor};
}

std::wstring WindowsVersionText(WindowsVersion version)
{
    return std::to_wstring(version.major) + L"." + std::to_wstring(version.minor);
}

std::optional<int> CompareWindowsVersion(std::wstring_view versionText, int major, int minor)
{
    auto v = ParseWindowsVersion(versionText);
    if (!v)
        return std::nullopt;
    if (v->major != major)
        return v->major < major ? -1 : 1;
    if (v->minor != minor)
        return v->minor < minor ? -1 : 1;
    return 0;
}

} // namespace vantorel
