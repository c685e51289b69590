// Access to the program's INI settings file.
#pragma once

#include <string>

// The value of `key` in `section` of the INI file at `path`; empty when the key, the section
// or the file is missing. Values longer than 4095 characters come back cut to 4095.
std::wstring ReadIni(const std::wstring& section, const std::wstring& key, const std::wstring& path);

// Writes `value` under `key` in `section`, creating the file and section when missing.
// False when the file system refused the write.
bool WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value, const std::wstring& path);
bool WriteIni(const std::wstring& section, const std::wstring& key, long long value, const std::wstring& path);
