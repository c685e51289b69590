// The bar's gestures driven by real input: dragging the form, and the boxes' presses.
#include "TitelBarFixture.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace test;
using skin::TitelBar;
using skin::TitleBox;

namespace {

struct Shown {
    BarForm form;
    explicit Shown(TitelBar::CloseAction a = TitelBar::CloseAction::HideForm, rt::PropertyBag design = FlatDesign())
        : form(std::move(design), a)
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

// The system's double-click time, changed for one test and put back.
class DoubleClickTime {
public:
    explicit DoubleClickTime(UINT ms) : old_(GetDoubleClickTime()) { SetDoubleClickTime(ms); }
    ~DoubleClickTime() { SetDoubleClickTime(old_); }
    DoubleClickTime(const DoubleClickTime&) = delete;
    DoubleClickTime& operator=(const DoubleClickTime&) = delete;

private:
    UINT old_;
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

// Every press of a box acts on the form, with any button; a second press right after the
// first (a double click to the system) acts again. Box presses raise nothing on the bar.
TEST(TitelBarInput, EveryPressOfABoxActs)
{
    struct Step {
        TitleBox box;
        bool right;
        std::function<bool(HWND)> done;
        const char* what;
    };
    const auto iconic = [](HWND f) { return IsIconic(f) != FALSE; };
    const auto zoomed = [](HWND f) { return IsZoomed(f) != FALSE; };
    const auto normal = [](HWND f) { return !IsZoomed(f) && !IsIconic(f) && IsWindowVisible(f); };
    const auto hidden = [](HWND f) { return !IsWindowVisible(f); };
    const std::vector<Step> sequences[] = {
        {{TitleBox::Min, false, iconic, "minimised"}, {TitleBox::Min, false, iconic, "minimised by the second press"}},
        {{TitleBox::Max, false, zoomed, "maximised"}, {TitleBox::Max, false, normal, "restored"}},
        {{TitleBox::Close, true, hidden, "hidden by a right press"}},
    };
    // Long enough that each press after a restore counts as the second of a double click.
    DoubleClickTime slow(20000);
    for (const auto& steps : sequences) {
        rt::PropertyBag design = FlatDesign();
        design.Set(L"ShowMaximized", std::int64_t{-1}).Set(L"ShowMaximizedEnabled", std::int64_t{-1});
        Shown s(TitelBar::CloseAction::HideForm, std::move(design));
        std::vector<std::string> barEvents;
        s.form.bar.MouseUp.Connect([&](int&, int&, float&, float&) { barEvents.push_back("MouseUp"); });
        s.form.bar.MouseDown.Connect([&](int&, int&, float&, float&) { barEvents.push_back("MouseDown"); });
        s.form.bar.DblClick.Connect([&] { barEvents.push_back("DblClick"); });
        const HWND f = s.form.hWnd();
        for (const Step& step : steps) {
            const POINT c = Centre(s.form.bar.BoxRect(step.box));
            ASSERT_TRUE(ClickAt(s.form.bar.hWnd(), c.x, c.y, step.right));
            EXPECT_TRUE(WaitFor([&] { return step.done(f); }, 5000, step.what));
            if (IsIconic(f)) {
                ShowWindow(f, SW_RESTORE);
                ASSERT_TRUE(WaitFor([&] { return !IsIconic(f); }, 5000, "the form restored"));
            }
        }
        EXPECT_TRUE(PumpQueued());
        EXPECT_EQ(barEvents, std::vector<std::string>{});
    }
}

TEST(TitelBarInput, CloseBoxUnloadsTheFormInThatVariant)
{
    Shown s{TitelBar::CloseAction::UnloadForm};
    const POINT close = Centre(s.form.bar.CloseBoxRect());
    ASSERT_TRUE(ClickAt(s.form.bar.hWnd(), close.x, close.y));
    EXPECT_TRUE(WaitFor([&] { return !s.form.IsLoaded(); }, 5000, "the form unloaded"));
    EXPECT_EQ(s.form.unloads, 1);
}

TEST(TitelBarInput, SurfaceClicksAndKeysRaiseTheirEvents)
{
    Shown s;
    TitelBar& bar = s.form.bar;
    std::vector<std::string> log;
    auto mouse = [&log](const char* what) {
        return [&log, what](int& b, int&, float&, float&) { log.push_back(std::string(what) + ' ' + std::to_string(b)); };
    };
    auto key = [&log](const char* what) {
        return [&log, what](int& k, int&) { log.push_back(std::string(what) + ' ' + std::to_string(k)); };
    };
    bar.MouseDown.Connect(mouse("down"));
    bar.MouseUp.Connect(mouse("up"));
    bar.Click.Connect([&] { log.push_back("Click"); });
    bar.DblClick.Connect([&] { log.push_back("DblClick"); });
    bar.KeyDown.Connect(key("keydown"));
    bar.KeyUp.Connect(key("keyup"));
    bar.KeyPress.Connect([&](int& c) { log.push_back("keypress " + std::to_string(c)); });
    struct Case {
        DWORD down;
        int clicks;
        std::vector<std::string> events;
    } cases[] = {
        {MOUSEEVENTF_LEFTDOWN, 1, {"down 1", "up 1", "Click"}},
        {MOUSEEVENTF_LEFTDOWN, 2, {"down 1", "up 1", "Click", "DblClick", "up 1"}},
        {MOUSEEVENTF_RIGHTDOWN, 1, {"down 2", "up 2"}},
    };
    for (const Case& c : cases) {
        PassDoubleClickTime();
        log.clear();
        ASSERT_EQ(test::ClickAt(bar.hWnd(), {60, 10}, c.down, c.clicks), "");
        EXPECT_TRUE(WaitFor([&] { return log.size() >= c.events.size(); }, 5000, "the clicks' events"));
        EXPECT_TRUE(PumpQueued());
        EXPECT_EQ(log, c.events);
    }
    log.clear();
    SetFocus(bar.hWnd());
    test::PressKey('A');
    EXPECT_TRUE(WaitFor([&] { return log.size() >= 3; }, 5000, "the key's events"));
    EXPECT_EQ(log, (std::vector<std::string>{"keydown 65", "keypress 97", "keyup 65"}));
}

TEST(TitelBarInput, ResizeIsRaisedBeforeTheRepaint)
{
    Shown s;
    TitelBar& bar = s.form.bar;
    const LONG before = bar.CloseBoxRect().right;
    std::vector<LONG> seen;
    bar.Resize.Connect([&] { seen.push_back(bar.CloseBoxRect().right); });
    SetWindowPos(bar.hWnd(), nullptr, 0, 0, bar.ScaleWidth() - 40, bar.ScaleHeight(), SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(seen, std::vector<LONG>{before}) << "the boxes were laid out before Resize";
    EXPECT_EQ(bar.CloseBoxRect().right, before - 40) << "the repaint after it lays them out again";
}
