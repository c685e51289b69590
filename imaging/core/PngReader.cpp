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

} // namespace

PngLoad PngReader::ReadChunks(std::span<const std::uint8_t> data)
{
    *this = PngReader();
    SpanReader in(data);
    const auto signature = in.TakeFixed<8>();
    if (!signature || std::memcmp(signature->data(), kSignature, 8) != 0)
        return PngLoad::NotPng;
    for (;;) {
        // Length, type, data and CRC must all lie inside the data; lengths of 2^31 or more are corrupt.
        const auto length = in.Be32();
        const auto type = in.TakeFixed<4>();
        const auto body = length && type && *length < 0x80000000u ? in.Take(*length) : std::nullopt;
        const auto crc = body ? in.Be32() : std::nullopt;
        if (!crc)
            return PngLoad::Failed;
        const Chunk chunk{*type, *body, Crc32(*body, Crc32(*type)) == *crc};
        const Step step = ReadChunk(chunk, in.Remaining());
        if (step != Step::Next)
            return step == Step::End ? Finish() : PngLoad::Failed;
    }
}

PngReader::Step PngReader::ReadChunk(const Chunk& chunk, std::size_t bytesLeft)
{
    if (IsType(chunk.type, "IHDR"))
        return ReadHeader(chunk);
    if (!haveHeader_)
        return Step::Fail; // IHDR comes first
    if (IsType(chunk.type, "IDAT"))
        return ReadImageData(chunk, bytesLeft);
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

PngReader::Step PngReader::ReadImageData(const Chunk& chunk, std::size_t bytesLeft)
{
    if (!chunk.crcOk)
        return Step::Fail;
    sawImageData_ = true;
    if (chunk.body.empty())
        return Step::Next;
    if (idat_.empty()) {
        idat_ = chunk.body;
        return Step::Next;
    }
    if (joined_.empty()) {
        // Once, for all the image data the file can still hold: growing it would touch its pages twice.
        joined_.reserve(idat_.size() + chunk.body.size() + bytesLeft);
        joined_.assign(idat_.begin(), idat_.end());
    }
    joined_.insert(joined_.end(), chunk.body.begin(), chunk.body.end());
    idat_ = joined_;
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
    if (idat_.empty() || rawSize_ / kMaxInflateRatio >= idat_.size())
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

bool PngReader::Inflate(std::span<std::uint8_t> raw, const ZlibUncompress& uncompress)
{
    bool ok = false;
    if (uncompress && raw.size() <= 0xFFFFFFFFu && idat_.size() <= 0xFFFFFFFFu) {
        unsigned long produced = static_cast<unsigned long>(raw.size());
        ok = uncompress(raw.data(), &produced, idat_.data(), static_cast<unsigned long>(idat_.size())) == 0 &&
             produced == raw.size();
    }
    if (!ok) {
        const auto produced = InflateZlib(idat_, raw);
        ok = produced && *produced == raw.size(); // a stream that ends short fails
    }
    idat_ = {};
    joined_ = {};
    return ok;
}

bool PngReader::Decompress(const ZlibUncompress& uncompress)
{
    if (idat_.empty() || rawSize_ == 0)
        return false;
    raw_.reset(new std::uint8_t[rawSize_]);
    if (!Inflate({raw_.get(), rawSize_}, uncompress))
        raw_.reset();
    return raw_ != nullptr;
}

bool PngReader::DecodeInto(std::span<std::uint8_t> bgra, const ZlibUncompress& uncompress)
{
    const std::size_t size = std::size_t{header_.width} * header_.height * 4;
    if (!uncompress && !header_.interlace && !FitsPngInPlace(header_) && bgra.size() >= size) {
        // Stored rows longer than the picture's own: unfiltered as they are inflated, through a
        // window, instead of through a buffer of them all.
        PngRowFeed rows(header_, colours_, bgra);
        const auto produced = idat_.empty() ? std::nullopt
                                            : InflateZlibTo(idat_, [&rows](std::span<const std::uint8_t> b) { return rows.Take(b); });
        idat_ = {};
        joined_ = {};
        return produced && *produced == rawSize_ && rows.Complete();
    }
    if (!FitsPngInPlace(header_) || bgra.size() < size)
        return Decompress(uncompress) && Convert(bgra);
    return !idat_.empty() && Inflate(bgra.subspan(size - rawSize_, rawSize_), uncompress) &&
           DecodePngPixelsInPlace(header_, colours_, bgra);
}

bool PngReader::Convert(std::span<std::uint8_t> bgra)
{
    const bool ok = raw_ && DecodePngPixels(header_, colours_, {raw_.get(), rawSize_}, bgra);
    raw_.reset();
    return ok;
}

bool PngReader::Alpha() const
{
    const std::uint8_t t = header_.colourType;
    return t == 4 || t == 6 || colours_.hasKey || !colours_.alphas.empty();
}

PngLoad DecodePng(std::span<const std::uint8_t> data, PngPicture& picture, const ZlibUncompress& uncompress)
{
    picture = PngPicture();
    PngReader reader;
    const PngLoad load = reader.ReadChunks(data);
    if (load != PngLoad::Decoded)
        return load;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(reader.Width()) * static_cast<std::size_t>(reader.Height()) * 4);
    if (!reader.DecodeInto(pixels, uncompress))
        return PngLoad::Failed;
    picture = {reader.Width(), reader.Height(), reader.Alpha(), std::move(pixels)};
    return PngLoad::Decoded;
}

} // namespace imaging
