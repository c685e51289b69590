// The own pipeline's blend and scaling against pixman, the compositor under cairo and the X
// server: a 1024 x 1024 premultiplied picture over a 1024 x 1024 target, and scaled to
// 1536 x 1536 over a target of that size. Minimum and median of 31 runs; ratios run by run.
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

Bytes Background(int side)
{
    Bytes px(std::size_t(side) * side * 4);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<std::uint8_t>(i % 4 == 3 ? 255 : (i * 7) % 251);
    return px;
}

pixman_image_t* Image(Bytes& px, int side)
{
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, side, side, reinterpret_cast<std::uint32_t*>(px.data()), side * 4);
}

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

} // namespace

int main(int argc, char** argv)
{
    // Arguments: the number of runs, and `sse2` for the loops of processors without AVX2.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "sse2") == 0)
            imaging::simd::AllowAvx2(false);
        else
            kRuns = std::atoi(argv[i]);
    }
    std::printf("%s loops\n", imaging::simd::Avx2() ? "AVX2" : "SSE2");
    std::printf("| what | ours min / median | pixman min / median | ratio min / median |\n|---|---:|---:|---:|\n");
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
    return 0;
}
