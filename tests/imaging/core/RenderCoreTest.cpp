// The own drawing pipeline bit for bit against plain references written from its rules: the
// blend and the lightness exhaustively, the scaler by its properties and a per-pixel reference,
// the mirror, and the argument rules of the drawing entry as a table.
#include "imaging/core/Blend.h"
#include "imaging/core/Effects.h"
#include "imaging/core/GrayWeights.h"
#include "imaging/core/Lightness.h"
#include "imaging/core/RenderPlan.h"
#include "imaging/core/Resample.h"
#include "imaging/core/Simd.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using namespace imaging;
using Pixels = std::vector<std::uint8_t>;

// The blend table: a = 0 leaves the target; results above 255 leave the byte.
void ReferenceBlend(const std::uint8_t* s, std::uint8_t* d, int k, int grey, bool host)
{
    const int a = s[3];
    if (a == 0)
        return;
    auto put = [](std::uint8_t& t, int v) { t = v > 255 ? t : static_cast<std::uint8_t>(v); };
    const GrayWeights w = GrayWeightsForMode(grey);
    const int g = static_cast<int>(std::nearbyint(s[0] * w.blue + s[1] * w.green + s[2] * w.red)) & 255;
    const int channels = host ? 4 : 3;
    if (k == 255 && a == 255) {
        for (int c = 0; c < channels; ++c)
            d[c] = static_cast<std::uint8_t>(grey == -1 ? s[c] : c == 3 ? 255 : g);
        return;
    }
    for (int c = 0; c < channels; ++c) {
        const int src = c == 3 ? a : grey == -1 ? s[c] : g;
        if (k == 255)
            put(d[c], d[c] * (255 - a) / 255 + src);
        else
            put(d[c], (d[c] * (255 - a * k / 255) + src * k) / 255);
    }
}

TEST(Blend, EveryAlphaSourceAndTargetByteMatchesTheTable)
{
    for (const int grey : {-1, 1})
        for (const int k : {255, 127, 2}) {
            const Blender blender(k, grey);
            Pixels src(256 * 4), dst(256 * 4), want(256 * 4), dst24(256 * 3), want24(256 * 3);
            for (int a = 0; a < 256; ++a)
                for (int s = 0; s < 256; s += grey == -1 ? 1 : 3) {
                    for (int d = 0; d < 256; ++d) {
                        // Channels differ so a swapped channel shows; every byte value meets every d.
                        const std::uint8_t px[4] = {std::uint8_t(s), std::uint8_t(s * 7), std::uint8_t(255 - s), std::uint8_t(a)};
                        std::copy(px, px + 4, &src[d * 4]);
                        const std::uint8_t under[4] = {std::uint8_t(d), std::uint8_t(255 - d), std::uint8_t(d ^ 0x5A), std::uint8_t(d)};
                        std::copy(under, under + 4, &dst[d * 4]);
                        std::copy(under, under + 3, &dst24[d * 3]);
                    }
                    want = dst, want24 = dst24;
                    for (int d = 0; d < 256; ++d) {
                        ReferenceBlend(&src[d * 4], &want[d * 4], k, grey, true);
                        ReferenceBlend(&src[d * 4], &want24[d * 3], k, grey, false);
                    }
                    blender.Row(src, dst);
                    blender.Row24(src, dst24);
                    ASSERT_EQ(dst, want) << "k " << k << " grey " << grey << " a " << a << " s " << s;
                    ASSERT_EQ(dst24, want24) << "k " << k << " grey " << grey << " a " << a << " s " << s;
                }
        }
}

TEST(Blend, WorkedExamples)
{
    struct Case {
        int k, grey;
        std::uint8_t src[4], dst[4], want[4];
    };
    const Case cases[] = {
        {255, -1, {100, 100, 100, 128}, {200, 200, 200, 200}, {199, 199, 199, 227}},
        {127, -1, {255, 255, 255, 255}, {0, 0, 0, 0}, {127, 127, 127, 127}},
        {255, 1, {10, 20, 30, 0}, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {255, 2, {30, 60, 90, 255}, {1, 2, 3, 4}, {60, 60, 60, 255}},
    };
    for (const Case& c : cases) {
        std::uint8_t d[4] = {c.dst[0], c.dst[1], c.dst[2], c.dst[3]};
        Blender(c.k, c.grey).Row(c.src, d);
        EXPECT_EQ(Pixels(d, d + 4), Pixels(c.want, c.want + 4)) << c.k << " " << c.grey;
    }
}

TEST(Lightness, EveryAlphaAndColourMatchesTheRule)
{
    for (const float percent : {-100.0f, -50.0f, -33.3f, 0.5f, 12.5f, 50.0f, 100.0f}) {
        const Lightness light(percent);
        const float D = percent / 100.0f * 255.0f;
        Pixels px(256 * 256 * 4);
        for (int a = 0; a < 256; ++a)
            for (int c = 0; c < 256; ++c) {
                std::uint8_t* p = &px[(a * 256 + c) * 4];
                p[0] = p[1] = std::uint8_t(c), p[2] = std::uint8_t(255 - c), p[3] = std::uint8_t(a);
            }
        Pixels got(px.size(), 0xEE);
        light.Apply(px, got);
        for (std::size_t i = 0; i < px.size(); i += 4) {
            const int a = px[i + 3], m = static_cast<int>(std::nearbyint(a * D)) / 255;
            for (int c = 0; c < 4; ++c) {
                const int v = px[i + c] + m, want = a == 0 ? 0xEE : c == 3 ? a : D > 0 ? std::min(v, a) : std::max(v, 0);
                ASSERT_EQ(got[i + c], want) << percent << " a " << a << " c " << int(px[i + c]);
            }
        }
    }
    Pixels one = {190, 10, 0, 200};
    Lightness(50).Apply(one);
    EXPECT_EQ(one, (Pixels{200, 110, 100, 200}));
    for (const float ignored : {150.0f, -101.0f, std::numeric_limits<float>::quiet_NaN()})
        EXPECT_FALSE(Lightness(ignored).Changes()) << ignored;
}

Pixels RandomPremultiplied(std::mt19937& rng, int w, int h, bool opaque)
{
    Pixels px(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < px.size(); i += 4) {
        const int a = opaque ? 255 : static_cast<int>(rng() % 4 == 0 ? 0 : rng() % 256);
        for (int c = 0; c < 3; ++c)
            px[i + c] = static_cast<std::uint8_t>(a ? rng() % (a + 1) : 0);
        px[i + 3] = static_cast<std::uint8_t>(a);
    }
    return px;
}

Pixels Produce(const Scaler& s)
{
    Pixels out, scratch(static_cast<std::size_t>(s.Width()) * 4);
    for (int y = 0; y < s.Height(); ++y) {
        const auto row = s.Row(y, scratch);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// Output (x, y from the top) of the weighted rule, one pixel at a time.
std::uint8_t ReferenceWeighted(const PixelView& v, PixelRect r, int outW, int outH, int x, int yTop, int ch)
{
    auto axis = [](std::int64_t i, int size, int out, int first, int last, int& index, int& next) {
        index = first + static_cast<int>(i * size / out);
        const double frac = static_cast<double>(i * size % out) / out;
        next = index == last ? 0 : static_cast<int>(std::floor(frac * 128 + 0.5));
    };
    int ix, wx, iy, wy;
    const int bottom = v.Height() - r.height - r.y;
    axis(x, r.width, outW, r.x, r.x + r.width - 1, ix, wx);
    axis(outH - 1 - yTop, r.height, outH, bottom, bottom + r.height - 1, iy, wy);
    int sum = 8192;
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const int weight = (dx ? wx : 128 - wx) * (dy ? wy : 128 - wy);
            if (weight)
                sum += weight * v.Row(iy + dy)[(ix + dx) * 4 + ch];
        }
    return static_cast<std::uint8_t>(sum >> 14);
}

TEST(Scaler, CopiesAtItsOwnSizeKeepsUniformAndOpaqueAndNeverRaisesColourAboveAlpha)
{
    std::mt19937 rng(121);
    for (int round = 0; round < 300; ++round) {
        const int w = 1 + rng() % 23, h = 1 + rng() % 17;
        const bool opaque = round % 3 == 0, uniform = round % 5 == 1, weighted = round % 2;
        Pixels px = RandomPremultiplied(rng, w, h, opaque);
        if (uniform)
            for (std::size_t i = 4; i < px.size(); ++i)
                px[i] = px[i % 4];
        const auto view = *PixelView::Packed(px, w, h);
        PixelRect rect{static_cast<int>(rng() % w), static_cast<int>(rng() % h), 0, 0};
        rect.width = 1 + static_cast<int>(rng() % (w - rect.x)), rect.height = 1 + static_cast<int>(rng() % (h - rect.y));
        const int outW = round % 7 == 0 ? rect.width : 1 + static_cast<int>(rng() % 40);
        const int outH = round % 7 == 0 ? rect.height : 1 + static_cast<int>(rng() % 40);
        const PixelRect full{0, 0, outW, outH};
        const auto scaler = Scaler::Make(view, rect, outW, outH, full, weighted);
        ASSERT_TRUE(scaler);
        const Pixels out = Produce(*scaler);
        for (int y = 0; y < outH; ++y)
            for (int x = 0; x < outW; ++x) {
                const std::uint8_t* o = &out[(y * outW + x) * 4];
                const std::uint8_t* same = &view.RowFromTop(rect.y + y * rect.height / outH)[(rect.x + x) * 4];
                ASSERT_LE(std::max({o[0], o[1], o[2]}), o[3]) << round;
                ASSERT_TRUE(!opaque || o[3] == 255) << round;
                ASSERT_TRUE(!uniform || std::equal(o, o + 4, px.begin())) << round;
                ASSERT_TRUE(outW != rect.width || outH != rect.height || std::equal(o, o + 4, same)) << round;
                for (int ch = 0; ch < 4 && weighted; ++ch)
                    ASSERT_EQ(o[ch], ReferenceWeighted(view, rect, outW, outH, x, y, ch)) << round << " " << x << "," << y;
            }
        // Drawn onto a target, the rows blend as the blend rows them, whatever way the draw takes.
        Pixels onto = RandomPremultiplied(rng, outW + 2, outH + 1, false), want = onto;
        const Blender blender(round % 4 == 0 ? 127 : 255, -1);
        const auto target = *PixelView::Packed(onto, outW + 2, outH + 1), expected = *PixelView::Packed(want, outW + 2, outH + 1);
        ASSERT_TRUE(DrawScaled(*scaler, Lightness(0), blender, target, 2, 1));
        for (int y = 0; y < outH; ++y)
            blender.Row(std::span(out).subspan(static_cast<std::size_t>(y) * outW * 4, outW * 4), expected.RowFromTop(y + 1).subspan(8));
        ASSERT_EQ(onto, want) << round;
        // Any window of the output is that part of the whole output.
        const PixelRect part{static_cast<int>(rng() % outW), static_cast<int>(rng() % outH), 1, 1};
        const auto piece = Scaler::Make(view, rect, outW, outH, {part.x, part.y, outW - part.x, outH - part.y}, weighted);
        const Pixels cut = Produce(*piece);
        for (int y = part.y; y < outH; ++y)
            ASSERT_TRUE(std::equal(cut.data() + (y - part.y) * (outW - part.x) * 4,
                                   cut.data() + (y - part.y + 1) * (outW - part.x) * 4, out.data() + (y * outW + part.x) * 4))
                << round;
    }
}

TEST(Scaler, NearestTwiceRepeatsEachPixelAndRefusesWhatLeavesTheSource)
{
    Pixels px = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4}; // bottom row 1 2, top row 3 4
    const auto view = *PixelView::Packed(px, 2, 2);
    const Pixels out = Produce(*Scaler::Make(view, {0, 0, 2, 2}, 4, 4, {0, 0, 4, 4}, false));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out[(y * 4 + x) * 4], (y < 2 ? 3 : 1) + x / 2) << x << "," << y;
    for (const PixelRect bad : {PixelRect{1, 0, 2, 2}, PixelRect{0, -1, 1, 1}, PixelRect{0, 0, 0, 1}})
        EXPECT_FALSE(Scaler::Make(view, bad, 4, 4, {0, 0, 4, 4}, true));
    EXPECT_FALSE(Scaler::Make(view, {0, 0, 2, 2}, 4, 4, {1, 0, 4, 4}, true)) << "window past the output";
}

// Runs of eight clear, opaque, partial and broken (colour above alpha, even with alpha 0) pixels.
Pixels MixedRuns(std::mt19937& rng, int w, int h, unsigned start)
{
    Pixels src(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < src.size(); i += 4) {
        const unsigned kind = (i / 32 + start) % 4, a = kind == 0 ? 0 : kind == 1 ? 255 : rng() % 256;
        for (int c = 0; c < 3; ++c)
            src[i + c] = static_cast<std::uint8_t>(kind == 3 ? rng() % 256 : a ? rng() % (a + 1) : 0);
        src[i + 3] = static_cast<std::uint8_t>(a);
    }
    return src;
}

// Rows blended, then the picture scaled onto the target, with the scalar loops, the four-pixel
// ones (no AVX2) and the eight-pixel ones (where the processor has them), in that order.
std::vector<Pixels> EachLoop(const PixelView& view, PixelRect rect, int outW, int outH, const Pixels& onto, int k,
                             bool weighted)
{
    std::vector<Pixels> got;
    for (const int loops : {0, 1, 2}) {
        simd::AllowSse2(loops > 0);
        simd::AllowAvx2(loops > 1);
        if (loops == 2 && !simd::Avx2())
            break;
        const Blender blender(k, -1);
        Pixels rows = onto, scaled = onto;
        for (int y = 0; y < std::min(view.Height(), outH); ++y)
            blender.Row(view.Row(y), PixelView::Packed(rows, outW, outH)->Row(y));
        const auto scaler = Scaler::Make(view, rect, outW, outH, {0, 0, outW, outH}, weighted);
        EXPECT_TRUE(DrawScaled(*scaler, Lightness(0), blender, *PixelView::Packed(scaled, outW, outH), 0, 0));
        rows.insert(rows.end(), scaled.begin(), scaled.end());
        got.push_back(rows);
    }
    simd::AllowSse2(true);
    simd::AllowAvx2(true);
    return got;
}

// Processors without AVX2, or without SSE2 (the 32-bit build's), run the narrower loops: they
// give the bytes of the wider ones, scaled up and down, at every opacity.
TEST(Blend, ScalarFourAndEightPixelLoopsAgree)
{
    std::mt19937 rng(23);
    for (int round = 0; round < 400; ++round) {
        const int w = 1 + rng() % 70, h = 1 + rng() % 6, outW = 1 + rng() % 90, outH = 1 + rng() % 8;
        Pixels src = MixedRuns(rng, w, h, round);
        const Pixels onto = RandomPremultiplied(rng, outW, outH, false);
        const int k = round % 3 == 0 ? 255 : 1 + static_cast<int>(rng() % 254);
        const auto got = EachLoop(*PixelView::Packed(src, w, h), {0, 0, w, h}, outW, outH, onto, k, round % 2);
        for (std::size_t loops = 1; loops < got.size(); ++loops)
            ASSERT_EQ(got[0], got[loops]) << "round " << round << ", loops " << loops;
    }
}

// Nearest rows read by runs of neighbouring pixels (one to three runs a group of eight, or pixel
// by pixel below a third) give the scalar loop's bytes, groups at the row's end and tails too.
TEST(Blend, NearestRunsGiveTheScalarBytesAtEveryFactor)
{
    struct Case {
        double factor;
        int width;
    };
    const Case cases[] = {{1.6, 21}, {1.0, 7},  {0.95, 67}, {0.9, 40},  {0.9, 11},  {0.75, 61},
                          {0.6, 99}, {0.5, 64}, {0.45, 85}, {0.4, 130}, {0.33, 128}, {0.25, 77}};
    std::mt19937 rng(33);
    for (const Case& c : cases) {
        const int h = 5, outW = static_cast<int>(std::lround((c.width - 3) * c.factor)) + 1, outH = 4;
        Pixels src = MixedRuns(rng, c.width, h, static_cast<unsigned>(c.width));
        const Pixels onto = RandomPremultiplied(rng, outW, outH, false);
        for (const int k : {255, 100}) {
            // The rectangle leaves the picture's first two columns and its last.
            const auto got = EachLoop(*PixelView::Packed(src, c.width, h), {2, 1, c.width - 3, h - 1}, outW, outH, onto, k,
                                      false);
            for (std::size_t loops = 1; loops < got.size(); ++loops)
                EXPECT_EQ(got[0], got[loops]) << "factor " << c.factor << ", width " << c.width << ", loops " << loops;
        }
    }
}

TEST(Mirror, RectanglesComeFromTheMirroredPicture)
{
    // 3 x 2, top row 1 2 3, bottom row 4 5 6 (one byte a pixel shown).
    Pixels px(24);
    const int top[6] = {4, 5, 6, 1, 2, 3};
    for (int i = 0; i < 6; ++i)
        px[i * 4] = static_cast<std::uint8_t>(top[i]);
    const auto view = *PixelView::Packed(px, 3, 2);
    struct Case {
        PixelRect rect;
        bool h, v;
        std::vector<int> topDown;
    };
    const Case cases[] = {
        {{0, 0, 3, 2}, true, true, {6, 5, 4, 3, 2, 1}},
        {{0, 0, 3, 2}, true, false, {3, 2, 1, 6, 5, 4}},
        {{1, 0, 2, 1}, true, false, {2, 1}},
        {{0, 1, 2, 1}, false, true, {1, 2}},
    };
    for (const Case& c : cases) {
        Pixels out(static_cast<std::size_t>(c.rect.width) * c.rect.height * 4);
        ASSERT_TRUE(MirrorRect(view, c.rect, c.h, c.v, *PixelView::Packed(out, c.rect.width, c.rect.height)));
        const auto got = *PixelView::Packed(out, c.rect.width, c.rect.height);
        for (int i = 0; i < c.rect.width * c.rect.height; ++i)
            EXPECT_EQ(got.RowFromTop(i / c.rect.width)[(i % c.rect.width) * 4], c.topDown[i]) << i;
    }
    Pixels copy = px;
    MirrorInPlace(*PixelView::Packed(copy, 3, 2), true, true);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(copy[i * 4], px[(5 - i) * 4]);
}

TEST(RenderPlan, ArgumentsAreNormalisedAndThePathChosen)
{
    constexpr float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Case {
        RenderRequest r;
        RenderPath path;
        int percent, destX, destWidth, srcX, srcWidth;
    };
    // A 40 x 30 image, AlphaBlend friendly, GDI+ off, nearest scaling.
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0, 0}, RenderPath::Nothing, 0, 0, 0, 0, 0},
        {{0, 0, 0, 0, 0, 0, 0, 0, -5}, RenderPath::Nothing, 0, 0, 0, 0, 0},
        {{0, 0, 0, 0, 0, 0, 0, 0, INT_MIN}, RenderPath::Nothing, 0, 0, 0, 0, 0},
        {{0, 0, 0, 0, 0, 0, 0, 0, 150}, RenderPath::AlphaBlend, 50, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 200}, RenderPath::AlphaBlend, 100, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 101}, RenderPath::AlphaBlend, 1, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 250}, RenderPath::AlphaBlend, 50, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 100, -1, 0, 720}, RenderPath::AlphaBlend, 100, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 100, -1, 0, -360}, RenderPath::AlphaBlend, 100, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 100, -1, 0, 359.5f}, RenderPath::Rotated, 100, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 100, -1, 0, -90}, RenderPath::Rotated, 100, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 100, -1, 0, nan}, RenderPath::AlphaBlend, 100, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 100, -1, inf, -inf}, RenderPath::AlphaBlend, 100, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 100, -1, 150}, RenderPath::AlphaBlend, 100, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 100, -1, -20}, RenderPath::Own, 100, 0, 40, 0, 40},
        {{0, 0, 0, 0, 0, 0, 0, 0, 100, 1}, RenderPath::Own, 100, 0, 40, 0, 40},
        {{0, 0, 10, 0, 0, 0, -10, 0}, RenderPath::Own, 100, 0, -10, 0, 10},
        {{0, 0, -10, 0, 0, 0, -10, 0}, RenderPath::AlphaBlend, 100, 0, 10, 0, 10},
        {{0, 0, 0, 0, 5, 0, 40, 0}, RenderPath::AlphaBlend, 100, 0, 40, 5, 35},
        {{0, 0, 0, 0, -5, 0, 0, 0}, RenderPath::AlphaBlend, 100, 0, 40, 0, 40},
        {{100, 0, -40, 0, 0, 0, 0, 0, 100, -1, 0, 0, true}, RenderPath::Own, 100, 80, -40, 0, 40},
        {{100, 0, -40, 0, 0, 0, 0, 0, 100, -1, 0, 90, true}, RenderPath::Rotated, 100, 120, -40, 0, 40},
        {{0, 0, 0, 0, 40, 0, 0, 0}, RenderPath::Refused, 0, 0, 0, 0, 0},
        {{0, 0, 0, 0, 0, 30, 0, 0}, RenderPath::Refused, 0, 0, 0, 0, 0},
        {{0, 0, INT_MIN, 0, 0, 0, 0, 0}, RenderPath::Refused, 0, 0, 0, 0, 0},
        {{0, 0, 0, 0, 0, 0, INT_MIN, 0}, RenderPath::Own, 100, 0, -40, 0, 40},
        {{INT_MIN, 0, 0, 0, 0, 0, 0, 0, 100, -1, 0, 0, true}, RenderPath::Refused, 0, 0, 0, 0, 0},
    };
    const RenderContext context{40, 30, true, false, false, true, false};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const RenderPlan p = PlanRender(c.r, context);
        EXPECT_EQ(p.path, c.path) << i;
        if (p.path == RenderPath::Refused || p.path == RenderPath::Nothing)
            continue;
        EXPECT_EQ(p.percent, c.percent) << i;
        EXPECT_EQ(p.opacityByte, c.percent * 255 / 100) << i;
        EXPECT_EQ(p.destX, c.destX) << i;
        EXPECT_EQ(p.destWidth, c.destWidth) << i;
        EXPECT_EQ(p.srcX, c.srcX) << i;
        EXPECT_EQ(p.srcWidth, c.srcWidth) << i;
        EXPECT_TRUE(std::isfinite(p.angle) && p.light >= -100 && p.light <= 100) << i;
    }
    // Without an image or a target nothing is drawn; GDI+ takes what AlphaBlend may not, and
    // every scaled draw when its token is shared.
    EXPECT_EQ(PlanRender({}, {0, 0, true}).path, RenderPath::Refused);
    EXPECT_EQ(PlanRender({}, {40, 30, false}).path, RenderPath::Refused);
    RenderRequest grey;
    grey.grayScale = 3;
    EXPECT_EQ(PlanRender(grey, {40, 30, true, false, true, true}).path, RenderPath::GdiPlus);
    EXPECT_EQ(PlanRender({}, {40, 30, true, false, true, true}).path, RenderPath::AlphaBlend);
    RenderRequest larger;
    larger.destWidth = 80;
    EXPECT_EQ(PlanRender(larger, {40, 30, true, true, true, true}).path, RenderPath::GdiPlus);
    EXPECT_EQ(PlanRender({}, {40, 30, true, true, true, true}).path, RenderPath::AlphaBlend);
    RenderRequest scaled;
    scaled.destWidth = 80;
    EXPECT_EQ(PlanRender(scaled, {40, 30, true, false, false, true, true}).path, RenderPath::Own);
}

} // namespace
