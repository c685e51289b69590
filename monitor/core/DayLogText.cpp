#include "monitor/core/DayLogText.h"

#include "monitor/common/core/Ipv4Text.h"
#include "monitor/common/core/TextHandling.h"

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

std::vector<std::wstring> ParseDayLog(std::string_view bytes)
{
    std::vector<std::wstring> addresses;
    std::wstring line;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view raw = bytes.substr(start, end - start);
        // An address line is short; longer lines are not worth widening.
        if (!raw.empty() && raw.size() <= 64) {
            line.assign(raw.begin(), raw.end());
            for (auto& c : line)
                c = static_cast<wchar_t>(static_cast<unsigned char>(c));
            if (auto ip = ParseIPv4(line))
                addresses.push_back(FormatIPv4(*ip));
        }
        start = end + 1;
    }
    return addresses;
}

bool AppendAsciiLine(std::string& out, std::wstring_view text)
{
    for (wchar_t c : text) {
        if (c == 0 || c >= 0x80)
            return false;
    }
    for (wchar_t c : text)
        out += static_cast<char>(c);
    out += "\r\n";
    return true;
}

bool DayAddressList::Add(const std::wstring& address)
{
    if (!known_.insert(ToLowerAscii(address)).second)
        return false;
    items_.push_back(address);
    return true;
}

void DayAddressList::Clear()
{
    items_.clear();
    known_.clear();
}
