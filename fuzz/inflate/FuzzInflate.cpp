// Our inflate must give zlib's verdict and zlib's bytes on any input, for any room for output,
// so that loading never depends on whether the library is present; and so must our streamed inflate,
// whole or in pieces, which needs no more input than it says it took.
#include "imaging/core/Inflate.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the room, up to 64 KB; the rest is the stream.
    const std::size_t room = std::size_t{data[0]} << 8 | data[1];
    const std::uint8_t* in = data + 2;
    const std::size_t inSize = size - 2;
    std::vector<std::uint8_t> ours(room), theirs(room ? room : 1);
    const auto produced = imaging::InflateData({in, inSize}, ours);
    uLongf theirLen = room;
    const bool zlibOk = uncompress(theirs.data(), &theirLen, in, static_cast<uLong>(inSize)) == Z_OK;
    if (produced.has_value() != zlibOk)
        __builtin_trap();
    // Compared through iterators: with no room an empty vector's data() is null, which memcmp may
    // not be handed.
    const auto theirBytes = std::span<const std::uint8_t>(theirs).first(theirLen);
    if (zlibOk && (*produced != theirLen || !std::equal(theirBytes.begin(), theirBytes.end(), ours.begin())))
        __builtin_trap();
    // The streamed inflate, stopped where the room ends, gives the same verdict and bytes.
    std::vector<std::uint8_t> streamed;
    const auto handed = imaging::InflateDataTo({in, inSize}, [&](std::span<const std::uint8_t> b) {
        if (b.size() > room - streamed.size())
            return false;
        streamed.insert(streamed.end(), b.begin(), b.end());
        return true;
    });
    if (handed != produced || (zlibOk && !std::equal(theirBytes.begin(), theirBytes.end(), streamed.begin(), streamed.end())))
        __builtin_trap();
    // And so does the streamed inflate taking its input in pieces of 1 to 13 bytes, as a PNG's
    // image data chunks hand it over.
    const std::size_t piece = 1 + room % 13;
    std::size_t at = 0;
    const imaging::InflateSource pieces = [&]() -> std::span<const std::uint8_t> {
        const std::size_t n = std::min(piece, inSize - at);
        at += n;
        return {in + at - n, n};
    };
    std::vector<std::uint8_t> joined;
    const auto fromPieces = imaging::InflateDataTo(pieces, [&](std::span<const std::uint8_t> b) {
        if (b.size() > room - joined.size())
            return false;
        joined.insert(joined.end(), b.begin(), b.end());
        return true;
    });
    if (fromPieces != produced || !std::equal(joined.begin(), joined.end(), streamed.begin(), streamed.end()))
        __builtin_trap();
    // Limited to the room, it gives the first bytes of the whole stream's output and stops there,
    // or fails as the whole stream does: it may succeed only with the room full.
    std::vector<std::uint8_t> whole, limited;
    const auto keep = [](std::vector<std::uint8_t>& v) {
        return [&v](std::span<const std::uint8_t> b) { return v.insert(v.end(), b.begin(), b.end()), v.size() <= (1u << 20); };
    };
    const auto all = imaging::InflateDataTo({in, inSize}, keep(whole));
    at = 0;
    std::uint64_t used = 0;
    const auto upTo = imaging::InflateDataTo(pieces, keep(limited), room, &used);
    if ((upTo && limited.size() != *upTo) || (!all && upTo && *upTo != room))
        __builtin_trap();
    if (all && (upTo != std::min(*all, room) || !std::equal(limited.begin(), limited.end(), whole.begin())))
        __builtin_trap();
    // What it says it took, and the two bytes at most that a table lookup sees past it, give the
    // same, or fail where it read on past the limit into a block it took nothing of.
    std::vector<std::uint8_t> again;
    bool given = false;
    const std::span<const std::uint8_t> needed(in, std::min<std::size_t>(used + 2, inSize));
    const auto taken = imaging::InflateDataTo(
        [&] { return given ? std::span<const std::uint8_t>() : (given = true, needed); }, keep(again), room);
    if (upTo && (used > inSize || (taken ? taken != upTo || again != limited : all && *all <= room)))
        __builtin_trap();
    return 0;
}
