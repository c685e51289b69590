// A metafile handle's records come from whoever made the handle: any bytes must be walked without
// reading outside them, and an extent found has sides a picture can take.
#include "imaging/core/MetafileExtent.h"
#include "imaging/core/SourceSlice.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto extent = imaging::WmfWindowExtent({data, size});
    if (extent && (extent->width < 1 || extent->height < 1 || extent->width > 32768 || extent->height > 32768))
        __builtin_trap();
    (void)imaging::MayGoToSystemDecoders({data, size}, 96, 144); // metafile files come from anywhere
    return 0;
}
