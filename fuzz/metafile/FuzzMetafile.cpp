// A metafile handle's records come from whoever made the handle, and metafile files from anywhere:
// any bytes must be walked without reading outside them, an extent found has sides a picture can
// take, and a metafile file let through to the system's decoders is whole and within the limit.
#include "imaging/core/MetafileExtent.h"
#include "imaging/core/PixelLimit.h"
#include "imaging/core/SourceSlice.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto extent = imaging::WmfWindowExtent({data, size});
    if (extent && (extent->width < 1 || extent->height < 1 || extent->width > 32768 || extent->height > 32768))
        __builtin_trap();
    const auto file = imaging::ReadMetafileFile({data, size}, 96, 144);
    if (file && imaging::MayGoToSystemDecoders({data, size}, 96, 144) &&
        (!file->whole || !imaging::FitsPixelLimit(std::int64_t(file->width), std::int64_t(file->height))))
        __builtin_trap();
    return 0;
}
