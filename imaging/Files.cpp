#include "imaging/Files.h"

#include "imaging/cGDIPlus.h"

#include <atomic>

namespace imaging {

HANDLE OpenImageFile(const std::wstring& name, bool forReading)
{
    if (forReading)
        return CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        attributes = FILE_ATTRIBUTE_NORMAL;
    return CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
}

bool ReadAt(HANDLE file, std::uint64_t offset, std::span<std::uint8_t> into)
{
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
        return false;
    while (!into.empty()) {
        const DWORD chunk = static_cast<DWORD>(into.size() < (DWORD{1} << 24) ? into.size() : (DWORD{1} << 24));
        DWORD read = 0;
        // A short read (the file shrank under us) is a failure, not the end of the data.
        if (!ReadFile(file, into.data(), chunk, &read, nullptr) || read != chunk)
            return false;
        into = into.subspan(read);
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> ReadFileStart(HANDLE file, std::size_t size)
{
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!ReadAt(file, 0, bytes))
        return std::nullopt;
    return bytes;
}

bool RemoveFileForced(const std::wstring& name)
{
    return SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL) && DeleteFileW(name.c_str());
}

namespace {
std::atomic<std::uint64_t> loaderCalls{0};
} // namespace

std::uint64_t PictureLoaderCalls() { return loaderCalls.load(); }

rt::ComPtr<IPicture> BytesToPictureObject(std::span<const std::uint8_t> bytes)
{
    rt::ComPtr<IPicture> picture;
    if (bytes.empty() || bytes.size() > MAXLONG)
        return picture;
    ++loaderCalls;
    const rt::ComPtr<IStream> stream = cGDIPlus::BytesToStream(bytes);
    if (!stream ||
        FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture, picture.put_void())))
        picture.reset();
    return picture;
}

rt::ComPtr<IPicture> PictureObjectFromHandle(HANDLE handle, short pictureType, SIZE metafileExtent)
{
    rt::ComPtr<IPicture> picture;
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = static_cast<UINT>(pictureType);
    switch (pictureType) {
    case PICTYPE_BITMAP: desc.bmp.hbitmap = static_cast<HBITMAP>(handle); break;
    case PICTYPE_METAFILE:
        desc.wmf.hmeta = static_cast<HMETAFILE>(handle);
        desc.wmf.xExt = metafileExtent.cx;
        desc.wmf.yExt = metafileExtent.cy;
        break;
    case PICTYPE_ICON: desc.icon.hicon = static_cast<HICON>(handle); break;
    case PICTYPE_ENHMETAFILE: desc.emf.hemf = static_cast<HENHMETAFILE>(handle); break;
    default: return picture;
    }
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, picture.put_void())))
        picture.reset();
    return picture;
}

} // namespace imaging
