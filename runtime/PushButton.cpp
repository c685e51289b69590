#include "runtime/PushButton.h"

namespace rt {

void PushButton::Create(Form& form, HWND container, Bounds b, const std::wstring& caption)
{
    CreateSystemControl(form, container, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, b.Rect(), caption);
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
