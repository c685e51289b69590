// The own pipeline's blend and scaling against pixman, the compositor under cairo and the X
// server: a 1024 x 1024 premultiplied picture over a 1024 x 1024 target, and scaled to
// 1536 x 1536 over a target of that size; then nearest shrinking, at factors from 0.95 to 0.33,
// of a 2000 x 1500 photo with alpha and of a 1024 x 1024 translucent overlay with text. Each
// table is timed with the eight-pixel AVX2 loops (where the processor has them) and again with
// the four-pixel SSE2 ones. Minimum and median of 31 runs; ratios run by run.
#include "NativeTiming.h"
#include "imaging/core/Blend.h"
#include "imaging/core/Lightness.h"
#include "imaging/core/Resample.h"
#include "imaging/core/Simd.h"

#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using nativebench::NowMs;

void Report(const char* what, const std::vector<double>& ours, const std::vector<double>& theirs)
{
    nativebench::Report(what, ours, theirs, 2);
}

using imaging::PixelView;
int kRuns = 31;
constexpr int kSide = 1024, kScaled = 1536;

// A picture as icons and logos are: an opaque disc with a soft rim, transparent around it, and
// noise in the colours; or alpha rising across the picture, every 4-pixel group partial.
Bytes Picture(bool disc)
{
    std::mt19937 rng(1024);
    Bytes px(std::size_t{kSide} * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double r = std::hypot(x - kSide / 2.0, y - kSide / 2.0);
            const int a = disc ? std::clamp(static_cast<int>((512 - r) * 255 / 112), 0, 255) : (x + y / 7) % 256;
            std::uint8_t* p = &px[(std::size_t{static_cast<unsigned>(y)} * kSide + x) * 4];
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>(((x * (c + 1) + y) / 5 + rng() % 9) % 256 * a / 255);
            p[3] = static_cast<std::uint8_t>(a);
        }
    return px;
}

// A photo cut out with a soft edge: smooth colours with sensor noise, opaque in the middle,
// its alpha falling off over a wide rim to clear corners.
Bytes Photo(int w, int h)
{
    std::mt19937 rng(2000);
    Bytes px(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double d = std::hypot((x - w / 2.0) / (0.56 * w), (y - h / 2.0) / (0.56 * h));
            const int a = std::clamp(static_cast<int>((1.0 - d) * 255 / 0.2), 0, 255);
            std::uint8_t* p = &px[(std::size_t(y) * w + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const double v = 128 + 70 * std::sin(x * 0.011 + c * 1.7 + std::sin(y * 0.004)) +
                                 45 * std::sin(y * 0.017 + x * 0.003 * (c + 1)) + static_cast<int>(rng() % 25) - 12;
                p[c] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(v), 0, 255) * a / 255);
            }
            p[3] = static_cast<std::uint8_t>(a);
        }
    return px;
}

// A dark panel at two thirds opacity with a clear margin, carrying lines of white text: glyphs
// of bars with soft edges, opaque where they cover the panel whole.
Bytes Overlay(int side)
{
    std::mt19937 rng(1024);
    Bytes px(std::size_t(side) * side * 4);
    const int panel = 170, inset = 24;
    std::vector<std::uint8_t> ink(std::size_t(side) * side);
    for (int line = inset + 16; line + 14 < side - inset; line += 22)
        for (int cell = inset + 12; cell + 8 < side - inset - 12; cell += 10) {
            if (rng() % 7 == 0)
                continue; // a space
            for (int bar = 0; bar < 3; ++bar) {
                const bool across = rng() % 2;
                const int x0 = cell + (across ? 0 : static_cast<int>(rng() % 7)), y0 = line + (across ? static_cast<int>(rng() % 13) : 0);
                const int x1 = across ? cell + 8 : x0 + 2, y1 = across ? y0 + 2 : line + 14;
                for (int y = y0; y < y1; ++y)
                    for (int x = x0; x < x1; ++x) {
                        const bool edge = x == x0 || x == x1 - 1 || y == y0 || y == y1 - 1;
                        auto& i = ink[std::size_t(y) * side + x];
                        i = std::max<std::uint8_t>(i, edge ? 110 : 255);
                    }
            }
        }
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            std::uint8_t* p = &px[(std::size_t(y) * side + x) * 4];
            if (x < inset || y < inset || x >= side - inset || y >= side - inset)
                continue;
            const int t = ink[std::size_t(y) * side + x];
            const int a = t + (255 - t) * panel / 255;
            p[0] = static_cast<std::uint8_t>(t + (255 - t) * 40 * panel / 255 / 255);
            p[1] = static_cast<std::uint8_t>(t + (255 - t) * 30 * panel / 255 / 255);
            p[2] = static_cast<std::uint8_t>(t + (255 - t) * 25 * panel / 255 / 255);
            p[3] = static_cast<std::uint8_t>(a);
        }
    return px;
}

Bytes Background(int w, int h)
{
    Bytes px(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<std::uint8_t>(i % 4 == 3 ? 255 : (i * 7) % 251);
    return px;
}

Bytes Background(int side) { return Background(side, side); }

pixman_image_t* Image(Bytes& px, int w, int h)
{
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, reinterpret_cast<std::uint32_t*>(px.data()), w * 4);
}

pixman_image_t* Image(Bytes& px, int side) { return Image(px, side, side); }

struct Pair {
    std::vector<double> ours, theirs;
};

// Alternates the two within each run, so that load changes weigh on both alike; the target is
// restored before each timing.
Pair Time(Bytes& target, const Bytes& base, const std::function<void()>& ours, const std::function<void()>& theirs)
{
    Pair p;
    for (int i = 0; i < kRuns; ++i) {
        for (int side = 0; side < 2; ++side) {
            std::memcpy(target.data(), base.data(), base.size());
            const double start = NowMs();
            (side ? theirs : ours)();
            (side ? p.theirs : p.ours).push_back(NowMs() - start);
        }
    }
    return p;
}

// Nearest shrinking of `picture` (w x h) by each factor, over an opaque target of the output's
// size; pixman: `OVER` with the matching scale transform and the nearest filter.
void Shrink(const char* kind, Bytes& picture, int w, int h)
{
    const PixelView source = *PixelView::Packed(picture, w, h);
    pixman_image_t* src = Image(picture, w, h);
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    const imaging::Blender blender(255, -1);
    const imaging::Lightness none(0);
    for (const double factor : {0.95, 0.9, 0.75, 0.6, 0.5, 0.33}) {
        const int outW = static_cast<int>(std::lround(w * factor)), outH = static_cast<int>(std::lround(h * factor));
        const Bytes base = Background(outW, outH);
        Bytes target = base;
        const PixelView onto = *PixelView::Packed(target, outW, outH);
        pixman_image_t* dst = Image(target, outW, outH);
        pixman_transform_t scale;
        pixman_transform_init_scale(&scale, pixman_double_to_fixed(double(w) / outW), pixman_double_to_fixed(double(h) / outH));
        pixman_image_set_transform(src, &scale);
        const Pair t = Time(
            target, base,
            [&] {
                const auto scaler = imaging::Scaler::Make(source, {0, 0, w, h}, outW, outH, {0, 0, outW, outH}, false);
                imaging::DrawScaled(*scaler, none, blender, onto, 0, 0);
            },
            [&] { pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, outW, outH); });
        char what[96];
        std::snprintf(what, sizeof what, "%s, nearest × %.2f and blend ÷ pixman nearest `OVER`", kind, factor);
        Report(what, t.ours, t.theirs);
        pixman_image_unref(dst);
    }
    pixman_image_unref(src);
}

void Tables()
{
    for (const bool disc : {true, false}) {
        Bytes picture = Picture(disc);
        const Bytes base = Background(kSide), scaledBase = Background(kScaled);
        Bytes target = base, scaledTarget = scaledBase;
        const PixelView source = *PixelView::Packed(picture, kSide, kSide);
        const PixelView onto = *PixelView::Packed(target, kSide, kSide);
        const PixelView ontoScaled = *PixelView::Packed(scaledTarget, kScaled, kScaled);
        pixman_image_t* src = Image(picture, kSide);
        pixman_image_t* dst = Image(target, kSide);
        pixman_image_t* dstScaled = Image(scaledTarget, kScaled);
        const imaging::Lightness none(0);
        const char* kind = disc ? "disc" : "alpha ramp";

        for (const int percent : {100, 50}) {
            const imaging::Blender blender(percent * 255 / 100, -1);
            const pixman_color_t half{0, 0, 0, static_cast<std::uint16_t>(percent * 0xFFFF / 100)};
            pixman_image_t* mask = percent == 100 ? nullptr : pixman_image_create_solid_fill(&half);
            const Pair t = Time(
                target, base,
                [&] {
                    for (int y = 0; y < kSide; ++y)
                        blender.Row(source.Row(y), onto.Row(y));
                },
                [&] { pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kSide, kSide); });
            char what[96];
            std::snprintf(what, sizeof what, "%s, blend at %d %% ÷ `OVER`", kind, percent);
            Report(what, t.ours, t.theirs);
            if (mask)
                pixman_image_unref(mask);
        }

        for (const bool weighted : {true, false}) {
            const imaging::Blender blender(255, -1);
            pixman_transform_t scale;
            pixman_transform_init_scale(&scale, pixman_double_to_fixed(double(kSide) / kScaled),
                                        pixman_double_to_fixed(double(kSide) / kScaled));
            pixman_image_set_transform(src, &scale);
            pixman_image_set_filter(src, weighted ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr, 0);
            const Pair t = Time(
                scaledTarget, scaledBase,
                [&] {
                    const auto scaler = imaging::Scaler::Make(source, {0, 0, kSide, kSide}, kScaled, kScaled,
                                                              {0, 0, kScaled, kScaled}, weighted);
                    imaging::DrawScaled(*scaler, none, blender, ontoScaled, 0, 0);
                },
                [&] {
                    pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dstScaled, 0, 0, 0, 0, 0, 0, kScaled, kScaled);
                });
            pixman_image_set_transform(src, nullptr);
            pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
            char what[96];
            std::snprintf(what, sizeof what, "%s, %s scale to 1536² and blend ÷ pixman %s `OVER`", kind,
                          weighted ? "weighted" : "nearest", weighted ? "bilinear" : "nearest");
            Report(what, t.ours, t.theirs);
        }
        pixman_image_unref(src);
        pixman_image_unref(dst);
        pixman_image_unref(dstScaled);
    }
    Bytes photo = Photo(2000, 1500), overlay = Overlay(1024);
    Shrink("photo 2000 × 1500", photo, 2000, 1500);
    Shrink("overlay 1024²", overlay, 1024, 1024);
}

} // namespace

int main(int argc, char** argv)
{
    // Arguments: the number of runs, and `sse2` for the loops of processors without AVX2 only.
    bool wide = imaging::simd::Avx2();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "sse2") == 0)
            wide = false;
        else
            kRuns = std::atoi(argv[i]);
    }
    for (const bool eight : {true, false}) {
        if (eight && !wide)
            continue;
        imaging::simd::AllowAvx2(eight);
        std::printf("\n%s loops\n", eight ? "AVX2" : "SSE2");
        std::printf("| what | ours min / median | pixman min / median | ratio min / median |\n|---|---:|---:|---:|\n");
        Tables();
    }
    return 0;
}
