// The timer control: ticks on the window thread every Interval milliseconds while enabled.
#pragma once

#include "runtime/Control.h"
#include "runtime/Event.h"
#include "runtime/Window.h"

namespace rt {

class Timer : public Control, private Window {
public:
    Timer(std::wstring name, unsigned intervalMs);
    ~Timer() override;

    void Create(Form& form);
    HWND hWnd() const override { return Window::hWnd(); }

    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned ms);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) override;

    Event<> Tick;

private:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Apply();

    unsigned interval_;
    bool enabled_ = false;
};

} // namespace rt
