#include "imaging/cPNGparser.h"

#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "imaging/core/PngSignature.h"
#include "imaging/core/SourceSlice.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

namespace imaging {
namespace {

bool IsPNGSignature(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= kPngSignature.size() && std::ranges::equal(bytes.first(kPngSignature.size()), kPngSignature);
}

// A file's bytes as the reader asks for them, read ahead a block at a time: chunk heads and small
// chunks come out of one ReadFile, and nothing past what the rows need is read.
class FileWindow {
public:
    FileWindow(HANDLE file, std::uint64_t size) : file_(file), size_(size) {}
    std::optional<std::span<const std::uint8_t>> Read(std::uint64_t at, std::size_t n)
    {
        if (at > size_ || n > size_ - at)
            return std::nullopt;
        if (at < start_ || at - start_ > window_.size() || n > window_.size() - (at - start_)) {
            window_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(std::max(n, kBlock), size_ - at)));
            start_ = at;
            if (!ReadAt(file_, at, window_)) {
                window_.clear();
                return std::nullopt;
            }
        }
        return std::span<const std::uint8_t>(window_).subspan(static_cast<std::size_t>(at - start_), n);
    }

private:
    static constexpr std::size_t kBlock = 65536;
    HANDLE file_;
    std::uint64_t size_;
    std::uint64_t start_ = 0; // of the window in the file
    std::vector<std::uint8_t> window_;
};

// Pictures up to 2048 x 2048: past that the copies GDI+ makes cost more than its decode is worth.
bool FitsGdiPlusDecode(int width, int height)
{
    return std::int64_t{width} * height <= std::int64_t{1} << 22;
}

} // namespace

bool cPNGparser::LoadStream(std::span<const std::uint8_t> stream, c32bppDIB& dibClass, std::size_t streamOffset,
                            std::size_t streamLength, const GdiPlusToken& globalToken)
{
    // A slice that leaves the array is not data we were given.
    if (streamOffset > stream.size() || streamLength > stream.size() - streamOffset)
        return false;
    const auto png = stream.subspan(streamOffset, streamLength);
    return ParseChunks(PngSourceOf(png), png, L"", dibClass, globalToken);
}

bool cPNGparser::LoadFile(HANDLE fileHandle, const std::wstring& fileName, c32bppDIB& dibClass,
                          const GdiPlusToken& globalToken)
{
    LARGE_INTEGER size{};
    std::uint8_t head[8] = {};
    if (!GetFileSizeEx(fileHandle, &size) || size.QuadPart < 8 || !ReadAt(fileHandle, 0, head) ||
        !IsPNGSignature(head))
        return false;
    // Too big for any picture we hold: no picture, and no other reader either.
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxSourceFileBytes)
        return true;
    FileWindow window(fileHandle, static_cast<std::uint64_t>(size.QuadPart));
    const PngSource file{static_cast<std::uint64_t>(size.QuadPart),
                         [&window](std::uint64_t at, std::size_t n) { return window.Read(at, n); }};
    return ParseChunks(file, {}, fileName, dibClass, globalToken);
}

bool cPNGparser::ParseChunks(const PngSource& png, std::span<const std::uint8_t> bytes, const std::wstring& fileName,
                             c32bppDIB& host, const GdiPlusToken& globalToken) const
{
    bool made = false;
    try {
        // GDI+ is offered only a plain file: some builds of it take bad CRCs, none gives an index
        // past the palette libpng's pixel, and it may read all of data that the rows do not need.
        // Anything else is ours alone, so the outcome does not depend on which GDI+ is installed.
        // A large picture is ours too: GDI+ decodes into a bitmap of its own that is then copied
        // into the host, three times the pixels' memory at its peak and several times our time.
        PngReader reader;
        const PngLoad load = reader.ReadChunks(png);
        if (load != PngLoad::Decoded)
            return load != PngLoad::NotPng;
        if (host.isGDIplusEnabled() && FitsGdiPlusDecode(reader.Width(), reader.Height()) && reader.Plain() &&
            cGDIPlus().LoadThroughGDIplus(fileName, bytes, host, globalToken))
            return true;
        if (!(made = host.InitializeDIB(reader.Width(), reader.Height())))
            return true;
        const std::size_t pixels = std::size_t(host.scanWidth()) * std::size_t(host.Height());
        if (!reader.DecodeImageData({host.BitsPointer(), pixels})) {
            host.DestroyDIB();
            return true;
        }
        host.SetAlphaState(reader.Alpha());
        host.SetImageType(imgPNG);
    } catch (const std::bad_alloc&) {
        if (made)
            host.DestroyDIB(); // the decoder's small buffers did not fit this process
    }
    return true;
}

} // namespace imaging
