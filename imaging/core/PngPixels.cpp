#include "imaging/core/PngPixels.h"

#include "imaging/core/PixelLimit.h"
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

std::size_t RowByteCount(const PngHeader& h, std::size_t pixels) { return (BitsPerPixel(h) * pixels + 7) / 8; }

std::size_t PassCount(std::size_t size, unsigned start, unsigned step) { return size > start ? (size - start + step - 1) / step : 0; }

// Stores one pixel premultiplied; (c * a) / 255 truncated, so alpha 0 gives 0,0,0,0.
void Put(std::uint8_t* p, unsigned r, unsigned g, unsigned b, unsigned a)
{
    p[0] = static_cast<std::uint8_t>(b * a / 255);
    p[1] = static_cast<std::uint8_t>(g * a / 255);
    p[2] = static_cast<std::uint8_t>(r * a / 255);
    p[3] = static_cast<std::uint8_t>(a);
}

void PutOpaque(std::uint8_t* p, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const std::uint8_t bgra[4] = {b, g, r, 255};
    std::memcpy(p, bgra, 4);
}

// RGBA rows at depth 8 or 16 (whose high bytes are taken), the commonest layouts, pixel after pixel.
template <unsigned Depth>
void PutRgbaRow(const std::uint8_t* s, std::uint8_t* p, std::size_t count)
{
    constexpr std::size_t kBytes = Depth / 2; // of a pixel's samples
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi16(1), low = _mm_set1_epi16(0xFF);
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    const auto premultiply = [&](__m128i v) {
        const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF);
        const __m128i t = _mm_mullo_epi16(v, alpha);
        // t / 255 truncated, exact for t = c * a with c and a up to 255.
        __m128i q = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, one), _mm_srli_epi16(t, 8)), 8);
        q = _mm_or_si128(_mm_and_si128(alphaLanes, v), _mm_andnot_si128(alphaLanes, q));
        return _mm_shufflehi_epi16(_mm_shufflelo_epi16(q, 0xC6), 0xC6); // R G B A -> B G R A
    };
    const auto load = [](const std::uint8_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    for (; i + 4 <= count; i += 4) {
        __m128i lo, hi;
        if constexpr (Depth == 8) {
            const __m128i v = load(s + 4 * i);
            lo = _mm_unpacklo_epi8(v, zero);
            hi = _mm_unpackhi_epi8(v, zero);
        } else {
            // Big-endian samples: each one's high byte is the low byte of its 16-bit lane.
            lo = _mm_and_si128(load(s + 8 * i), low);
            hi = _mm_and_si128(load(s + 8 * i + 16), low);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4 * i), _mm_packus_epi16(premultiply(lo), premultiply(hi)));
    }
#endif
    for (; i < count; ++i) {
        const std::uint8_t* x = s + kBytes * i;
        Put(p + 4 * i, x[0], x[kBytes / 4], x[kBytes / 2], x[3 * kBytes / 4]);
    }
}

struct Converter {
    const PngHeader& h;
    const PngColours& c;
    // Types 0 and 3 below depth 16: each sample value's pixel, premultiplied B, G, R, A.
    std::uint8_t table[256][4] = {};

    Converter(const PngHeader& header, const PngColours& colours) : h(header), c(colours)
    {
        if (h.depth == 16 || (h.colourType != 0 && h.colourType != 3))
            return;
        if (h.colourType == 3) {
            // An index past the palette is opaque black, as libpng gives it.
            const std::size_t entries = std::min<std::size_t>(c.palette.size() / 3, 256);
            for (std::size_t v = 0; v < 256; ++v)
                if (v < entries)
                    Put(table[v], c.palette[3 * v], c.palette[3 * v + 1], c.palette[3 * v + 2], v < c.alphas.size() ? c.alphas[v] : 255);
                else
                    PutOpaque(table[v], 0, 0, 0);
            return;
        }
        const unsigned levels = (1u << h.depth) - 1;
        for (unsigned v = 0; v <= levels; ++v) {
            const unsigned grey = v * (255 / levels);
            Put(table[v], grey, grey, grey, KeyMatches(v, c.key[1], c.key[2]) ? 0 : 255);
        }
    }

    bool KeyMatches(unsigned s0, unsigned s1, unsigned s2) const
    {
        return c.hasKey && s0 == c.key[0] && s1 == c.key[1] && s2 == c.key[2];
    }

    // Converts the pixels x = pass.colStart, + colStep ... of one unfiltered row.
    void Row(const std::uint8_t* s, const Pass& pass, std::uint8_t* dst) const
    {
        const std::size_t step = std::size_t{pass.colStep} * 4;
        std::uint8_t* p = dst + std::size_t{pass.colStart} * 4;
        std::uint8_t* const end = dst + std::size_t{h.width} * 4;
        if (h.colourType == 6 && pass.colStep == 1) {
            if (h.depth == 8)
                PutRgbaRow<8>(s, p, h.width);
            else
                PutRgbaRow<16>(s, p, h.width);
            return;
        }
        if (h.depth == 8) {
            switch (h.colourType) {
            case 6:
                for (; p < end; p += step, s += 4)
                    Put(p, s[0], s[1], s[2], s[3]);
                return;
            case 2:
                if (!c.hasKey) {
                    for (; p < end; p += step, s += 3)
                        PutOpaque(p, s[0], s[1], s[2]);
                    return;
                }
                for (; p < end; p += step, s += 3)
                    Put(p, s[0], s[1], s[2], KeyMatches(s[0], s[1], s[2]) ? 0 : 255);
                return;
            case 4:
                for (; p < end; p += step, s += 2)
                    Put(p, s[0], s[0], s[0], s[1]);
                return;
            default: // one byte a sample: straight from the table
                for (; p < end; p += step, ++s)
                    std::memcpy(p, table[*s], 4);
                return;
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
            return;
        }
        // Types 0 and 3 at depths 1 to 4: samples packed from the most significant bit.
        const unsigned depth = h.depth, mask = (1u << depth) - 1;
        unsigned shift = 8;
        for (; p < end; p += step) {
            if (shift == 0) {
                shift = 8;
                ++s;
            }
            shift -= depth;
            std::memcpy(p, table[(*s >> shift) & mask], 4);
        }
    }
};

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

std::optional<std::size_t> RawDataSize(const PngHeader& h)
{
    if (h.width == 0 || h.height == 0 || h.width > kMaxPngSide || h.height > kMaxPngSide ||
        !FitsPixelLimit(h.width, h.height))
        return std::nullopt;
    if (!h.interlace)
        return std::size_t{h.height} * (RowByteCount(h, h.width) + 1);
    std::size_t total = 0;
    for (const Pass& p : kAdam7) {
        const std::size_t w = PassCount(h.width, p.colStart, p.colStep), rows = PassCount(h.height, p.rowStart, p.rowStep);
        if (w && rows)
            total += rows * (RowByteCount(h, w) + 1);
    }
    return total;
}

struct PngRowFeed::State {
    const PngHeader& h;
    Converter conv;
    std::span<std::uint8_t> bgra;
    std::span<const Pass> passes;
    std::size_t unit, scan;
    std::vector<std::uint8_t> rows; // the row being filled, and the one above it unfiltered
    std::uint8_t* cur;
    std::uint8_t* prev;
    std::size_t pass = 0, passRows = 0, stride = 0, filled = 0, r = 0;

    State(const PngHeader& header, const PngColours& colours, std::span<std::uint8_t> out)
        : h(header), conv(header, colours), bgra(out),
          passes(header.interlace ? std::span<const Pass>(kAdam7) : std::span<const Pass>(&kWhole, 1)),
          unit(BitsPerPixel(header) < 8 ? 1 : BitsPerPixel(header) / 8), scan(std::size_t{header.width} * 4),
          rows(2 * (RowByteCount(header, header.width) + 1)), cur(rows.data()), prev(rows.data() + rows.size() / 2)
    {
        Enter(0);
    }

    // Moves to the first pass from `p` on that has pixels; past the last one when none has.
    void Enter(std::size_t p)
    {
        for (pass = p; pass < passes.size(); ++pass) {
            const Pass& at = passes[pass];
            const std::size_t w = PassCount(h.width, at.colStart, at.colStep);
            passRows = PassCount(h.height, at.rowStart, at.rowStep);
            if (w && passRows) {
                stride = RowByteCount(h, w) + 1;
                r = 0;
                return;
            }
        }
    }

    // Unfilters and converts the row just filled; the first row of each pass has none above it.
    bool RowDone()
    {
        const Pass& at = passes[pass];
        const std::size_t y = at.rowStart + r * at.rowStep;
        if (!UnfilterPngRow(cur[0], cur + 1, r ? prev + 1 : nullptr, stride - 1, unit))
            return false;
        conv.Row(cur + 1, at, bgra.data() + (h.height - 1 - y) * scan);
        std::swap(cur, prev);
        filled = 0;
        if (++r == passRows)
            Enter(pass + 1);
        return true;
    }
};

PngRowFeed::PngRowFeed(const PngHeader& header, const PngColours& colours, std::span<std::uint8_t> bgra)
{
    if (header.interlace <= 1 && IsLegalPngFormat(header.colourType, header.depth) && RawDataSize(header) &&
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
        if (s.pass == s.passes.size())
            return false; // more data than rows
        const auto piece = in.Take(std::min(s.stride - s.filled, in.Remaining()));
        std::memcpy(s.cur + s.filled, piece->data(), piece->size());
        if ((s.filled += piece->size()) == s.stride && !s.RowDone())
            return false;
    }
    return true;
}

bool PngRowFeed::Complete() const { return state_ && state_->pass == state_->passes.size() && state_->filled == 0; }

} // namespace imaging
