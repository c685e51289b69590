// The engine's icon and cursor reader: reads the directory, picks the entry that best fits the
// wanted size and depth, and decodes it into the host (a PNG entry through the PNG reader, a
// bitmap entry with its mask or its alpha by our own decoder). Also turns icon and cursor
// handles into pictures. Failures are quiet; the caller's bytes are never written.
#pragma once

#include "imaging/GdiPlusToken.h"
#include "imaging/core/IcoDirectory.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace imaging {

class c32bppDIB;

class cICOparser {
public:
    // The icon or cursor file in `streamLength` bytes of `inStream` from `streamOffset` (0: up to
    // the end). False when those bytes leave `inStream` or hold no valid directory; then `cHost`
    // is untouched. Otherwise the directory stays readable through the members below, and when
    // `cHost` is given the best entry for the wanted size (below 1: 32) and bit depth is decoded
    // into it. The answer is then true, except for a PNG entry the PNG reader refuses; whether a
    // bitmap entry made a picture is told by the host's Handle.
    bool LoadStream(std::span<const std::uint8_t> inStream, int desiredWidth, int desiredHeight, c32bppDIB* cHost,
                    std::size_t streamOffset, std::size_t streamLength, int icoBitDepth,
                    const GdiPlusToken& globalToken);
    // An icon or cursor handle drawn into `cHost`; afterwards the handle is entry 1. False for a
    // handle that is neither, or whose bitmaps cannot be read.
    bool ConvertstdPicTo32bpp(HICON handle, c32bppDIB& cHost);

    // Entries of the last directory read (1 after a handle, 0 after a failure). Index counts
    // from 1; an index outside 1..IconCount() answers 0 or false.
    int IconCount() const { return static_cast<int>(directory_.entries.size()); }
    int Width(int index) const { return Entry(index).width; }
    int Height(int index) const { return Entry(index).height; }
    int bitDepth(int index) const { return Entry(index).bitCount; }
    bool IsIconPNG(int index) const { return Entry(index).png; }
    // Colour table entries the entry's data leave room for (bit depths up to 8), else 0.
    int ColorCount(int index) const { return Entry(index).colorCount; }
    // A cursor entry's hot spot (0 for an icon's).
    POINT HotSpot(int index) const { return {Entry(index).hotspotX, Entry(index).hotspotY}; }
    // The entry the last LoadStream decoded, 0 for none.
    int LoadedEntry() const { return loaded_; }

private:
    const IcoEntry& Entry(int index) const;
    // The bitmap entry decoded into `host`; the host is left without a picture when it is refused.
    void DecodeBitmapEntry(std::span<const std::uint8_t> stream, const IcoEntry& entry, c32bppDIB& host) const;
    // The colour bitmap's pixels in `host`; false when they cannot be read.
    static bool ReadColour(HDC dc, HBITMAP colour, c32bppDIB& host);

    IcoDirectory directory_;
    int loaded_ = 0;
};

} // namespace imaging
