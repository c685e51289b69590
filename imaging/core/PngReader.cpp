#include "imaging/core/PngReader.h"

#include "imaging/core/Crc32.h"
#include "imaging/core/Inflate.h"
#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <cstring>

namespace imaging {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Deflate cannot expand one input byte to more than 1,032 bytes (a 258-byte match in two bits),
// so a raw size beyond that is a lie told before any buffer is made for it.
constexpr std::size_t kMaxInflateRatio = 1032;

bool IsType(std::span<const std::uint8_t, 4> type, const char (&name)[5]) { return std::memcmp(type.data(), name, 4) == 0; }

// The bodies of the image data chunks from the first one to IEND, in order, then nothing. The walk
// has already proved every chunk there inside the data and the image data's CRCs.
class ImageDataPieces {
public:
    explicit ImageDataPieces(std::span<const std::uint8_t> fromFirst) : in_(fromFirst) {}
    std::span<const std::uint8_t> operator()()
    {
        for (;;) {
            const auto length = in_.Be32();
            const auto type = in_.TakeFixed<4>();
            const auto body = length && type ? in_.Take(*length) : std::nullopt;
            if (!body || !in_.Skip(4) || IsType(*type, "IEND"))
                return {};
            if (IsType(*type, "IDAT") && !body->empty())
                return *body;
        }
    }

private:
    SpanReader in_;
};

} // namespace

PngLoad PngReader::ReadChunks(std::span<const std::uint8_t> data)
{
    *this = PngReader();
    data_ = data;
    SpanReader in(data);
    const auto signature = in.TakeFixed<8>();
    if (!signature || std::memcmp(signature->data(), kSignature, 8) != 0)
        return PngLoad::NotPng;
    for (;;) {
        // Length, type, data and CRC must all lie inside the data; lengths of 2^31 or more are corrupt.
        const std::size_t at = in.Consumed();
        const auto length = in.Be32();
        const auto type = in.TakeFixed<4>();
        const auto body = length && type && *length < 0x80000000u ? in.Take(*length) : std::nullopt;
        const auto crc = body ? in.Be32() : std::nullopt;
        if (!crc)
            return PngLoad::Failed;
        const Chunk chunk{at, *type, *body, Crc32(*body, Crc32(*type)) == *crc};
        const Step step = ReadChunk(chunk);
        if (step != Step::Next)
            return step == Step::End ? Finish() : PngLoad::Failed;
    }
}

PngReader::Step PngReader::ReadChunk(const Chunk& chunk)
{
    if (IsType(chunk.type, "IHDR"))
        return ReadHeader(chunk);
    if (!haveHeader_)
        return Step::Fail; // IHDR comes first
    if (IsType(chunk.type, "IDAT"))
        return ReadImageData(chunk);
    if (IsType(chunk.type, "PLTE"))
        return ReadPalette(chunk);
    if (IsType(chunk.type, "tRNS"))
        return ReadTransparency(chunk);
    if (IsType(chunk.type, "IEND"))
        return chunk.crcOk ? Step::End : Step::Fail;
    return Step::Next; // a chunk the engine has no use for, sound or not
}

PngReader::Step PngReader::ReadHeader(const Chunk& chunk)
{
    const auto fields = SpanReader(chunk.body).TakeFixed<13>();
    if (haveHeader_ || !chunk.crcOk || chunk.body.size() != 13 || !fields)
        return Step::Fail;
    haveHeader_ = true;
    header_.width = LoadBe32(fields->first<4>());
    header_.height = LoadBe32(fields->subspan<4, 4>());
    header_.depth = (*fields)[8];
    header_.colourType = (*fields)[9];
    header_.interlace = (*fields)[12];
    const bool standardMethods = (*fields)[10] == 0 && (*fields)[11] == 0; // deflate, adaptive filters
    const auto raw = PngRawSize(header_);
    if (!raw || !standardMethods || header_.interlace > 1 || !IsLegalPngFormat(header_.colourType, header_.depth))
        return Step::Fail;
    rawSize_ = *raw;
    return Step::Next;
}

PngReader::Step PngReader::ReadImageData(const Chunk& chunk)
{
    if (!chunk.crcOk)
        return Step::Fail;
    if (!sawImageData_)
        firstImageData_ = chunk.at;
    sawImageData_ = true;
    imageDataBytes_ += chunk.body.size();
    return Step::Next;
}

PngReader::Step PngReader::ReadPalette(const Chunk& chunk)
{
    if (havePalette_ || sawImageData_ || !chunk.crcOk)
        return Step::Fail;
    havePalette_ = true;
    const std::uint8_t t = header_.colourType;
    if (t == 0 || t == 4)
        return Step::Next; // grey pictures take no palette
    const std::size_t length = chunk.body.size();
    if (length % 3 != 0 || length == 0 || length > 768)
        return Step::Fail;
    if (t == 3)
        colours_.palette.assign(chunk.body.begin(), chunk.body.end());
    return Step::Next;
}

PngReader::Step PngReader::ReadTransparency(const Chunk& chunk)
{
    // A damaged, misplaced or repeated tRNS is dropped; the picture still loads without it.
    if (!chunk.crcOk || haveTransparency_ || sawImageData_)
        return Step::Next;
    haveTransparency_ = true;
    const std::uint8_t t = header_.colourType;
    if (t == 3 && chunk.body.size() <= 256) {
        colours_.alphas.assign(chunk.body.begin(), chunk.body.end());
        return Step::Next;
    }
    if ((t == 0 && chunk.body.size() == 2) || (t == 2 && chunk.body.size() == 6)) {
        SpanReader samples(chunk.body);
        colours_.hasKey = true;
        for (std::uint16_t& key : colours_.key)
            key = samples.Be16().value_or(0); // grey has one sample; the others stay unused
    }
    return Step::Next;
}

PngLoad PngReader::Finish()
{
    if (imageDataBytes_ == 0 || rawSize_ / kMaxInflateRatio >= imageDataBytes_)
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

bool PngReader::DecodeInto(std::span<std::uint8_t> bgra)
{
    if (imageDataBytes_ == 0)
        return false;
    PngRowFeed rows(header_, colours_, bgra);
    const InflateSource pieces = ImageDataPieces(data_.subspan(firstImageData_));
    const auto produced = InflateZlibTo(pieces, [&rows](std::span<const std::uint8_t> b) { return rows.Take(b); });
    return produced && *produced == rawSize_ && rows.Complete();
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
    if (!reader.DecodeInto(pixels))
        return PngLoad::Failed;
    picture = {reader.Width(), reader.Height(), reader.Alpha(), std::move(pixels)};
    return PngLoad::Decoded;
}

} // namespace imaging
