// The tests' own GIF writer: every index a literal code, so any picture is written in a few lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<std::uint8_t>;

struct Code {
    unsigned value;
    unsigned bits;
};
// Codes packed least significant bit first, cut into sub-blocks of `blockSize`, and the terminator.
Bytes Chain(const std::vector<Code>& codes, std::size_t blockSize = 255);

struct Gif {
    std::string signature = "GIF89a";
    std::uint16_t width = 0, height = 0;
    Bytes global, local;     // red, green, blue an entry, 2 to 256 entries a power of two; or none
    int transparent = -1;    // a graphic control extension with this index; -2 none, -1 its flag clear
    bool interlaced = false;
    std::uint8_t minCodeSize = 8;
    Bytes indexes;           // top row first
    bool extras = false;     // a comment and an application extension before, and a second frame after
};
Bytes WriteGif(const Gif& g);
// Where the first image's data end: the file cut there still holds the whole first image.
std::size_t FirstImageEnd(const Gif& g);
// The picture as the engine must hold it: bottom row first, blue, green, red, alpha; the
// transparent index and indexes past the table clear.
Bytes ExpectedBgra(const Gif& g);

} // namespace giftest
