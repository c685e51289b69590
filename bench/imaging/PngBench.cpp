// Our inflate against zlib's uncompress, and our PNG decode against libpng's, on 4096 x 4096
// pictures with noise written by libpng. Minimum and median of 31 runs; ratios taken run by run.
#include "PngBenchSupport.h"

#include "imaging/core/Inflate.h"
#include "imaging/core/PngReader.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>

using namespace pngbench;

namespace {

int kRuns = 31;
constexpr std::uint32_t kSide = 4096;

int ZlibUncompress(unsigned char* d, unsigned long* dl, const unsigned char* s, unsigned long sl)
{
    uLongf n = *dl;
    const int r = uncompress(d, &n, s, sl);
    *dl = n;
    return r;
}

// A PNG of 16 x 16 grey pixels (black, filter None) whose image data are `zeros` zero bytes in
// stored blocks, in libpng's 8 KB IDAT chunks: its rows are the first 272 of them.
Bytes ZerosPastTheRows(std::size_t zeros)
{
    Bytes z{0x78, 0x01};
    for (std::size_t left = zeros; left > 0;) {
        const std::uint16_t n = static_cast<std::uint16_t>(std::min<std::size_t>(65535, left));
        left -= n;
        z.insert(z.end(), {std::uint8_t(left == 0), std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(~n), std::uint8_t(~n >> 8)});
        z.resize(z.size() + n, 0);
    }
    const Bytes none(65536, 0);
    uLong adler = adler32(0, nullptr, 0);
    for (std::size_t left = zeros; left > 0; left -= std::min<std::size_t>(left, none.size()))
        adler = adler32(adler, none.data(), static_cast<uInt>(std::min<std::size_t>(left, none.size())));
    const auto put32 = [](Bytes& b, std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8)
            b.push_back(std::uint8_t(v >> s));
    };
    const auto chunk = [&](Bytes& b, const char* type, const std::uint8_t* data, std::size_t n) {
        put32(b, static_cast<std::uint32_t>(n));
        const std::size_t at = b.size();
        b.insert(b.end(), type, type + 4);
        b.insert(b.end(), data, data + n);
        put32(b, static_cast<std::uint32_t>(crc32(0, b.data() + at, static_cast<uInt>(n + 4))));
    };
    put32(z, static_cast<std::uint32_t>(adler));
    Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    const std::uint8_t ihdr[13] = {0, 0, 0, 16, 0, 0, 0, 16, 8, 0, 0, 0, 0};
    chunk(png, "IHDR", ihdr, 13);
    for (std::size_t at = 0; at < z.size(); at += 8192)
        chunk(png, "IDAT", z.data() + at, std::min<std::size_t>(8192, z.size() - at));
    chunk(png, "IEND", nullptr, 0);
    return png;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        kRuns = std::atoi(argv[1]);
    std::printf("| what | ours min / median | reference min / median | ratio min / median |\n|---|---:|---:|---:|\n");
    for (int channels : {3, 4}) {
        const Bytes png = NoisePng(kSide, channels);
        const Bytes z = ImageData(png);
        const std::size_t rawSize = std::size_t{kSide} * (std::size_t{kSide} * channels + 1);
        Bytes raw(rawSize), pixels, ours(std::size_t{kSide} * kSide * 4);
        const char* name = channels == 3 ? "RGB" : "RGBA";
        std::vector<double> own, zlib, libpng, decode;
        for (int i = 0; i < kRuns; ++i) { // interleaved, so load changes weigh on both sides alike
            double t = NowMs();
            if (imaging::InflateData(z, raw) != rawSize)
                return 1;
            own.push_back(NowMs() - t);
            t = NowMs();
            unsigned long n = static_cast<unsigned long>(rawSize);
            if (ZlibUncompress(raw.data(), &n, z.data(), z.size()) != Z_OK)
                return 1;
            zlib.push_back(NowMs() - t);
            t = NowMs();
            LibpngDecode(png, pixels);
            libpng.push_back(NowMs() - t);
            // The engine's path, zlib present or not: rows into the picture's own memory, as
            // libpng's go into `pixels`.
            t = NowMs();
            imaging::PngReader reader;
            if (reader.ReadChunks(png) != imaging::PngLoad::Decoded || !reader.DecodeImageData(ours))
                return 1;
            decode.push_back(NowMs() - t);
        }
        std::printf("| %s: %zu KB of image data | | | |\n", name, z.size() / 1024);
        Report("inflate ÷ zlib uncompress", own, zlib);
        Report("decode ÷ libpng", decode, libpng);
    }
    // Data past the rows are not read: 200 MB of them cost what the first 8 KB chunk, where the
    // rows lie, costs alone (its CRC), and next to nothing more than the rows' own 272 bytes.
    const Bytes huge = ZerosPastTheRows(std::size_t{200} << 20), chunk = ZerosPastTheRows(8192 - 11),
                small = ZerosPastTheRows(16 * 17);
    if (argc > 2) { // the same file for a run of the programs' loader under Wine
        std::FILE* f = std::fopen(argv[2], "wb");
        if (!f || std::fwrite(huge.data(), 1, huge.size(), f) != huge.size() || std::fclose(f) != 0)
            return 1;
    }
    Bytes pixels(16 * 16 * 4);
    std::vector<double> past, first, alone;
    const auto time = [&pixels](const Bytes& png) {
        const double t = NowMs();
        for (int i = 0; i < 100; ++i) {
            imaging::PngReader reader;
            if (reader.ReadChunks(png) != imaging::PngLoad::Decoded || !reader.DecodeImageData(pixels))
                std::exit(1);
        }
        return (NowMs() - t) / 100;
    };
    for (int i = 0; i < kRuns; ++i) {
        past.push_back(time(huge));
        first.push_back(time(chunk));
        alone.push_back(time(small));
    }
    std::printf("| 16 x 16 over %zu MB of image data, ms a decode | | | |\n", huge.size() >> 20);
    Report("÷ its first 8 KB IDAT chunk alone", past, first, 4);
    Report("÷ its rows' 272 bytes alone", past, alone, 4);
    return 0;
}
