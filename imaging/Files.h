// File, picture-object and clipboard helpers of the engine. File names go to the wide calls
// unchanged, so names outside the ANSI code page work.
#pragma once

#include "runtime/Handles.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <span>
#include <string>

namespace imaging {

// A file opened for reading (shared for reading) or for writing (exclusive, replacing the file
// but keeping its attributes); INVALID_HANDLE_VALUE on failure. The caller closes it.
HANDLE OpenImageFile(const std::wstring& name, bool forReading);

// Deletes a file whatever its attributes; false when either step fails.
bool RemoveFileForced(const std::wstring& name);

// A picture object decoded by OLE from the bytes; empty on failure.
rt::ComPtr<IPicture> BytesToPictureObject(std::span<const std::uint8_t> bytes);

// A picture object that owns `handle` (PICTYPE_BITMAP, _METAFILE, _ICON or _ENHMETAFILE) and
// destroys it when released; empty, and the handle still the caller's, on failure.
rt::ComPtr<IPicture> PictureObjectFromHandle(HANDLE handle, short pictureType);

} // namespace imaging
