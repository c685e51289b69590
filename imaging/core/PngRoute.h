// How the PNG writer stores a picture: the smallest colour type that holds it exactly (palette,
// grey, RGB or RGBA, always 8 bits a sample), whether a tRNS chunk records its transparency, and
// each row's bytes in that form, before filtering.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace imaging {

// A picture as the engine holds it: premultiplied blue, green, red, alpha, `width` × 4 bytes a
// row, bottom row first. With `alpha` false the alpha bytes mean nothing.
struct DibPixels {
    std::span<const std::uint8_t> bgra;
    int width = 0;
    int height = 0;
    bool alpha = false;
};

class PngRoute {
public:
    // Takes a census of the picture's pixel values and chooses. `picture` must outlive the route
    // and hold width × height × 4 bytes.
    explicit PngRoute(const DibPixels& picture);
    // The same, keeping each pixel's census id in `idRows` (height × (width + 1) bytes, else the
    // route keeps its own) where its palette index lies in the filtered rows, behind each row's
    // filter type byte: a palette picture's rows are then made in place, in memory touched once.
    PngRoute(const DibPixels& picture, std::span<std::uint8_t> idRows);

    // 0 grey, 2 RGB, 3 palette, 6 RGBA.
    std::uint8_t ColourType() const { return colourType_; }
    // -1: no tRNS. Grey: the key level; RGB: v + 256 × v + 65536 × v for the key grey v; palette:
    // anything else means the palette has an alpha table.
    std::int32_t TransparentKey() const { return transparentKey_; }
    // Palette: red, green, blue of each entry in index order.
    const std::vector<std::uint8_t>& Palette() const { return palette_; }
    // Palette with an alpha table: the alphas of the entries before the first opaque one.
    const std::vector<std::uint8_t>& PaletteAlphas() const { return paletteAlphas_; }

    std::size_t PixelBytes() const;
    std::size_t BytesPerRow() const { return PixelBytes() * static_cast<std::size_t>(picture_.width); }
    // PNG row `y` (0 = top) as the file stores it before filtering, into BytesPerRow() bytes. A
    // palette row may be made over its own ids in `idRows`.
    void Row(int y, std::span<std::uint8_t> out) const;

private:
    // Up to 256 distinct pixel values, each with a small id in the order they were met.
    class Census {
    public:
        Census();
        // Each pixel's id into `ids`; false at the 257th value. A value at home in its own slot,
        // as nearly every one is, costs one load and one compare.
        bool TakeRow(std::span<const std::uint8_t> pixels, std::span<std::uint8_t> ids);
        // The value's id, found by walking on from its own slot, or added at the first free one
        // when new; -1 when it would be the 257th.
        int FindColor(std::uint32_t value);
        // Takes, while empty, a hash under which every one of `values` has its own slot, when one
        // of a few tried has.
        void SpreadFor(std::span<const std::uint32_t> values);
        int Count() const { return count_; }
        std::uint32_t Value(int id) const { return values_[static_cast<std::size_t>(id)]; }

    private:
        // A sixty-fourth full at most, so that a value seldom finds its slot taken by another.
        static constexpr unsigned kSlotBits = 14;
        static std::size_t SlotOf(std::uint32_t value, std::uint32_t multiplier)
        {
            return (value * multiplier) >> (32 - kSlotBits);
        }
        // A slot holds a value, its id above it and a mark of use above that. A free slot holds a
        // value whose own slot it is not (0, and 1 in slot 0), so it never passes for a hit.
        std::unique_ptr<std::uint64_t[]> slots_;
        std::uint32_t multiplier_ = 0x9E3779B1u; // odd, and 1 times it leaves slot 0
        std::array<std::uint32_t, 256> values_{};
        int count_ = 0;
    };

    struct PaletteOrder {
        std::array<int, 256> listed{}; // ids in the list's order
        int seeThrough = 0;            // entries not opaque,
        int seeThroughAt = -1;         // the last of them in the list
        std::array<std::uint8_t, 256> indexOfId{};
    };
    static PaletteOrder OrderOf(const Census& census, bool alpha);
    // A row in this many: their colours, met first and in palette order, make ids that are the
    // indices whenever they are all the picture's colours, as they nearly always are.
    static constexpr std::size_t kSeedRowStep = 32;
    // False when the seeding rows alone hold more than 256 values.
    bool SeedCensus();
    bool BuildPalette();
    void PrepareTrueColorRows();

    DibPixels picture_;
    std::uint8_t colourType_ = 6;
    std::int32_t transparentKey_ = -1;
    std::vector<std::uint8_t> palette_;
    std::vector<std::uint8_t> paletteAlphas_;
    Census census_;
    // Each pixel's census id, top row first, each row behind a byte left for its filter type;
    // then the palette index of each id.
    std::unique_ptr<std::uint8_t[]> ownIds_;
    std::span<std::uint8_t> ids_;
    std::array<std::uint8_t, 256> indexOfId_{};
    bool idsAreIndices_ = false; // then the rows need no second pass
};

} // namespace imaging
