// What the image control's fade and shadow benches share: a square picture with alpha as logos
// and link icons are, and a form holding one image control with it.
#pragma once

#include "alphaimage/aicAlphaImage.h"
#include "runtime/Form.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace bench {

// The fade's timer on the image control's own window.
constexpr WPARAM kFadeTimerId = 2;

// BMP file bytes of a width x height picture from its rows (top row first, straight alpha).
inline std::vector<std::uint8_t> BmpOf(int width, int height, const std::vector<std::uint8_t>& rows)
{
    imaging::c32bppDIB dib;
    dib.InitializeDIB(width, height);
    dib.SetDIBbits(rows, true, true, true, true);
    std::vector<std::uint8_t> bmp;
    dib.SaveToStream(bmp);
    return bmp;
}

// A disc of `side` pixels, opaque inside a soft rim an eighth of its radius wide and clear in the
// corners, with colours that change across it; as BMP file bytes with straight alpha.
inline std::vector<std::uint8_t> DiscPicture(int side)
{
    const double centre = (side - 1) / 2.0, radius = side / 2.0, rim = std::max(1.0, radius / 8);
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double inside = radius - std::hypot(x - centre, y - centre);
            const auto a = static_cast<std::uint8_t>(std::clamp(inside / rim * 255, 0.0, 255.0));
            const auto red = static_cast<std::uint8_t>(x * 255 / side), green = static_cast<std::uint8_t>(y * 255 / side);
            rows.insert(rows.end(), {red, green, 0xC0, a});
        }
    return BmpOf(side, side, rows);
}

// A drawn control filled with one colour, as the title bar holds the forms' link images.
class Band : public rt::UserControl {
public:
    Band() : rt::UserControl(L"Band", L"Band") {}

protected:
    void Paint(HDC dc, int w, int h) override
    {
        const RECT all{0, 0, w, h};
        SetDCBrushColor(dc, RGB(40, 60, 90));
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
};

// A form with one image control holding a disc of `side` pixels, the control sized to it: on the
// form itself, or on a drawn band.
class ImageForm : public rt::Form {
public:
    explicit ImageForm(int side, bool onBand = false)
        : rt::Form(L"Host", L"image bench", 6000, 6000), side_(side), onBand_(onBand)
    {
    }
    aic::aicAlphaImage Image{L"Image"};
    Band band;

protected:
    void CreateControls() override
    {
        rt::PropertyBag design;
        design.Set(L"Image", DiscPicture(side_));
        HWND container = hWnd();
        if (onBand_) {
            band.Create(*this, hWnd(), {10, 10, side_ + 20, side_ + 20});
            container = band.hWnd();
        }
        Image.Create(*this, container, {onBand_ ? 10 : 20, onBand_ ? 10 : 20, side_, side_}, &design);
    }

private:
    int side_;
    bool onBand_;
};

} // namespace bench
