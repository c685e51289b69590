#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "runtime/PropertyBag.h"
#include "runtime/Runtime.h"
#include "runtime/Timer.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

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
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        std::optional<rt::PropertyBag::Value> stored; // none: the key is missing
        std::int64_t min, max, expected;
    } cases[] = {
        {std::int64_t{7}, 0, 255, 7},
        {std::int64_t{900}, 0, 255, -1},
        {std::nullopt, 0, 255, -1},
        {std::wstring(L"x"), 0, 255, -1},
        {200.9, 0, 255, 200},
        {std::numeric_limits<double>::quiet_NaN(), INT64_MIN, INT64_MAX, -1},
        {inf, INT64_MIN, INT64_MAX, -1},
        {-inf, INT64_MIN, INT64_MAX, -1},
        {1e300, INT64_MIN, INT64_MAX, -1},
        {0x1p63, INT64_MIN, INT64_MAX, -1},
        {-0x1p63, INT64_MIN, INT64_MAX, INT64_MIN},
    };
    for (const auto& c : cases) {
        rt::PropertyBag bag;
        if (c.stored)
            bag.Set(L"Key", *c.stored);
        EXPECT_EQ(bag.ReadInt(L"Key", -1, c.min, c.max), c.expected) << "case " << &c - cases;
    }
    EXPECT_EQ(rt::PropertyBag::With(L"Text", std::wstring(L"x")).ReadString(L"Text", L""), L"x");

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
