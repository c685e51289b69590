#include "tests/skin/support/PictureSamples.h"

#include "runtime/Handles.h"

namespace test {

namespace {

std::vector<std::uint8_t> Rows(HBITMAP bmp, int w, int h, int bits)
{
    struct {
        BITMAPINFOHEADER head;
        RGBQUAD palette[2];
    } info{{sizeof(BITMAPINFOHEADER), w, h, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<std::uint8_t> rows((static_cast<std::size_t>(w) * bits + 31) / 32 * 4 * static_cast<std::size_t>(h));
    rt::UniqueDC dc(CreateCompatibleDC(nullptr));
    GetDIBits(dc.get(), bmp, 0, static_cast<UINT>(h), rows.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    return rows;
}

// A 32-bit section of w x h whose pixel (x, y) has alpha `alpha(x, y)` and colours below it.
HBITMAP Section(int w, int h, std::uint8_t (*alpha)(int x, int y))
{
    BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = px + 4 * (y * w + x);
            p[3] = alpha(x, y);
            p[0] = static_cast<std::uint8_t>(p[3] * x / w), p[1] = static_cast<std::uint8_t>(p[3] * y / h), p[2] = p[3] / 2;
        }
    return bmp;
}

} // namespace

skin::PicturePtr SampleBitmap()
{
    return skin::Picture::FromBitmap(Section(7, 5, [](int, int) -> std::uint8_t { return 255; }));
}

skin::PicturePtr SampleIcon()
{
    rt::Gdi<HBITMAP> colour(Section(20, 18, [](int x, int y) { return static_cast<std::uint8_t>(x * 12 + y); }));
    BYTE maskBits[18 * 4]; // rows of 20 bits, padded to whole words
    for (int i = 0; i < 18 * 4; ++i)
        maskBits[i] = static_cast<BYTE>(i * 29);
    rt::Gdi<HBITMAP> mask(CreateBitmap(20, 18, 1, 1, maskBits));
    ICONINFO ii{TRUE, 0, 0, mask.get(), colour.get()};
    return skin::Picture::FromIcon(CreateIconIndirect(&ii));
}

skin::PicturePtr SampleMonoIcon()
{
    BYTE andMask[16 * 2], xorMask[16 * 2];
    for (int i = 0; i < 32; ++i)
        andMask[i] = static_cast<BYTE>(i * 37), xorMask[i] = static_cast<BYTE>(i * 11 + 5);
    return skin::Picture::FromIcon(CreateIcon(GetModuleHandleW(nullptr), 16, 16, 1, 1, andMask, xorMask));
}

std::vector<std::uint8_t> PictureBits(const skin::Picture& picture)
{
    const int w = picture.Width(), h = picture.Height();
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(picture.Type()), static_cast<std::uint8_t>(w),
                                  static_cast<std::uint8_t>(h)};
    auto add = [&out](const std::vector<std::uint8_t>& rows) { out.insert(out.end(), rows.begin(), rows.end()); };
    if (picture.Type() == skin::Picture::kBitmap) {
        add(Rows(static_cast<HBITMAP>(picture.Handle()), w, h, 24));
        return out;
    }
    ICONINFO ii{};
    GetIconInfo(static_cast<HICON>(picture.Handle()), &ii);
    rt::Gdi<HBITMAP> mask(ii.hbmMask), colour(ii.hbmColor);
    if (colour)
        add(Rows(colour.get(), w, h, 32));
    add(Rows(mask.get(), w, colour ? h : 2 * h, 1));
    return out;
}

} // namespace test
