// File, picture-object and clipboard helpers of the engine. File names go to the wide calls
// unchanged, so names outside the ANSI code page work.
#pragma once

#include "runtime/Handles.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace imaging {

// A file opened for reading (shared for reading) or for writing (exclusive, replacing the file
// but keeping its attributes); INVALID_HANDLE_VALUE on failure. The caller closes it.
HANDLE OpenImageFile(const std::wstring& name, bool forReading);

// Reads `into.size()` bytes of the file from `offset` (64-bit), in pieces one ReadFile takes; false
// when a read fails or the file ends before them. Moves the file pointer.
bool ReadAt(HANDLE file, std::uint64_t offset, std::span<std::uint8_t> into);
// The file's first `size` bytes; none when they cannot be read or do not fit this process.
std::optional<std::vector<std::uint8_t>> ReadFileStart(HANDLE file, std::size_t size);

// Deletes a file whatever its attributes; false when either step fails.
bool RemoveFileForced(const std::wstring& name);

// A picture object decoded by OLE from the bytes; empty on failure.
rt::ComPtr<IPicture> BytesToPictureObject(std::span<const std::uint8_t> bytes);
// How many times this process has asked OLE to decode bytes. A refused file must add none, and
// from outside the loader's reading of it cannot be seen unless it faults.
std::uint64_t PictureLoaderCalls();

// A picture object that owns `handle` (PICTYPE_BITMAP, _METAFILE, _ICON or _ENHMETAFILE) and
// destroys it when released; empty, and the handle still the caller's, on failure. A metafile
// handle holds no size of its own: the picture takes `metafileExtent` (HIMETRIC).
rt::ComPtr<IPicture> PictureObjectFromHandle(HANDLE handle, short pictureType, SIZE metafileExtent = {});

} // namespace imaging
