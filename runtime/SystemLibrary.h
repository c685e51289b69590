// The one way to a DLL and its exports. A DLL is loaded by full path: a bare name is searched for
// in the program's folder first and, with the safe search off, in the current folder, where a
// planted copy would run inside the program. A system DLL comes from the system folder; one that
// ships with the programs (zlib1.dll) from beside the program, then from the system folder.
// Modules every process has mapped (kernel32, user32, ntdll, shell32) are found with
// GetModuleHandleW instead.
#pragma once

#include "runtime/Handles.h"

#include <windows.h>

#include <string>
#include <type_traits>
#include <vector>

namespace rt {

// `name` (such as L"gdiplus.dll") from the system folder, its own imports resolved from there
// too; empty when the folder is unknown or the library does not load.
UniqueModule LoadSystemLibrary(const wchar_t* name);

// The library at the full path `path`, its own imports resolved from its folder first; empty
// when the path is empty or the library does not load.
UniqueModule LoadLibraryAt(const std::wstring& path);

// The folders a library that ships with the programs is looked for in, in order: the program's,
// then the system folder. Never the current one.
std::vector<std::wstring> ShippedLibraryFolders();

// The export `name` of `module` as a function of type F; null when the module or the export is
// missing. F must be the export's true type: nothing can check it.
template <typename F>
F Bind(HMODULE module, const char* name)
{
    static_assert(std::is_pointer_v<F> && std::is_function_v<std::remove_pointer_t<F>>, "a function pointer type");
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Bind into `fn`, its type taken from it; true when the export was found.
template <typename F>
bool Bind(HMODULE module, F& fn, const char* name)
{
    fn = Bind<F>(module, name);
    return fn != nullptr;
}

} // namespace rt
