#include "runtime/Modal.h"

#include "runtime/Form.h"
#include "runtime/Runtime.h"

#include <vector>

namespace rt {

namespace {

struct Disabled {
    HWND keep = nullptr;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND hwnd, LPARAM lp)
{
    auto* d = reinterpret_cast<Disabled*>(lp);
    if (hwnd != d->keep && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        d->windows.push_back(hwnd);
    }
    return TRUE;
}

} // namespace

void ShowModal(Form& form, HWND owner, ModalKeys keys)
{
    form.Load();
    HWND self = form.hWnd();
    if (!self)
        return;
    if (owner)
        SetWindowLongPtrW(self, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    Disabled disabled{self, {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOne, reinterpret_cast<LPARAM>(&disabled));
    form.Show();
    MSG msg;
    while (form.hWnd() && IsWindowVisible(form.hWnd())) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The quit belongs to the loop that runs the program: it gets it again.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        // Only keys need the dialog manager, which asks the server for the window's parents.
        const bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
        if (!(keys == ModalKeys::Dialog && key && IsDialogMessageW(self, &msg))) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        RunDeferred();
    }
    for (HWND hwnd : disabled.windows) {
        if (IsWindow(hwnd))
            EnableWindow(hwnd, TRUE);
    }
    if (owner && IsWindowVisible(owner))
        SetForegroundWindow(owner);
}

} // namespace rt
