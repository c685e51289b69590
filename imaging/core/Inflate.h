// Our own zlib-stream inflate (stored, fixed and dynamic blocks), used when no zlib library is
// present or when it refuses the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace imaging {

// Inflates one zlib stream into `out`. The header (method 8, window at most 32 KB, check bits, no
// preset dictionary) and the Adler-32 trailer are checked; bytes after the trailer are ignored, as
// zlib's uncompress ignores them. Returns the number of bytes written; nothing when the stream is
// damaged, ends early, or does not fit into `out`.
std::optional<std::size_t> InflateData(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

// Takes each stretch of inflated bytes in order; false stops the inflate as failed.
using InflateSink = std::function<bool(std::span<const std::uint8_t>)>;
// The same checks as InflateData, but the output goes to `sink` as it is made, through a window of
// 96 KB, so no buffer of the whole output is needed. Returns the number of bytes handed over.
std::optional<std::size_t> InflateDataTo(std::span<const std::uint8_t> in, const InflateSink& sink);

// Hands over the input piece by piece, in order; an empty piece means there is no more.
using InflateSource = std::function<std::span<const std::uint8_t>()>;
// The same again, with the input in pieces (a PNG's image data chunks), joined through a small
// buffer of its own rather than copied into one. Once `limit` bytes are out, the inflate ends at
// the first symbol that would write another: it succeeds with `limit` bytes, and the rest of the
// stream, checksum included, is not decoded (a PNG's rows are complete; what follows is ignored,
// as libpng ignores it). A stream that ends at or before `limit` is checked as usual. On success
// `used`, when given, receives how many bytes of the input the inflate took (a byte it took some
// bits of counts): the pieces are read ahead of the stream, and past its end, and a table lookup
// sees up to two bytes past what it takes.
std::optional<std::size_t> InflateDataTo(const InflateSource& source, const InflateSink& sink,
                                         std::size_t limit = SIZE_MAX, std::uint64_t* used = nullptr);

} // namespace imaging
