#include "skin/Picture.h"

#include "runtime/Handles.h"

#include <cstring>

namespace skin {

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

std::shared_ptr<Picture> Picture::FromBmpBytes(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    std::memcpy(&fh, bytes.data(), sizeof(fh));
    std::memcpy(&ih, bytes.data() + sizeof(fh), sizeof(ih));
    if (fh.bfType != 0x4D42 || ih.biSize < sizeof(ih) || ih.biWidth <= 0 || ih.biWidth > 4096 || ih.biHeight == 0 ||
        ih.biHeight > 4096 || ih.biHeight < -4096 || ih.biPlanes != 1 ||
        (ih.biBitCount != 24 && ih.biBitCount != 32) || ih.biCompression != BI_RGB)
        return nullptr;
    const std::size_t stride = ((static_cast<std::size_t>(ih.biWidth) * ih.biBitCount + 31) / 32) * 4;
    const std::size_t rows = static_cast<std::size_t>(ih.biHeight < 0 ? -ih.biHeight : ih.biHeight);
    if (fh.bfOffBits < sizeof(fh) + ih.biSize || fh.bfOffBits > bytes.size() ||
        bytes.size() - fh.bfOffBits < stride * rows)
        return nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader = ih;
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateDIBitmap(screen, &bi.bmiHeader, CBM_INIT, bytes.data() + fh.bfOffBits, &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return FromBitmap(bmp);
}

Picture::~Picture()
{
    if (kind_ == kBitmap)
        DeleteObject(handle_);
    else
        DestroyIcon(static_cast<HICON>(handle_));
}

std::vector<std::uint8_t> Picture::BmpBytes() const
{
    if (kind_ != kBitmap)
        return {};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width_;
    bi.bmiHeader.biHeight = height_;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const std::size_t stride = ((static_cast<std::size_t>(width_) * 24 + 31) / 32) * 4;
    const std::size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    std::vector<std::uint8_t> out(offset + stride * static_cast<std::size_t>(height_));
    rt::UniqueDC dc(CreateCompatibleDC(nullptr));
    if (!dc || !GetDIBits(dc.get(), static_cast<HBITMAP>(handle_), 0, static_cast<UINT>(height_), out.data() + offset, &bi,
                          DIB_RGB_COLORS))
        return {};
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfSize = static_cast<DWORD>(out.size());
    fh.bfOffBits = static_cast<DWORD>(offset);
    std::memcpy(out.data(), &fh, sizeof(fh));
    std::memcpy(out.data() + sizeof(fh), &bi.bmiHeader, sizeof(bi.bmiHeader));
    return out;
}

} // namespace skin
