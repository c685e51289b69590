#include "imaging/core/MetafileExtent.h"

#include "imaging/core/SpanReader.h"

#include <algorithm>

namespace imaging {

namespace {

constexpr std::uint16_t kSetWindowExt = 0x020C;
constexpr std::uint16_t kEndOfFile = 0x0000;
constexpr std::uint32_t kRecordHeadWords = 3; // its size in words and its function

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableBytes = 22; // key, handle, bounds, units per inch, reserved, checksum
constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::size_t kEmfHeaderBytes = 44;         // up to its signature
constexpr std::size_t kEmfCountsEnd = 58;           // then its counts of bytes, records and handles
constexpr std::uint32_t kEmfRecordBytes = 8;        // the least a record takes: its type and size

int Side(std::uint16_t word)
{
    const int v = static_cast<std::int16_t>(word);
    return v < 0 ? -v : v;
}

enum class Walk { Ended, BrokeOff, Stopped };

// Hands each record of a metafile (after its 9-word header) to `visit` as its function and
// parameters, up to the end record, until `visit` answers true.
template <class Visit>
Walk WalkWmf(std::span<const std::uint8_t> metafile, Visit visit)
{
    SpanReader in(metafile);
    const auto type = in.Le16();
    const auto headerWords = in.Le16();
    // In memory (1) or on disk (2); the header is 9 words.
    if (!type || (*type != 1 && *type != 2) || !headerWords || *headerWords < 9 ||
        !in.Seek(std::uint64_t{*headerWords} * 2))
        return Walk::BrokeOff;
    for (;;) {
        const auto words = in.Le32();
        const auto function = in.Le16();
        const auto parameters = words && function && *words >= kRecordHeadWords
                                    ? in.Take((std::uint64_t{*words} - kRecordHeadWords) * 2)
                                    : std::nullopt;
        if (!parameters)
            return Walk::BrokeOff;
        if (*function == kEndOfFile)
            return Walk::Ended;
        if (visit(*function, *parameters))
            return Walk::Stopped;
    }
}

// Pixels of `extent` units at `dpi` pixels per `perInch` units, rounded up.
std::uint64_t Pixels(std::int64_t extent, int dpi, std::uint64_t perInch)
{
    const std::uint64_t units = static_cast<std::uint64_t>(extent < 0 ? -extent : extent);
    return (units * static_cast<std::uint64_t>(std::clamp(dpi, 1, 1 << 16)) + perInch - 1) / perInch;
}

std::optional<DeclaredSize> ReadPlaceable(std::span<const std::uint8_t> data, int dpiX, int dpiY)
{
    SpanReader in(data);
    const auto head = in.TakeFixed<kPlaceableBytes>();
    if (!head || LoadLe32(head->first<4>()) != kPlaceableKey)
        return std::nullopt;
    const auto at = [&](std::size_t offset) {
        return static_cast<std::int16_t>(LoadLe16(head->subspan(offset).first<2>()));
    };
    // A unit count of 0 an inch sizes nothing, whatever the bounds.
    const std::uint16_t perInch = LoadLe16(head->subspan<14, 2>());
    DeclaredSize file;
    if (perInch != 0) {
        file.width = Pixels(std::int64_t{at(10)} - at(6), dpiX, perInch);
        file.height = Pixels(std::int64_t{at(12)} - at(8), dpiY, perInch);
    }
    file.whole = WalkWmf(in.Rest(), [](std::uint16_t, std::span<const std::uint8_t>) { return false; }) == Walk::Ended;
    return file;
}

std::optional<DeclaredSize> ReadEnhanced(std::span<const std::uint8_t> data, int dpiX, int dpiY)
{
    SpanReader in(data);
    const auto head = in.PeekFixed<kEmfHeaderBytes>();
    if (!head || LoadLe32(head->first<4>()) != kEmrHeader || LoadLe32(head->subspan<40, 4>()) != kEmfSignature)
        return std::nullopt;
    const auto at = [&](std::size_t offset) {
        return std::int64_t{static_cast<std::int32_t>(LoadLe32(head->subspan(offset).first<4>()))};
    };
    // The frame, in hundredths of a millimetre, is the picture's size.
    DeclaredSize file;
    file.width = Pixels(at(32) - at(24), dpiX, 2540);
    file.height = Pixels(at(36) - at(28), dpiY, 2540);
    // The decoders size their copy and their tables by these counts: each must fit the data, and
    // every record, and every handle (each made by a record), takes 8 bytes of it at least.
    const auto counts = in.PeekFixed<kEmfCountsEnd>();
    if (!counts)
        return file;
    const std::uint64_t bytes = LoadLe32(counts->subspan<48, 4>()), records = LoadLe32(counts->subspan<52, 4>()),
                        handles = LoadLe16(counts->subspan<56, 2>());
    if (bytes > data.size() || std::max(records, handles) > data.size() / kEmfRecordBytes)
        return file;
    for (;;) {
        const auto type = in.Le32();
        const auto size = in.Le32();
        // A record holds its type and size, and keeps to whole 32-bit words.
        if (!size || *size < kEmfRecordBytes || *size % 4 != 0 || !in.Skip(*size - kEmfRecordBytes))
            return file;
        if (*type == kEmrEof) {
            file.whole = true;
            return file;
        }
    }
}

} // namespace

std::optional<MetafileExtent> WmfWindowExtent(std::span<const std::uint8_t> metafile)
{
    std::optional<MetafileExtent> extent;
    WalkWmf(metafile, [&](std::uint16_t function, std::span<const std::uint8_t> parameters) {
        if (function != kSetWindowExt || parameters.size() < 4)
            return false;
        // Its parameters come in reverse order: the height, then the width.
        const int height = Side(LoadLe16(parameters.first<2>())), width = Side(LoadLe16(parameters.subspan<2, 2>()));
        if (width != 0 && height != 0)
            extent = MetafileExtent{width, height};
        return extent.has_value();
    });
    return extent;
}

std::optional<DeclaredSize> ReadMetafileFile(std::span<const std::uint8_t> data, int dpiX, int dpiY)
{
    if (auto placeable = ReadPlaceable(data, dpiX, dpiY))
        return placeable;
    return ReadEnhanced(data, dpiX, dpiY);
}

} // namespace imaging
