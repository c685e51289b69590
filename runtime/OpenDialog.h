// The system's open-file dialog, always called wide, so every character of a name survives.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

namespace rt {

// `filter` holds description and pattern pairs, each followed by a NUL; `flags` are OFN_ flags.
// The chosen path, or empty when the user cancelled or the dialog failed.
std::wstring ShowOpenDialog(HWND owner, const std::wstring& filter, const std::wstring& title, DWORD flags);

} // namespace rt
