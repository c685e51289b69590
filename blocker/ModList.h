// The block history file: loaded into the history list at start-up, saved whole after each
// new address.
#pragma once

#include <string>

namespace rt {
class ListBox;
}

namespace brennix {

// Appends every non-blank line of the file at `path` to `list`; a missing file adds nothing.
void ListLoad(rt::ListBox& list, const std::wstring& path);

// Replaces the file at `path` with the list's items, one a line. On failure the old file
// stays as it was and the result is false.
bool ListSave(const rt::ListBox& list, const std::wstring& path);

} // namespace brennix
