// The PNG reader on pictures made by ImageMagick (make-real-pictures.sh): our decode against
// libpng's, and our inflate against zlib's uncompress and libdeflate on each picture's stream.
// Then the peak memory of each decode and of an 8000 x 8000 RGBA one, against the bitmap's bytes.
// Minimum and median of 31 runs; ratios taken run by run.
#include "CountedAllocation.h"
#include "PngBenchSupport.h"

#include "imaging/core/Inflate.h"
#include "imaging/core/PngReader.h"

#include <libdeflate.h>
#include <malloc.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <string>

using namespace pngbench;

using allocbench::gLive;
using allocbench::gPeak;
using allocbench::ResetPeak;

namespace {

int kRuns = 31;

int ZlibUncompress(unsigned char* d, unsigned long* dl, const unsigned char* s, unsigned long sl)
{
    uLongf n = *dl;
    const int r = uncompress(d, &n, s, sl);
    *dl = n;
    return r;
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

imaging::PngHeader Header(const Bytes& png)
{
    const auto be32 = [&](std::size_t at) {
        return std::uint32_t{png[at]} << 24 | std::uint32_t{png[at + 1]} << 16 | std::uint32_t{png[at + 2]} << 8 | png[at + 3];
    };
    return {be32(16), be32(20), png[24], png[25], png[28]};
}

// The engine's decode, with zlib present or not: it takes our own inflate either way.
bool Decode(const Bytes& png, Bytes& bgra)
{
    imaging::PngReader reader;
    return reader.ReadChunks(png) == imaging::PngLoad::Decoded && reader.DecodeImageData(bgra);
}

// The most bytes held at once while the picture is decoded, its bitmap included, over the bitmap's.
double PeakRatio(const Bytes& png)
{
    const imaging::PngHeader h = Header(png);
    const std::size_t bitmap = std::size_t{h.width} * h.height * 4;
    ResetPeak();
    const std::size_t before = gLive;
    bool ok = false;
    {
        Bytes bgra(bitmap);
        ok = Decode(png, bgra);
    }
    return ok ? double(gPeak - before) / double(bitmap) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : VANTOREL_PNG_PICTURES;
    if (argc > 2)
        kRuns = std::atoi(argv[2]);
    libdeflate_decompressor* deflate = libdeflate_alloc_decompressor();
    std::printf("| what | ours min / median | reference min / median | ratio min / median |\n|---|---:|---:|---:|\n");
    std::string peaks;
    for (const char* name : {"screenshot", "photo", "palette", "rgba16", "adam7"}) {
        const Bytes png = ReadFile(folder + "/" + name + ".png");
        if (png.size() < 33)
            return std::fprintf(stderr, "%s/%s.png: no picture (make-real-pictures.sh makes them)\n", folder.c_str(), name), 1;
        const Bytes z = ImageData(png);
        const imaging::PngHeader h = Header(png);
        const std::size_t rawSize = imaging::RawDataSize(h).value_or(0);
        Bytes raw(rawSize), pixels, ours(std::size_t{h.width} * h.height * 4);
        std::vector<double> own, zlib, libdeflate, libpng, ourDecode;
        for (int i = 0; i < kRuns; ++i) { // interleaved, so load changes weigh on every side alike
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
            std::size_t made = 0;
            if (libdeflate_zlib_decompress(deflate, z.data(), z.size(), raw.data(), raw.size(), &made) != LIBDEFLATE_SUCCESS)
                return 1;
            libdeflate.push_back(NowMs() - t);
            t = NowMs();
            LibpngDecode(png, pixels);
            libpng.push_back(NowMs() - t);
            t = NowMs();
            if (!Decode(png, ours))
                return 1;
            ourDecode.push_back(NowMs() - t);
        }
        std::printf("| %s: %u x %u, depth %u, colour type %u, interlace %u, %zu KB of image data | | | |\n", name, h.width,
                    h.height, h.depth, h.colourType, h.interlace, z.size() / 1024);
        Report("decode ÷ libpng", ourDecode, libpng);
        Report("own inflate ÷ libdeflate", own, libdeflate);
        Report("own inflate ÷ zlib uncompress", own, zlib);
        char line[160];
        std::snprintf(line, sizeof line, "| %s | %.3f |\n", name, PeakRatio(png));
        peaks += line;
    }
    libdeflate_free_decompressor(deflate);
    std::printf("\n| picture | peak ÷ bitmap |\n|---|---:|\n%s", peaks.c_str());
    const Bytes big = NoisePng(8000, 4);
    std::printf("| 8000 x 8000 RGBA, noise (%zu KB file, %zu KB of image data) | %.3f |\n", big.size() / 1024,
                ImageData(big).size() / 1024, PeakRatio(big));
    return 0;
}
