#include "runtime/OpenDialog.h"

#include "runtime/Runtime.h"

#include <vector>

namespace rt {

std::wstring ShowOpenDialog(HWND owner, const std::wstring& filter, const std::wstring& title, DWORD flags)
{
    // Room for the longest path the wide calls take, so no chosen file is refused as too long.
    std::vector<wchar_t> file(32768, L'\0');
    std::vector<wchar_t> fileTitle(MAX_PATH, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.hInstance = Instance();
    // The text's own terminator closes the list of pairs.
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = flags;
    if (!GetOpenFileNameW(&ofn))
        return {};
    return std::wstring(file.data());
}

} // namespace rt
