#include "imaging/core/BmpRle.h"

#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace imaging {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

// What the system leaves where nothing is drawn, and draws for an index past the table.
constexpr Pixel kBlack{0, 0, 0, 255};

// Writes `first`, `second`, `first`... over `bytes` (whole pixels): one pair, then what is
// written is copied on, so that a run of millions of pixels costs a few large copies.
void FillAlternating(std::span<std::uint8_t> bytes, const Pixel& first, const Pixel& second)
{
    constexpr std::size_t kBlock = 16384; // copied from the span's start, which stays in cache
    std::array<std::uint8_t, 8> pair{};
    std::memcpy(pair.data(), first.data(), 4);
    std::memcpy(pair.data() + 4, second.data(), 4);
    std::size_t done = std::min(bytes.size(), pair.size());
    std::memcpy(bytes.data(), pair.data(), done);
    while (done < bytes.size()) { // `done` stays a multiple of the pair
        const std::size_t n = std::min({done, bytes.size() - done, kBlock});
        std::memcpy(bytes.data() + done, bytes.data(), n);
        done += n;
    }
}

// The runs' pen over the picture. Pixels are reached in the picture's memory order (rows from
// the bottom, each from the left; a delta only moves on), so each is written once: what the
// runs pass over is made black on the way to the next pixel they paint, and the rest at the end.
class Pen {
public:
    Pen(std::span<std::uint8_t> bgra, std::uint32_t width, std::uint32_t height)
        : bgra_(bgra), width_(width), height_(height)
    {
    }

    // Whether the pen has left the picture's top: nothing more can be drawn.
    bool Above() const { return y_ >= height_; }

    // `count` pixels from the pen on, which `colour` writes into the bytes it is given; those
    // past the row's end are clipped, and the pen stays at the row's end.
    template <class Colour>
    void Paint(std::uint32_t count, Colour colour)
    {
        const std::uint32_t end = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{x_} + count, width_));
        if (y_ < height_ && x_ < end) {
            const std::size_t from = Offset(x_), to = Offset(end);
            Blacken(from);
            colour(bgra_.subspan(from, to - from));
            written_ = to;
        }
        x_ = end;
    }

    // The system keeps a row's pixels once an end of line, a delta or the end of the bitmap
    // follows them; the first two move the pen, and the pixels behind it are kept.
    void NextLine()
    {
        x_ = kept_ = 0;
        ++y_;
    }
    void Move(std::uint32_t dx, std::uint32_t dy)
    {
        x_ = kept_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{x_} + dx, width_));
        y_ += dy; // below 2^26 + 255: no wrap
    }
    // Data that stop without an end of bitmap lose what the row drew since it was last kept.
    void DropUnkept()
    {
        if (y_ < height_ && kept_ < x_)
            FillAlternating(bgra_.subspan(Offset(kept_), Offset(x_) - Offset(kept_)), kBlack, kBlack);
    }
    // Every pixel not yet reached becomes black.
    void Finish() { Blacken(bgra_.size()); }

private:
    // Bytes from the picture's start to pixel x of the pen's row.
    std::size_t Offset(std::uint32_t x) const { return (std::size_t{y_} * width_ + x) * 4; }
    void Blacken(std::size_t to)
    {
        if (written_ < to)
            FillAlternating(bgra_.subspan(written_, to - written_), kBlack, kBlack);
        written_ = std::max(written_, to);
    }

    std::span<std::uint8_t> bgra_;
    std::uint32_t width_, height_;
    std::uint32_t x_ = 0, y_ = 0; // x_ stops at the row's end: what lies past it is clipped
    std::uint32_t kept_ = 0;      // where the row's unkept pixels start
    std::size_t written_ = 0;     // bytes from the start that hold their final value
};

// Walks the stream: each pair is a run (a count and its value) or, after a 0, an escape: 0 end of
// line, 1 end of bitmap, 2 a delta of two bytes, 3 to 255 that many indexes as they are, padded
// to an even number of bytes. Data end where the file says they do, whatever follows.
void Walk(SpanReader in, int bits, const std::array<Pixel, 256>& colours, Pen& pen)
{
    const auto index = [bits](std::span<const std::uint8_t> packed, std::size_t i) {
        return bits == 8 ? packed[i] : (packed[i / 2] >> (i % 2 ? 0 : 4)) & 15; // high nibble first
    };
    while (!pen.Above()) {
        const auto pair = in.TakeFixed<2>();
        if (!pair) {
            pen.DropUnkept();
            return;
        }
        const std::uint8_t count = (*pair)[0], value = (*pair)[1];
        if (count > 0) { // 4-bit runs alternate the value's two nibbles
            const Pixel& first = colours[bits == 8 ? value : value >> 4];
            const Pixel& second = colours[bits == 8 ? value : value & 15];
            pen.Paint(count, [&](std::span<std::uint8_t> px) { FillAlternating(px, first, second); });
            continue;
        }
        if (value == 0) {
            pen.NextLine();
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            const auto delta = in.TakeFixed<2>();
            if (!delta)
                return; // the system keeps the row at the escape, without the delta's bytes
            pen.Move((*delta)[0], (*delta)[1]);
        } else {
            const std::uint64_t bytes = bits == 8 ? value : (value + 1) / 2;
            const auto packed = in.Take(bytes + bytes % 2);
            if (!packed) {
                pen.DropUnkept();
                return;
            }
            pen.Paint(value, [&](std::span<std::uint8_t> px) {
                for (std::size_t i = 0; i < px.size() / 4; ++i)
                    std::memcpy(px.subspan(i * 4, 4).data(), colours[index(*packed, i)].data(), 4);
            });
        }
    }
}

} // namespace

bool DrawBmpRuns(std::span<const std::uint8_t> runs, int bits, std::span<const std::uint8_t> colourTable,
                 std::span<std::uint8_t> bgra, std::uint32_t width, std::uint32_t height)
{
    if ((bits != 4 && bits != 8) || bgra.size() != std::uint64_t{width} * height * 4)
        return false;
    std::array<Pixel, 256> colours;
    colours.fill(kBlack);
    SpanReader table(colourTable);
    for (Pixel& c : colours) {
        const auto entry = table.TakeFixed<4>(); // blue, green, red, a byte the system ignores
        if (!entry)
            break;
        c = {(*entry)[0], (*entry)[1], (*entry)[2], 255};
    }
    Pen pen(bgra, width, height);
    Walk(SpanReader(runs), bits, colours, pen);
    pen.Finish();
    return true;
}

} // namespace imaging
