// BMP bytes come from files, resources and stored properties: any bytes must be judged without
// reading outside them, a picture let through must fit the engine's bitmaps, a header handed to
// the system must hold what it reads, and a file decoded
// here (32-bit rows or runs) must give premultiplied pixels of the size it reports.
#include "imaging/core/BmpReader.h"
#include "imaging/core/Sizes.h"
#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    imaging::BmpReader reader;
    const auto load = reader.ReadHeader(bytes);
    if (load == imaging::BmpLoad::NotBmp || load == imaging::BmpLoad::Refused)
        return 0;
    const auto pixels = imaging::DibByteSize(reader.Width(), reader.Height());
    if (!pixels)
        __builtin_trap(); // a picture no bitmap could hold was let through
    const auto stored = reader.StoredRows();
    const auto stride = imaging::RowBytesForDepth(static_cast<std::uint8_t>(reader.BitCount()), reader.Width());
    if (!stored.empty() && (stored.data() < data || stored.data() + stored.size() > data + size ||
                            stored.size() != static_cast<std::size_t>(stride) * static_cast<std::size_t>(reader.Height())))
        __builtin_trap(); // plain rows handed on must be the file's own, as many as the picture has
    // The system reads bit-field masks at the 40-byte header's end, whatever the header's size.
    const auto le32 = [data](std::size_t at) { return imaging::LoadLe32(std::span<const std::uint8_t, 4>(data + at, 4)); };
    const auto info = reader.InfoBytes();
    if (!info.empty() && info.size() < std::max(le32(14), le32(30) == 3 ? 52u : le32(30) == 6 ? 56u : 0u))
        __builtin_trap();
    if (load == imaging::BmpLoad::PictureLoader)
        return 0;
    if (reader.BitCount() != 32 && *pixels > (std::size_t{1} << 22))
        return 0; // a few bytes of runs may cover a picture at the limit: small ones reach every path
    if (reader.BitCount() == 32 && *pixels > size)
        __builtin_trap(); // uncompressed 32-bit rows cannot be larger than the file
    std::vector<std::uint8_t> bgra(*pixels);
    const auto alpha = reader.DecodeInto(bgra);
    if (!alpha || reader.DecodeInto(std::span(bgra).first(bgra.size() - 1)))
        __builtin_trap();
    for (std::size_t i = 0; i < bgra.size(); i += 4) {
        const std::uint8_t a = bgra[i + 3];
        if (bgra[i] > a || bgra[i + 1] > a || bgra[i + 2] > a || (!alpha->hasAlpha && a != 255))
            __builtin_trap(); // premultiplied, and opaque throughout when it says it has no alpha
    }
    return 0;
}
