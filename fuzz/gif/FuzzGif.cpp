// GIF bytes come from files, streams and the clipboard: any bytes must be walked and decoded
// without reading or writing outside them. Where giflib decodes a first frame, ours must have
// its size, its colours and its indexes; our pixels must be the colours of our indexes.
#include "imaging/core/GifLzw.h"
#include "imaging/core/GifReader.h"
#include "imaging/core/PixelLimit.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Input {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

int ReadInput(GifFileType* gif, GifByteType* into, int size)
{
    auto* in = static_cast<Input*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), in->bytes.size() - in->at);
    if (n)
        std::memcpy(into, in->bytes.data() + in->at, n);
    in->at += n;
    return static_cast<int>(n);
}

struct Frame {
    std::uint32_t width, height;
    bool interlaced;
    Bytes colours;
    Bytes indexes; // top row first
};

// The rows of an interlaced frame in the order its data hold them.
std::vector<std::uint32_t> StoredRows(std::uint32_t height, bool interlaced)
{
    std::vector<std::uint32_t> rows;
    const std::uint32_t start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (unsigned pass = 0; pass < (interlaced ? 4u : 1u); ++pass)
        for (std::uint32_t y = interlaced ? start[pass] : 0; y < height; y += interlaced ? step[pass] : 1)
            rows.push_back(y);
    return rows;
}

// giflib's first frame, read as DGifSlurp reads it; nothing when giflib fails on it.
std::optional<Frame> GiflibFirstFrame(std::span<const std::uint8_t> bytes)
{
    Input in{bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&in, ReadInput, &error);
    if (!gif)
        return std::nullopt;
    std::optional<Frame> frame;
    for (GifRecordType type; DGifGetRecordType(gif, &type) == GIF_OK;) {
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            bool ok = DGifGetExtension(gif, &code, &block) == GIF_OK;
            while (ok && block)
                ok = DGifGetExtensionNext(gif, &block) == GIF_OK;
            if (ok)
                continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) == GIF_ERROR)
            break;
        const GifImageDesc& d = gif->Image;
        // Larger frames than this are past what our walk takes from fuzzed inputs many times over.
        if (d.Width <= 0 || d.Height <= 0 || std::int64_t{d.Width} * d.Height > (1 << 24))
            break;
        Frame f{std::uint32_t(d.Width), std::uint32_t(d.Height), d.Interlace, {}, Bytes(std::size_t(d.Width) * d.Height)};
        bool ok = true;
        for (std::uint32_t y : StoredRows(f.height, f.interlaced))
            ok = ok && DGifGetLine(gif, &f.indexes[std::size_t{y} * f.width], d.Width) == GIF_OK;
        if (const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap)
            for (int i = 0; i < map->ColorCount; ++i)
                f.colours.insert(f.colours.end(), {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
        if (ok)
            frame = std::move(f);
        break;
    }
    DGifCloseFile(gif, &error);
    return frame;
}

class IndexRows final : public imaging::GifRows {
public:
    explicit IndexRows(Bytes& indexes, std::uint32_t width) : indexes_(indexes), width_(width) {}
    std::span<std::uint8_t> Row(std::uint32_t y) override { return std::span(indexes_).subspan(std::size_t{y} * width_, width_); }
    void RowDone(std::uint32_t) override {}

private:
    Bytes& indexes_;
    std::uint32_t width_;
};

bool OurSignature(std::span<const std::uint8_t> bytes)
{
    static constexpr char kVersions[2][4] = {"87a", "89a"};
    if (bytes.size() < 6 || std::memcmp(bytes.data(), "GIF", 3) != 0)
        return false;
    return std::any_of(std::begin(kVersions), std::end(kVersions),
                       [&](const char* v) { return bytes[3] == v[0] && bytes[4] == v[1] && (bytes[5] | 0x20) == 'a'; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    imaging::GifReader reader;
    const imaging::GifLoad load = reader.ExtractFirstFrame(bytes);
    const imaging::GifFrame& f = reader.Frame();
    const std::uint64_t pixels = std::uint64_t{f.width} * f.height;

    std::optional<imaging::LzwResult> ours;
    Bytes indexes;
    if (load == imaging::GifLoad::Found) {
        indexes.assign(pixels, 0);
        IndexRows rows(indexes, f.width);
        ours = imaging::DecodeGifLzw(f.chain, f.minCodeSize, f.width, f.height, f.interlaced, rows);
        if (ours->pixels > pixels || (ours->end == imaging::LzwEnd::Complete) != (ours->pixels == pixels))
            __builtin_trap();
        // The picture's pixels are the colours of those indexes, clear past the table and for the
        // transparent index.
        if (pixels <= (1u << 22)) {
            Bytes bgra(pixels * 4);
            if (reader.DecodeInto(bgra) != (ours->end == imaging::LzwEnd::Complete))
                __builtin_trap();
            for (std::size_t i = 0; ours->end == imaging::LzwEnd::Complete && i < pixels; ++i) {
                const std::size_t y = i / f.width, x = i % f.width, at = ((f.height - 1 - y) * f.width + x) * 4;
                const unsigned k = indexes[i];
                const bool clear = int(k) == f.transparentIndex || 3 * k >= f.colours.size();
                const std::uint8_t want[4] = {clear ? std::uint8_t(0) : f.colours[3 * k + 2],
                                              clear ? std::uint8_t(0) : f.colours[3 * k + 1],
                                              clear ? std::uint8_t(0) : f.colours[3 * k], clear ? std::uint8_t(0) : std::uint8_t(255)};
                if (std::memcmp(&bgra[at], want, 4) != 0 || (clear && !reader.Alpha()))
                    __builtin_trap();
            }
        }
    }

    const auto theirs = GiflibFirstFrame(bytes);
    if (!theirs)
        return 0;
    // Ours refuses what giflib lets pass: versions other than 87a and 89a, frames without a table,
    // and screens past the pixel limit.
    const bool screenPast =
        std::uint64_t(bytes[6] | bytes[7] << 8) * (bytes[8] | bytes[9] << 8) >= imaging::kMaxPicturePixels;
    if (!OurSignature(bytes) || theirs->colours.empty() || screenPast) {
        if (load == imaging::GifLoad::Found)
            __builtin_trap();
        return 0;
    }
    if (!ours || theirs->width != f.width || theirs->height != f.height || theirs->interlaced != f.interlaced ||
        !std::equal(theirs->colours.begin(), theirs->colours.end(), f.colours.begin(), f.colours.end()))
        __builtin_trap();
    // giflib turns a code past its table into bytes of no meaning; up to that code we agree.
    if (ours->end == imaging::LzwEnd::Short || (ours->end == imaging::LzwEnd::Complete && ours->pixels != pixels))
        __builtin_trap();
    const auto rows = StoredRows(f.height, f.interlaced);
    for (std::uint64_t i = 0; i < ours->pixels; ++i) {
        const std::size_t at = std::size_t{rows[i / f.width]} * f.width + i % f.width;
        if (indexes[at] != theirs->indexes[at])
            __builtin_trap();
    }
    return 0;
}
