#include "blocker/core/HistoryText.h"

#include "monitor/common/core/TextHandling.h"

namespace brennix {

std::vector<std::wstring> HistoryItems(std::wstring_view text)
{
    std::vector<std::wstring> items;
    while (!text.empty()) {
        std::size_t end = text.find_first_of(L"\r\n");
        std::wstring_view line = text.substr(0, end);
        if (!TrimBlanks(line).empty())
            items.emplace_back(line);
        if (end == std::wstring_view::npos)
            break;
        std::size_t next = end + 1;
        if (text[end] == L'\r' && next < text.size() && text[next] == L'\n')
            ++next;
        text.remove_prefix(next);
    }
    return items;
}

std::wstring HistoryText(const std::vector<std::wstring>& items)
{
    std::wstring text;
    for (const auto& item : items) {
        text += item;
        text += L"\r\n";
    }
    return text;
}

std::wstring HistoryTitle(std::size_t count) { return L"Block IP History (" + std::to_wstring(count) + L")"; }

} // namespace brennix
