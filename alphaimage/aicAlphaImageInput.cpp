// The control's keys and drops: the focus taken by a press on the picture, the key events of
// its own window, and the OLE drag events of the window as a drop target.
#include "alphaimage/aicAlphaImage.h"

#include <windowsx.h>

namespace aic {

void aicAlphaImage::UpdateDropTarget()
{
    if (oleDropMode_ == 1 && hWnd())
        dropTarget_.Register(hWnd());
    else
        dropTarget_.Revoke();
}

void aicAlphaImage::DragOverStep(rt::DropData& data, rt::DragStep& step, int state)
{
    OLEDragOver.Raise(data, step.effect, step.button, step.shift, static_cast<float>(step.client.x),
                      static_cast<float>(step.client.y), state);
}

void aicAlphaImage::DropStep(IDataObject* source, rt::DropData& data, rt::DragStep& step)
{
    // The list as the engine reads it: every name whole, and nothing from a malformed block.
    image_->GetDroppedFileNames(source, data.files);
    OLEDragDrop.Raise(data, step.effect, step.button, step.shift, static_cast<float>(step.client.x),
                      static_cast<float>(step.client.y));
}

bool aicAlphaImage::InputMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    result = 0;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        // The focus comes before MouseDown, as a press on any control gives it.
        if (HitsClientPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)) && GetFocus() != hWnd())
            ::SetFocus(hWnd());
        return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        int key = static_cast<int>(wp), shift = rt::ShiftFromKeys();
        (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN ? KeyDown : KeyUp).Raise(key, shift);
        // A system key the handlers left alone goes on to the system (menu, Alt+F4).
        return msg == WM_KEYDOWN || msg == WM_KEYUP || key == 0;
    }
    case WM_CHAR: {
        int ch = static_cast<int>(wp);
        KeyPress.Raise(ch);
        return true;
    }
    case WM_DESTROY:
        dropTarget_.Revoke();
        return false;
    default:
        return false;
    }
}

} // namespace aic
