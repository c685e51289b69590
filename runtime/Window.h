// Base of every window this layer creates: the object lives in GWLP_USERDATA from
// WM_NCCREATE on, one static procedure forwards to the member handler, and notifications
// that Win32 sends to a parent are handed back to the child control that raised them.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace rt {

// Implemented by wrappers of child windows that want their parent's notifications
// (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM) back.
class Reflectable {
public:
    virtual ~Reflectable() = default;
    virtual bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) = 0;

    static void Attach(HWND hwnd, Reflectable* target);
    static void Detach(HWND hwnd);
    // Passes a parent's notification to the child that raised it; false when none took it.
    static bool Reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
};

// Subclassing with comctl32's contract (procedures stacked per window, removed in any order,
// also from inside a call), but the chain lives in this process: comctl32 keeps it in a window
// property, and under Wine every property read is a round trip to the server, twice a message.
bool SetSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
bool RemoveSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id);
// Passes the message on to the next procedure of the chain, finally the window's own.
LRESULT DefSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hWnd() const { return hwnd_; }

protected:
    // Creates the window of a class registered with Window::StaticProc.
    HWND CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, int x, int y, int w, int h,
                        HWND parent, const wchar_t* text = L"", HMENU idOrMenu = nullptr);
    // Destroys the window now; the object stays usable and may create it again.
    void DestroyOwnWindow();

    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called once the window is gone (WM_NCDESTROY), with hWnd() already cleared.
    virtual void OnWindowGone() {}

    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

private:
    HWND hwnd_ = nullptr;
};

} // namespace rt
