#include "runtime/PropertyPage.h"

#include "runtime/Runtime.h"

namespace rt {

Bounds BoundsFromTwips(int left, int top, int width, int height)
{
    // 15 twips a pixel at 96 DPI.
    return {MulDiv(left, 96, 1440), MulDiv(top, 96, 1440), MulDiv(width, 96, 1440), MulDiv(height, 96, 1440)};
}

PropertyPage::PropertyPage(std::wstring caption, int widthTwips, int heightTwips)
    : caption_(std::move(caption)), widthTwips_(widthTwips), heightTwips_(heightTwips)
{
}

void PropertyPage::SetChanged(bool changed)
{
    changed_ = changed;
    if (onChanged_)
        onChanged_(changed);
}

void PropertyPage::Open(Form& frame, HWND container, Bounds at)
{
    const wchar_t* cls = RegisterClassOnce(L"VantorelPropertyPage", &Window::StaticProc, CS_DBLCLKS,
                                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const int dpi = DpiOf(container);
    // Without WS_CLIPCHILDREN the page paints under its shapes, whose inside is transparent.
    if (!CreateWindowOf(cls, WS_EX_CONTROLPARENT, WS_CHILD | WS_VISIBLE, ScaleDesign(at.x, dpi),
                        ScaleDesign(at.y, dpi), ScaleDesign(at.w, dpi), ScaleDesign(at.h, dpi), container))
        return;
    CreateControls(frame);
}

} // namespace rt
