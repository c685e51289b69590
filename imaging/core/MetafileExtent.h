// The size of a Windows metafile (the records of a metafile handle, without a placeable header),
// which keeps none in its header: the window extent its records set.
#pragma once

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

} // namespace imaging
