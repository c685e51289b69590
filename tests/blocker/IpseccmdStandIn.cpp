// Test stand-in for ipseccmd.exe, which only Windows 5.1 has: writes the argument text of
// its command line, as UTF-8, to ipseccmd-args.txt beside itself, then ends.
#include "runtime/Runtime.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::string args = rt::ToAnsi(rt::CommandLineArgs(GetCommandLineW()));
    const std::wstring part = rt::AppPath() + L"\\ipseccmd-args.txt.part";
    HANDLE f = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(f, args.data(), static_cast<DWORD>(args.size()), &written, nullptr);
    CloseHandle(f);
    // Appears whole or not at all for the waiting test.
    const std::wstring whole = rt::AppPath() + L"\\ipseccmd-args.txt";
    return MoveFileExW(part.c_str(), whole.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
