// Our GIF decode against giflib's DGifSlurp on a 4096 x 4096 picture of 256 colours written by
// giflib, minimum and median of 31 runs with ratios taken run by run; and the most memory our
// decode of an 8000 x 8000 picture holds at once, counted at every allocation.
#include "CountedAllocation.h"
#include "NativeTiming.h"
#include "imaging/core/GifLzw.h"
#include "imaging/core/GifReader.h"

#include <gif_lib.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <random>
#include <vector>

using allocbench::gLive;
using allocbench::gPeak;

namespace {

using Bytes = std::vector<std::uint8_t>;
using nativebench::NowMs;
using nativebench::Report;
int kRuns = 31;

// A photo-like picture in 256 colours: smooth gradients with noise, as a quantised photo has.
Bytes Indexes(std::uint32_t side)
{
    std::mt19937 rng(141);
    Bytes px(std::size_t{side} * side);
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x)
            px[std::size_t{y} * side + x] = static_cast<std::uint8_t>((x + 2 * y) / 32 + ((x / 64 + y / 64) % 5) * 20 + rng() % 4);
    return px;
}

int Append(GifFileType* gif, const GifByteType* data, int n)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

Bytes WriteGif(const Bytes& indexes, std::uint32_t side)
{
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, Append, &error);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i)
        map->Colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i), static_cast<GifByteType>(i * 7)};
    const int s = static_cast<int>(side);
    bool ok = gif && EGifPutScreenDesc(gif, s, s, 8, 0, map) == GIF_OK && EGifPutImageDesc(gif, 0, 0, s, s, false, nullptr) == GIF_OK;
    for (std::uint32_t y = 0; ok && y < side; ++y)
        ok = EGifPutLine(gif, const_cast<GifByteType*>(&indexes[std::size_t{y} * side]), s) == GIF_OK;
    if (!gif || EGifCloseFile(gif, &error) != GIF_OK || !ok)
        out.clear();
    GifFreeMapObject(map);
    return out;
}

struct Cursor {
    const Bytes* bytes;
    std::size_t at;
};

int ReadCursor(GifFileType* gif, GifByteType* into, int n)
{
    auto* c = static_cast<Cursor*>(gif->UserData);
    const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(n), c->bytes->size() - c->at);
    std::memcpy(into, c->bytes->data() + c->at, take);
    c->at += take;
    return static_cast<int>(take);
}

bool GiflibSlurp(const Bytes& file)
{
    Cursor cursor{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&cursor, ReadCursor, &error);
    const bool ok = gif && DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1;
    DGifCloseFile(gif, &error);
    return ok;
}

class Rows final : public imaging::GifRows {
public:
    Rows(std::uint8_t* indexes, std::uint32_t width) : indexes_(indexes), width_(width) {}
    std::span<std::uint8_t> Row(std::uint32_t y) override { return {indexes_ + std::size_t{y} * width_, width_}; }
    void RowDone(std::uint32_t) override {}

private:
    std::uint8_t* indexes_;
    std::uint32_t width_;
};

// Indexes only, into fresh memory of the frame's size, as DGifSlurp's raster is.
bool OwnIndexes(const Bytes& file)
{
    imaging::GifReader reader;
    if (reader.ExtractFirstFrame(file) != imaging::GifLoad::Found)
        return false;
    const imaging::GifFrame& f = reader.Frame();
    const std::unique_ptr<std::uint8_t[]> indexes(new std::uint8_t[std::size_t{f.width} * f.height]);
    Rows rows(indexes.get(), f.width);
    return imaging::DecodeGifLzw(f.chain, f.minCodeSize, f.width, f.height, f.interlaced, rows).end ==
           imaging::LzwEnd::Complete;
}

// The engine's path: premultiplied BGRA rows in the picture's memory. One bitmap serves every
// run, as malloc hands DGifSlurp's raster back each run with its pages already touched.
bool OwnPicture(const Bytes& file, Bytes& bgra)
{
    imaging::GifReader reader;
    if (reader.ExtractFirstFrame(file) != imaging::GifLoad::Found)
        return false;
    bgra.resize(std::size_t(reader.Width()) * std::size_t(reader.Height()) * 4);
    return reader.DecodeInto(bgra);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        kRuns = std::atoi(argv[1]);
    const Bytes file = WriteGif(Indexes(4096), 4096);
    if (file.empty())
        return 1;
    std::vector<double> own, picture, giflib;
    Bytes bgra;
    for (int i = 0; i < kRuns; ++i) { // interleaved, so load changes weigh on both sides alike
        double t = NowMs();
        if (!OwnIndexes(file))
            return 1;
        own.push_back(NowMs() - t);
        t = NowMs();
        if (!GiflibSlurp(file))
            return 1;
        giflib.push_back(NowMs() - t);
        t = NowMs();
        if (!OwnPicture(file, bgra))
            return 1;
        picture.push_back(NowMs() - t);
    }
    std::printf("| what | ours min / median | giflib min / median | ratio min / median |\n|---|---:|---:|---:|\n");
    std::printf("| 4096 x 4096, 256 colours: %zu KB | | | |\n", file.size() / 1024);
    Report("first frame's indexes ÷ DGifSlurp", own, giflib);
    Report("first frame as BGRA ÷ DGifSlurp", picture, giflib);

    Bytes().swap(bgra);
    const Bytes big = WriteGif(Indexes(8000), 8000);
    const std::size_t before = gLive;
    gPeak = before;
    imaging::GifReader reader;
    if (big.empty() || reader.ExtractFirstFrame(big) != imaging::GifLoad::Found)
        return 1;
    const std::size_t bitmap = std::size_t(reader.Width()) * std::size_t(reader.Height()) * 4;
    {
        const std::unique_ptr<std::uint8_t[]> host(new std::uint8_t[bitmap]);
        if (!reader.DecodeInto({host.get(), bitmap}))
            return 1;
    }
    std::printf("\n8000 x 8000 (%zu KB file): peak held while decoding %zu bytes, bitmap %zu bytes: %.4f\n",
                big.size() / 1024, gPeak - before, bitmap, double(gPeak - before) / double(bitmap));
    return 0;
}
