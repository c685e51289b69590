#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/PropertyBag.h"
#include "runtime/Runtime.h"
#include "runtime/Timer.h"
#include "runtime/UserControl.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <commctrl.h>
#include <utility>

namespace {

class ProbeForm : public rt::Form {
public:
    ProbeForm() : rt::Form(L"ProbeForm", L"Probe", 3000, 2000) {}
    rt::Label label{L"label"};
    rt::Timer timer{L"timer", 10};
    int unloads = 0;
    std::function<void()> onTick;

protected:
    void CreateControls() override
    {
        label.Create(*this, hWnd(), {4, 4, 80, 20}, L"probe");
        timer.Create(*this);
        timer.Tick.Connect([this] {
            if (onTick)
                onTick();
        });
    }
    void Form_Unload() override { ++unloads; }
};

} // namespace

TEST(FormUnload, WaitsUntilTheHandlerOnTheStackReturns)
{
    ProbeForm form;
    form.Load();
    ASSERT_TRUE(IsWindow(form.hWnd()));
    bool windowAliveAfterPump = false;
    bool ran = false;
    form.onTick = [&] {
        if (ran)
            return;
        ran = true;
        form.Unload();
        // Messages pumped inside the handler must not destroy what the handler still uses.
        rt::YieldToOtherMessages();
        windowAliveAfterPump = IsWindow(form.label.hWnd()) && IsWindow(form.hWnd());
        form.label.SetCaption(L"still here");
    };
    form.timer.SetEnabled(true);
    ASSERT_TRUE(test::PumpUntil([&] { return !form.IsLoaded(); }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(windowAliveAfterPump);
    EXPECT_EQ(form.unloads, 1);
    EXPECT_EQ(form.hWnd(), nullptr);
    EXPECT_EQ(form.label.hWnd(), nullptr);
}

TEST(FormUnload, RunsTheUnloadHandlerOnceAndPostsQuitWithTheLastForm)
{
    MSG stale;
    while (PeekMessageW(&stale, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ProbeForm form;
    form.Load();
    form.Unload();
    form.Unload();
    EXPECT_EQ(form.unloads, 1);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_TRUE(rt::Form::Forms().empty());
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the process ends with its last form";
}

TEST(FormUnload, CloseMessageUnloadsTheForm)
{
    ProbeForm form;
    form.Load();
    PostMessageW(form.hWnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return !form.IsLoaded(); }));
    EXPECT_EQ(form.unloads, 1);
}

TEST(CommandLine, ArgumentTextFollowsTheProgramName)
{
    EXPECT_EQ(rt::CommandLineArgs(L"\"C:\\Program Files\\Vantorel\\Ostrevi.exe\" /startup"), L"/startup");
    EXPECT_EQ(rt::CommandLineArgs(L"Ostrevi.exe   /startup x"), L"  /startup x");
    EXPECT_EQ(rt::CommandLineArgs(L"\"C:\\a b\\Ostrevi.exe\""), L"");
    EXPECT_EQ(rt::CommandLineArgs(L"Ostrevi.exe"), L"");
    EXPECT_EQ(rt::CommandLineArgs(L"Brennix.exe 203.0.113.7 "), L"203.0.113.7 ");
}

TEST(PropertyBag, TypedReadsTakeDefaultsAndIgnoreOutOfRange)
{
    rt::PropertyBag bag;
    bag.Set(L"Edge", std::int64_t{7}).Set(L"Big", std::int64_t{900}).Set(L"Text", std::wstring(L"x"));
    EXPECT_EQ(bag.ReadInt(L"Edge", 0, 0, 255), 7);
    EXPECT_EQ(bag.ReadInt(L"Big", 3, 0, 255), 3) << "out of range keeps the default";
    EXPECT_EQ(bag.ReadInt(L"Missing", 5, 0, 255), 5);
    EXPECT_EQ(bag.ReadInt(L"Text", 4, 0, 255), 4) << "a value of another type keeps the default";
    EXPECT_EQ(bag.ReadString(L"Text", L""), L"x");
    // A double is cut to its integer; one without an integer value keeps the default.
    const std::pair<double, std::int64_t> doubles[] = {{200.9, 200}, {-0x1p63, INT64_MIN}, {0x1p63, 6}, {1e300, 6},
                                                       {INFINITY, 6}, {-INFINITY, 6}, {NAN, 6}};
    for (auto [stored, expected] : doubles)
        EXPECT_EQ(rt::PropertyBag::With(L"D", stored).ReadInt(L"D", 6, INT64_MIN, INT64_MAX), expected) << stored;

    rt::PropertyBag out;
    out.WriteInt(L"Edge", 0, 0);
    out.WriteString(L"Caption", L"Go", L"");
    EXPECT_FALSE(out.Has(L"Edge")) << "a value equal to its default is not stored";
    EXPECT_TRUE(out.Has(L"Caption"));
}

TEST(Twips, FormSizeConvertsThroughTheScreenFactors)
{
    ProbeForm form;
    form.Load();
    RECT r;
    GetWindowRect(form.hWnd(), &r);
    // 3000 twips are 2.083 inches at any DPI, rounded to the nearest pixel.
    EXPECT_EQ(r.right - r.left, (3000 * rt::ScreenDpiX() + 720) / 1440);
    EXPECT_EQ(form.Width(), 3000) << "pixels read back as the twips they came from";
    form.Unload();
}

namespace {

class TipControl : public rt::UserControl {
public:
    TipControl() : rt::UserControl(L"tipped", L"TipControl") {}
    void Paint(HDC, int, int) override {}
};

class TipForm : public rt::Form {
public:
    TipForm() : rt::Form(L"TipForm", L"Tip", 3000, 2000) {}
    TipControl control;

protected:
    void CreateControls() override
    {
        control.Create(*this, hWnd(), {4, 4, 40, 20});
        control.SetToolTipText(L"tip");
    }
};

BOOL CALLBACK CountTipsOf(HWND hwnd, LPARAM lp)
{
    auto* found = reinterpret_cast<std::pair<HWND, int>*>(lp);
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && GetWindow(hwnd, GW_OWNER) == found->first)
        ++found->second;
    return TRUE;
}

} // namespace

TEST(UserControlTip, ComesBackWithTheControlOfAReloadedForm)
{
    TipForm form;
    for (int load = 0; load < 2; ++load) {
        form.Load();
        // The tip's window is made at the mouse's first visit.
        SendMessageW(form.control.hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form.control.hWnd()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        // The system makes the form, the control's top-level window, the tip's owner.
        std::pair<HWND, int> tips{form.hWnd(), 0};
        EnumThreadWindows(GetCurrentThreadId(), &CountTipsOf, reinterpret_cast<LPARAM>(&tips));
        EXPECT_EQ(tips.second, 1) << "load " << load;
        form.Unload();
        ASSERT_TRUE(test::PumpUntil([&] { return !form.IsLoaded(); }));
    }
}
