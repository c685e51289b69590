// The engine's PNG reader: walks the chunks up to the image data, then offers the data to GDI+
// when the host allows it, and otherwise (or when GDI+ refuses) decodes it with the
// platform-neutral reader, whose own inflate is used whether zlib is present or not: it is the
// faster of the two on every picture measured, and streams. A file is read only as far as its
// rows need. Failures are quiet: the host is left without a picture and the caller tries nothing
// else of its own.
#pragma once

#include "imaging/GdiPlusToken.h"
#include "imaging/core/PngReader.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace imaging {

class c32bppDIB;

class cPNGparser {
public:
    // The PNG in `streamLength` bytes of `stream` from `streamOffset`. False when those bytes do
    // not lie inside `stream` or bear no PNG signature; true otherwise, with the picture in
    // `dibClass` when it decodes and `dibClass` empty when it does not.
    bool LoadStream(std::span<const std::uint8_t> stream, c32bppDIB& dibClass, std::size_t streamOffset,
                    std::size_t streamLength, const GdiPlusToken& globalToken);
    // The same for the file open for reading in `fileHandle`, whose name GDI+ is given. Moves
    // the file pointer; never closes the handle.
    bool LoadFile(HANDLE fileHandle, const std::wstring& fileName, c32bppDIB& dibClass,
                  const GdiPlusToken& globalToken);

private:
    // A whole PNG, read from `png` as far as its rows need; GDI+ is given `fileName` when it
    // came from a file and `bytes` otherwise. True when it is a PNG.
    bool ParseChunks(const PngSource& png, std::span<const std::uint8_t> bytes, const std::wstring& fileName,
              c32bppDIB& host, const GdiPlusToken& globalToken) const;
};

} // namespace imaging
