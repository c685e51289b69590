#include "imaging/core/PngRoute.h"

#include "imaging/core/SpanReader.h"

#include <algorithm>

namespace imaging {

namespace {

// floor(n / a) for n = c × 255 as one multiply and shift: exact for every n below 2^16 and a
// from 1 to 255, since the shift is 16 + 8 bits past both.
constexpr std::array<std::uint64_t, 256> MakeReciprocals()
{
    std::array<std::uint64_t, 256> r{};
    for (std::uint64_t a = 1; a < 256; ++a)
        r[a] = ((std::uint64_t{1} << 32) + a - 1) / a;
    return r;
}
constexpr std::array<std::uint64_t, 256> kReciprocal = MakeReciprocals();

constexpr bool ReciprocalsAreExact()
{
    for (std::uint64_t a = 1; a < 256; ++a)
        for (std::uint64_t c = 0; c < 256; ++c)
            if ((c * 255 * kReciprocal[a]) >> 32 != c * 255 / a)
                return false;
    return true;
}
static_assert(ReciprocalsAreExact());

// A premultiplied colour byte back to its straight value: c × 255 ÷ a, truncated. A colour byte
// above its alpha breaks the premultiplied rule; it is clamped rather than failing the save.
inline std::uint8_t Straight(std::uint32_t c, std::uint32_t a)
{
    const std::uint64_t q = (std::uint64_t{c} * 255 * kReciprocal[a]) >> 32;
    return static_cast<std::uint8_t>(q > 255 ? 255 : q);
}

inline std::uint32_t PixelAt(std::span<const std::uint8_t> row, std::size_t x)
{
    return LoadLe32(row.subspan(x * 4).first<4>());
}

inline std::uint32_t AlphaOf(std::uint32_t value) { return value >> 24; }

// A census slot's mark of use, above the value and its id.
constexpr std::uint64_t kSlotUsed = std::uint64_t{1} << 40;

} // namespace

PngRoute::Census::Census() : slots_(std::make_unique<std::uint64_t[]>(std::size_t{1} << kSlotBits))
{
    slots_[0] = 1;
}

void PngRoute::Census::SpreadFor(std::span<const std::uint32_t> values)
{
    for (std::uint32_t k = 0; k < 64; ++k) {
        const std::uint32_t multiplier = (0x9E3779B1u + k * 0xC6EF3722u) | 1;
        if (SlotOf(1, multiplier) == 0)
            continue;
        std::vector<bool> taken(std::size_t{1} << kSlotBits);
        bool apart = true;
        for (std::size_t i = 0; apart && i < values.size(); ++i) {
            const std::size_t slot = SlotOf(values[i], multiplier);
            apart = !taken[slot];
            taken[slot] = true;
        }
        if (apart) {
            multiplier_ = multiplier;
            return;
        }
    }
}

int PngRoute::Census::FindColor(std::uint32_t value)
{
    constexpr std::size_t mask = (std::size_t{1} << kSlotBits) - 1;
    for (std::size_t slot = SlotOf(value, multiplier_);; slot = (slot + 1) & mask) {
        const std::uint64_t held = slots_[slot];
        if (!(held & kSlotUsed)) {
            if (count_ == 256)
                return -1;
            slots_[slot] = value | std::uint64_t(count_) << 32 | kSlotUsed;
            values_[static_cast<std::size_t>(count_)] = value;
            return count_++;
        }
        if (static_cast<std::uint32_t>(held) == value)
            return static_cast<int>((held >> 32) & 0xFF);
    }
}

bool PngRoute::Census::TakeRow(std::span<const std::uint8_t> pixels, std::span<std::uint8_t> ids)
{
    // The table's address in a local: the byte stores below might otherwise alias it.
    const std::uint64_t* const slots = slots_.get();
    const std::uint32_t multiplier = multiplier_;
    for (std::size_t x = 0; x < ids.size(); ++x) {
        const std::uint32_t value = PixelAt(pixels, x);
        const std::uint64_t slot = slots[SlotOf(value, multiplier)];
        if (static_cast<std::uint32_t>(slot) == value) [[likely]] {
            ids[x] = static_cast<std::uint8_t>(slot >> 32);
            continue;
        }
        const int id = FindColor(value);
        if (id < 0)
            return false;
        ids[x] = static_cast<std::uint8_t>(id);
    }
    return true;
}

PngRoute::PngRoute(const DibPixels& picture) : PngRoute(picture, {}) {}

PngRoute::PngRoute(const DibPixels& picture, std::span<std::uint8_t> idRows) : picture_(picture)
{
    const std::size_t size = (static_cast<std::size_t>(picture.width) + 1) * static_cast<std::size_t>(picture.height);
    if (idRows.size() < size) {
        // Pages of it are touched only as far as the census gets.
        ownIds_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        idRows = {ownIds_.get(), size};
    }
    ids_ = idRows.first(size);
    if (!BuildPalette())
        PrepareTrueColorRows();
}

std::size_t PngRoute::PixelBytes() const
{
    switch (colourType_) {
    case 6: return 4;
    case 2: return 3;
    default: return 1;
    }
}

PngRoute::PaletteOrder PngRoute::OrderOf(const Census& census, bool alpha)
{
    PaletteOrder order;
    const int count = census.Count();
    // The list in ascending order of the values read as signed numbers: every colour with alpha
    // 128 or more before every one with less.
    for (int id = 0; id < count; ++id)
        order.listed[static_cast<std::size_t>(id)] = id;
    std::sort(order.listed.begin(), order.listed.begin() + count, [&](int l, int r) {
        return static_cast<std::int32_t>(census.Value(l)) < static_cast<std::int32_t>(census.Value(r));
    });
    const auto opaque = [&](int id) { return !alpha || AlphaOf(census.Value(id)) == 255; };
    for (int k = 0; k < count; ++k)
        if (!opaque(order.listed[static_cast<std::size_t>(k)])) {
            ++order.seeThrough;
            order.seeThroughAt = k;
        }
    // Palette indices: in list order, or with an alpha table the see-through entries first (so
    // that the table stops at the first opaque one) and the opaque ones from the end backwards.
    int front = 0, back = count - 1;
    for (int k = 0; k < count; ++k) {
        const int id = order.listed[static_cast<std::size_t>(k)];
        const int index = order.seeThrough == 0 ? k : !opaque(id) ? front++ : back--;
        order.indexOfId[static_cast<std::size_t>(id)] = static_cast<std::uint8_t>(index);
    }
    return order;
}

bool PngRoute::SeedCensus()
{
    const std::size_t width = static_cast<std::size_t>(picture_.width);
    const std::size_t height = static_cast<std::size_t>(picture_.height);
    Census sample;
    for (std::size_t y = 0; y < height; y += kSeedRowStep)
        if (!sample.TakeRow(picture_.bgra.subspan(y * width * 4, width * 4), ids_.subspan(1, width)))
            return false;
    const PaletteOrder order = OrderOf(sample, picture_.alpha);
    std::array<std::uint32_t, 256> byIndex{};
    for (int id = 0; id < sample.Count(); ++id)
        byIndex[order.indexOfId[static_cast<std::size_t>(id)]] = sample.Value(id);
    const auto seeds = std::span(byIndex).first(static_cast<std::size_t>(sample.Count()));
    census_.SpreadFor(seeds);
    for (const std::uint32_t value : seeds)
        census_.FindColor(value);
    return true;
}

bool PngRoute::BuildPalette()
{
    const std::size_t width = static_cast<std::size_t>(picture_.width);
    const std::size_t height = static_cast<std::size_t>(picture_.height);
    if (!SeedCensus())
        return false;
    for (std::size_t y = 0; y < height; ++y) {
        const auto pixels = picture_.bgra.subspan(y * width * 4, width * 4);
        const auto ids = ids_.subspan((height - 1 - y) * (width + 1) + 1, width);
        if (!census_.TakeRow(pixels, ids))
            return false;
    }
    const int count = census_.Count();
    const PaletteOrder order = OrderOf(census_, picture_.alpha);
    const int seeThrough = order.seeThrough;
    transparentKey_ = seeThrough == 0 ? -1 : seeThrough == 1 ? order.seeThroughAt + 1 : 0;
    colourType_ = 3;

    // Grey only when the grey rows lose nothing: every pixel opaque, or the only other value fully
    // transparent black, which the key stands for. Anything partly transparent stays a palette.
    const int onlySeeThrough = seeThrough == 1 ? order.listed[static_cast<std::size_t>(order.seeThroughAt)] : -1;
    const bool keyable = seeThrough == 0 || (onlySeeThrough >= 0 && census_.Value(onlySeeThrough) == 0);
    bool grey = keyable;
    for (int id = 0; grey && id < count; ++id) {
        const std::uint32_t v = census_.Value(id);
        grey = (v & 0xFF) == ((v >> 8) & 0xFF) && (v & 0xFF) == ((v >> 16) & 0xFF);
    }
    if (grey) {
        colourType_ = 0;
        if (picture_.alpha) {
            std::array<bool, 256> used{};
            for (int id = 0; id < count; ++id)
                if (census_.Value(id) != 0)
                    used[census_.Value(id) & 0xFF] = true;
            for (int level = 0; level < (used[0] ? count : 1); ++level)
                if (!used[static_cast<std::size_t>(level)]) {
                    transparentKey_ = level;
                    break;
                }
        }
        return true;
    }

    palette_.assign(static_cast<std::size_t>(count) * 3, 0);
    if (transparentKey_ != -1)
        paletteAlphas_.assign(static_cast<std::size_t>(seeThrough), 0);
    idsAreIndices_ = true;
    for (int id = 0; id < count; ++id) {
        const std::uint8_t index = order.indexOfId[static_cast<std::size_t>(id)];
        idsAreIndices_ = idsAreIndices_ && index == id;
        const std::uint32_t v = census_.Value(id), a = picture_.alpha ? AlphaOf(v) : 255u;
        const std::uint32_t rgb[3] = {(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF};
        for (std::size_t c = 0; c < 3; ++c)
            palette_[std::size_t{index} * 3 + c] =
                a == 255 || a == 0 ? static_cast<std::uint8_t>(rgb[c]) : Straight(rgb[c], a);
        if (transparentKey_ != -1 && a != 255)
            paletteAlphas_[index] = static_cast<std::uint8_t>(a);
    }
    indexOfId_ = order.indexOfId;
    return true;
}

void PngRoute::PrepareTrueColorRows()
{
    transparentKey_ = -1;
    if (!picture_.alpha) {
        colourType_ = 2;
        return;
    }
    colourType_ = 6;
    const std::size_t pixels = static_cast<std::size_t>(picture_.width) * static_cast<std::size_t>(picture_.height);
    // A key can stand only for fully transparent black: any other see-through pixel keeps RGBA.
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint32_t v = PixelAt(picture_.bgra, i), a = AlphaOf(v);
        if ((a != 0 && a != 255) || (a == 0 && v != 0))
            return;
    }
    // The key is a grey v, v, v that no opaque pixel can equal: v is a value one channel never takes.
    for (std::size_t channel = 0; channel < 3; ++channel) {
        std::array<bool, 256> taken{};
        int distinct = 0;
        for (std::size_t i = 0; i < pixels && distinct < 256; ++i) {
            const std::uint32_t v = PixelAt(picture_.bgra, i);
            if (AlphaOf(v) == 0)
                continue;
            const std::uint8_t c = static_cast<std::uint8_t>(v >> (8 * channel));
            if (!taken[c]) {
                taken[c] = true;
                ++distinct;
            }
        }
        if (distinct < 256) {
            const auto free = static_cast<std::int32_t>(std::find(taken.begin(), taken.end(), false) - taken.begin());
            transparentKey_ = free * 0x010101;
            colourType_ = 2;
            return;
        }
    }
}

void PngRoute::Row(int y, std::span<std::uint8_t> out) const
{
    const std::size_t width = static_cast<std::size_t>(picture_.width);
    const auto src = picture_.bgra.subspan(static_cast<std::size_t>(picture_.height - 1 - y) * width * 4, width * 4);
    const bool alpha = picture_.alpha;
    switch (colourType_) {
    case 6:
        for (std::size_t x = 0; x < width; ++x) {
            const auto p = src.subspan(x * 4).first<4>();
            const auto o = out.subspan(x * 4).first<4>();
            const std::uint32_t a = p[3];
            if (a == 255 || a == 0) { // a see-through pixel keeps the colour it holds
                o[0] = p[2], o[1] = p[1], o[2] = p[0];
            } else {
                o[0] = Straight(p[2], a), o[1] = Straight(p[1], a), o[2] = Straight(p[0], a);
            }
            o[3] = static_cast<std::uint8_t>(a);
        }
        break;
    case 2: {
        const auto key = static_cast<std::uint8_t>(transparentKey_);
        const bool keyed = alpha && transparentKey_ != -1;
        for (std::size_t x = 0; x < width; ++x) {
            const auto p = src.subspan(x * 4).first<4>();
            const auto o = out.subspan(x * 3).first<3>();
            if (keyed && p[3] == 0)
                o[0] = o[1] = o[2] = key;
            else
                o[0] = p[2], o[1] = p[1], o[2] = p[0];
        }
        break;
    }
    case 0: {
        const auto key = static_cast<std::uint8_t>(transparentKey_);
        for (std::size_t x = 0; x < width; ++x) {
            const auto p = src.subspan(x * 4).first<4>();
            out[x] = alpha && p[3] == 0 ? key : p[0];
        }
        break;
    }
    default: {
        const auto ids = ids_.subspan(static_cast<std::size_t>(y) * (width + 1) + 1, width);
        if (idsAreIndices_) {
            if (ids.data() != out.data())
                std::copy(ids.begin(), ids.end(), out.begin());
            break;
        }
        for (std::size_t x = 0; x < width; ++x)
            out[x] = indexOfId_[ids[x]];
        break;
    }
    }
}

} // namespace imaging
