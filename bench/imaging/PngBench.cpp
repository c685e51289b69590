// Our inflate against zlib's uncompress, and our PNG decode against libpng's, on 4096 x 4096
// pictures with noise written by libpng. Minimum and median of 31 runs; ratios taken run by run.
#include "PngBenchSupport.h"

#include "imaging/core/Inflate.h"
#include "imaging/core/PngReader.h"

#include <zlib.h>

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
            if (imaging::InflateZlib(z, raw) != rawSize)
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
            if (reader.ReadChunks(png) != imaging::PngLoad::Decoded || !reader.DecodeInto(ours))
                return 1;
            decode.push_back(NowMs() - t);
        }
        std::printf("| %s: %zu KB of image data | | | |\n", name, z.size() / 1024);
        Report("inflate ÷ zlib uncompress", own, zlib);
        Report("decode ÷ libpng", decode, libpng);
    }
    return 0;
}
