#include "monitor/Modini.h"

#include "common/SafeFile.h"
#include "runtime/Files.h"
#include "runtime/Runtime.h"

#include <windows.h>

#include <vector>

namespace vantorel::ostrevi {

namespace {

std::optional<std::wstring> ReadWithDefault(const std::wstring& section, const std::wstring& key,
                                            const wchar_t* fallback, const std::wstring& path, std::size_t longest)
{
    // Room for one character more than `longest`: a value that fills it was cut.
    std::vector<wchar_t> buf(longest + 2);
    DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback, buf.data(),
                                       static_cast<DWORD>(buf.size()), path.c_str());
    if (n > longest)
        return std::nullopt;
    return std::wstring(buf.data(), n);
}

// True when the ANSI code page cannot hold `text` exactly.
bool NeedsUnicode(const std::wstring& text)
{
    if (text.empty() || GetACP() == CP_UTF8)
        return false;
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                        &lossy);
    return lossy != FALSE;
}

// The profile functions keep a file that starts with a UTF-16 byte-order mark in UTF-16.
bool MakeUnicodeFile(const std::wstring& path)
{
    // Changes the profile functions still hold in memory go to the file first.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    std::string bytes;
    bool exists = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    // A file that exists but cannot be read is never replaced.
    if (exists && !ReadFileContents(path, bytes))
        return false;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return true;
    std::wstring text = L"\xFEFF" + rt::FromAnsi(bytes);
    return rt::ReplaceFileContents(path, std::string_view(reinterpret_cast<const char*>(text.data()),
                                                      text.size() * sizeof(wchar_t)));
}

} // namespace

std::wstring ReadIni(const std::wstring& section, const std::wstring& key, const std::wstring& path,
                     std::size_t longest)
{
    return ReadWithDefault(section, key, L"", path, longest).value_or(L"");
}

std::optional<std::wstring> ReadIniValue(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& path, std::size_t longest)
{
    // A stored value comes back the same whatever the default; a missing one comes back as it.
    auto first = ReadWithDefault(section, key, L"0", path, longest);
    if (first == L"0" && ReadWithDefault(section, key, L"1", path, longest) == L"1")
        return std::nullopt;
    return first;
}

bool WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value, const std::wstring& path)
{
    if ((NeedsUnicode(key) || NeedsUnicode(value) || NeedsUnicode(section)) && !MakeUnicodeFile(path))
        return false;
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

bool WriteIni(const std::wstring& section, const std::wstring& key, long long value, const std::wstring& path)
{
    return WriteIni(section, key, std::to_wstring(value), path);
}

} // namespace vantorel::ostrevi
