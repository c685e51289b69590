// The own rotation against pixman's bilinear rotation, and the drop shadow against one pass over
// the picture's bytes. Minimum and median of 31 runs; ratios taken run by run.
#include "NativeTiming.h"
#include "imaging/core/DropShadow.h"
#include "imaging/core/Rotate.h"
#include "imaging/core/Simd.h"

#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using nativebench::NowMs;

void Report(const char* what, const std::vector<double>& ours, const std::vector<double>& theirs)
{
    nativebench::Report(what, ours, theirs, 2);
}

constexpr int kRuns = 31;
constexpr int kSide = 1024;

// A premultiplied picture with soft alpha: gradients, noise and a clear border.
Bytes Picture()
{
    std::mt19937 rng(1024);
    Bytes px(std::size_t{kSide} * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            std::uint8_t* p = &px[(std::size_t(y) * kSide + x) * 4];
            const int edge = std::min({x, y, kSide - 1 - x, kSide - 1 - y});
            p[3] = static_cast<std::uint8_t>(edge < 16 ? edge * 16 : 255);
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<std::uint8_t>(((x * (c + 1) + y) / 8 + rng() % 9) % (p[3] + 1));
        }
    return px;
}

template <class F>
double Timed(F&& f)
{
    const double start = NowMs();
    f();
    return NowMs() - start;
}

} // namespace

int main(int argc, char** argv)
{
    // `sse2` runs the loops of processors without AVX2.
    if (argc > 1 && std::strcmp(argv[1], "sse2") == 0)
        imaging::simd::AllowAvx2(false);
    std::printf("%s loops\n", imaging::simd::Avx2() ? "AVX2" : "SSE2");
    Bytes picture = Picture();
    const auto source = *imaging::PixelView::Packed(picture, kSide, kSide);

    // 45 degrees into the square that holds the turned picture, both bilinear; ours is cleared
    // first, as a new bitmap is, and pixman writes every pixel of its target.
    const int side = static_cast<int>(imaging::RotationSquareSide(kSide, kSide));
    Bytes ours(std::size_t(side) * side * 4), theirs(ours.size());
    const auto square = *imaging::PixelView::Packed(ours, side, side);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide,
                                                   reinterpret_cast<std::uint32_t*>(picture.data()), kSide * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, side, side,
                                                   reinterpret_cast<std::uint32_t*>(theirs.data()), side * 4);
    pixman_f_transform f;
    pixman_f_transform_init_translate(&f, -side / 2.0, -side / 2.0);
    pixman_f_transform_rotate(&f, nullptr, std::cos(M_PI / 4), -std::sin(M_PI / 4));
    pixman_f_transform_translate(&f, nullptr, kSide / 2.0, kSide / 2.0);
    pixman_transform t;
    pixman_transform_from_pixman_f_transform(&t, &f);
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(src, PIXMAN_REPEAT_NONE);

    std::vector<double> rotate, pixman;
    for (int run = 0; run < kRuns; ++run) {
        rotate.push_back(Timed([&] {
            std::memset(ours.data(), 0, ours.size());
            imaging::RotateIntoSquare(source, {0, 0, kSide, kSide}, kSide, kSide, 45, true, square);
        }));
        pixman.push_back(Timed([&] { pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, side, side); }));
    }
    std::printf("| what | ours min / median | reference min / median | ratio min / median |\n|---|---:|---:|---:|\n");
    Report("45 degree bilinear rotation of 1024 x 1024 into 1448 x 1448 ÷ pixman bilinear `SRC`", rotate, pixman);
    pixman_image_unref(src);
    pixman_image_unref(dst);

    // The shadow at depth 10 into a new canvas, against one copy of the picture's bytes.
    const int margin = imaging::ShadowMargin(10), shadowSide = kSide + 2 * margin;
    Bytes shadow(std::size_t(shadowSide) * shadowSide * 4), copy(picture.size());
    const auto shadowView = *imaging::PixelView::Packed(shadow, shadowSide, shadowSide);
    // Also a picture whose alpha changes from pixel to pixel, where no run of columns or rows
    // stays level: the shadow's worst case.
    Bytes noisy = picture;
    std::mt19937 rng(10);
    for (std::size_t i = 0; i < noisy.size(); i += 4) {
        noisy[i + 3] = static_cast<std::uint8_t>(rng());
        for (int c = 0; c < 3; ++c)
            noisy[i + c] = static_cast<std::uint8_t>(noisy[i + c] % (noisy[i + 3] + 1));
    }
    for (Bytes* from : {&picture, &noisy}) {
        const auto view = *imaging::PixelView::Packed(*from, kSide, kSide);
        std::vector<double> blur, memcpyTimes;
        for (int run = 0; run < kRuns; ++run) {
            blur.push_back(Timed([&] { imaging::BlurShadow(view, margin, 0x404040, shadowView); }));
            memcpyTimes.push_back(Timed([&] { std::memcpy(copy.data(), from->data(), from->size()); }));
        }
        Report(from == &picture ? "drop shadow of 1024 x 1024 at depth 10 ÷ `memcpy` of its pixels"
                                : "the same, alpha changing from pixel to pixel",
               blur, memcpyTimes);
    }
    // Keep the outputs alive for the optimiser.
    std::printf("(%d)\n", ours[ours.size() / 2] ^ theirs[theirs.size() / 2] ^ shadow[shadow.size() / 2] ^ copy[copy.size() / 2]);
    return 0;
}
