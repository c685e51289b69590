#include "imaging/core/PngReader.h"

#include "imaging/core/Crc32.h"
#include "imaging/core/Inflate.h"
#include "imaging/core/PngSignature.h"
#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <cstring>

namespace imaging {

namespace {

// Deflate cannot expand one input byte to more than 1,032 bytes (a 258-byte match in two bits),
// so a raw size beyond that is a lie told before any buffer is made for it.
constexpr std::size_t kMaxInflateRatio = 1032;
// Chunk data are read and checked this much at a time, so a chunk of any length costs no more
// memory, and one whose rest lies past the rows costs no more time.
constexpr std::size_t kPiece = 65536;

bool IsType(std::span<const std::uint8_t, 4> type, const char (&name)[5]) { return std::memcmp(type.data(), name, 4) == 0; }

// A chunk's length and type at `at`, when the whole chunk lies inside the data; lengths of 2^31
// or more are corrupt.
struct ChunkHead {
    std::uint32_t length;
    std::array<std::uint8_t, 4> type;
};
std::optional<ChunkHead> ReadHead(const PngSource& source, std::uint64_t at)
{
    const auto head = source.read(at, 8);
    if (!head)
        return std::nullopt;
    ChunkHead chunk{LoadBe32(head->first<4>()), {}};
    std::copy_n(head->begin() + 4, 4, chunk.type.begin());
    if (chunk.length >= 0x80000000u || source.size - at < 12 + std::uint64_t{chunk.length})
        return std::nullopt;
    return chunk;
}

// The data of the image data chunks from the first one on, in order and in pieces, then nothing.
// Ancillary chunks between them are passed over; a chunk that is not whole, and IEND, end them.
// Each chunk's CRC is summed as its pieces go and checked at its end, which Sound() reaches for
// the chunk the rows end in: a damaged chunk whose data the rows used refuses the picture,
// whichever piece holds the damage. A damaged chunk's last piece is not handed out.
class ImageDataPieces {
public:
    ImageDataPieces(const PngSource& source, std::uint64_t first) : source_(source), next_(first) {}
    std::span<const std::uint8_t> operator()()
    {
        while (!ended_) {
            if (!inChunk_) {
                const auto head = ReadHead(source_, next_);
                if (!head || IsType(head->type, "IEND"))
                    break;
                at_ = next_ + 8;
                left_ = head->length;
                next_ += 12 + std::uint64_t{head->length};
                if (!IsType(head->type, "IDAT"))
                    continue;
                inChunk_ = true;
                chunkStart_ = handed_;
                crc_ = Crc32(head->type);
            }
            const auto piece = NextPiece();
            if (!piece)
                break;
            handed_ += piece->size();
            if (!piece->empty())
                return *piece;
        }
        ended_ = true;
        return {};
    }

    // Whether every chunk that holds the first `used` bytes handed out matches its CRC: the one
    // in progress, when they reach into it, is read to its end, and no further.
    bool Sound(std::uint64_t used)
    {
        const auto usedInProgress = [&] { return inChunk_ && chunkStart_ < used; };
        while (usedInProgress() && NextPiece()) {
        }
        return !usedInProgress() && !(damagedFrom_ && *damagedFrom_ < used);
    }

private:
    // The next piece of the chunk in progress, whose CRC is checked after its last; none when the
    // piece cannot be read or the CRC does not match.
    std::optional<std::span<const std::uint8_t>> NextPiece()
    {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left_, kPiece));
        const bool last = n == left_;
        const auto piece = source_.read(at_, last ? n + 4 : n);
        if (!piece)
            return std::nullopt;
        crc_ = Crc32(piece->first(n), crc_);
        at_ += n;
        left_ -= n;
        if (last) {
            inChunk_ = false;
            if (crc_ != LoadBe32(piece->subspan(n).first<4>())) {
                damagedFrom_ = chunkStart_;
                return std::nullopt;
            }
        }
        return piece->first(n);
    }

    const PngSource& source_;
    std::uint64_t next_; // the next chunk's start
    std::uint64_t at_ = 0;   // the next piece's start
    std::uint64_t left_ = 0; // of the chunk's data
    std::uint32_t crc_ = 0;
    std::uint64_t handed_ = 0;     // image data handed out, from the first chunk's
    std::uint64_t chunkStart_ = 0; // where the chunk in progress starts in them
    std::optional<std::uint64_t> damagedFrom_; // the same of a chunk whose CRC does not match
    bool inChunk_ = false;
    bool ended_ = false;
};

} // namespace

PngSource PngSourceOf(std::span<const std::uint8_t> data)
{
    return {data.size(), [data](std::uint64_t offset, std::size_t n) -> std::optional<std::span<const std::uint8_t>> {
                if (offset > data.size() || n > data.size() - offset)
                    return std::nullopt;
                return data.subspan(static_cast<std::size_t>(offset), n);
            }};
}

PngLoad PngReader::ReadChunks(std::span<const std::uint8_t> data) { return ReadChunks(PngSourceOf(data)); }

PngLoad PngReader::ReadChunks(PngSource source)
{
    *this = PngReader();
    source_ = std::move(source);
    const auto signature = source_.read(0, kPngSignature.size());
    if (!signature || !std::ranges::equal(*signature, kPngSignature))
        return PngLoad::NotPng;
    // Up to the first image data chunk; the rest is read as the rows need it.
    for (std::uint64_t at = 8;;) {
        const auto chunk = ReadHead(source_, at);
        if (!chunk)
            return PngLoad::Failed;
        if (haveHeader_ && IsType(chunk->type, "IDAT")) {
            firstImageData_ = at;
            return Finish();
        }
        if (ReadChunk(at, chunk->type, chunk->length) == Step::Fail)
            return PngLoad::Failed;
        at += 12 + std::uint64_t{chunk->length};
    }
}

PngReader::Step PngReader::ReadChunk(std::uint64_t at, const std::array<std::uint8_t, 4>& type, std::uint32_t length)
{
    if (IsType(type, "IHDR"))
        return ReadHeaderChunk(at, length);
    if (!haveHeader_ || IsType(type, "IEND"))
        return Step::Fail; // IHDR comes first, and image data before the end
    if (IsType(type, "PLTE"))
        return ReadPaletteChunk(at, length);
    if (IsType(type, "tRNS"))
        return ReadTransparencyChunk(at, length);
    return Step::Next; // a chunk the engine has no use for, sound or not
}

bool PngReader::ChunkCrcMatches(std::uint64_t at, std::uint32_t length) const
{
    std::uint32_t crc = 0;
    for (std::uint64_t from = at + 4, end = at + 8 + length; from < end;) {
        const auto piece = source_.read(from, static_cast<std::size_t>(std::min<std::uint64_t>(end - from, kPiece)));
        if (!piece)
            return false;
        crc = Crc32(*piece, crc);
        from += piece->size();
    }
    const auto stored = source_.read(at + 8 + length, 4);
    return stored && LoadBe32(stored->first<4>()) == crc;
}

PngReader::Step PngReader::ReadHeaderChunk(std::uint64_t at, std::uint32_t length)
{
    if (haveHeader_ || length != 13 || !ChunkCrcMatches(at, length))
        return Step::Fail;
    const auto fields = source_.read(at + 8, 13);
    if (!fields)
        return Step::Fail;
    haveHeader_ = true;
    header_.width = LoadBe32(fields->first<4>());
    header_.height = LoadBe32(fields->subspan<4, 4>());
    header_.depth = (*fields)[8];
    header_.colourType = (*fields)[9];
    header_.interlace = (*fields)[12];
    const bool standardMethods = (*fields)[10] == 0 && (*fields)[11] == 0; // deflate, adaptive filters
    const auto raw = RawDataSize(header_);
    if (!raw || !standardMethods || header_.interlace > 1 || !IsLegalPngFormat(header_.colourType, header_.depth))
        return Step::Fail;
    rawSize_ = *raw;
    return Step::Next;
}

PngReader::Step PngReader::ReadPaletteChunk(std::uint64_t at, std::uint32_t length)
{
    if (havePalette_ || !ChunkCrcMatches(at, length))
        return Step::Fail;
    havePalette_ = true;
    const std::uint8_t t = header_.colourType;
    if (t == 0 || t == 4)
        return Step::Next; // grey pictures take no palette
    if (length % 3 != 0 || length == 0 || length > 768)
        return Step::Fail;
    if (t == 3) {
        const auto body = source_.read(at + 8, length);
        if (!body)
            return Step::Fail;
        colours_.palette.assign(body->begin(), body->end());
    }
    return Step::Next;
}

PngReader::Step PngReader::ReadTransparencyChunk(std::uint64_t at, std::uint32_t length)
{
    // A damaged or repeated tRNS is dropped; the picture still loads without it.
    if (haveTransparency_ || !ChunkCrcMatches(at, length))
        return Step::Next;
    haveTransparency_ = true;
    const std::uint8_t t = header_.colourType;
    const bool alphas = t == 3 && length <= 256, key = (t == 0 && length == 2) || (t == 2 && length == 6);
    const auto body = alphas || key ? source_.read(at + 8, length) : std::nullopt;
    if (!body)
        return Step::Next;
    if (alphas) {
        colours_.alphas.assign(body->begin(), body->end());
        return Step::Next;
    }
    SpanReader samples(*body);
    colours_.hasKey = true;
    for (std::uint16_t& k : colours_.key)
        k = samples.Be16().value_or(0); // grey has one sample; the others stay unused
    return Step::Next;
}

PngLoad PngReader::Finish()
{
    // The image data can be no more than the bytes from their first chunk on.
    if (rawSize_ / kMaxInflateRatio >= source_.size - firstImageData_)
        return PngLoad::Failed;
    if (header_.colourType == 3) {
        // Without PLTE a palette picture is black, with white for 1 at depth 1.
        if (colours_.palette.empty()) {
            colours_.palette.assign(768, 0);
            if (header_.depth == 1)
                std::fill_n(colours_.palette.begin() + 3, 3, std::uint8_t{255});
        }
        if (colours_.alphas.size() > colours_.palette.size() / 3)
            colours_.alphas.clear(); // more alphas than entries: the tRNS is bad
    }
    return PngLoad::Decoded;
}

bool PngReader::DecodeImageData(std::span<std::uint8_t> bgra)
{
    if (firstImageData_ == 0)
        return false;
    PngRowFeed rows(header_, colours_, bgra);
    ImageDataPieces pieces(source_, firstImageData_);
    std::uint64_t used = 0;
    const auto produced = InflateDataTo([&pieces] { return pieces(); },
                                        [&rows](std::span<const std::uint8_t> b) { return rows.Take(b); }, rawSize_,
                                        &used);
    return produced && *produced == rawSize_ && rows.Complete() && pieces.Sound(used);
}

bool PngReader::Plain() const
{
    if (firstImageData_ == 0 || (header_.colourType == 3 && colours_.palette.size() / 3 < (1u << header_.depth)))
        return false;
    // Stored blocks add 5 bytes to 65,535 and fixed codes an eighth: a quarter more and a margin
    // covers what encoders write, while data that the rows cannot use are never read through.
    const std::uint64_t budget = std::uint64_t{rawSize_} + rawSize_ / 4 + kPiece;
    for (std::uint64_t at = firstImageData_;;) {
        const auto chunk = ReadHead(source_, at);
        const std::uint64_t next = chunk ? at + 12 + std::uint64_t{chunk->length} : 0;
        if (!chunk || next - firstImageData_ > budget)
            return false;
        const bool end = IsType(chunk->type, "IEND");
        if ((end || IsType(chunk->type, "IDAT")) && !ChunkCrcMatches(at, chunk->length))
            return false;
        if (end)
            return true;
        at = next;
    }
}

bool PngReader::Alpha() const
{
    const std::uint8_t t = header_.colourType;
    return t == 4 || t == 6 || colours_.hasKey || !colours_.alphas.empty();
}

PngLoad DecodePng(std::span<const std::uint8_t> data, PngPicture& picture)
{
    picture = PngPicture();
    PngReader reader;
    const PngLoad load = reader.ReadChunks(data);
    if (load != PngLoad::Decoded)
        return load;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(reader.Width()) * static_cast<std::size_t>(reader.Height()) * 4);
    if (!reader.DecodeImageData(pixels))
        return PngLoad::Failed;
    picture = {reader.Width(), reader.Height(), reader.Alpha(), std::move(pixels)};
    return PngLoad::Decoded;
}

} // namespace imaging
