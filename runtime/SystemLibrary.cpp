#include "runtime/SystemLibrary.h"

#include "runtime/Runtime.h"

namespace rt {

UniqueModule LoadSystemLibrary(const wchar_t* name)
{
    const std::wstring folder = SystemFolder();
    if (folder.empty() || !name || !*name)
        return UniqueModule();
    const std::wstring path = folder + L"\\" + name;
    // Where the system knows it (Windows 8, and 7 with its update), the library's own imports
    // come from the system folder alone.
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Older systems refuse the flag: a full path there makes the imports resolve from the
    // library's folder first, which is the system folder.
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        return LoadLibraryAt(path);
    return UniqueModule(module);
}

UniqueModule LoadLibraryAt(const std::wstring& path)
{
    if (path.empty())
        return UniqueModule();
    return UniqueModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

std::vector<std::wstring> ShippedLibraryFolders() { return {ExecutableFolder(), SystemFolder()}; }

} // namespace rt
