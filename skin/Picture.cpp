#include "skin/Picture.h"

#include "imaging/DibRows.h"
#include "imaging/core/BmpReader.h"
#include "imaging/core/IcoDirectory.h"
#include "imaging/core/Sizes.h"
#include "runtime/DibInfo.h"
#include "runtime/Handles.h"
#include "skin/core/IconFile.h"

namespace skin {

namespace {

// The rows of a bitmap as a DIB of `bits` a pixel, bottom row first; empty when the system
// cannot give them.
std::vector<std::uint8_t> DibRows(HBITMAP bmp, int w, int h, int bits)
{
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(imaging::RowBytesForDepth(static_cast<std::uint8_t>(bits), w)) *
                                   static_cast<std::size_t>(h));
    rt::UniqueDC dc(CreateCompatibleDC(nullptr));
    if (!dc || !imaging::ReadDibRows(dc.get(), bmp, w, h, bits, rows.data()))
        return {};
    return rows;
}

template <typename T>
void Append(std::vector<std::uint8_t>& out, const T& value)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    out.insert(out.end(), p, p + sizeof(value));
}

// The image of an .ico file: a colour icon as 32-bit colour rows (their alpha kept) and its
// 1-bit mask; a monochrome icon as its double-height mask, whose bottom-up rows already come
// in the file's order (the XOR half, then the AND half).
std::vector<std::uint8_t> IconFileOf(HICON icon)
{
    ICONINFO ii{};
    if (!GetIconInfo(icon, &ii))
        return {};
    rt::Gdi<HBITMAP> mask(ii.hbmMask), colour(ii.hbmColor);
    BITMAP bm{};
    if (!GetObjectW(mask.get(), sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return {};
    const int w = bm.bmWidth;
    const int h = colour ? bm.bmHeight : bm.bmHeight / 2;
    std::vector<std::uint8_t> rows = DibRows(colour ? colour.get() : mask.get(), w, colour ? h : 2 * h, colour ? 32 : 1);
    if (rows.empty())
        return {};
    if (colour) {
        const std::vector<std::uint8_t> andRows = DibRows(mask.get(), w, h, 1);
        if (andRows.empty())
            return {};
        rows.insert(rows.end(), andRows.begin(), andRows.end());
    }
    BITMAPINFOHEADER head{};
    head.biSize = sizeof(head);
    head.biWidth = w;
    head.biHeight = 2 * h;
    head.biPlanes = 1;
    head.biBitCount = static_cast<WORD>(colour ? 32 : 1);
    head.biCompression = BI_RGB;
    head.biSizeImage = static_cast<DWORD>(rows.size());
    std::vector<std::uint8_t> image;
    Append(image, head);
    if (!colour) {
        Append(image, RGBQUAD{0, 0, 0, 0});
        Append(image, RGBQUAD{255, 255, 255, 0});
    }
    image.insert(image.end(), rows.begin(), rows.end());
    return WriteIconFile(image);
}

// The first image of an .ico file, when the engine's reader takes it as a bitmap icon.
std::shared_ptr<Picture> IconFromFile(const std::vector<std::uint8_t>& bytes)
{
    const auto dir = imaging::ReadIcoDirectory(bytes);
    const auto img = dir && dir->kind == imaging::IcoKind::Icon ? imaging::ReadIcoBitmap(bytes, dir->entries[0])
                                                                : std::nullopt;
    if (!img)
        return nullptr;
    // The call takes a writable buffer.
    std::vector<BYTE> image(img->image.begin(), img->image.end());
    return Picture::FromIcon(CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000,
                                                      img->width, img->height, LR_DEFAULTCOLOR));
}

// A BMP file of plain 24- or 32-bit rows, at most 4096 pixels a side.
std::shared_ptr<Picture> BitmapFromFile(const std::vector<std::uint8_t>& bytes)
{
    imaging::BmpReader reader;
    reader.ReadHeader(bytes);
    const std::span<const std::uint8_t> rows = reader.StoredRows();
    const int bits = reader.BitCount();
    if (rows.empty() || (bits != 24 && bits != 32) || reader.Width() > 4096 || reader.Height() > 4096)
        return nullptr;
    const BITMAPINFO bi = rt::DibInfo(reader.Width(), reader.TopDown() ? -reader.Height() : reader.Height(), bits);
    const rt::WindowDC screen(nullptr);
    return Picture::FromBitmap(
        CreateDIBitmap(screen.get(), &bi.bmiHeader, CBM_INIT, rows.data(), &bi, DIB_RGB_COLORS));
}

} // namespace

std::shared_ptr<Picture> Picture::FromBitmap(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    return std::shared_ptr<Picture>(new Picture(kBitmap, bitmap, bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight));
}

std::shared_ptr<Picture> Picture::FromIcon(HICON icon)
{
    ICONINFO ii{};
    if (!icon || !GetIconInfo(icon, &ii)) {
        if (icon)
            DestroyIcon(icon);
        return nullptr;
    }
    rt::Gdi<HBITMAP> mask(ii.hbmMask), colour(ii.hbmColor);
    BITMAP bm{};
    GetObjectW(ii.hbmMask, sizeof(bm), &bm);
    int w = bm.bmWidth, h = colour ? bm.bmHeight : bm.bmHeight / 2;
    return std::shared_ptr<Picture>(new Picture(kIcon, icon, w, h));
}

std::shared_ptr<Picture> Picture::FromBytes(const std::vector<std::uint8_t>& bytes)
{
    if (std::shared_ptr<Picture> icon = IconFromFile(bytes))
        return icon;
    return BitmapFromFile(bytes);
}

Picture::~Picture()
{
    if (kind_ == kBitmap)
        DeleteObject(handle_);
    else
        DestroyIcon(static_cast<HICON>(handle_));
}

std::vector<std::uint8_t> Picture::Bytes() const
{
    if (kind_ == kIcon)
        return IconFileOf(static_cast<HICON>(handle_));
    std::vector<std::uint8_t> rows = DibRows(static_cast<HBITMAP>(handle_), width_, height_, 24);
    if (rows.empty())
        return {};
    BITMAPINFOHEADER head{};
    head.biSize = sizeof(head);
    head.biWidth = width_;
    head.biHeight = height_;
    head.biPlanes = 1;
    head.biBitCount = 24;
    head.biCompression = BI_RGB;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = static_cast<DWORD>(sizeof(fh) + sizeof(head));
    fh.bfSize = static_cast<DWORD>(fh.bfOffBits + rows.size());
    std::vector<std::uint8_t> out;
    Append(out, fh);
    Append(out, head);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

PicturePtr ReadPicture(const rt::PropertyBag& bag, const wchar_t* key)
{
    const rt::PropertyBag::Bytes bytes = bag.ReadBytes(key);
    return bytes.empty() ? nullptr : Picture::FromBytes(bytes);
}

void WritePicture(rt::PropertyBag& bag, const wchar_t* key, const PicturePtr& picture)
{
    bag.WriteBytes(key, picture ? picture->Bytes() : rt::PropertyBag::Bytes{});
}

} // namespace skin
