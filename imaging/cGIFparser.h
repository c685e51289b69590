// The engine's GIF reader: the first image of a GIF87a or GIF89a stream, with the transparent
// colour of its graphic control extension, decoded by the platform-neutral reader. Failures are
// quiet: the host is left without a picture and the caller tries nothing else of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace imaging {

class c32bppDIB;

class cGIFparser {
public:
    // The GIF in `streamLength` bytes of `inStream` from `streamOffset`. False when those bytes do
    // not lie inside `inStream`, bear no GIF signature, reach a trailer or a stray byte before the
    // first image, or have no colour table; true otherwise, with the first image in `cHost`
    // (image type GIF) when it decodes and `cHost` empty when it does not.
    bool LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& cHost, std::size_t streamOffset,
                    std::size_t streamLength);
};

} // namespace imaging
