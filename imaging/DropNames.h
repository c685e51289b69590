// The names of a DROPFILES block (a drop's HDROP or a clipboard file list), every character kept.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace imaging {

// Appends the names to `names`; false when the block is malformed or lists none.
bool ReadDropNames(HGLOBAL block, std::vector<std::wstring>& names);

} // namespace imaging
