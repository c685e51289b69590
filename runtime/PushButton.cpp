#include "runtime/PushButton.h"

namespace rt {

void PushButton::Create(Form& form, HWND container, Bounds b, const std::wstring& caption, int commandId)
{
    CreateSystemControl(form, container, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, b.Rect(), caption);
    if (hWnd() && commandId)
        SetWindowLongPtrW(hWnd(), GWLP_ID, commandId);
}

void PushButton::SetDefaultLook(bool on)
{
    const bool now = hWnd() && (GetWindowLongW(hWnd(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (hWnd() && on != now)
        SendMessageW(hWnd(), BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool PushButton::OnReflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        Click.Raise();
        result = 0;
        return true;
    }
    return false;
}

} // namespace rt
