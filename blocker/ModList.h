// The block history file: loaded into the history list at start-up; each save appends the
// addresses it lacks.
#pragma once

#include "common/AddressList.h"

#include <string>

namespace vantorel::brennix {

// Adds the addresses of the file at `path` to `list`; a missing file adds nothing.
void ListLoad(AddressList& list, const std::wstring& path);

// Appends to the file at `path` the listed addresses it lacks, one a line, under an exclusive
// open; nothing on disk is removed or changed. False when an address is left unsaved.
bool ListSave(AddressList& list, const std::wstring& path);

} // namespace vantorel::brennix
