// Where the bytes of a load lie: the dispatcher's checks on a slice of a caller's array and on
// a file's size, made before any reader runs, so that no reader is handed bytes outside what it
// was given and no size from a file wraps on a 32-bit build; and which data may still go on to
// the system's decoders once the engine's own readers made no picture of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace imaging {

// Fewer bytes than this hold no picture that any reader takes.
inline constexpr std::size_t kMinSourceBytes = 57;
// The largest file a load reads whole: the largest picture the engine holds (2^26 pixels),
// stored uncompressed at 16 bits a channel, is well under this.
inline constexpr std::uint64_t kMaxSourceFileBytes = std::uint64_t{1} << 30;

struct SourceSlice {
    std::size_t offset = 0;
    std::size_t length = 0;
    bool operator==(const SourceSlice&) const = default;
};

// The slice of an array of `arraySize` bytes that starts at `start` (below 0: at 0) and holds
// `length` bytes (0: the rest of the array); none when it leaves the array, when `length` is
// negative, or when it holds fewer than kMinSourceBytes.
std::optional<SourceSlice> SliceOfArray(std::size_t arraySize, std::int64_t start, std::int64_t length);

// The bytes of a file of `fileSize` to read; none below kMinSourceBytes or above
// kMaxSourceFileBytes.
std::optional<std::size_t> FileSourceSize(std::uint64_t fileSize);

// Whether `data` may go to the system's picture loader or to GDI+, which take a header at its
// word: only a "BM" file that the BMP reader did not refuse, and a JPEG, a TIFF, or a placeable
// or enhanced metafile whose header was read whole and whose size (a metafile's at `dpiX` by
// `dpiY` pixels an inch) is within the pixel limit. Not data whose signature names a format the
// engine reads when its reader refused them (an icon or cursor, a GIF whose screen or first
// image it took), and not data of any other format, whose size no one has read: a refusal for
// damage or size is final.
bool MayGoToSystemDecoders(std::span<const std::uint8_t> data, int dpiX, int dpiY);

} // namespace imaging
