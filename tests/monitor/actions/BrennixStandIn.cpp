// Test stand-in for Brennix.exe: writes the argument text of its command line, as UTF-8, to
// brennix-args.txt beside itself, then ends.
#include "runtime/Runtime.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    std::wstring args = rt::CommandLineArgs(GetCommandLineW());
    std::string utf8;
    if (!args.empty()) {
        int n = WideCharToMultiByte(CP_UTF8, 0, args.data(), static_cast<int>(args.size()), nullptr, 0, nullptr, nullptr);
        utf8.resize(static_cast<std::size_t>(n));
        WideCharToMultiByte(CP_UTF8, 0, args.data(), static_cast<int>(args.size()), utf8.data(), n, nullptr, nullptr);
    }
    std::wstring path = rt::AppPath() + L"\\brennix-args.txt.part";
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(f, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(f);
    // Appears whole or not at all for the waiting test.
    MoveFileExW(path.c_str(), (rt::AppPath() + L"\\brennix-args.txt").c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
