#include "imaging/cPNGparser.h"

#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "imaging/core/PngReader.h"
#include "imaging/core/SourceSlice.h"

#include <cstring>
#include <new>

namespace imaging {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool IsPNGSignature(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

} // namespace

bool cPNGparser::LoadStream(std::span<const std::uint8_t> stream, c32bppDIB& dibClass, std::size_t streamOffset,
                            std::size_t streamLength, const GdiPlusToken& globalToken)
{
    // A slice that leaves the array is not data we were given.
    if (streamOffset > stream.size() || streamLength > stream.size() - streamOffset)
        return false;
    return Load(stream.subspan(streamOffset, streamLength), L"", dibClass, globalToken);
}

bool cPNGparser::LoadFile(HANDLE fileHandle, const std::wstring& fileName, c32bppDIB& dibClass,
                          const GdiPlusToken& globalToken)
{
    LARGE_INTEGER size{};
    std::uint8_t head[8] = {};
    if (!GetFileSizeEx(fileHandle, &size) || size.QuadPart < 8 || !ReadAt(fileHandle, 0, head) ||
        !IsPNGSignature(head))
        return false;
    // Too big for any picture we hold, or for this process: no picture, and no other reader either.
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxSourceFileBytes)
        return true;
    const auto bytes = ReadFileStart(fileHandle, static_cast<std::size_t>(size.QuadPart));
    return !bytes || Load(*bytes, fileName, dibClass, globalToken);
}

bool cPNGparser::Load(std::span<const std::uint8_t> png, const std::wstring& fileName, c32bppDIB& host,
                      const GdiPlusToken& globalToken) const
{
    bool made = false;
    try {
        // GDI+ is offered only data whose chunks are sound: some builds of it take a file with bad
        // CRCs or without its end, and the outcome must not depend on which one is installed.
        PngReader reader;
        const PngLoad load = reader.ReadChunks(png);
        if (load != PngLoad::Decoded)
            return load != PngLoad::NotPng;
        if (host.isGDIplusEnabled() && cGDIPlus().LoadThroughGDIplus(fileName, png, host, globalToken))
            return true;
        if (!(made = host.InitializeDIB(reader.Width(), reader.Height())))
            return true;
        const std::size_t bytes = std::size_t(host.scanWidth()) * std::size_t(host.Height());
        if (!reader.DecodeInto({host.BitsPointer(), bytes})) {
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
