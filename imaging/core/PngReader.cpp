#include "imaging/core/PngReader.h"

#include "imaging/core/Crc32.h"
#include "imaging/core/Inflate.h"

#include <cstring>

namespace imaging {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Deflate cannot expand one input byte to more than 1,032 bytes (a 258-byte match in two bits),
// so a raw size beyond that is a lie told before any buffer is made for it.
constexpr std::size_t kMaxInflateRatio = 1032;

std::uint32_t Be32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

bool IsType(const std::uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

} // namespace

PngLoad PngReader::ReadChunks(std::span<const std::uint8_t> data)
{
    *this = PngReader();
    if (data.size() < 8 || std::memcmp(data.data(), kSignature, 8) != 0)
        return PngLoad::NotPng;
    bool haveHeader = false, havePalette = false, haveTrns = false, sawIdat = false, ended = false;
    std::size_t pos = 8;
    while (!ended) {
        // Length, type, data and CRC must all lie inside the data; lengths of 2^31 or more are corrupt.
        if (data.size() - pos < 12)
            return PngLoad::Failed;
        const std::uint32_t length = Be32(&data[pos]);
        if (length >= 0x80000000u || data.size() - pos - 12 < length)
            return PngLoad::Failed;
        const std::uint8_t* type = &data[pos + 4];
        const std::uint8_t* body = type + 4;
        const bool crcOk = Crc32({type, std::size_t{length} + 4}) == Be32(body + length);
        pos += std::size_t{length} + 12;

        if (IsType(type, "IHDR")) {
            if (haveHeader || !crcOk || length != 13)
                return PngLoad::Failed;
            haveHeader = true;
            header_.width = Be32(body);
            header_.height = Be32(body + 4);
            header_.depth = body[8];
            header_.colourType = body[9];
            header_.interlace = body[12];
            const auto raw = PngRawSize(header_);
            if (!raw || body[10] != 0 || body[11] != 0 || body[12] > 1 || !IsLegalPngFormat(header_.colourType, header_.depth))
                return PngLoad::Failed;
            rawSize_ = *raw;
            continue;
        }
        if (!haveHeader)
            return PngLoad::Failed; // IHDR comes first
        if (IsType(type, "IDAT")) {
            if (!crcOk)
                return PngLoad::Failed;
            sawIdat = true;
            if (length == 0)
                continue;
            if (idat_.empty()) {
                idat_ = {body, length};
                continue;
            }
            if (joined_.empty()) {
                joined_.reserve(data.size()); // once: growing it would touch its pages twice
                joined_.assign(idat_.begin(), idat_.end());
            }
            joined_.insert(joined_.end(), body, body + length);
            idat_ = joined_;
        } else if (IsType(type, "PLTE")) {
            if (havePalette || sawIdat || !crcOk)
                return PngLoad::Failed;
            havePalette = true;
            const std::uint8_t t = header_.colourType;
            if (t == 0 || t == 4)
                continue; // grey pictures take no palette
            if (length % 3 != 0 || length == 0 || length > 768)
                return PngLoad::Failed;
            if (t == 3)
                colours_.palette.assign(body, body + length);
        } else if (IsType(type, "tRNS")) {
            // A damaged, misplaced or repeated tRNS is dropped; the picture still loads without it.
            if (!crcOk || haveTrns || sawIdat)
                continue;
            haveTrns = true;
            const std::uint8_t t = header_.colourType;
            if (t == 3 && length <= 256) {
                colours_.alphas.assign(body, body + length);
            } else if ((t == 0 && length == 2) || (t == 2 && length == 6)) {
                colours_.hasKey = true;
                for (std::uint32_t i = 0; i < length / 2; ++i)
                    colours_.key[i] = static_cast<std::uint16_t>(body[2 * i] << 8 | body[2 * i + 1]);
            }
        } else if (IsType(type, "IEND")) {
            if (!crcOk)
                return PngLoad::Failed;
            ended = true;
        }
    }
    if (idat_.empty() || rawSize_ / kMaxInflateRatio >= idat_.size())
        return PngLoad::Failed;
    if (header_.colourType == 3) {
        // Without PLTE a palette picture is black, with white for 1 at depth 1.
        if (colours_.palette.empty()) {
            colours_.palette.assign(768, 0);
            if (header_.depth == 1)
                std::memset(&colours_.palette[3], 255, 3);
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
