// The rectangle shape: a black line, one pixel wide at 96 DPI, around a transparent inside;
// it lies beneath the controls it overlaps and takes no input.
#pragma once

#include "runtime/Control.h"
#include "runtime/Controls.h"
#include "runtime/Window.h"

namespace rt {

class Shape : public Control, private Window {
public:
    using Control::Control;

    // `bounds` in 96-DPI pixels, scaled to the container's DPI.
    void Create(Form& form, HWND container, Bounds bounds);
    HWND hWnd() const override { return Window::hWnd(); }

private:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Paint(HDC dc) const;
};

} // namespace rt
