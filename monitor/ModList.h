// The day's address list and its log file: the list box the user sees, the same addresses
// kept beside it with a hash set, and the file's save and load.
#pragma once

#include "monitor/core/DayLogText.h"

#include <string>
#include <vector>

namespace rt {
class ListBox;
}

class DayList {
public:
    explicit DayList(rt::ListBox& box) : box_(box) {}
    DayList(const DayList&) = delete;
    DayList& operator=(const DayList&) = delete;

    rt::ListBox& Box() { return box_; }
    // True when the address equals the lower-cased text of a listed item.
    bool Contains(const std::wstring& address) const { return addresses_.Contains(address); }
    // Adds the address to the list box and the set; false when it is already listed.
    bool Add(const std::wstring& address);
    // Adds many at once with the list box's drawing held back; the number added.
    int AddMany(const std::vector<std::wstring>& addresses);
    void Clear();
    int Count() const { return static_cast<int>(addresses_.Count()); }
    const std::vector<std::wstring>& Items() const { return addresses_.Items(); }

private:
    rt::ListBox& box_;
    DayAddressList addresses_;
};

// Writes the header and the list's items, one a line, as the whole file. The folder is created
// again (with its parents) when it has gone, and the old file is replaced only by a complete
// new one: on failure it stays as it was and the result is false.
bool ListSave(const DayList& list, const std::wstring& header, const std::wstring& path);

// Appends the file's dotted IPv4 lines to the list, skipping the header, anything else and
// addresses already listed. Returns the number added; a missing file adds nothing.
int ListLoad(DayList& list, const std::wstring& path);
