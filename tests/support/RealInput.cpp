#include "tests/support/RealInput.h"

#include "tests/support/TestSupport.h"

#include <algorithm>
#include <functional>

namespace test {

namespace {

std::string Describe(HWND hwnd)
{
    wchar_t cls[64] = {}, text[64] = {};
    GetClassNameW(hwnd, cls, 64);
    GetWindowTextW(hwnd, text, 64);
    return "window of class " + Narrow(cls) + " \"" + Narrow(text) + "\"";
}

} // namespace

std::string BringToForeground(HWND hwnd)
{
    HWND top = GetAncestor(hwnd, GA_ROOT);
    if (!top)
        return "no window";
    bool ok = PumpUntil(
        [&] {
            if (GetForegroundWindow() != top)
                SetForegroundWindow(top);
            return GetForegroundWindow() == top;
        },
        5000);
    return ok ? std::string() : "the foreground stayed with " + Describe(GetForegroundWindow());
}

std::string WhyNotOn(HWND hwnd, POINT screen)
{
    HWND there = WindowFromPoint(screen);
    if (there == hwnd)
        return {};
    return "point " + std::to_string(screen.x) + "," + std::to_string(screen.y) + " shows " +
           (there ? Describe(there) : std::string("no window")) + ", not " + Describe(hwnd);
}

std::string MoveCursorTo(POINT screen)
{
    POINT at{};
    GetCursorPos(&at);
    for (POINT step : HandPath(at, screen)) {
        SendCursorTo(step);
        if (!PumpUntil(
                [&] {
                    GetCursorPos(&at);
                    return at.x == step.x && at.y == step.y;
                },
                3000))
            return "the cursor went to " + std::to_string(at.x) + "," + std::to_string(at.y) + " instead of " +
                   std::to_string(step.x) + "," + std::to_string(step.y);
    }
    return {};
}

std::string ClickAt(HWND hwnd, POINT client, DWORD downFlag, int clicks)
{
    std::string why = BringToForeground(hwnd);
    if (!why.empty())
        return why;
    POINT screen = client;
    ClientToScreen(hwnd, &screen);
    if (!(why = WhyNotOn(hwnd, screen)).empty() || !(why = MoveCursorTo(screen)).empty())
        return why;
    std::vector<INPUT> in(static_cast<std::size_t>(2 * clicks));
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i].type = INPUT_MOUSE;
        // Each button's release flag is its press flag shifted once.
        in[i].mi.dwFlags = i % 2 ? downFlag << 1 : downFlag;
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    return {};
}

void PressKey(WORD vk, const std::vector<WORD>& modifiers)
{
    std::vector<INPUT> in;
    auto add = [&](WORD key, bool down) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = key;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        in.push_back(i);
    };
    for (WORD m : modifiers)
        add(m, true);
    add(vk, true);
    add(vk, false);
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
        add(*m, false);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

bool ScreenPixels::AllBlack() const
{
    return std::all_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p == 0; });
}

ScreenPixels CaptureScreen(RECT r)
{
    ScreenPixels out;
    out.width = std::max(0L, r.right - r.left);
    out.height = std::max(0L, r.bottom - r.top);
    if (!out.width || !out.height)
        return out;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = out.width;
    bi.bmiHeader.biHeight = -out.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && bits) {
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, out.width, out.height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        auto* p = static_cast<const std::uint32_t*>(bits);
        out.pixels.assign(p, p + static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
        for (auto& px : out.pixels)
            px &= 0xFFFFFF;
        SelectObject(mem, old);
    }
    if (bmp)
        DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

} // namespace test

namespace test {

namespace {

struct MenuFind {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMenuWindow(HWND hwnd, LPARAM lp)
{
    auto* f = reinterpret_cast<MenuFind*>(lp);
    wchar_t cls[16] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    GetClassNameW(hwnd, cls, 16);
    if (pid == f->pid && IsWindowVisible(hwnd) && lstrcmpW(cls, L"#32768") == 0) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND VisibleMenuWindow(DWORD processId)
{
    MenuFind find{processId, nullptr};
    EnumWindows(&FindMenuWindow, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

namespace {

// Waits on `done`, polling from a thread without windows of its own.
bool PollUntil(const std::function<bool()>& done, int timeoutMs)
{
    ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!done()) {
        if (GetTickCount64() >= end)
            return done();
        Sleep(10); // the interval of the poll; the wait itself ends on the condition
    }
    return true;
}

// The menu's background colour covers most of a painted menu, and its text the rest.
bool LooksPainted(const ScreenPixels& shot)
{
    const COLORREF back = GetSysColor(COLOR_MENU);
    const std::uint32_t rgb = (GetRValue(back) << 16) | (GetGValue(back) << 8) | GetBValue(back);
    std::size_t same = static_cast<std::size_t>(std::count(shot.pixels.begin(), shot.pixels.end(), rgb));
    return !shot.pixels.empty() && same * 2 >= shot.pixels.size() && same < shot.pixels.size();
}

} // namespace

MenuWatch::MenuWatch(int choose, DWORD processId) : choose_(choose), processId_(processId)
{
    thread_ = CreateThread(nullptr, 0, &MenuWatch::Run, this, 0, nullptr);
    if (!thread_)
        failure = "no watch thread";
}

MenuWatch::~MenuWatch()
{
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
}

bool WaitForMoveLoop(DWORD uiThread, int timeoutMs)
{
    return PollUntil(
        [uiThread] {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            return GetGUIThreadInfo(uiThread, &info) && (info.flags & GUI_INMOVESIZE);
        },
        timeoutMs);
}

bool MenuWatch::Wait(int timeoutMs)
{
    return thread_ && PumpUntil([&] { return WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

DWORD WINAPI MenuWatch::Run(void* self)
{
    static_cast<MenuWatch*>(self)->Watch();
    return 0;
}

void MenuWatch::Watch()
{
    HWND window = nullptr;
    if (!PollUntil([&] { return (window = VisibleMenuWindow(processId_)) != nullptr; }, 10000)) {
        failure = "no pop-up menu opened";
        return;
    }
    auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back(info.fType & MFT_SEPARATOR ? L"-" : text);
    }
    GetWindowRect(window, &at);
    if (!PollUntil([&] { return LooksPainted(shown = CaptureScreen(at)); }, 5000)) {
        failure = shown.AllBlack() ? "the menu stayed a black box" : "the menu was never painted";
        return;
    }
    if (choose_ < 0) {
        PressKey(VK_ESCAPE);
        return;
    }
    RECT item{};
    if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(choose_), &item)) {
        failure = "no item " + std::to_string(choose_);
        return;
    }
    POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    if (!(failure = WhyNotOn(window, centre)).empty() || !(failure = MoveCursorTo(centre)).empty())
        return;
    // The menu lights the item under the cursor before a click can choose it.
    if (!PollUntil([&] { return (GetMenuState(menu, static_cast<UINT>(choose_), MF_BYPOSITION) & MF_HILITE) != 0; },
                   5000)) {
        failure = "item " + std::to_string(choose_) + " never lit under the cursor";
        return;
    }
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

} // namespace test
