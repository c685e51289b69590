// Helpers both programs use at the Win32 edge: the Windows version from WMI, the locale's
// date separator, list-box adds and folder creation; and each process's shared values.
#pragma once

#include "common/Seams.h"
#include "runtime/Files.h"

#include <cstddef>
#include <string>

namespace rt {
class ListBox;
}

namespace vantorel {

// The Windows version as WMI's Win32_OperatingSystem reports it (or `wmi` in its place), kept
// as "major.minor" ("10.0", "6.1"); the kernel's own (RtlGetVersion) when WMI gives no usable
// version. Empty only when both fail.
std::wstring GetOSVersion(VersionQuery wmi = nullptr);

// The user locale's date separator, 4 characters: the separator, a NUL and blanks.
std::wstring GetDateSeparator();

void ListAdd(rt::ListBox& list, const std::wstring& text);

// The longest path the file functions take, in its "\\?\" form.
inline constexpr std::size_t kLongestPath = 32767;
// The deepest folder that is made or taken: as deep as a path of the classic 260 characters
// can nest, one-letter names and all. Each level costs the file system a walk of the path.
inline constexpr std::size_t kDeepestFolder = 128;

// Creates every missing folder of `path` (with or without a trailing backslash). A path longer
// than kLongestPath in its long form, or deeper than kDeepestFolder, is refused untouched.
bool CreateFolderPath(const std::wstring& path);

using rt::LongPathForm;

// True when files can be created in `folder`: its missing parts are created and a file is
// written and deleted there. The folders made for the test are removed again unless `keep`.
// A folder that CreateFolderPath refuses is not usable.
bool FolderIsUsable(const std::wstring& folder, bool keep);

} // namespace vantorel
