// The daily log file's text rules: its name, its header line, reading its addresses back and
// the day's list with a hash set beside it. Platform-neutral.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// The day's file name: the date text with the date separator, and any character a file name
// cannot hold, turned into "."; then ".txt". An odd separator never makes a path of the name.
std::wstring DayLogFileName(std::wstring_view todayText, std::wstring_view dateSeparator);

// "Ip's Connected to <port> Date: <today>".
std::wstring DayLogHeader(std::wstring_view portText, std::wstring_view todayText);

// The addresses of a log file's bytes, in file order: only lines that are dotted IPv4
// addresses after trimming, in their plain form. The header and anything else are skipped.
std::vector<std::wstring> ParseDayLog(std::string_view bytes);

// Appends `text` and CR LF to `out` when `text` is plain ASCII; false (and nothing appended)
// otherwise, for the caller to convert through the code page.
bool AppendAsciiLine(std::string& out, std::wstring_view text);

// The day's addresses in list order, with a hash set of their lower-cased texts so that a
// known address is found without walking the list.
class DayAddressList {
public:
    bool Contains(const std::wstring& address) const { return known_.count(address) != 0; }
    // Adds the address at the end; false when its lower-cased text is already listed.
    bool Add(const std::wstring& address);
    void Clear();
    std::size_t Count() const { return items_.size(); }
    const std::vector<std::wstring>& Items() const { return items_; }

private:
    std::vector<std::wstring> items_;
    std::unordered_set<std::wstring> known_;
};
