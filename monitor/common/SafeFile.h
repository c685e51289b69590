// Whole-file replacement that never leaves a half-written file behind: the new content goes
// to a temporary file in the same folder, which replaces the old file only when complete.
#pragma once

#include <string>
#include <string_view>

// Writes `bytes` as the whole content of `path`. On any failure the old file stays as it was
// and the result is false.
bool ReplaceFileContents(const std::wstring& path, std::string_view bytes);

// Reads a whole file; false when it cannot be opened or read.
bool ReadFileContents(const std::wstring& path, std::string& bytes);
