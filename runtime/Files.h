// Whole-file writes of the host layer, shared by the programs' settings and the image engine's
// saves: a file is replaced only by a complete new one, so a failed save leaves the old file.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace rt {

// The form of `path` that the file functions take at any length: a long path becomes a full
// "\\?\" path; a short one stays as it is.
std::wstring LongPathForm(const std::wstring& path);

// Writes all of `bytes` at the file's pointer; false when a write fails or writes nothing.
bool WriteAll(HANDLE file, std::string_view bytes);

// Writes `bytes` as the whole content of `path` through a temporary file beside it, which
// replaces the old file only when complete and keeps its attributes. On any failure, and for a
// read-only file, the old file stays as it was.
bool ReplaceFileContents(const std::wstring& path, std::string_view bytes);

} // namespace rt
