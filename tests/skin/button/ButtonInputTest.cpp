// Input through real messages (SendInput): hover and leave through the mouse-leave hook,
// clicks inside and releases outside, Space, the access key, the arrow keys, disabled and
// hidden buttons, double clicks, the pop-up menu mode and the order of the events.
#include <gtest/gtest.h>

#include "ButtonFixture.h"
#include "runtime/Menu.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

using namespace test;

namespace {
constexpr int kW = 80, kH = 26;

struct Logged {
    std::vector<std::string> events;
    void Attach(skin::dcButton& b)
    {
        b.Click.Connect([this] { events.push_back("Click"); });
        b.DblClick.Connect([this] { events.push_back("DblClick"); });
        b.KeyDown.Connect([this](int& k, int& s) { events.push_back("KeyDown " + std::to_string(k) + "/" + std::to_string(s)); });
        b.KeyPress.Connect([this](int& k) { events.push_back("KeyPress " + std::to_string(k)); });
        b.KeyUp.Connect([this](int& k, int&) { events.push_back("KeyUp " + std::to_string(k)); });
        b.MouseDown.Connect([this](int btn, int, float, float) { events.push_back("MouseDown " + std::to_string(btn)); });
        b.MouseUp.Connect([this](int btn, int, float, float) { events.push_back("MouseUp " + std::to_string(btn)); });
        b.MouseEnter.Connect([this] { events.push_back("MouseEnter"); });
        b.MouseLeave.Connect([this] { events.push_back("MouseLeave"); });
        b.MouseMove.Connect([this](int, int, float, float) { events.push_back("MouseMove"); });
    }
    int Count(const std::string& name) const
    {
        int n = 0;
        for (auto& e : events)
            n += e == name ? 1 : 0;
        return n;
    }
    // The events without the mouse moves.
    std::vector<std::string> Essential() const
    {
        std::vector<std::string> out;
        for (auto& e : events)
            if (e != "MouseMove")
                out.push_back(e);
        return out;
    }
};

// True once no pop-up menu is open on the screen (the test runs alone).
::testing::AssertionResult MenuClosed()
{
    return WaitFor(
        [] {
            HWND menu = FindWindowW(L"#32768", nullptr);
            return !menu || !IsWindowVisible(menu);
        },
        5000, "the menu to close");
}

struct InputSetup {
    Placed placed;
    skin::dcButton* a;
    skin::dcButton* b;
    skin::dcButton* c;
    Logged log;
    InputSetup(long style = 0)
    {
        a = &placed.Add(L"A", {10, 10, kW, kH}, StyleBag(style, L"&Apply"));
        b = &placed.Add(L"B", {100, 10, kW, kH}, StyleBag(style, L"&Block"));
        c = &placed.Add(L"C", {190, 10, kW, kH}, StyleBag(style, L"&Close"));
        log.Attach(*b);
        Away();
        a->SetFocus();
        EXPECT_TRUE(PumpQueued());
        log.events.clear();
    }
    void Away() { EXPECT_TRUE(MoveMouseTo(placed.form.hWnd(), 300, 200)); }
    void Over(int x = kW / 2, int y = kH / 2) { EXPECT_TRUE(MoveMouseTo(b->hWnd(), x, y)); }
    ~InputSetup()
    {
        MouseLeft(false);
        Away();
    }
};
} // namespace

TEST(ButtonInput, HoverEntersOnceMovesAndLeavesThroughTheHook)
{
    InputSetup s;
    // Up to just below the button, then one step in: that step is the entering move.
    POINT below{kW / 2, kH + 4};
    MapWindowPoints(s.b->hWnd(), s.placed.form.hWnd(), &below, 1);
    ASSERT_TRUE(MoveMouseTo(s.placed.form.hWnd(), below.x, below.y));
    ASSERT_EQ(s.log.Count("MouseEnter"), 0);
    s.Over(kW / 2, kH - 2);
    ASSERT_TRUE(PumpUntil([&] { return s.log.Count("MouseEnter") == 1; }, 2000));
    EXPECT_EQ(s.b->DrawState(), skin::ButtonState::Hot);
    EXPECT_EQ(s.log.Count("MouseMove"), 0) << "the entering move raises no MouseMove";
    s.Over(kW / 2 + 3, kH / 2 + 1);
    EXPECT_GE(s.log.Count("MouseMove"), 1);
    s.Away();
    ASSERT_TRUE(PumpUntil([&] { return s.log.Count("MouseLeave") == 1; }, 2000));
    EXPECT_TRUE(PumpQueued());
    EXPECT_EQ(s.log.Count("MouseLeave"), 1);
    EXPECT_EQ(s.b->DrawState(), skin::ButtonState::Normal);
    s.Over();
    ASSERT_TRUE(PumpUntil([&] { return s.log.Count("MouseEnter") == 2; }, 2000)) << "the next visit enters again";
}

TEST(ButtonInput, ClickInsideRaisesEventsInOrderAndReleaseOutsideDoesNot)
{
    InputSetup s;
    s.Over();
    MouseLeft(true);
    EXPECT_EQ(s.b->DrawState(), skin::ButtonState::Pressed);
    EXPECT_EQ(GetFocus(), s.b->hWnd());
    MouseLeft(false);
    EXPECT_EQ(s.log.Essential(), (std::vector<std::string>{"MouseEnter", "MouseDown 1", "MouseUp 1", "Click"}));
    EXPECT_EQ(s.b->DrawState(), skin::ButtonState::Hot);

    s.log.events.clear();
    MouseLeft(true);
    s.Away();
    EXPECT_EQ(GetCapture(), s.b->hWnd()) << "the press keeps the mouse";
    MouseLeft(false);
    EXPECT_EQ(s.log.Count("Click"), 0) << "released outside: no Click";
    EXPECT_EQ(s.log.Count("MouseUp 1"), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(s.b->DrawState(), skin::ButtonState::Normal);

    s.log.events.clear();
    s.Over();
    MouseRight(true);
    MouseRight(false);
    EXPECT_EQ(s.log.Count("MouseDown 2"), 1);
    EXPECT_EQ(s.log.Count("MouseUp 2"), 0) << "no MouseUp for a right release";
    EXPECT_EQ(s.log.Count("Click"), 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(ButtonInput, DoubleClickRaisesOneClickThenDblClick)
{
    InputSetup s;
    s.Over();
    MouseLeft(true);
    MouseLeft(false);
    MouseLeft(true);
    MouseLeft(false);
    EXPECT_EQ(s.log.Essential(),
              (std::vector<std::string>{"MouseEnter", "MouseDown 1", "MouseUp 1", "Click", "DblClick", "MouseUp 1"}));
    EXPECT_EQ(s.b->DrawState(), skin::ButtonState::Hot);
}

TEST(ButtonInput, SpacePressesAndClicksOnRelease)
{
    InputSetup s;
    s.b->SetFocus();
    EXPECT_TRUE(PumpQueued());
    Key(VK_SPACE, true);
    EXPECT_EQ(s.b->DrawState(), skin::ButtonState::Pressed);
    EXPECT_EQ(s.log.Count("Click"), 0);
    Key(VK_SPACE, false);
    EXPECT_EQ(s.log.Essential(), (std::vector<std::string>{"KeyDown 32/0", "KeyPress 32", "Click", "KeyUp 32"}));
    EXPECT_EQ(GetCapture(), nullptr);

    s.log.events.clear();
    Key(VK_SPACE, true);
    Tap('X');
    Key(VK_SPACE, false);
    EXPECT_EQ(s.log.Count("Click"), 0) << "another key cancels the press";

    s.log.events.clear();
    // Alt+Space also opens the form's system menu, as everywhere: close it from its loop.
    UINT_PTR closer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    Key(VK_MENU, true);
    Key(VK_SPACE, true);
    EXPECT_NE(s.b->DrawState(), skin::ButtonState::Pressed) << "Alt+Space does not press";
    Key(VK_SPACE, false);
    Key(VK_MENU, false);
    EXPECT_TRUE(MenuClosed());
    KillTimer(nullptr, closer);
    EXPECT_TRUE(PumpQueued());
    EXPECT_EQ(s.log.Count("KeyDown 32/4"), 1);
    EXPECT_EQ(s.log.Count("Click"), 0);
}

TEST(ButtonInput, AccessKeyClicksFromAnywhereOnTheForm)
{
    InputSetup s;
    ASSERT_EQ(GetFocus(), s.a->hWnd());
    Key(VK_MENU, true);
    Tap('B');
    Key(VK_MENU, false);
    EXPECT_EQ(s.log.Count("Click"), 1);
    s.b->SetEnabled(false);
    Key(VK_MENU, true);
    Tap('B');
    Key(VK_MENU, false);
    EXPECT_EQ(s.log.Count("Click"), 1) << "a disabled button's access key does nothing";
}

TEST(ButtonInput, ArrowKeysMoveTheFocusAndNeverRaiseKeyDown)
{
    InputSetup s;
    s.b->SetFocus();
    EXPECT_TRUE(PumpQueued());
    Tap(VK_RIGHT);
    EXPECT_EQ(GetFocus(), s.c->hWnd());
    s.c->SetFocus();
    s.b->SetFocus();
    EXPECT_TRUE(PumpQueued());
    Tap(VK_UP);
    EXPECT_EQ(GetFocus(), s.a->hWnd());
    s.b->SetFocus();
    EXPECT_TRUE(PumpQueued());
    Key(VK_SHIFT, true);
    Tap(VK_DOWN);
    Key(VK_SHIFT, false);
    EXPECT_EQ(GetFocus(), s.b->hWnd()) << "with Shift the focus stays";
    for (auto& e : s.log.events)
        EXPECT_EQ(e.rfind("KeyDown 3", 0) == 0 || e.rfind("KeyDown 4", 0) == 0, false) << e;

    s.log.events.clear();
    Key(VK_SPACE, true);
    Tap(VK_RIGHT);
    EXPECT_EQ(GetFocus(), s.c->hWnd());
    EXPECT_EQ(s.log.Count("Click"), 1) << "Space held and an arrow: the focus moves, then one click";
    Key(VK_SPACE, false);
    EXPECT_EQ(s.log.Count("Click"), 1);
}

TEST(ButtonInput, DisabledOrHiddenButtonsGiveNoClickAndNoCapture)
{
    InputSetup s;
    s.b->SetEnabled(false);
    s.Over();
    MouseLeft(true);
    MouseLeft(false);
    EXPECT_EQ(s.log.Count("Click"), 0);
    s.b->SetEnabled(true);

    s.b->SetFocus();
    EXPECT_TRUE(PumpQueued());
    Key(VK_SPACE, true);
    EXPECT_EQ(GetCapture(), s.b->hWnd());
    s.b->SetEnabled(false);
    EXPECT_EQ(GetCapture(), nullptr) << "disabled while Space is held";
    Key(VK_SPACE, false);
    EXPECT_EQ(s.log.Count("Click"), 0);
    s.b->SetEnabled(true);

    s.Over();
    MouseLeft(true);
    EXPECT_EQ(GetCapture(), s.b->hWnd());
    s.b->SetEnabled(false);
    EXPECT_EQ(GetCapture(), nullptr) << "disabled while the mouse is pressed";
    MouseLeft(false);
    EXPECT_EQ(s.log.Count("Click"), 0);
    s.b->SetEnabled(true);

    s.Over();
    MouseLeft(true);
    s.b->SetVisible(false);
    EXPECT_EQ(GetCapture(), nullptr) << "hidden while the mouse is pressed";
    MouseLeft(false);
    EXPECT_EQ(s.log.Count("Click"), 0);
    s.b->SetVisible(true);
    s.b->SetFocus();
    EXPECT_TRUE(PumpQueued());
    Key(VK_SPACE, true);
    s.b->SetVisible(false);
    EXPECT_EQ(GetCapture(), nullptr) << "hidden while Space is held";
    Key(VK_SPACE, false);
    EXPECT_EQ(s.log.Count("Click"), 0);
    s.b->SetVisible(true);
}

TEST(ButtonInput, PopupMenuReplacesTheClick)
{
    InputSetup s;
    rt::Menu menu(L"mnuButton", L"Button");
    menu.Add(L"mnuOne", L"One");
    int opened = 0;
    int id = rt::MenuOpening().Connect([&](const std::wstring& name) {
        if (name != L"mnuButton")
            return;
        ++opened;
        // Inside the menu's own loop: release the button, then close the menu over the button.
        SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR t, DWORD) {
            KillTimer(nullptr, t);
            INPUT up{};
            up.type = INPUT_MOUSE;
            up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(1, &up, sizeof(up));
            SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR t2, DWORD) {
                KillTimer(nullptr, t2);
                EndMenu();
            });
        });
    });
    s.b->SetPopupMenu(&menu, 0);
    s.Over();
    MouseLeft(true);
    ASSERT_TRUE(WaitFor([&] { return opened == 1; }, 2000, "the menu"));
    EXPECT_TRUE(MenuClosed());
    EXPECT_EQ(s.log.Count("Click"), 0);
    EXPECT_EQ(s.log.Count("MouseDown 1"), 0) << "no MouseDown in pop-up mode";
    MouseLeft(true);
    MouseLeft(false);
    EXPECT_EQ(opened, 1) << "closed over the button: the next press only re-arms";
    PassDoubleClickTime();
    MouseLeft(true);
    ASSERT_TRUE(WaitFor([&] { return opened == 2; }, 2000, "the menu again"));
    EXPECT_TRUE(MenuClosed());

    s.b->UnsetPopupMenu();
    PassDoubleClickTime();
    MouseLeft(true);
    MouseLeft(false);
    EXPECT_EQ(s.log.Count("Click"), 1);
    rt::MenuOpening().Disconnect(id);
}
