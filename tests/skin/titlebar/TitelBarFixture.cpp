#include "TitelBarFixture.h"

namespace test {

rt::PropertyBag FlatDesign()
{
    rt::PropertyBag bag = skin::TitelBar::NewInstanceDesign();
    bag.Set(L"Style", std::int64_t{0})
        .Set(L"BackColorV1Begin", std::int64_t{0})
        .Set(L"BackColorV1End", std::int64_t{0})
        .Set(L"BorderNormal", std::int64_t{0})
        .Set(L"Caption3DWidth", std::int64_t{0})
        .Set(L"Font", std::wstring(L"Tahoma;12;1"));
    return bag;
}

skin::PicturePtr SolidPicture(int w, int h, COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return skin::Picture::FromBitmap(bmp);
}

std::uint32_t BarPixel(const skin::TitelBar& bar, int x, int y)
{
    GdiFlush();
    const auto* px = static_cast<const std::uint32_t*>(bar.BackBits());
    return px[static_cast<std::size_t>(y) * bar.ScaleWidth() + x] & 0xFFFFFF;
}

} // namespace test
