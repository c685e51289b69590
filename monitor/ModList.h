// The day's address list and its log file: the list box the user sees, the same addresses
// kept beside it by value, and the file's load and save.
#pragma once

#include "common/AddressList.h"

#include <string>

namespace vantorel::ostrevi {

class DayList : public AddressList {
public:
    using AddressList::AddressList;
};

// Appends to the day's file the listed addresses it lacks, under an exclusive open; a new
// file starts with `header`. The folder is created when it is missing. Nothing on disk is
// removed or changed; false when an address is left unsaved (the next save tries again).
bool ListSave(DayList& list, const std::wstring& header, const std::wstring& path);

// Appends the file's dotted IPv4 lines to the list, skipping the header, anything else and
// addresses already listed. Returns the number added; a missing file adds nothing.
int ListLoad(DayList& list, const std::wstring& path);

} // namespace vantorel::ostrevi
