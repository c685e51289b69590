// Times what the skinned windows pay per message and per repaint: a message to a hooked
// control against the same message to the control unhooked, and the button's redraw against
// FillRect plus DrawText of the same size. Run under Wine: see bench/README.md.
#include "bench/common/BenchTiming.h"
#include "runtime/Form.h"
#include "runtime/ListView.h"
#include "runtime/Runtime.h"
#include "skin/WindowHook.h"
#include "skin/dcButton.h"

#include <commctrl.h>
#include <windows.h>

#include <cstdio>

namespace {

class BenchForm : public rt::Form {
public:
    BenchForm() : rt::Form(L"BenchForm", L"Bench", 6000, 4000) {}
};

// A hook owner that watches one message, as the button watches its window.
class Watcher : public skin::WindowHookOwner {
public:
    skin::WindowHooks hooks{*this};
    void SubclassCallback(bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) override {}
};

// A plain window whose paint is FillRect plus DrawText.
LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT r;
        GetClientRect(h, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, L"Block IP", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

// Microseconds per message: `n` messages a run.
std::vector<double> PerMessage(int runs, int n, HWND h, UINT msg)
{
    return bench::Time(runs, [] {}, [&] {
        for (int i = 0; i < n; ++i)
            SendMessageW(h, msg, 0, 0);
    });
}

void Scale(std::vector<double>& v, double f)
{
    for (double& x : v)
        x *= f;
}

void PrintRatio(const char* what, const std::vector<double>& a, const std::vector<double>& b, const char* unit,
                const char* goal)
{
    auto sa = bench::Summarise(a), sb = bench::Summarise(b), r = bench::Summarise(bench::Ratios(a, b));
    std::printf("%-46s %8.3f / %8.3f %s (min), %8.3f / %8.3f %s (median); ratio min %.2f median %.2f (goal: %s)\n",
                what, sa.min, sb.min, unit, sa.median, sb.median, unit, r.min, r.median, goal);
}

} // namespace

int wmain()
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    BenchForm form;
    form.Load();
    form.Show();
    const int runs = 31;

    // --- messages: the host layer's list view and a list view hooked as the button hooks ---
    rt::ListView hosted{L"Hosted"};
    hosted.Create(form, form.hWnd(), {0, 0, 200, 100});
    HWND plain = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 110, 200, 100, form.hWnd(), nullptr,
                                 rt::Instance(), nullptr);
    HWND watched = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 210, 110, 200, 100, form.hWnd(),
                                   nullptr, rt::Instance(), nullptr);
    Watcher w1, w2;
    w1.hooks.Subclass(watched);
    w1.hooks.WatchMessage(watched, WM_MOUSELEAVE, skin::kHookAfter);
    w2.hooks.Subclass(watched); // two owners, as two buttons hook one form
    w2.hooks.WatchMessage(watched, WM_ACTIVATE, skin::kHookAfter);
    const int n = 2000;
    std::vector<double> bare, viaHost, viaHooks;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(PerMessage(1, n, plain, LVM_GETITEMCOUNT)[0]);
        viaHost.push_back(PerMessage(1, n, hosted.hWnd(), LVM_GETITEMCOUNT)[0]);
        viaHooks.push_back(PerMessage(1, n, watched, LVM_GETITEMCOUNT)[0]);
    }
    const double toUs = 1000.0 / n;
    Scale(bare, toUs);
    Scale(viaHost, toUs);
    Scale(viaHooks, toUs);
    PrintRatio("LVM_GETITEMCOUNT, host layer's list view", viaHost, bare, "us", "at most 2");
    PrintRatio("LVM_GETITEMCOUNT, two button hooks", viaHooks, bare, "us", "at most 2");

    // --- the button's redraw against FillRect plus DrawText of its size ---
    skin::dcButton button{L"Button"};
    button.Create(form, form.hWnd(), {10, 230, 106, 25}, rt::PropertyBag::With(L"Caption", L"Block IP"));
    const wchar_t* cls = rt::RegisterClassOnce(L"BenchPlain", &PlainProc);
    HWND plainButton = CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE, 130, 230, 106, 25, form.hWnd(), nullptr,
                                       rt::Instance(), nullptr);
    rt::YieldToOtherMessages();
    const int m = 200;
    // The surface alone: the button paints its backing bitmap; the reference fills and writes
    // into a bitmap of the same size.
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 106, 25);
    HGDIOBJ old = SelectObject(mem, bmp);
    ReleaseDC(nullptr, screen);
    std::vector<double> redraw, fill, shown, shownPlain;
    long state = 0;
    for (int i = 0; i < runs; ++i) {
        redraw.push_back(bench::Time(1, [] {}, [&] {
            for (int k = 0; k < m; ++k)
                button.Redraw(state = 1 - state, false);
        })[0]);
        fill.push_back(bench::Time(1, [] {}, [&] {
            for (int k = 0; k < m; ++k) {
                RECT r{0, 0, 106, 25};
                FillRect(mem, &r, GetSysColorBrush(k & 1 ? COLOR_BTNFACE : COLOR_BTNSHADOW));
                DrawTextW(mem, L"Block IP", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            }
            GdiFlush();
        })[0]);
        rt::YieldToOtherMessages();
        // On screen: each redraw painted before the next, against invalidating and painting the
        // plain window.
        shown.push_back(bench::Time(1, [] {}, [&] {
            for (int k = 0; k < m; ++k) {
                button.Redraw(state = 1 - state, false);
                UpdateWindow(button.hWnd());
            }
        })[0]);
        shownPlain.push_back(bench::Time(1, [] {}, [&] {
            for (int k = 0; k < m; ++k) {
                InvalidateRect(plainButton, nullptr, FALSE);
                UpdateWindow(plainButton);
            }
        })[0]);
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    const double perRedraw = 1000.0 / m;
    Scale(redraw, perRedraw);
    Scale(fill, perRedraw);
    Scale(shown, perRedraw);
    Scale(shownPlain, perRedraw);
    PrintRatio("button redraw / FillRect+DrawText", redraw, fill, "us", "at most 3");
    PrintRatio("button redraw shown / plain window repainted", shown, shownPlain, "us", "-");

    DestroyWindow(plain);
    DestroyWindow(watched);
    form.Unload();
    rt::YieldToOtherMessages();
    return 0;
}
