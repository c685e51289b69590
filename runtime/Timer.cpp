#include "runtime/Timer.h"

#include "runtime/Runtime.h"

namespace rt {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

Timer::Timer(std::wstring name, unsigned intervalMs) : Control(std::move(name)), interval_(intervalMs) {}

Timer::~Timer()
{
    if (Window::hWnd())
        KillTimer(Window::hWnd(), kTimerId);
}

void Timer::Create(Form& form)
{
    PlaceOn(form);
    const wchar_t* cls = RegisterClassOnce(L"VantorelTimer", &Window::StaticProc, 0);
    CreateWindowOf(cls, 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
}

void Timer::SetInterval(unsigned ms)
{
    interval_ = ms;
    Apply();
}

void Timer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Apply();
}

void Timer::Apply()
{
    HWND h = Window::hWnd();
    if (!h)
        return;
    if (enabled_ && interval_ > 0)
        SetTimer(h, kTimerId, interval_, nullptr);
    else
        KillTimer(h, kTimerId);
}

LRESULT Timer::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_TIMER && wp == kTimerId) {
        if (enabled_)
            Tick.Raise();
        return 0;
    }
    return Window::WndProc(msg, wp, lp);
}

} // namespace rt
