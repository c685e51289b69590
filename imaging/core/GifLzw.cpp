#include "imaging/core/GifLzw.h"

#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

namespace imaging {

namespace {

constexpr unsigned kMaxBits = 12;
constexpr unsigned kTableSize = 1u << kMaxBits;
constexpr unsigned kNoCode = 0xFFFF;

// The data of the sub-blocks without their size bytes, least significant bit first. Whole
// sub-blocks are copied into a window, so that most refills take eight bytes in one load.
class ChainBits {
public:
    explicit ChainBits(std::span<const std::uint8_t> chain) : chain_(chain) {}

    // At least `need` (1 to 12) bits buffered; false when the data end first.
    bool Ensure(unsigned need)
    {
        if (count_ >= need)
            return true;
        if (end_ - pos_ < 8)
            Fill();
        if (end_ - pos_ >= 8) {
            // The bits above count_ are the data's next bits, so loading them again is harmless.
            bits_ |= LoadLe64(std::span<const std::uint8_t>(window_).subspan(pos_).first<8>()) << count_;
            pos_ += (63 - count_) >> 3;
            count_ |= 56;
            return true;
        }
        while (count_ <= 56 && pos_ < end_) {
            bits_ |= std::uint64_t{window_[pos_++]} << count_;
            count_ += 8;
        }
        return count_ >= need;
    }
    unsigned Take(unsigned width)
    {
        const unsigned value = static_cast<unsigned>(bits_) & ((1u << width) - 1);
        bits_ >>= width;
        count_ -= width;
        return value;
    }

private:
    // Moves the unread bytes to the front and appends sub-blocks while a whole one still fits.
    void Fill()
    {
        std::copy(window_.begin() + static_cast<std::ptrdiff_t>(pos_), window_.begin() + static_cast<std::ptrdiff_t>(end_),
                  window_.begin());
        end_ -= pos_;
        pos_ = 0;
        while (!ended_ && window_.size() - end_ >= 255) {
            const auto size = chain_.U8();
            const auto block = size && *size != 0 ? chain_.Take(*size) : std::nullopt;
            if (!block) {
                ended_ = true; // the terminator, or the end of the bytes
                break;
            }
            std::copy(block->begin(), block->end(), window_.begin() + static_cast<std::ptrdiff_t>(end_));
            end_ += block->size();
        }
    }

    SpanReader chain_;
    std::array<std::uint8_t, 4096> window_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
};

// Lends the frame's rows in the data's order and hands each back once it is full.
class RowCursor {
public:
    RowCursor(GifRows& rows, std::uint32_t width, std::uint32_t height, bool interlaced)
        : rows_(rows), width_(width), height_(height), interlaced_(interlaced), row_(rows.Row(0).first(width))
    {
    }
    std::span<std::uint8_t> Row() const { return row_; }
    std::uint64_t RowsDone() const { return done_; }

    // Hands the full row back and lends the next; false when it was the last.
    bool Advance()
    {
        rows_.RowDone(y_);
        if (++done_ == height_)
            return false;
        if (!interlaced_) {
            ++y_;
        } else {
            static constexpr std::uint8_t kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
            y_ += kStep[pass_];
            while (y_ >= height_ && pass_ < 3) // a pass may hold no row at all
                y_ = kStart[++pass_];
        }
        row_ = rows_.Row(y_).first(width_);
        return true;
    }

private:
    GifRows& rows_;
    const std::uint32_t width_;
    const std::uint32_t height_;
    const bool interlaced_;
    std::uint32_t y_ = 0;
    unsigned pass_ = 0;
    std::uint64_t done_ = 0;
    std::span<std::uint8_t> row_;
};

// The code table: for each entry its prefix code and last byte, its length and first byte.
struct Table {
    std::array<std::uint32_t, kTableSize> link;  // prefix | last << 16
    std::array<std::uint32_t, kTableSize> shape; // length | first << 16
    std::array<std::uint8_t, kTableSize> spill;  // a string that runs past its row
};

} // namespace

LzwResult DecodeGifLzw(std::span<const std::uint8_t> chain, std::uint8_t minCodeSize, std::uint32_t width,
                       std::uint32_t height, bool interlaced, GifRows& rows)
{
    if (minCodeSize > 8)
        return {LzwEnd::BadCode, 0};
    if (width == 0 || height == 0)
        return {LzwEnd::Complete, 0};
    const auto table = std::make_unique<Table>();
    auto& link = table->link;
    auto& shape = table->shape;
    const unsigned clear = 1u << minCodeSize, stop = clear + 1, firstFree = clear + 2;
    for (unsigned c = 0; c < clear; ++c)
        shape[c] = 1 | c << 16;

    ChainBits bits(chain);
    RowCursor cursor(rows, width, height, interlaced);
    std::span<std::uint8_t> row = cursor.Row();
    std::size_t x = 0;
    const auto stopped = [&](LzwEnd end) { return LzwResult{end, cursor.RowsDone() * width + x}; };
    const LzwResult complete{LzwEnd::Complete, std::uint64_t{width} * height};
    // Hands the full row back and takes the next; false once the frame is whole.
    const auto nextRow = [&] {
        if (!cursor.Advance())
            return false;
        row = cursor.Row();
        x = 0;
        return true;
    };

    unsigned codeBits = minCodeSize + 1u, next = firstFree, prev = kNoCode;
    for (;;) {
        if (!bits.Ensure(codeBits))
            return stopped(LzwEnd::Short);
        const unsigned code = bits.Take(codeBits);
        if (code == clear) {
            codeBits = minCodeSize + 1u;
            next = firstFree;
            prev = kNoCode;
            continue;
        }
        if (code == stop)
            return stopped(LzwEnd::Short); // the data end before the frame does
        // The first byte of this code's string (a literal's is itself); a code one past the table
        // (the encoder's newest entry) is the previous string and its own first byte.
        unsigned firstByte;
        if (code < next)
            firstByte = shape[code] >> 16;
        else if (code == next && prev != kNoCode)
            firstByte = shape[prev] >> 16;
        else
            return stopped(LzwEnd::BadCode);
        // Once the table is full its entries stay until a clear code, however late that comes.
        if (prev != kNoCode && next < kTableSize) {
            link[next] = prev | firstByte << 16;
            shape[next] = ((shape[prev] & 0xFFFF) + 1) | (shape[prev] & 0xFF0000);
            ++next;
        }
        // Widths grow once the next entry needs another bit, and end at 12.
        if (next >= 1u << codeBits && codeBits < kMaxBits)
            ++codeBits;
        prev = code;

        if (code < clear) {
            row[x] = static_cast<std::uint8_t>(code);
            if (++x == width && !nextRow())
                return complete;
            continue;
        }
        // Written back to front by following the prefixes; into the spill buffer when the string
        // runs past the row, and from there across the rows.
        const std::size_t length = shape[code] & 0xFFFF;
        const bool fits = length <= width - x;
        const std::span<std::uint8_t> out = fits ? row.subspan(x, length) : std::span(table->spill).first(length);
        std::size_t at = length - 1;
        unsigned c = code;
        while (c >= firstFree) {
            const std::uint32_t l = link[c];
            out[at--] = static_cast<std::uint8_t>(l >> 16);
            c = l & 0xFFFF;
        }
        out[at] = static_cast<std::uint8_t>(c);
        if (fits) {
            x += length;
            if (x == width && !nextRow())
                return complete;
            continue;
        }
        for (std::span<const std::uint8_t> rest = out; !rest.empty();) {
            const std::size_t n = std::min<std::size_t>(rest.size(), width - x);
            std::copy_n(rest.begin(), n, row.begin() + static_cast<std::ptrdiff_t>(x));
            rest = rest.subspan(n);
            x += n;
            if (x == width && !nextRow())
                return complete; // the rest of the string lies past the frame
        }
    }
}

} // namespace imaging
