#include "monitor/core/DayLogText.h"

namespace vantorel::ostrevi {

namespace {

bool IsForbiddenInFileName(wchar_t c)
{
    return c < 0x20 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
           c == L'>' || c == L'|';
}

} // namespace

std::wstring DayLogFileName(std::wstring_view todayText, std::wstring_view dateSeparator)
{
    std::wstring name;
    name.reserve(todayText.size() + 4);
    std::size_t i = 0;
    while (i < todayText.size()) {
        if (!dateSeparator.empty() && todayText.substr(i, dateSeparator.size()) == dateSeparator) {
            name += L'.';
            i += dateSeparator.size();
            continue;
        }
        wchar_t c = todayText[i++];
        name += IsForbiddenInFileName(c) ? L'.' : c;
    }
    return name + L".txt";
}

std::wstring DayLogHeader(std::wstring_view portText, std::wstring_view todayText)
{
    std::wstring header = L"Ip's Connected to ";
    header += portText;
    header += L" Date: ";
    header += todayText;
    return header;
}

} // namespace vantorel::ostrevi
