// A real form holding one title bar made from a design bag, and the bar's painted pixels.
#pragma once

#include "runtime/Form.h"
#include "skin/TitelBar.h"

#include <cstdint>
#include <memory>

namespace test {

class BarForm : public rt::Form {
public:
    explicit BarForm(rt::PropertyBag design, skin::TitelBar::CloseAction action = skin::TitelBar::CloseAction::HideForm,
                     int widthPx = 449)
        : rt::Form(L"BarForm", L"Title bar host", widthPx * 15, 3000), bar(L"TitelBar1", action),
          design_(std::move(design)), widthPx_(widthPx)
    {
    }
    skin::TitelBar bar;
    int unloads = 0;

protected:
    void CreateControls() override { bar.Create(*this, hWnd(), {0, 0, widthPx_, 28}, design_); }
    void Form_Unload() override { ++unloads; }

private:
    rt::PropertyBag design_;
    int widthPx_;
};

// The bag a new bar saves, with a flat black band and no frame or extrusion unless changed.
rt::PropertyBag FlatDesign();

// A bitmap picture of `w` by `h` pixels in one colour.
skin::PicturePtr SolidPicture(int w, int h, COLORREF colour);

// The bar's backing pixel at (x, y), 0x00RRGGBB.
std::uint32_t BarPixel(const skin::TitelBar& bar, int x, int y);
inline std::uint32_t Rgb(int r, int g, int b) { return static_cast<std::uint32_t>(r << 16 | g << 8 | b); }

} // namespace test
