// A handler of an image control that unloads its form: the handler runs to its end with its
// control and window in place, then the control's window and the form's go, the message loop
// ends, and the form and its control are freed as a program frees them; nothing fires after.
#include "runtime/Form.h"
#include "runtime/Runtime.h"
#include "tests/alphaimage/ImageHost.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class NotedImage : public aic::aicAlphaImage {
public:
    explicit NotedImage(Log& log) : aic::aicAlphaImage(L"Image1"), log_(log) {}
    ~NotedImage() override { log_.push_back("control freed"); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_NCDESTROY)
            log_.push_back("control window gone");
        return aic::aicAlphaImage::WndProc(msg, wp, lp);
    }

private:
    Log& log_;
};

class UnloadingForm : public rt::Form {
public:
    explicit UnloadingForm(Log& log) : rt::Form(L"UnloadingForm", L"unloading form", 4000, 3000), image(log), log_(log)
    {
    }
    NotedImage image;

protected:
    void CreateControls() override
    {
        const test::Bytes bmp = test::PictureBmp(40, 30, true);
        rt::PropertyBag design;
        design.Set(L"Image", rt::PropertyBag::Bytes(bmp.begin(), bmp.end()));
        image.Create(*this, hWnd(), {10, 10, 40, 30}, &design);
        // The tip follows the mouse through a subclass of the window that a click unloads.
        image.SetToolTipText(L"tip");
    }
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_NCDESTROY)
            log_.push_back("form window gone");
        return rt::Form::WndProc(msg, wp, lp);
    }

private:
    Log& log_;
};

void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); }

UINT_PTR g_marker = 0;
bool g_markerFired = false;
int g_strayTimers = 0;
void CALLBACK MarkerFired(HWND, UINT, UINT_PTR, DWORD) { g_markerFired = true; }
LRESULT CALLBACK SeeTimers(int code, WPARAM wp, LPARAM lp)
{
    const auto* msg = reinterpret_cast<const MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && msg->message == WM_TIMER && msg->wParam != g_marker)
        ++g_strayTimers;
    return CallNextHookEx(nullptr, code, wp, lp);
}

// Timer messages of this thread while a few hover polls' time passes.
int TimersFiringLater()
{
    g_strayTimers = 0;
    g_markerFired = false;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &SeeTimers, nullptr, GetCurrentThreadId());
    g_marker = SetTimer(nullptr, 0, 500, &MarkerFired);
    EXPECT_TRUE(test::WaitFor([] { return g_markerFired; }, 5000, "the marker timer"));
    KillTimer(nullptr, g_marker);
    UnhookWindowsHookEx(hook);
    return g_strayTimers;
}

void ClickTheImage(UnloadingForm& f, std::function<void()> handler)
{
    f.image.Click.Connect([handler](int) { handler(); });
    RECT r{};
    GetClientRect(f.image.hWnd(), &r);
    EXPECT_EQ(test::ClickAt(f.image.hWnd(), {r.right / 2, r.bottom / 2}, MOUSEEVENTF_LEFTDOWN), "");
}

void FadeTheImageOut(UnloadingForm& f, std::function<void()> handler)
{
    f.image.FadeTerminated.Connect([handler](int) { handler(); });
    f.image.FadeInOut(0, 25, 10);
    EXPECT_EQ(f.image.Opacity(), 75) << "the rest of the fade is left to its timer";
}

TEST(AlphaImageUnload, HandlerThatUnloadsTheFormEndsBeforeItsControlAndWindowGo)
{
    test::InitControls();
    const struct Case {
        const char* event;
        // Connects the handler, then sets the event off by real input or the fade's timer.
        void (*setOff)(UnloadingForm&, std::function<void()>);
    } cases[] = {{"Click", &ClickTheImage}, {"FadeTerminated", &FadeTheImageOut}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        Log log;
        auto form = std::make_unique<UnloadingForm>(log);
        form->Load();
        form->Show();
        const HWND formWnd = form->hWnd(), imageWnd = form->image.hWnd();
        ASSERT_TRUE(test::WaitFor([&] { return IsWindowVisible(formWnd) && !GetUpdateRect(formWnd, nullptr, FALSE); },
                                  5000, "the form shown"));
        ASSERT_EQ(rt::Form::Forms().size(), 1u) << "the loop ends with the last form";
        c.setOff(*form, [&] {
            form->Unload();
            log.push_back(IsWindow(imageWnd) && form->IsLoaded() ? "handler ended" : "handler ended unloaded");
        });
        // The program's entry: its loop runs until the last form has gone, then frees the form.
        const UINT_PTR guard = SetTimer(nullptr, 0, 20000, &GiveUp);
        const int exitCode = rt::RunMessageLoop();
        KillTimer(nullptr, guard);
        EXPECT_EQ(exitCode, 0) << "the form never went";
        form.reset();
        EXPECT_EQ(log, (Log{"handler ended", "control window gone", "form window gone", "control freed"}));
        EXPECT_FALSE(IsWindow(imageWnd) || IsWindow(formWnd));
        EXPECT_EQ(TimersFiringLater(), 0);
    }
}

} // namespace
