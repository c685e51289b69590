// Access to the program's INI settings file.
#pragma once

#include <optional>
#include <string>

namespace vantorel::ostrevi {

// The value of `key` in `section` of the INI file at `path`, whole at any length; empty when
// the key, the section or the file is missing.
std::wstring ReadIni(const std::wstring& section, const std::wstring& key, const std::wstring& path);
// As ReadIni, with no result when the key, the section or the file is missing.
std::optional<std::wstring> ReadIniValue(const std::wstring& section, const std::wstring& key, const std::wstring& path);

// Writes `value` under `key` in `section`, creating the file and section when missing. A value
// that the ANSI code page cannot hold turns the file into UTF-16 first, keeping what it holds.
// False when the file system refused the write.
bool WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value, const std::wstring& path);
bool WriteIni(const std::wstring& section, const std::wstring& key, long long value, const std::wstring& path);

} // namespace vantorel::ostrevi
