// Real input through SendInput, as a user gives it, aimed only where it cannot miss: the
// target's top-level window in the foreground and the point on the target, not on a window
// that covers it. Each step waits for its effect and says why when it did not come.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace test {

// Makes `hwnd`'s top-level window the foreground window; empty, or the reason it failed.
std::string BringToForeground(HWND hwnd);

// Empty when screen point `screen` shows `hwnd` itself; else what covers the point.
std::string WhyNotOn(HWND hwnd, POINT screen);

// Moves the cursor to `screen` as a hand does (along HandPath, each step awaited); empty or the reason.
std::string MoveCursorTo(POINT screen);

// Presses and releases a mouse button (MOUSEEVENTF_LEFTDOWN or MOUSEEVENTF_RIGHTDOWN) `clicks`
// times at client point `client` of `hwnd`, in one SendInput call: a control that tracks the
// button in a loop of its own finds the release already queued, and two clicks are a double
// click. Empty, or why nothing was sent.
std::string ClickAt(HWND hwnd, POINT client, DWORD downFlag, int clicks = 1);

// A key pressed with the modifiers in `modifiers` held, all released again, in one call.
void PressKey(WORD vk, const std::vector<WORD>& modifiers = {});

// The visible pop-up menu window of process `processId`, or null.
HWND VisibleMenuWindow(DWORD processId);

// Pixels of a screen rectangle as the screen shows them, 0x00RRGGBB, rows top first.
struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool AllBlack() const;
};
ScreenPixels CaptureScreen(RECT screen);

// Watches, from a thread of its own, for the next pop-up menu window of this process while
// the test's thread runs the menu. It waits until the screen shows the menu painted, keeps
// its pixels and its items' texts, then clicks item `choose` (by position, separators
// counted) with real input, or presses Escape when `choose` is negative.
class MenuWatch {
public:
    explicit MenuWatch(int choose, DWORD processId = GetCurrentProcessId());
    ~MenuWatch();
    MenuWatch(const MenuWatch&) = delete;
    MenuWatch& operator=(const MenuWatch&) = delete;

    // Pumps until the watch has ended; false on a timeout.
    bool Wait(int timeoutMs = 20000);

    std::string failure;              // empty when every step worked
    std::vector<std::wstring> items;  // the texts as the menu shows them; "-" for a separator
    ScreenPixels shown;               // the menu as the screen showed it, once painted
    RECT at{};                        // the menu window on the screen

private:
    static DWORD WINAPI Run(void* self);
    void Watch();
    int choose_;
    DWORD processId_;
    HANDLE thread_ = nullptr;
};

// From another thread: waits until `uiThread` runs the system's move loop (a window dragged by
// its caption), where input sent from elsewhere reaches the loop unmerged; false after `timeoutMs`.
bool WaitForMoveLoop(DWORD uiThread, int timeoutMs);

} // namespace test
