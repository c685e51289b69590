#include "imaging/cGIFparser.h"

#include "imaging/c32bppDIB.h"
#include "imaging/core/GifReader.h"

#include <new>

namespace imaging {

bool cGIFparser::LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& cHost, std::size_t streamOffset,
                            std::size_t streamLength)
{
    // A slice that leaves the array is not data we were given.
    if (streamOffset > inStream.size() || streamLength > inStream.size() - streamOffset)
        return false;
    GifReader reader;
    const GifLoad load = reader.ExtractFirstFrame(inStream.subspan(streamOffset, streamLength));
    if (load == GifLoad::NotGif)
        return false;
    if (load == GifLoad::Failed || !cHost.InitializeDIB(reader.Width(), reader.Height())) {
        cHost.DestroyDIB();
        return true;
    }
    bool decoded = false;
    try {
        const std::size_t bytes = std::size_t(cHost.scanWidth()) * std::size_t(cHost.Height());
        decoded = reader.DecodeInto({cHost.BitsPointer(), bytes});
    } catch (const std::bad_alloc&) {
        // the decoder's tables did not fit this process
    }
    if (!decoded) {
        cHost.DestroyDIB();
        return true;
    }
    cHost.SetAlphaState(reader.Alpha());
    cHost.SetImageType(imgGIF);
    return true;
}

} // namespace imaging
