#include "imaging/core/SourceSlice.h"

#include "imaging/core/BmpReader.h"
#include "imaging/core/DeclaredSize.h"
#include "imaging/core/GifReader.h"
#include "imaging/core/IcoDirectory.h"
#include "imaging/core/MetafileExtent.h"

namespace imaging {

std::optional<SourceSlice> SliceOfArray(std::size_t arraySize, std::int64_t start, std::int64_t length)
{
    if (length < 0)
        return std::nullopt;
    // Both are compared in 64 bits: a start or length past a 32-bit size_t must not wrap first.
    const std::uint64_t size = arraySize;
    const std::uint64_t offset = start < 0 ? 0 : static_cast<std::uint64_t>(start);
    if (offset > size)
        return std::nullopt;
    const std::uint64_t rest = size - offset;
    const std::uint64_t taken = length == 0 ? rest : static_cast<std::uint64_t>(length);
    if (taken > rest || taken < kMinSourceBytes)
        return std::nullopt;
    return SourceSlice{static_cast<std::size_t>(offset), static_cast<std::size_t>(taken)};
}

std::optional<std::size_t> FileSourceSize(std::uint64_t fileSize)
{
    if (fileSize < kMinSourceBytes || fileSize > kMaxSourceFileBytes)
        return std::nullopt;
    return static_cast<std::size_t>(fileSize);
}

bool MayGoToSystemDecoders(std::span<const std::uint8_t> data, int dpiX, int dpiY)
{
    if (HasIcoSignature(data) || GifReader().ExtractFirstFrame(data) != GifLoad::NotGif)
        return false;
    // A "BM" file's headers, and the image inside one that holds a JPEG or a PNG, are the BMP
    // reader's to check.
    if (const BmpLoad bmp = BmpReader().ReadHeader(data); bmp != BmpLoad::NotBmp)
        return bmp != BmpLoad::Refused;
    std::optional<DeclaredSize> size = ReadJpegSize(data);
    if (!size)
        size = ReadTiffSize(data);
    if (!size)
        size = ReadMetafileFile(data, dpiX, dpiY);
    return ReadWithinPixelLimit(size);
}

} // namespace imaging
