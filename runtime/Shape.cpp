#include "runtime/Shape.h"

#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "runtime/Runtime.h"

#include <algorithm>

namespace rt {

void Shape::Create(Form& form, HWND container, Bounds b)
{
    PlaceOn(form);
    const wchar_t* cls = RegisterClassOnce(L"VantorelShape", &Window::StaticProc, 0, nullptr);
    const int dpi = DpiOf(container);
    // Transparent: the container paints beneath it, and it paints only its line.
    CreateWindowOf(cls, WS_EX_TRANSPARENT, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, ScaleDesign(b.x, dpi),
                   ScaleDesign(b.y, dpi), ScaleDesign(b.w, dpi), ScaleDesign(b.h, dpi), container);
    // Beneath the windows it shares its place with, as a shape lies under the controls.
    if (hWnd())
        SetWindowPos(hWnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Shape::Paint(HDC dc) const
{
    RECT r{};
    GetClientRect(hWnd(), &r);
    const int line = std::max(1, ScaleDesign(1, DpiOf(hWnd())));
    Gdi<HBRUSH> brush(CreateSolidBrush(RGB(0, 0, 0)));
    const RECT edges[] = {{r.left, r.top, r.right, r.top + line},
                          {r.left, r.bottom - line, r.right, r.bottom},
                          {r.left, r.top, r.left + line, r.bottom},
                          {r.right - line, r.top, r.right, r.bottom}};
    for (const RECT& e : edges)
        FillRect(dc, &e, brush.get());
}

LRESULT Shape::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_NCHITTEST:
        // Clicks go to what lies beneath.
        return HTTRANSPARENT;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hWnd(), &ps);
        Paint(dc);
        EndPaint(hWnd(), &ps);
        return 0;
    }
    default:
        return Window::WndProc(msg, wp, lp);
    }
}

} // namespace rt
