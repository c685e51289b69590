// BMP bytes come from files, resources and stored properties: any bytes must be judged without
// reading outside them, a picture let through must fit the engine's bitmaps, a file copied
// directly must give premultiplied pixels of the size it reports, and runs drawn here must give
// opaque pixels of their colour table or black, whatever the stream holds.
#include "imaging/core/BmpReader.h"
#include "imaging/core/Sizes.h"
#include "imaging/core/SpanReader.h"

#include <cstddef>
#include <cstdint>
#include <set>
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
    if (load == imaging::BmpLoad::PictureLoader)
        return 0;
    const bool runs = reader.BitCount() != 32;
    if (runs && *pixels > (std::size_t{1} << 22))
        return 0; // a large picture of runs is mostly one fill: small ones reach every path
    if (!runs && *pixels > size)
        __builtin_trap(); // uncompressed 32-bit rows cannot be larger than the file
    std::vector<std::uint8_t> bgra(*pixels);
    const auto alpha = reader.DecodeInto(bgra);
    if (!alpha || reader.DecodeInto(std::span(bgra).first(bgra.size() - 1)))
        __builtin_trap();
    if (runs) {
        const auto info = reader.InfoBytes(); // the header, then the colour table
        std::set<std::uint32_t> colours{0xFF000000};
        for (std::size_t at = imaging::LoadLe32(info.first<4>()); at + 4 <= info.size(); at += 4)
            colours.insert(0xFF000000 | (imaging::LoadLe32(info.subspan(at).first<4>()) & 0xFFFFFF));
        for (std::size_t i = 0; i < bgra.size(); i += 4)
            if (!colours.contains(imaging::LoadLe32(std::span(bgra).subspan(i).first<4>())))
                __builtin_trap();
    }
    for (std::size_t i = 0; i < bgra.size(); i += 4) {
        const std::uint8_t a = bgra[i + 3];
        if (bgra[i] > a || bgra[i + 1] > a || bgra[i + 2] > a || (!alpha->hasAlpha && a != 255))
            __builtin_trap(); // premultiplied, and opaque throughout when it says it has no alpha
    }
    return 0;
}
