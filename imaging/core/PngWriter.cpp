#include "imaging/core/PngWriter.h"

#include "imaging/core/Crc32.h"
#include "imaging/core/PngFilter.h"
#include "imaging/core/PngSignature.h"
#include "imaging/core/SpanWriter.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

namespace imaging {

namespace {

using Bytes = std::vector<std::uint8_t>;
using Tag = std::array<std::uint8_t, 4>;

constexpr Tag MakeTag(const char (&name)[5])
{
    return {static_cast<std::uint8_t>(name[0]), static_cast<std::uint8_t>(name[1]), static_cast<std::uint8_t>(name[2]),
            static_cast<std::uint8_t>(name[3])};
}

// A chunk's length field is 31 bits.
constexpr std::size_t kLongestChunk = 0x7FFFFFFF;

// zlib's room for any input: its stored blocks add 5 bytes in 16 KB, and header and checksum 6.
std::size_t CompressRoom(std::size_t n) { return n + n / 100 + 13; }

// Appends length, type, data and the CRC of type and data.
bool AppendChunk(Bytes& png, const Tag& type, std::span<const std::uint8_t> data)
{
    if (data.size() > kLongestChunk)
        return false;
    const std::size_t at = png.size();
    png.resize(at + 12 + data.size());
    SpanWriter out{std::span(png).subspan(at)};
    const bool ok = out.Be32(static_cast<std::uint32_t>(data.size())) && out.Bytes(type) && out.Bytes(data);
    return ok && out.Be32(Crc32(out.Done().subspan(4)));
}

// The IDAT chunk, its data compressed straight into the file's bytes.
bool WriteIDAT(Bytes& png, std::span<const std::uint8_t> filtered, const PngWriteServices& services)
{
    const std::size_t at = png.size(), room = CompressRoom(filtered.size());
    png.resize(at + 8 + room);
    SpanWriter out{std::span(png).subspan(at)};
    const auto length = out.TakeFixed<4>();
    const auto data = length && out.Bytes(MakeTag("IDAT")) ? out.Take(room) : std::nullopt;
    const auto size = data && services.compress ? services.compress(*data, filtered) : std::nullopt;
    if (!size || *size > room || *size > kLongestChunk)
        return false;
    StoreBe32(*length, static_cast<std::uint32_t>(*size));
    const std::uint32_t crc = Crc32(std::span(png).subspan(at + 4, 4 + *size));
    png.resize(at + 8 + *size + 4);
    SpanWriter tail{std::span(png).subspan(at + 8 + *size)};
    return tail.Be32(crc);
}

// Every row filtered top down, each behind its filter type byte: what IDAT compresses. `filtered`
// holds the route's census ids, which a palette picture's rows replace in place; a bigger
// picture gets a buffer of its own size.
std::span<std::uint8_t> FilterRows(const PngRoute& route, int height, int filterSetting,
                                   std::unique_ptr<std::uint8_t[]>& filtered, std::size_t size)
{
    const std::size_t n = route.BytesPerRow(), unit = route.PixelBytes();
    if (size != static_cast<std::size_t>(height) * (n + 1)) {
        size = static_cast<std::size_t>(height) * (n + 1);
        filtered.reset();
        filtered = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    }
    const std::span<std::uint8_t> all(filtered.get(), size);
    const int fixed = FilterTypeForSetting(filterSetting, route.ColourType());
    Bytes row(n), above(n);
    for (int y = 0; y < height; ++y) {
        const auto out = all.subspan(static_cast<std::size_t>(y) * (n + 1), n + 1);
        if (fixed == 0) {
            out[0] = 0;
            route.Row(y, out.subspan(1));
            continue;
        }
        route.Row(y, row);
        const std::span<const std::uint8_t> prior = y == 0 ? std::span<const std::uint8_t>() : above;
        const auto type = fixed < 0 ? ChooseFilter(row, prior, unit) : static_cast<std::uint8_t>(fixed);
        FilterRow(type, row, prior, unit, out);
        row.swap(above);
    }
    return all;
}

std::string Narrow(const PngWriteServices& services, std::wstring_view text)
{
    if (services.narrow)
        return services.narrow(text);
    std::string bytes(text.size(), '?');
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] < 256)
            bytes[i] = static_cast<char>(text[i]);
    return bytes;
}

// A tEXt chunk, or zTXt when `compress` and zlib manage. A keyword PNG cannot hold (none, more
// than 79 bytes, a NUL) leaves the chunk out, and so does a NUL in a plain text.
void AppendText(Bytes& png, std::wstring_view keyword, std::wstring_view text, bool compress,
                const PngWriteServices& services)
{
    const std::string key = Narrow(services, keyword), body = Narrow(services, text);
    if (key.empty() || key.size() > 79 || key.find('\0') != std::string::npos)
        return;
    Bytes data(key.begin(), key.end());
    data.push_back(0);
    if (compress && services.compress) {
        const std::span<const std::uint8_t> from(reinterpret_cast<const std::uint8_t*>(body.data()), body.size());
        Bytes packed = data;
        packed.push_back(0); // compression method 0: zlib
        const std::size_t at = packed.size();
        packed.resize(at + CompressRoom(body.size()));
        if (const auto size = services.compress(std::span(packed).subspan(at), from)) {
            packed.resize(at + *size);
            AppendChunk(png, MakeTag("zTXt"), packed);
            return;
        }
    }
    if (body.find('\0') != std::string::npos)
        return;
    data.insert(data.end(), body.begin(), body.end());
    AppendChunk(png, MakeTag("tEXt"), data);
}

std::wstring_view Slot(const PngWriteOptions& options, std::size_t slot)
{
    return slot < options.textSlots.size() ? std::wstring_view(options.textSlots[slot]) : std::wstring_view();
}

// The tEXt chunks of the keyword bits from `first` to `last`, in ascending order.
void WriteTextGroup(Bytes& png, const PngWriteOptions& options, const PngWriteServices& services, std::size_t first,
                     std::size_t last)
{
    for (std::size_t slot = first; slot <= last; ++slot) {
        const std::uint32_t bit = 1u << slot;
        if (options.optionFlags & bit)
            AppendText(png, KeywordOfOption(bit), Slot(options, slot), false, services);
    }
}

void WriteCustomText(Bytes& png, const PngWriteOptions& options, const PngWriteServices& services)
{
    if (!(options.optionFlags & pngCustomText))
        return;
    for (std::size_t slot = kFirstCustomSlot; slot < options.textSlots.size(); ++slot) {
        const std::wstring_view text = SlotText(options.textSlots[slot]);
        AppendText(png, SlotKeyword(options.textSlots[slot]), text, text.size() > kLongestPlainText, services);
    }
}

// Stored as the date reads, without a change to UTC.
void WriteTIME(Bytes& png, const PngWriteOptions& options, const PngWriteServices& services)
{
    if (!(options.optionFlags & pngTime) || !services.readDate)
        return;
    const std::optional<PngTime> t = services.readDate(Slot(options, kTimeSlot));
    if (!t || t->year < 0 || t->year > 65535 || t->month < 1 || t->month > 12 || t->day < 1 || t->day > 31 ||
        t->hour < 0 || t->hour > 23 || t->minute < 0 || t->minute > 59 || t->second < 0 || t->second > 60)
        return;
    std::array<std::uint8_t, 7> data{};
    SpanWriter out(data);
    if (out.Be16(static_cast<std::uint16_t>(t->year)) && out.U8(static_cast<std::uint8_t>(t->month)) &&
        out.U8(static_cast<std::uint8_t>(t->day)) && out.U8(static_cast<std::uint8_t>(t->hour)) &&
        out.U8(static_cast<std::uint8_t>(t->minute)) && out.U8(static_cast<std::uint8_t>(t->second)))
        AppendChunk(png, MakeTag("tIME"), data);
}

bool WriteHeader(Bytes& png, const DibPixels& picture, std::uint8_t colourType)
{
    png.assign(kPngSignature.begin(), kPngSignature.end());
    std::array<std::uint8_t, 13> data{};
    SpanWriter out(data);
    // Bit depth 8; compression, filter and interlace methods 0.
    const bool ok = out.Be32(static_cast<std::uint32_t>(picture.width)) &&
                    out.Be32(static_cast<std::uint32_t>(picture.height)) && out.U8(8) && out.U8(colourType);
    return ok && AppendChunk(png, MakeTag("IHDR"), data);
}

// PLTE, bKGD and tRNS as the colour type needs them. A palette picture's background is the index
// of its colour, added at the end when the palette has room and left out when it has none.
bool AppendColourChunks(Bytes& png, const PngRoute& route, const PngWriteOptions& options)
{
    const std::uint32_t bg = options.backgroundColor;
    const std::array<std::uint8_t, 3> rgb = {static_cast<std::uint8_t>(bg), static_cast<std::uint8_t>(bg >> 8),
                                             static_cast<std::uint8_t>(bg >> 16)};
    const bool background = (options.optionFlags & pngBackground) != 0;
    const std::uint8_t type = route.ColourType();
    Bytes bkgd;
    if (type == 3) {
        Bytes palette = route.Palette();
        if (background) {
            std::size_t index = 0;
            while (index * 3 < palette.size() && !std::equal(rgb.begin(), rgb.end(), palette.begin() + index * 3))
                ++index;
            if (index * 3 == palette.size() && index < 256)
                palette.insert(palette.end(), rgb.begin(), rgb.end());
            if (index < 256)
                bkgd = {static_cast<std::uint8_t>(index)};
        }
        if (!AppendChunk(png, MakeTag("PLTE"), palette))
            return false;
    } else if (background) {
        bkgd = type == 0 ? Bytes{0, rgb[0]} : Bytes{0, rgb[0], 0, rgb[1], 0, rgb[2]};
    }
    if (!bkgd.empty() && !AppendChunk(png, MakeTag("bKGD"), bkgd))
        return false;
    const std::int32_t key = route.TransparentKey();
    if (key == -1 || type == 6)
        return true;
    const auto level = [&](int byte) { return static_cast<std::uint8_t>(key >> (8 * byte)); };
    const Bytes trns = type == 3 ? route.PaletteAlphas()
                       : type == 0 ? Bytes{0, level(0)}
                                   : Bytes{0, level(0), 0, level(1), 0, level(2)};
    return AppendChunk(png, MakeTag("tRNS"), trns);
}

} // namespace

bool AddPngText(PngWriteOptions& options, std::wstring keyword, std::wstring_view text)
{
    const std::int32_t bit = CleanKeyword(keyword);
    if (bit == 0)
        return false;
    auto& slots = options.textSlots;
    const std::wstring clean = CleanText(text);
    if (bit > 0) {
        const auto slot = static_cast<std::size_t>(SlotForOption(static_cast<std::uint32_t>(bit), keyword, slots));
        if (slots.size() <= slot)
            slots.resize(slot + 1);
        slots[slot] = clean;
        options.optionFlags |= static_cast<std::uint32_t>(bit);
        return true;
    }
    if (slots.size() < kFirstCustomSlot)
        slots.resize(kFirstCustomSlot);
    std::wstring entry = keyword + L'\0' + clean;
    const std::int32_t slot = SlotForOption(pngCustomText, keyword, slots);
    if (slot < 0)
        slots.push_back(std::move(entry));
    else
        slots[static_cast<std::size_t>(slot)] = std::move(entry);
    options.optionFlags |= pngCustomText;
    return true;
}

bool WritePng(const DibPixels& picture, const PngWriteOptions& options, const PngWriteServices& services,
              std::vector<std::uint8_t>& png)
{
    png.clear();
    if (picture.width < 1 || picture.height < 1 ||
        picture.bgra.size() / 4 / static_cast<std::size_t>(picture.width) < static_cast<std::size_t>(picture.height))
        return false;
    try {
        const std::size_t size =
            (static_cast<std::size_t>(picture.width) + 1) * static_cast<std::size_t>(picture.height);
        auto filtered = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        const PngRoute route(picture, {filtered.get(), size});
        bool ok = WriteHeader(png, picture, route.ColourType());
        WriteTextGroup(png, options, services, 0, 1);
        ok = ok && AppendColourChunks(png, route, options);
        ok = ok && WriteIDAT(png, FilterRows(route, picture.height, options.filterSetting, filtered, size),
                                   services);
        if (ok) {
            WriteTIME(png, options, services);
            WriteTextGroup(png, options, services, 2, 9);
            WriteCustomText(png, options, services);
            ok = AppendChunk(png, MakeTag("IEND"), {});
        }
        if (!ok)
            png.clear();
        return ok;
    } catch (const std::bad_alloc&) {
        png.clear();
        return false;
    }
}

} // namespace imaging
