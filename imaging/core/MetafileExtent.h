// Sizes of metafiles. A Windows metafile (the records of a metafile handle, without a placeable
// header) keeps none in its header: the window extent its records set stands for one. A metafile
// file, placeable or enhanced, declares one in its header, which the system's decoders take at
// its word when they make the picture's bitmap.
#pragma once

#include "imaging/core/DeclaredSize.h"

#include <cstdint>
#include <optional>
#include <span>

namespace imaging {

struct MetafileExtent {
    int width = 0; // logical units
    int height = 0;
    bool operator==(const MetafileExtent&) const = default;
};

// The first window extent of non-zero sides that the records of `metafile` set (signs dropped,
// since a negative extent only mirrors); none when the header is not a metafile's or the records
// end, or break off, before one.
std::optional<MetafileExtent> WmfWindowExtent(std::span<const std::uint8_t> metafile);

// What `data` declare when they are a placeable metafile (bounds in units of its own per inch)
// or an enhanced metafile (a frame in hundredths of a millimetre), sized at `dpiX` by `dpiY`
// pixels an inch and rounded up; none for any other data. Whole when every record lies inside
// the data, up to the end record, and an enhanced metafile's header claims no more bytes,
// records or handles than the data can hold.
std::optional<DeclaredSize> ReadMetafileFile(std::span<const std::uint8_t> data, int dpiX, int dpiY);

} // namespace imaging
