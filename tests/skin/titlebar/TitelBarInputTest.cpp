// The bar's gestures driven by real input: dragging the form, and the boxes' presses.
#include "TitelBarFixture.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using namespace test;
using skin::TitelBar;

namespace {

struct Shown {
    BarForm form;
    explicit Shown(TitelBar::CloseAction a = TitelBar::CloseAction::HideForm) : form(FlatDesign(), a)
    {
        form.Load();
        form.ShowAfterLoad();
    }
    ~Shown()
    {
        if (form.IsLoaded())
            form.Unload();
    }
};

POINT Centre(RECT r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

INPUT MoveTo(POINT screen)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((screen.x * 65536 + sw / 2) / sw);
    in.mi.dy = static_cast<LONG>((screen.y * 65536 + sh / 2) / sh);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

} // namespace

TEST(TitelBarInput, DraggingTheBarMovesTheForm)
{
    Shown s;
    HWND bar = s.form.bar.hWnd();
    RECT before{};
    GetWindowRect(s.form.hWnd(), &before);
    ASSERT_TRUE(MoveMouseTo(bar, 40, 10));
    ASSERT_TRUE(SendMouse(MOUSEEVENTF_LEFTDOWN));
    ASSERT_EQ(GetCapture(), bar) << "the press holds the mouse";
    // The first move enters the system's move loop on this thread; the rest of the input is
    // sent from another once the loop runs, so that the system does not merge the moves.
    POINT start{41, 10}, to{41 + 50, 10 + 30};
    ClientToScreen(bar, &start);
    ClientToScreen(bar, &to);
    const DWORD uiThread = GetCurrentThreadId();
    bool inLoop = false;
    std::thread rest([&] {
        inLoop = test::WaitForMoveLoop(uiThread, 5000);
        INPUT in[2] = {MoveTo(to), {}};
        in[1].type = INPUT_MOUSE;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, in, sizeof(INPUT));
    });
    INPUT first = MoveTo(start);
    EXPECT_EQ(SendInput(1, &first, sizeof(INPUT)), 1u);
    RECT after{};
    EXPECT_TRUE(WaitFor(
        [&] {
            GetWindowRect(s.form.hWnd(), &after);
            return after.left == before.left + 50 && after.top == before.top + 30;
        },
        5000, "the form to follow the drag"))
        << "moved by " << after.left - before.left << ", " << after.top - before.top;
    rest.join();
    EXPECT_TRUE(inLoop) << "the system's move loop never ran";
    EXPECT_TRUE(PumpQueued());
    EXPECT_NE(GetCapture(), bar);
}

TEST(TitelBarInput, MinimiseBoxMinimisesTheForm)
{
    Shown s;
    const POINT min = Centre(s.form.bar.MinBoxRect());
    ASSERT_TRUE(ClickAt(s.form.bar.hWnd(), min.x, min.y));
    EXPECT_TRUE(WaitFor([&] { return IsIconic(s.form.hWnd()) != FALSE; }, 5000, "the form minimised"));
}

TEST(TitelBarInput, CloseBoxUnloadsTheFormInThatVariant)
{
    Shown s{TitelBar::CloseAction::UnloadForm};
    const POINT close = Centre(s.form.bar.CloseBoxRect());
    ASSERT_TRUE(ClickAt(s.form.bar.hWnd(), close.x, close.y));
    EXPECT_TRUE(WaitFor([&] { return !s.form.IsLoaded(); }, 5000, "the form unloaded"));
    EXPECT_EQ(s.form.unloads, 1);
}
