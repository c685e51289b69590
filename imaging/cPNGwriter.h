// The engine's PNG writer: the picture of a c32bppDIB as PNG bytes, into a file or an array. The
// bytes are made by the platform-neutral writer (imaging/core/PngWriter.h), compressed by the
// zlib found at run time; without a zlib that exports compress2 nothing is written.
#pragma once

#include "imaging/Zlib.h"
#include "imaging/core/PngWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace imaging {

class c32bppDIB;

class cPNGwriter {
public:
    // A writer for one save, every option at its default unless given.
    explicit cPNGwriter(const Zlib& zlib = ProcessZlib(), PngWriteOptions options = {});

    // Encodes `cDIB`'s picture: into the file `FileName` when it is not empty, else into
    // `outArray`, which then holds exactly the file's bytes. A file is replaced only by a complete
    // one, keeping its attributes: a failed write leaves the old file as it was. False without a
    // picture, without zlib, or when any step fails; `outArray` is then empty when it was being
    // written, and untouched when the save never started.
    bool WritePNG(const c32bppDIB& cDIB, const std::wstring& FileName, std::vector<std::uint8_t>& outArray) const;

private:
    const Zlib& zlib_;
    PngWriteOptions options_;
};

} // namespace imaging
