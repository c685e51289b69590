// The BMP reader's direct path: a 4096 x 4096 32-bit BMP to premultiplied bottom-up pixels against
// a memcpy of its pixel bytes into the same memory (min and median of 31 runs, ratios run by run);
// and the memory decoding an 8000 x 8000 one takes at its peak, against the bitmap's bytes.
#include "CountedAllocation.h"
#include "NativeTiming.h"
#include "imaging/core/BmpReader.h"

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

using allocbench::gLive;
using allocbench::gPeak;

namespace {

using Bytes = std::vector<std::uint8_t>;
using nativebench::NowMs;
using nativebench::Report;
int kRuns = 31;

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

enum class Alpha { Straight, Premultiplied, Opaque };

// A photo-like picture written straight into its file: smooth gradients with noise, and alpha
// (when it has any) that varies over the picture.
Bytes Bmp(std::uint32_t side, Alpha alpha, bool topDown)
{
    Bytes b(54 + std::size_t{side} * side * 4, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, side);
    Put32(b, 22, topDown ? std::uint32_t(-std::int32_t(side)) : side);
    b[26] = 1;
    b[28] = 32;
    std::uint32_t noise = 4096;
    for (std::size_t y = 0, at = 54; y < side; ++y)
        for (std::size_t x = 0; x < side; ++x, at += 4) {
            noise = noise * 1664525 + 1013904223;
            const unsigned a = alpha == Alpha::Opaque ? 255 : (x + y) / 32 % 256;
            for (unsigned c = 0; c < 3; ++c) {
                const unsigned v = ((x * (c + 1) + y * (3 - c)) / 24 + ((x / 64 + y / 64) % 5) * 20 + (noise >> (8 * c)) % 7) & 0xFF;
                b[at + c] = static_cast<std::uint8_t>(alpha == Alpha::Premultiplied ? v * a / 255 : v);
            }
            b[at + 3] = static_cast<std::uint8_t>(a);
        }
    return b;
}

long MaxRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        kRuns = std::atoi(argv[1]);

    // Peak first, while the process has touched little else: the file is made in place, so the
    // high-water mark of its memory before the decode is what it holds then.
    {
        constexpr std::uint32_t kBig = 8000;
        const Bytes file = Bmp(kBig, Alpha::Straight, false);
        const std::size_t bitmapBytes = std::size_t{kBig} * kBig * 4;
        const long rssBefore = MaxRssKb();
        const std::size_t liveBefore = gLive;
        gPeak = liveBefore;
        {
            imaging::BmpReader reader;
            if (reader.ReadHeader(file) != imaging::BmpLoad::Direct)
                return 1;
            // The host's bitmap, as InitializeDIB makes it before the reader writes.
            std::unique_ptr<std::uint8_t[]> bits(new std::uint8_t[bitmapBytes]);
            if (!reader.DecodeInto({bits.get(), bitmapBytes}))
                return 1;
        }
        const double counted = double(gPeak - liveBefore) / double(bitmapBytes);
        const double rss = double(MaxRssKb() - rssBefore) * 1024.0 / double(bitmapBytes);
        std::printf("| 8000 x 8000 peak ÷ bitmap bytes (%zu) | allocations %.3f | resident set %.3f |\n", bitmapBytes,
                    counted, rss);
    }

    constexpr std::uint32_t kSide = 4096;
    std::printf("| what | decode min / median | memcpy min / median | ratio min / median |\n|---|---:|---:|---:|\n");
    std::vector<std::uint8_t> pixels(std::size_t{kSide} * kSide * 4, 1); // touched once, like a host's bits
    const struct {
        const char* what;
        Alpha alpha;
        bool topDown;
    } pictures[] = {{"straight alpha, bottom-up", Alpha::Straight, false},
                    {"straight alpha, top-down", Alpha::Straight, true},
                    {"premultiplied alpha", Alpha::Premultiplied, false},
                    {"opaque", Alpha::Opaque, false}};
    for (const auto& p : pictures) {
        const Bytes file = Bmp(kSide, p.alpha, p.topDown);
        std::vector<double> decode, copy;
        for (int i = 0; i < kRuns; ++i) { // interleaved, so load changes weigh on both sides alike
            double t = NowMs();
            imaging::BmpReader reader;
            if (reader.ReadHeader(file) != imaging::BmpLoad::Direct || !reader.DecodeInto(pixels))
                return 1;
            decode.push_back(NowMs() - t);
            t = NowMs();
            std::memcpy(pixels.data(), file.data() + 54, pixels.size());
            copy.push_back(NowMs() - t);
        }
        Report(p.what, decode, copy);
    }
    return 0;
}
