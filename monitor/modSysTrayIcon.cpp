#include "monitor/modSysTrayIcon.h"

#include "monitor/clsSysTrayIcon.h"
#include "runtime/Runtime.h"
#include "runtime/SystemLibrary.h"

#include <utility>

namespace vantorel::ostrevi {

namespace modSysTrayIcon {

namespace {

constexpr const wchar_t* kClassName = L"System Tray Icon Class";
constexpr const wchar_t* kWindowTitle = L"SystemTrayIcon Windows Hidden" L"n Window";

UINT g_taskbarCreated = 0;

// Lets a broadcast through the filter of an elevated process's window. The call does not
// exist before Windows 7 (Ex) or Vista; it is bound once and skipped where missing.
void AllowMessage(HWND hwnd, UINT msg)
{
    using FilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using Filter = BOOL(WINAPI*)(UINT, DWORD);
    static const auto bound = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return std::pair(rt::Bind<FilterEx>(user32, "ChangeWindowMessageFilterEx"),
                         rt::Bind<Filter>(user32, "ChangeWindowMessageFilter"));
    }();
    constexpr DWORD kAllow = 1; // MSGFLT_ALLOW / MSGFLT_ADD
    if (bound.first && hwnd)
        bound.first(hwnd, msg, kAllow, nullptr);
    else if (bound.second)
        bound.second(msg, kAllow);
}

void Register(HWND hwnd)
{
    UINT msg = RegisterWindowMessageW(L"TaskbarCreated");
    if (msg)
        g_taskbarCreated = msg;
    if (g_taskbarCreated)
        AllowMessage(hwnd, g_taskbarCreated);
}

clsSysTrayIcon* IconOf(HWND hwnd) { return reinterpret_cast<clsSysTrayIcon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

LRESULT CALLBACK HiddenWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    rt::HandlerScope scope;
    if (msg == WM_USERCHANGED) {
        Register(hwnd);
    } else if (msg == kForwardedCallback) {
        if (clsSysTrayIcon* icon = IconOf(hwnd))
            icon->ProcessMessage(wp, lp);
    } else if (g_taskbarCreated && msg == g_taskbarCreated) {
        if (clsSysTrayIcon* icon = IconOf(hwnd))
            icon->TriggerTaskbarEvent(L"modSysTrayIcon");
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

void InitTaskbarCreatedMessage(HWND hwnd) { Register(hwnd); }
UINT TaskbarCreatedMessage() { return g_taskbarCreated; }

HWND CreateHiddenWindow(clsSysTrayIcon* icon)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &HiddenWindowProc;
    wc.hInstance = rt::Instance();
    wc.lpszClassName = kClassName;
    // Fails harmlessly when another icon's window already registered the class.
    RegisterClassExW(&wc);
    // A top-level window, never shown: message-only windows get no broadcasts.
    HWND hwnd = CreateWindowExW(0, kClassName, kWindowTitle, 0, 0, 0, 100, 100, nullptr, nullptr, rt::Instance(),
                                nullptr);
    if (!hwnd)
        return nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(icon));
    InitTaskbarCreatedMessage(hwnd);
    return hwnd;
}

void DestroyHiddenWindow(HWND hwnd)
{
    if (!hwnd)
        return;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
    UnregisterClassW(kClassName, rt::Instance());
}

} // namespace modSysTrayIcon

} // namespace vantorel::ostrevi
