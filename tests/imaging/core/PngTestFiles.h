// The tests' own PNG writer: pictures from samples, every layout, random row filters.
#pragma once

#include "imaging/core/PngPixels.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace pngtest {

using Bytes = std::vector<std::uint8_t>;

struct Picture {
    imaging::PngHeader header;
    std::vector<std::uint16_t> samples; // row by row, channel by channel, at full depth
    Bytes palette;                      // RGB bytes (colour type 3)
    Bytes alphas;                       // tRNS of a palette picture
    bool hasKey = false;
    std::uint16_t key[3] = {};
};

unsigned Channels(std::uint8_t colourType);
// A picture of random samples; palette pictures get 2^depth entries and some tRNS alphas, and
// grey or RGB pictures a tRNS key taken from one of their pixels (or one no sample can equal).
Picture RandomPicture(std::mt19937& rng, std::uint8_t colourType, std::uint8_t depth, bool interlace,
                      std::uint32_t width, std::uint32_t height);
// The filtered rows (Adam7 passes when interlaced), each row's filter drawn from `rng`.
Bytes RawRows(const Picture& p, std::mt19937& rng);
// The unfiltered rows of the whole picture, packed as PNG stores them.
std::vector<Bytes> PackedRows(const Picture& p);
Bytes Compress(const Bytes& raw, int level = 6);
// Signature, IHDR, PLTE and tRNS as the picture needs, IDAT (in chunks of `piece` bytes, 0: one), IEND.
Bytes WritePng(const Picture& p, const Bytes& zlibData, std::size_t piece = 0);
// The picture as the engine must hold it: premultiplied BGRA, bottom row first.
Bytes ExpectedBgra(const Picture& p);

void AppendChunk(Bytes& png, const std::string& type, const Bytes& data);
struct ChunkAt {
    std::size_t offset; // of the length field
    std::uint32_t length;
    std::string type;
};
std::vector<ChunkAt> Chunks(const Bytes& png);

} // namespace pngtest
