// The hook chain: owners hooking one window before or after its procedure, releasing in
// either order, releasing from inside a callback, and the window's own messages arriving.
#include <gtest/gtest.h>

#include "ButtonFixture.h"
#include "skin/WindowHook.h"
#include "tests/support/TestSupport.h"

using namespace test;

namespace {
constexpr UINT kPing = WM_APP + 7;

// A window that counts the pings its own procedure receives.
class CountingForm : public rt::Form {
public:
    CountingForm() : rt::Form(L"Counting", L"Counting", 2000, 2000) {}
    int pings = 0;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == kPing) {
            ++pings;
            return 100 + static_cast<LRESULT>(wp);
        }
        return rt::Form::WndProc(msg, wp, lp);
    }
};

class Listener : public skin::WindowHookOwner {
public:
    skin::WindowHooks hooks{*this};
    std::vector<std::pair<bool, UINT>> seen;
    LRESULT lastResult = 0;
    bool swallow = false;
    bool releaseInside = false;
    void SubclassCallback(bool before, bool& handled, LRESULT& result, HWND hwnd, UINT msg, WPARAM, LPARAM,
                          LONG_PTR& user) override
    {
        seen.push_back({before, msg});
        lastResult = result;
        ++user;
        if (before && swallow) {
            handled = true;
            result = 7;
        }
        if (releaseInside)
            hooks.Release(hwnd);
    }
    int Count(UINT msg) const
    {
        int n = 0;
        for (auto& s : seen)
            n += s.second == msg ? 1 : 0;
        return n;
    }
};

// One loaded (hidden) window for these tests: destroying it is cheap, hiding is not needed.
CountingForm& Window()
{
    static CountingForm* f = [] {
        auto* form = new CountingForm;
        form->Load();
        return form;
    }();
    return *f;
}
} // namespace

TEST(WindowHook, TwoOwnersReleaseInEitherOrderAndTheWindowKeepsItsMessages)
{
    for (bool firstGoesFirst : {true, false}) {
        CountingForm& w = Window();
        HWND h = w.hWnd();
        Listener a, b;
        ASSERT_TRUE(a.hooks.Subclass(h));
        ASSERT_TRUE(b.hooks.Subclass(h));
        a.hooks.WatchMessage(h, kPing, skin::kHookAfter);
        b.hooks.WatchMessage(h, kPing, skin::kHookBoth);
        w.pings = 0;
        EXPECT_EQ(SendMessageW(h, kPing, 1, 0), 101);
        EXPECT_EQ(w.pings, 1);
        EXPECT_EQ(a.Count(kPing), 1);
        EXPECT_EQ(b.Count(kPing), 2);
        EXPECT_EQ(a.lastResult, 101) << "after calls see the procedure's result";

        (firstGoesFirst ? a : b).hooks.Release(h);
        Listener& stays = firstGoesFirst ? b : a;
        Listener& gone = firstGoesFirst ? a : b;
        int goneBefore = gone.Count(kPing), staysBefore = stays.Count(kPing);
        EXPECT_EQ(SendMessageW(h, kPing, 2, 0), 102);
        EXPECT_EQ(w.pings, 2) << "the window's own procedure still runs";
        EXPECT_EQ(gone.Count(kPing), goneBefore);
        EXPECT_GT(stays.Count(kPing), staysBefore) << "the remaining hook stays in the chain";
        stays.hooks.ReleaseAll();
        EXPECT_EQ(SendMessageW(h, kPing, 3, 0), 103);
        EXPECT_EQ(w.pings, 3);
        EXPECT_EQ(stays.Count(kPing), staysBefore + (firstGoesFirst ? 2 : 1));
    }
}

TEST(WindowHook, BeforeCallsMaySwallowAMessage)
{
    CountingForm& w = Window();
    Listener a;
    a.hooks.Subclass(w.hWnd());
    a.hooks.WatchMessage(w.hWnd(), kPing, skin::kHookBefore);
    a.swallow = true;
    w.pings = 0;
    EXPECT_EQ(SendMessageW(w.hWnd(), kPing, 0, 0), 7);
    EXPECT_EQ(w.pings, 0);
    a.swallow = false;
    EXPECT_EQ(SendMessageW(w.hWnd(), kPing, 0, 0), 100);
    EXPECT_EQ(w.pings, 1);
    EXPECT_EQ(a.hooks.UserData(w.hWnd()), 2) << "the user value is the owner's to change";
}

TEST(WindowHook, TablesSecondHooksAndReleaseFromInside)
{
    CountingForm& w = Window();
    HWND h = w.hWnd();
    Listener a;
    ASSERT_TRUE(a.hooks.Subclass(h));
    EXPECT_FALSE(a.hooks.Subclass(h)) << "one hook per window and owner";
    EXPECT_FALSE(a.hooks.Subclass(nullptr));
    a.hooks.WatchMessage(h, skin::kAllMessages, skin::kHookAfter);
    SendMessageW(h, WM_NULL, 0, 0);
    SendMessageW(h, kPing, 0, 0);
    EXPECT_EQ(a.Count(WM_NULL), 1) << "watching -1 hands over every message";
    a.hooks.WatchMessage(h, kPing, skin::kHookAfter);
    SendMessageW(h, WM_NULL, 0, 0);
    EXPECT_EQ(a.Count(WM_NULL), 1) << "a specific message turns the table back into a list";
    a.hooks.UnwatchMessage(h, kPing, skin::kHookAfter);
    SendMessageW(h, kPing, 0, 0);
    EXPECT_EQ(a.Count(kPing), 1);

    a.hooks.WatchMessage(h, kPing, skin::kHookBoth);
    a.releaseInside = true;
    w.pings = 0;
    EXPECT_EQ(SendMessageW(h, kPing, 5, 0), 105) << "released in the before call, the message still goes on";
    EXPECT_FALSE(a.hooks.IsHooked(h));
    EXPECT_EQ(a.Count(kPing), 2);
    SendMessageW(h, kPing, 0, 0);
    EXPECT_EQ(w.pings, 2);
    EXPECT_EQ(a.Count(kPing), 2);
}

TEST(WindowHook, ADestroyedWindowTakesItsHookWithIt)
{
    CountingForm w;
    w.Load();
    Listener a;
    ASSERT_TRUE(a.hooks.Subclass(w.hWnd()));
    HWND h = w.hWnd();
    DestroyWindow(h);
    EXPECT_FALSE(a.hooks.IsHooked(h));
}

TEST(WindowHook, TwoButtonsOnOneFormBothFollowActivationUntilOneIsGone)
{
    Placed p;
    p.Add(L"First", {10, 10, 80, 26}, StyleBag(0, L"One", 0xC0C0C0));
    skin::dcButton& second = p.Add(L"Second", {100, 10, 80, 26}, StyleBag(0, L"Two", 0xC0C0C0));
    HWND form = p.form.hWnd();
    // The default-button look shows the ring while the form is active; a plain form's
    // activation puts the focus on the form itself, so focus would not tell.
    p.form.SetDefaultControl(&second);
    second.Redraw(0, true);
    const std::uint32_t ring = 0xEFCEB8;
    EXPECT_EQ(PixelRgb(second, 40, 2), ring);
    // The first button goes first, though it hooked the form first.
    p.buttons.front().reset();
    SendMessageW(form, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_NE(PixelRgb(second, 40, 2), ring) << "deactivation reached the second button";
    SendMessageW(form, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(PixelRgb(second, 40, 2), ring) << "activation draws the default look again";
    p.form.SetDefaultControl(nullptr);
    p.form.Activate();
}
