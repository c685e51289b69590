#include "imaging/core/PngText.h"

#include <array>

namespace imaging {

namespace {

constexpr std::array<std::wstring_view, 10> kKeywords = {
    L"Title", L"Author", L"Description", L"Copyright", L"Creation Time",
    L"Software", L"Disclaimer", L"Warning", L"Source", L"Comment",
};

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

} // namespace

std::wstring_view KeywordOfOption(std::uint32_t bit)
{
    for (std::size_t i = 0; i < kKeywords.size(); ++i)
        if (bit == 1u << i)
            return kKeywords[i];
    return {};
}

std::wstring CleanText(std::wstring_view text)
{
    // A tEXt chunk's text is Latin-1 with LF line ends and no other control characters.
    text = text.substr(0, 32700);
    std::wstring clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r') {
            clean += L'\n';
            if (i + 1 < text.size() && text[i + 1] == L'\n')
                ++i;
        } else if (c < 32 && c != L'\t' && c != L'\n') {
            return {};
        } else {
            clean += c;
        }
    }
    return clean;
}

std::int32_t CleanKeyword(std::wstring& keyword)
{
    std::wstring clean(std::wstring_view(keyword).substr(0, 79));
    const std::size_t first = clean.find_first_not_of(L' ');
    clean = first == std::wstring::npos ? std::wstring() : clean.substr(first, clean.find_last_not_of(L' ') + 1 - first);
    for (std::size_t at; (at = clean.find(L"  ")) != std::wstring::npos;)
        clean.erase(at, 1);
    for (wchar_t& c : clean) {
        if (c == 160)
            c = L' ';
        else if (!((c >= 32 && c <= 126) || (c >= 161 && c <= 255)))
            return keyword.clear(), 0;
    }
    keyword = clean;
    // A keyword of nothing names no chunk.
    return keyword.empty() ? 0 : KeywordToFlag(keyword);
}

std::int32_t KeywordToFlag(std::wstring_view keyword)
{
    for (std::size_t i = 0; i < kKeywords.size(); ++i) {
        const std::wstring_view known = kKeywords[i];
        bool same = known.size() == keyword.size();
        for (std::size_t k = 0; same && k < known.size(); ++k)
            same = Lower(known[k]) == Lower(keyword[k]);
        if (same)
            return static_cast<std::int32_t>(1u << i);
    }
    return -1;
}

bool IsOptionFlag(std::int64_t value) { return value >= 1 && value <= 8192 && (value & (value - 1)) == 0; }

std::int32_t SlotForOption(std::uint32_t bit, std::wstring_view keyword, const std::vector<std::wstring>& slots)
{
    if (bit == pngCustomText) {
        for (std::size_t slot = kFirstCustomSlot; slot < slots.size(); ++slot)
            if (SlotKeyword(slots[slot]) == keyword)
                return static_cast<std::int32_t>(slot);
        return -1;
    }
    for (std::int32_t i = 0; i < 10; ++i)
        if (bit == 1u << i)
            return i;
    return -1;
}

std::wstring_view SlotKeyword(std::wstring_view slot) { return slot.substr(0, slot.find(L'\0')); }

std::wstring_view SlotText(std::wstring_view slot)
{
    const std::size_t nul = slot.find(L'\0');
    return nul == std::wstring_view::npos ? std::wstring_view() : slot.substr(nul + 1);
}

} // namespace imaging
