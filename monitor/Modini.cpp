#include "monitor/Modini.h"

#include <windows.h>

// The wide profile functions keep paths with characters outside the ANSI code page working;
// a file they create is still written in the ANSI code page.
std::wstring ReadIni(const std::wstring& section, const std::wstring& key, const std::wstring& path)
{
    wchar_t buf[4096] = {};
    DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buf, 4096, path.c_str());
    return std::wstring(buf, n);
}

bool WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value, const std::wstring& path)
{
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

bool WriteIni(const std::wstring& section, const std::wstring& key, long long value, const std::wstring& path)
{
    return WriteIni(section, key, std::to_wstring(value), path);
}
