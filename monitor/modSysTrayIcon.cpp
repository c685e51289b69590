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

} // namespace

void InitTaskbarCreatedMessage(HWND hwnd) { Register(hwnd); }
UINT TaskbarCreatedMessage() { return g_taskbarCreated; }

} // namespace modSysTrayIcon

void clsSysTrayIcon::CreateHiddenWindow()
{
    using namespace modSysTrayIcon;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &rt::Window::StaticProc;
    wc.hInstance = rt::Instance();
    wc.lpszClassName = kClassName;
    // Fails harmlessly when another icon's window already registered the class.
    RegisterClassExW(&wc);
    // A top-level window, never shown: message-only windows get no broadcasts.
    if (CreateWindowOf(kClassName, 0, 0, 0, 0, 100, 100, nullptr, kWindowTitle))
        InitTaskbarCreatedMessage(hWnd());
}

void clsSysTrayIcon::DestroyHiddenWindow()
{
    if (!hWnd())
        return;
    DestroyOwnWindow();
    UnregisterClassW(modSysTrayIcon::kClassName, rt::Instance());
}

LRESULT clsSysTrayIcon::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // Taken first: an icon shown again from the broadcast's handler destroys this window from
    // inside its own procedure and creates the next.
    const HWND hwnd = hWnd();
    if (msg == WM_USERCHANGED) {
        modSysTrayIcon::InitTaskbarCreatedMessage(hwnd);
    } else if (msg == modSysTrayIcon::kForwardedCallback) {
        ProcessMessage(wp, lp);
    } else if (const UINT created = modSysTrayIcon::TaskbarCreatedMessage(); created && msg == created) {
        TriggerTaskbarEvent(L"modSysTrayIcon");
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace vantorel::ostrevi
