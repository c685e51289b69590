// A caller's start and length and a file's size reach the dispatcher as they are: the slice it
// lets through must lie inside the array and hold enough bytes, exactly when 128-bit arithmetic
// says such a slice exists.
#include "imaging/core/SourceSlice.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

template <typename T>
T Take(const std::uint8_t*& data, std::size_t& size)
{
    T v{};
    const std::size_t n = size < sizeof v ? size : sizeof v;
    std::memcpy(&v, data, n);
    data += n;
    size -= n;
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto arraySize = Take<std::size_t>(data, size);
    const auto start = Take<std::int64_t>(data, size);
    const auto length = Take<std::int64_t>(data, size);
    const auto fileSize = Take<std::uint64_t>(data, size);

    const __int128 offset = start < 0 ? 0 : start;
    const __int128 taken = length == 0 ? __int128{arraySize} - offset : length;
    const bool fits = length >= 0 && offset <= arraySize && taken >= 57 && offset + taken <= arraySize;
    const auto slice = imaging::SliceOfArray(arraySize, start, length);
    if (slice.has_value() != fits)
        __builtin_trap();
    if (slice && (slice->offset != offset || slice->length != taken))
        __builtin_trap();

    const auto read = imaging::FileSourceSize(fileSize);
    if (read.has_value() != (fileSize >= 57 && fileSize <= imaging::kMaxSourceFileBytes) || (read && *read != fileSize))
        __builtin_trap();
    return 0;
}
