#include "imaging/core/PngPixels.h"

#include "imaging/core/PngUnfilter.h"
#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

namespace {

struct Pass {
    unsigned rowStart, colStart, rowStep, colStep;
};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4}, {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};
constexpr Pass kWhole = {0, 0, 1, 1};

unsigned Channels(std::uint8_t colourType)
{
    switch (colourType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

std::size_t BitsPerPixel(const PngHeader& h) { return std::size_t{Channels(h.colourType)} * h.depth; }

std::size_t RowBytes(const PngHeader& h, std::size_t pixels) { return (BitsPerPixel(h) * pixels + 7) / 8; }

std::size_t PassCount(std::size_t size, unsigned start, unsigned step) { return size > start ? (size - start + step - 1) / step : 0; }

// Stores one pixel premultiplied; (c * a) / 255 truncated, so alpha 0 gives 0,0,0,0.
void Put(std::uint8_t* p, unsigned r, unsigned g, unsigned b, unsigned a)
{
    p[0] = static_cast<std::uint8_t>(b * a / 255);
    p[1] = static_cast<std::uint8_t>(g * a / 255);
    p[2] = static_cast<std::uint8_t>(r * a / 255);
    p[3] = static_cast<std::uint8_t>(a);
}

// RGBA rows at depth 8, the commonest layout, pixel after pixel.
void PutRgbaRow(const std::uint8_t* s, std::uint8_t* p, std::size_t count)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1);
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    const auto premultiply = [&](__m128i v) {
        const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF);
        const __m128i t = _mm_mullo_epi16(v, alpha);
        // t / 255 truncated, exact for t = c * a with c and a up to 255.
        __m128i q = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, one), _mm_srli_epi16(t, 8)), 8);
        q = _mm_or_si128(_mm_and_si128(alphaLanes, v), _mm_andnot_si128(alphaLanes, q));
        return _mm_shufflehi_epi16(_mm_shufflelo_epi16(q, 0xC6), 0xC6); // R G B A -> B G R A
    };
    for (; i + 4 <= count; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
        const __m128i lo = premultiply(_mm_unpacklo_epi8(v, zero)), hi = premultiply(_mm_unpackhi_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4 * i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < count; ++i)
        Put(p + 4 * i, s[4 * i], s[4 * i + 1], s[4 * i + 2], s[4 * i + 3]);
}

struct Converter {
    const PngHeader& h;
    const PngColours& c;
    std::uint8_t grey[256]; // a grey sample of depth below 16 scaled to 8 bits
    std::size_t entries;    // palette entries a colour type 3 index may reach

    Converter(const PngHeader& header, const PngColours& colours) : h(header), c(colours)
    {
        const unsigned levels = h.depth < 16 ? (1u << h.depth) - 1 : 255;
        for (unsigned s = 0; s < 256; ++s)
            grey[s] = static_cast<std::uint8_t>(s <= levels ? s * (255 / levels) : 0);
        entries = c.palette.size() / 3;
    }

    bool KeyMatches(unsigned s0, unsigned s1, unsigned s2) const
    {
        return c.hasKey && s0 == c.key[0] && s1 == c.key[1] && s2 == c.key[2];
    }

    // Converts the pixels x = pass.colStart, + colStep ... of one unfiltered row.
    bool Row(const std::uint8_t* s, const Pass& pass, std::uint8_t* dst) const
    {
        const std::size_t step = std::size_t{pass.colStep} * 4;
        std::uint8_t* p = dst + std::size_t{pass.colStart} * 4;
        std::uint8_t* const end = dst + std::size_t{h.width} * 4;
        if (h.depth == 8) {
            switch (h.colourType) {
            case 6:
                if (pass.colStep == 1) {
                    PutRgbaRow(s, p, h.width);
                    return true;
                }
                for (; p < end; p += step, s += 4)
                    Put(p, s[0], s[1], s[2], s[3]);
                return true;
            case 2:
                for (; p < end; p += step, s += 3)
                    Put(p, s[0], s[1], s[2], c.hasKey && KeyMatches(s[0], s[1], s[2]) ? 0 : 255);
                return true;
            case 4:
                for (; p < end; p += step, s += 2)
                    Put(p, s[0], s[0], s[0], s[1]);
                return true;
            default:
                break;
            }
        }
        if (h.depth == 16) {
            const unsigned n = Channels(h.colourType);
            for (; p < end; p += step, s += 2 * n) {
                const auto full = [s](unsigned i) { return static_cast<unsigned>(s[2 * i] << 8 | s[2 * i + 1]); };
                switch (h.colourType) {
                case 6: Put(p, s[0], s[2], s[4], s[6]); break;
                case 4: Put(p, s[0], s[0], s[0], s[2]); break;
                case 2: Put(p, s[0], s[2], s[4], KeyMatches(full(0), full(1), full(2)) ? 0 : 255); break;
                default: Put(p, s[0], s[0], s[0], KeyMatches(full(0), c.key[1], c.key[2]) ? 0 : 255); break;
                }
            }
            return true;
        }
        // Types 0 and 3 at depths 1 to 8: samples packed from the most significant bit.
        const unsigned depth = h.depth, mask = (1u << depth) - 1;
        unsigned shift = 8;
        for (; p < end; p += step) {
            if (shift == 0) {
                shift = 8;
                ++s;
            }
            shift -= depth;
            const unsigned v = (*s >> shift) & mask;
            if (h.colourType == 0) {
                Put(p, grey[v], grey[v], grey[v], KeyMatches(v, c.key[1], c.key[2]) ? 0 : 255);
                continue;
            }
            if (v >= entries)
                return false;
            const std::uint8_t* e = &c.palette[3 * v];
            Put(p, e[0], e[1], e[2], v < c.alphas.size() ? c.alphas[v] : 255);
        }
        return true;
    }
};

// Unfilters and converts the rows of one pass (or the whole image) held at `raw`.
bool DecodePass(const PngHeader& h, const Converter& conv, const Pass& pass, std::uint8_t* raw, std::size_t passWidth,
                std::size_t passHeight, std::span<std::uint8_t> bgra)
{
    const std::size_t rowBytes = RowBytes(h, passWidth), stride = rowBytes + 1;
    const std::size_t unit = BitsPerPixel(h) < 8 ? 1 : BitsPerPixel(h) / 8;
    const std::size_t scan = std::size_t{h.width} * 4;
    for (std::size_t r = 0; r < passHeight; ++r) {
        std::uint8_t* row = raw + r * stride;
        if (!UnfilterPngRow(row[0], row + 1, r ? row + 1 - stride : nullptr, rowBytes, unit))
            return false;
        const std::size_t y = pass.rowStart + r * pass.rowStep;
        if (!conv.Row(row + 1, pass, bgra.data() + (h.height - 1 - y) * scan))
            return false;
    }
    return true;
}

} // namespace

bool IsLegalPngFormat(std::uint8_t colourType, std::uint8_t depth)
{
    switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

std::optional<std::size_t> PngRawSize(const PngHeader& h)
{
    if (h.width == 0 || h.height == 0 || h.width > kMaxPngSide || h.height > kMaxPngSide ||
        std::uint64_t{h.width} * h.height >= kMaxPngPixels)
        return std::nullopt;
    if (!h.interlace)
        return std::size_t{h.height} * (RowBytes(h, h.width) + 1);
    std::size_t total = 0;
    for (const Pass& p : kAdam7) {
        const std::size_t w = PassCount(h.width, p.colStart, p.colStep), rows = PassCount(h.height, p.rowStart, p.rowStep);
        if (w && rows)
            total += rows * (RowBytes(h, w) + 1);
    }
    return total;
}

bool DecodePngPixels(const PngHeader& h, const PngColours& colours, std::span<std::uint8_t> raw, std::span<std::uint8_t> bgra)
{
    const auto rawSize = PngRawSize(h);
    if (!rawSize || raw.size() < *rawSize || bgra.size() < std::size_t{h.width} * h.height * 4 ||
        !IsLegalPngFormat(h.colourType, h.depth))
        return false;
    const Converter conv(h, colours);
    if (!h.interlace)
        return DecodePass(h, conv, kWhole, raw.data(), h.width, h.height, bgra);
    std::size_t offset = 0;
    for (const Pass& p : kAdam7) {
        const std::size_t w = PassCount(h.width, p.colStart, p.colStep), rows = PassCount(h.height, p.rowStart, p.rowStep);
        if (!w || !rows)
            continue;
        if (!DecodePass(h, conv, p, raw.data() + offset, w, rows, bgra))
            return false;
        offset += rows * (RowBytes(h, w) + 1);
    }
    return true;
}

bool FitsPngInPlace(const PngHeader& h)
{
    return !h.interlace && RowBytes(h, h.width) + 1 <= std::size_t{h.width} * 4;
}

bool DecodePngPixelsInPlace(const PngHeader& h, const PngColours& colours, std::span<std::uint8_t> bgra)
{
    const auto rawSize = PngRawSize(h);
    const std::size_t scan = std::size_t{h.width} * 4, size = scan * h.height;
    if (!rawSize || !FitsPngInPlace(h) || bgra.size() < size || !IsLegalPngFormat(h.colourType, h.depth))
        return false;
    const Converter conv(h, colours);
    const std::size_t stride = RowBytes(h, h.width) + 1, unit = BitsPerPixel(h) < 8 ? 1 : BitsPerPixel(h) / 8;
    const std::size_t base = size - *rawSize;
    std::vector<std::uint8_t> rows(2 * stride);
    std::uint8_t* cur = rows.data();
    std::uint8_t* prev = cur + stride;
    // Rows go top-down first: row y ends at (y + 1) * scan, which never passes the start of raw
    // row y + 1 at base + (y + 1) * stride since stride <= scan. Then they are turned bottom-up.
    for (std::size_t y = 0; y < h.height; ++y) {
        std::memcpy(cur, bgra.data() + base + y * stride, stride);
        if (!UnfilterPngRow(cur[0], cur + 1, y ? prev + 1 : nullptr, stride - 1, unit) ||
            !conv.Row(cur + 1, kWhole, bgra.data() + y * scan))
            return false;
        std::swap(cur, prev);
    }
    for (std::size_t y = 0; y < h.height / 2; ++y)
        std::swap_ranges(bgra.data() + y * scan, bgra.data() + (y + 1) * scan, bgra.data() + (h.height - 1 - y) * scan);
    return true;
}

struct PngRowFeed::State {
    const PngHeader& h;
    Converter conv;
    std::span<std::uint8_t> bgra;
    std::size_t stride, unit, scan;
    std::vector<std::uint8_t> rows; // the row being filled, and the one above it unfiltered
    std::uint8_t* cur;
    std::uint8_t* prev;
    std::size_t filled = 0, y = 0;

    State(const PngHeader& header, const PngColours& colours, std::span<std::uint8_t> out)
        : h(header), conv(header, colours), bgra(out), stride(RowBytes(header, header.width) + 1),
          unit(BitsPerPixel(header) < 8 ? 1 : BitsPerPixel(header) / 8), scan(std::size_t{header.width} * 4),
          rows(2 * stride), cur(rows.data()), prev(rows.data() + stride)
    {
    }
};

PngRowFeed::PngRowFeed(const PngHeader& header, const PngColours& colours, std::span<std::uint8_t> bgra)
{
    if (!header.interlace && IsLegalPngFormat(header.colourType, header.depth) && PngRawSize(header) &&
        bgra.size() >= std::size_t{header.width} * 4 * header.height)
        state_ = std::make_unique<State>(header, colours, bgra);
}

PngRowFeed::~PngRowFeed() = default;

bool PngRowFeed::Take(std::span<const std::uint8_t> bytes)
{
    if (!state_)
        return false;
    State& s = *state_;
    for (SpanReader in(bytes); in.Remaining() > 0;) {
        if (s.y == s.h.height)
            return false; // more data than rows
        const auto piece = in.Take(std::min(s.stride - s.filled, in.Remaining()));
        std::memcpy(s.cur + s.filled, piece->data(), piece->size());
        if ((s.filled += piece->size()) < s.stride)
            break;
        if (!UnfilterPngRow(s.cur[0], s.cur + 1, s.y ? s.prev + 1 : nullptr, s.stride - 1, s.unit) ||
            !s.conv.Row(s.cur + 1, kWhole, s.bgra.data() + (s.h.height - 1 - s.y) * s.scan))
            return false;
        std::swap(s.cur, s.prev);
        s.filled = 0;
        ++s.y;
    }
    return true;
}

bool PngRowFeed::Complete() const { return state_ && state_->y == state_->h.height && state_->filled == 0; }

} // namespace imaging
