#include "runtime/Window.h"

#include "runtime/Runtime.h"

namespace rt {

namespace {
constexpr const wchar_t* kReflectProp = L"rt.reflect";

HWND NotifyingChild(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lp);
    case WM_NOTIFY:
        return lp ? reinterpret_cast<NMHDR*>(lp)->hwndFrom : nullptr;
    case WM_DRAWITEM:
        return lp ? reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem : nullptr;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<HWND>(lp);
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return reinterpret_cast<HWND>(lp);
    default:
        return nullptr;
    }
    (void)wp;
}
} // namespace

void Reflectable::Attach(HWND hwnd, Reflectable* target) { SetPropW(hwnd, kReflectProp, target); }
void Reflectable::Detach(HWND hwnd) { RemovePropW(hwnd, kReflectProp); }

bool Reflectable::Reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    HWND child = NotifyingChild(msg, wp, lp);
    if (!child)
        return false;
    auto* target = static_cast<Reflectable*>(GetPropW(child, kReflectProp));
    return target && target->OnReflect(msg, wp, lp, result);
}

Window::~Window()
{
    if (hwnd_) {
        // The derived part is gone: let the window die without calling back into it.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

HWND Window::CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, int x, int y, int w, int h,
                            HWND parent, const wchar_t* text, HMENU idOrMenu)
{
    return CreateWindowExW(exStyle, className, text, style, x, y, w, h, parent, idOrMenu, Instance(), this);
}

void Window::DestroyOwnWindow()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    if (Reflectable::Reflect(msg, wp, lp, result))
        return result;
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* self = static_cast<Window*>(cs->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self)
            self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, msg, wp, lp);
    HandlerScope scope;
    LRESULT r = self->WndProc(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnWindowGone();
    }
    return r;
}

} // namespace rt
