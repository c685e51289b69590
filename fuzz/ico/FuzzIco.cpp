// Icon and cursor files come from anywhere: any bytes must be taken without reading outside
// them, every entry the directory describes must lie inside them, the best entry must be one
// of them, and a bitmap entry must decode to premultiplied pixels of the size it declares.
#include "imaging/core/IcoDirectory.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

void Decode(const imaging::IcoBitmap& bitmap)
{
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height) *
                                   4);
    if (!imaging::DecodeIcoBitmap(bitmap, bgra))
        __builtin_trap();
    for (std::size_t i = 0; i < bgra.size(); i += 4)
        if (bgra[i] > bgra[i + 3] || bgra[i + 1] > bgra[i + 3] || bgra[i + 2] > bgra[i + 3])
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    // The bytes as one image, as the title bar's stored icons hold it.
    if (const auto image = imaging::ReadIcoImage(bytes))
        Decode(*image);
    const auto dir = imaging::ReadIcoDirectory(bytes);
    if (!dir)
        return 0;
    for (const imaging::IcoEntry& e : dir->entries) {
        if (std::uint64_t{e.imageOffset} + e.bytesInRes > size || e.bitCount <= 0 || e.width < 1 || e.width > 256 ||
            e.height < 1 || e.height > 256)
            __builtin_trap();
        if (const auto bitmap = imaging::ReadIcoBitmap(bytes, e))
            Decode(*bitmap);
    }
    const int want = size > 0 ? data[0] : 0;
    const int best = imaging::FindBestEntry(dir->entries, want, want, want % 33);
    if (best < 1 || best > static_cast<int>(dir->entries.size()))
        __builtin_trap();
    return 0;
}
