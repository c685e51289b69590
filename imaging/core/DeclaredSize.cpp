#include "imaging/core/DeclaredSize.h"

#include "imaging/core/SpanReader.h"

namespace imaging {

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;

// Frame headers: C0 to CF but for the Huffman tables (C4), the reserved C8 and the arithmetic
// conditioning (CC).
bool IsFrameHeader(std::uint8_t code)
{
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// Markers with no length after them: the restart markers and TEM.
bool StandsAlone(std::uint8_t code) { return (code >= 0xD0 && code <= 0xD7) || code == 0x01; }

constexpr std::uint16_t kImageWidth = 256;
constexpr std::uint16_t kImageLength = 257;
constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::size_t kTiffEntryBytes = 12; // tag, type, count, value or its offset

} // namespace

std::optional<DeclaredSize> ReadJpegSize(std::span<const std::uint8_t> data)
{
    SpanReader in(data);
    const auto start = in.TakeFixed<2>();
    if (!start || (*start)[0] != kMarker || (*start)[1] != kStartOfImage)
        return std::nullopt;
    const DeclaredSize cut;
    for (;;) {
        if (in.U8() != kMarker)
            return cut; // a segment ends where the next marker begins
        auto code = in.U8();
        while (code == kMarker) // fill bytes before a marker
            code = in.U8();
        if (!code || *code == 0 || *code == kStartOfImage || *code == kEndOfImage || *code == kStartOfScan)
            return cut;
        if (StandsAlone(*code))
            continue;
        const auto length = in.Be16();
        const auto segment = length && *length >= 2 ? in.Take(*length - 2u) : std::nullopt;
        if (!segment)
            return cut;
        if (IsFrameHeader(*code)) {
            // The sample precision, then the number of lines and the samples a line.
            SpanReader frame(*segment);
            const auto precision = frame.U8();
            const auto lines = frame.Be16();
            const auto samples = frame.Be16();
            if (!precision || !lines || !samples)
                return cut;
            return DeclaredSize{*samples, *lines, true};
        }
    }
}

std::optional<DeclaredSize> ReadTiffSize(std::span<const std::uint8_t> data)
{
    SpanReader in(data);
    const auto head = in.TakeFixed<8>();
    if (!head)
        return std::nullopt;
    const auto& h = *head;
    const bool little = h[0] == 'I' && h[1] == 'I' && h[2] == 42 && h[3] == 0;
    if (!little && !(h[0] == 'M' && h[1] == 'M' && h[2] == 0 && h[3] == 42))
        return std::nullopt;
    const auto u16 = [little](std::span<const std::uint8_t, 2> b) { return little ? LoadLe16(b) : LoadBe16(b); };
    const auto u32 = [little](std::span<const std::uint8_t, 4> b) { return little ? LoadLe32(b) : LoadBe32(b); };
    DeclaredSize size;
    const auto count = in.Seek(u32(h.subspan<4, 4>())) ? in.TakeFixed<2>() : std::nullopt;
    const auto entries = count ? in.Take(std::uint64_t{u16(*count)} * kTiffEntryBytes) : std::nullopt;
    if (!entries)
        return size;
    std::optional<std::uint32_t> width, length;
    for (std::size_t at = 0; at < entries->size(); at += kTiffEntryBytes) {
        const auto e = entries->subspan(at).first<kTiffEntryBytes>();
        const std::uint16_t tag = u16(e.first<2>()), type = u16(e.subspan<2, 2>());
        // One value lies at the start of the value field, in the file's byte order.
        const std::optional<std::uint32_t> value = type == kShort  ? std::optional<std::uint32_t>(u16(e.subspan<8, 2>()))
                                                   : type == kLong ? std::optional(u32(e.subspan<8, 4>()))
                                                                   : std::nullopt;
        if (tag == kImageWidth && !width)
            width = value;
        else if (tag == kImageLength && !length)
            length = value;
    }
    if (width && length)
        size = {*width, *length, true};
    return size;
}

} // namespace imaging
