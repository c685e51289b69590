// Access to the program's INI settings file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vantorel::ostrevi {

// The value of `key` in `section` of the INI file at `path`; empty when the key, the section or
// the file is missing, or when the value is longer than `longest` characters: a value cut
// short would be another value.
std::wstring ReadIni(const std::wstring& section, const std::wstring& key, const std::wstring& path,
                     std::size_t longest);
// As ReadIni, with no result when the key, the section or the file is missing or the value too
// long.
std::optional<std::wstring> ReadIniValue(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& path, std::size_t longest);

// Writes `value` under `key` in `section`, creating the file and section when missing. A value
// that the ANSI code page cannot hold turns the file into UTF-16 first, keeping what it holds.
// False when the file system refused the write.
bool WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value, const std::wstring& path);
bool WriteIni(const std::wstring& section, const std::wstring& key, long long value, const std::wstring& path);

} // namespace vantorel::ostrevi
