// PNG pixel decoding: raw sizes with Adam7, unfiltering, and every legal colour type and depth
// into premultiplied BGRA rows, bottom row first, as the rows arrive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace imaging {

struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t depth = 0;
    std::uint8_t colourType = 0;
    std::uint8_t interlace = 0;
};

// What PLTE and tRNS gave. The palette holds the RGB bytes of its entries; for colour type 3,
// `alphas` holds one alpha per palette entry or is empty; for types 0 and 2, `key` holds the
// tRNS samples (grey, or red, green, blue) at full 16 bits.
struct PngColours {
    std::vector<std::uint8_t> palette;
    std::vector<std::uint8_t> alphas;
    bool hasKey = false;
    std::uint16_t key[3] = {};
};

constexpr std::uint32_t kMaxPngSide = 0x7FFFFFFF;

bool IsLegalPngFormat(std::uint8_t colourType, std::uint8_t depth);

// Bytes of the decompressed image data, filter bytes included; nothing for an empty or too large picture.
std::optional<std::size_t> RawDataSize(const PngHeader& header);

// Rows of a picture decoded as their bytes arrive in pieces, each into `bgra` (width * 4 bytes a
// row, image row y at memory row height - 1 - y) once it is whole, Adam7 passes one after another;
// so the stored rows are never held at once. `header` and `colours` must outlive it.
class PngRowFeed {
public:
    PngRowFeed(const PngHeader& header, const PngColours& colours, std::span<std::uint8_t> bgra);
    ~PngRowFeed();
    PngRowFeed(const PngRowFeed&) = delete;
    PngRowFeed& operator=(const PngRowFeed&) = delete;
    // False on a bad filter type, bytes past the last row, an illegal layout, or `bgra` shorter
    // than width * height * 4 bytes.
    bool Take(std::span<const std::uint8_t> bytes);
    // Every row arrived.
    bool Complete() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace imaging
