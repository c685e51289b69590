// The panel under real input (SendInput): clicks reported by area, and the drag by the band.
#include "runtime/Form.h"
#include "skin/PanelFx.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using skin::PanelFx;

namespace {

class PanelForm : public rt::Form {
public:
    PanelForm() : rt::Form(L"PanelInputForm", L"Panel input", 6000, 4500) {}
    PanelFx panel{L"PanelFx1"};

protected:
    void CreateControls() override { panel.Create(*this, hWnd(), {20, 40, 240, 120}); }
};

// An absolute mouse input at screen point `p` with `flags`.
INPUT MouseAt(POINT p, DWORD flags)
{
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(p.x) * 65536 + sw - 1) / sw);
    in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(p.y) * 65536 + sh - 1) / sh);
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}

class PanelInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.Load();
        SetWindowPos(form.hWnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
        form.Show();
        ASSERT_EQ(test::BringToForeground(form.hWnd()), "");
        th = MulDiv(form.panel.TileHeight(), rt::DpiOf(form.hWnd()), 96);
    }
    void TearDown() override { form.Unload(); }
    PanelForm form;
    int th = 0;
};

RECT ScreenRect(HWND h)
{
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

} // namespace

TEST_F(PanelInput, ClicksAreReportedByTheAreaTheyFallIn)
{
    std::vector<std::string> log;
    PanelFx& p = form.panel;
    auto mouse = [&](const char* what) {
        return [&log, what](int b, int, float, float, int area) {
            log.push_back(std::string(what) + ' ' + std::to_string(b) + ' ' + std::to_string(area));
        };
    };
    p.MouseDown.Connect(mouse("down"));
    p.MouseUp.Connect(mouse("up"));
    p.TileClick.Connect([&] { log.push_back("TileClick"); });
    p.PanelClick.Connect([&] { log.push_back("PanelClick"); });
    const int w = p.ScaleWidth(), h = p.ScaleHeight();
    struct Case {
        POINT at;
        DWORD down;
        std::vector<std::string> events;
        int clicks = 1;
    } cases[] = {
        {{w / 2, th / 2}, MOUSEEVENTF_LEFTDOWN, {"down 1 0", "TileClick", "up 1 0"}},
        {{w / 3, th + 10}, MOUSEEVENTF_LEFTDOWN, {"down 1 1", "PanelClick", "up 1 1"}},
        {{w / 2, h / 2}, MOUSEEVENTF_RIGHTDOWN, {"down 2 1", "up 2 1"}},
        {{w / 3, 0}, MOUSEEVENTF_RIGHTDOWN, {"down 2 0", "up 2 0"}},
        // The second press of a double click is a press like the first (the right click
        // before keeps its first press a single one).
        {{w / 3, th + 10},
         MOUSEEVENTF_LEFTDOWN,
         {"down 1 1", "PanelClick", "up 1 1", "down 1 1", "PanelClick", "up 1 1"},
         2},
    };
    for (const Case& c : cases) {
        log.clear();
        ASSERT_EQ(test::ClickAt(p.hWnd(), c.at, c.down, c.clicks), "");
        EXPECT_TRUE(test::WaitFor([&] { return log.size() >= c.events.size(); }, 5000, "the click's events"));
        EXPECT_TRUE(test::PumpQueued());
        EXPECT_EQ(log, c.events) << c.at.x << ',' << c.at.y;
    }
}

TEST_F(PanelInput, DraggingTheBandMovesThePanelOrItsForm)
{
    PanelFx& p = form.panel;
    p.SetAllowDraging(true);
    struct Case {
        bool parent;
        HWND moves;
    } cases[] = {{false, p.hWnd()}, {true, form.hWnd()}};
    for (const Case& c : cases) {
        p.SetAllowParentDraging(c.parent);
        const RECT before = ScreenRect(c.moves);
        POINT start{p.ScaleWidth() / 2, th / 2};
        ClientToScreen(p.hWnd(), &start);
        ASSERT_EQ(test::WhyNotOn(p.hWnd(), start), "");
        ASSERT_EQ(test::MoveCursorTo(start), "");
        // The move loop starts on the first move with the button down and measures from where
        // the cursor is then: the rest of the drag comes once the loop runs.
        const POINT first{start.x + 2, start.y}, end{start.x + 42, start.y + 30};
        const DWORD uiThread = GetCurrentThreadId();
        std::string helper;
        std::thread rest([&] {
            if (!test::WaitForMoveLoop(uiThread, 5000))
                helper = "the move loop never started";
            INPUT tail[] = {MouseAt({start.x + 20, start.y + 15}, 0), MouseAt(end, 0), MouseAt(end, MOUSEEVENTF_LEFTUP)};
            SendInput(3, tail, sizeof(INPUT));
        });
        INPUT head[] = {MouseAt(start, MOUSEEVENTF_LEFTDOWN), MouseAt(first, 0)};
        SendInput(2, head, sizeof(INPUT));
        auto moved = [&] {
            RECT r = ScreenRect(c.moves);
            return std::abs(r.left - before.left - (end.x - first.x)) <= 2 &&
                   std::abs(r.top - before.top - (end.y - first.y)) <= 2;
        };
        EXPECT_TRUE(test::WaitFor(moved, 5000, c.parent ? "the form to follow the mouse" : "the panel to follow the mouse"))
            << "moved by " << ScreenRect(c.moves).left - before.left << ',' << ScreenRect(c.moves).top - before.top;
        rest.join();
        EXPECT_EQ(helper, "");
        EXPECT_TRUE(test::PumpQueued());
    }
}
