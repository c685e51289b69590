// The property-page frame and the controls a page places, under real input, and their layout
// at the prefix's DPI (VANTOREL_DPI).
#include "runtime/ComboBox.h"
#include "runtime/OpenDialog.h"
#include "runtime/PropertyPageHost.h"
#include "runtime/Runtime.h"
#include "runtime/Shape.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Target : rt::Selectable {
    int value = 0;
};

class TestPage : public rt::PropertyPage {
public:
    TestPage() : rt::PropertyPage(L"Test Page", 4800, 3600)
    {
        Pick.Click.Connect([this] {
            log.push_back("Pick");
            SetChanged(true);
        });
        Choice.Click.Connect([this] {
            log.push_back("Choice " + std::to_string(Choice.ListIndex()));
            SetChanged(true);
        });
    }
    rt::Shape Frame{L"Frame"};
    rt::PushButton Pick{L"Pick"};
    rt::ComboBox Choice{L"Choice"};
    std::vector<std::string> log;

protected:
    void CreateControls(rt::Form& frame) override
    {
        Frame.Create(frame, hWnd(), rt::BoundsFromTwips(150, 210, 2880, 2880));
        // Inside the shape: a click there must reach it.
        Pick.Create(frame, hWnd(), rt::BoundsFromTwips(600, 1500, 1605, 480), L"Pick");
        Choice.Create(frame, hWnd(), rt::BoundsFromTwips(120, 3120, 2955, 330), L"Arial", 8.25);
        for (const wchar_t* t : {L"zero", L"one", L"two"})
            Choice.AddItem(t);
    }
    void SelectionChanged() override
    {
        log.push_back("SelectionChanged " + std::to_string(Live()));
        Choice.SetListIndex(0);
        SetChanged(false);
    }
    void ApplyChanges() override
    {
        log.push_back("ApplyChanges " + std::to_string(Live()));
        for (const auto& ref : SelectedControls()) {
            if (auto target = std::dynamic_pointer_cast<Target>(ref.lock()))
                target->value = Choice.ListIndex();
        }
    }

private:
    int Live() const
    {
        int n = 0;
        for (const auto& ref : SelectedControls())
            n += !ref.expired();
        return n;
    }
};

int ExpectedDpi()
{
    const char* v = std::getenv("VANTOREL_DPI");
    return v ? std::atoi(v) : 96;
}

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

RECT InFrame(HWND hwnd, HWND frame)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, frame, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class PageHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::InitControls();
        // A quit left by the last test's forms would end the modal run at once.
        ASSERT_TRUE(test::PumpQueued());
        owner.Load();
        SetWindowPos(owner.hWnd(), HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
        owner.Show();
        auto made = std::make_unique<TestPage>();
        page = made.get();
        host = std::make_unique<rt::PropertyPageHost>(std::move(made), std::vector<std::weak_ptr<rt::Selectable>>{
                                                                            first->WeakRef(), second->WeakRef()});
    }
    void TearDown() override
    {
        host.reset();
        owner.Unload();
    }

    // Opens the frame modally and runs `script` inside its run, once it has painted.
    void RunModal(const std::function<void()>& script)
    {
        host->Load();
        ASSERT_TRUE(host->hWnd());
        SetWindowPos(host->hWnd(), HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE);
        bool ran = false;
        host->AfterFirstPaint([&] {
            script();
            ran = true;
            // A frame left open would hold the run, and the test, for ever.
            auto closed = test::WaitFor([&] { return !IsWindowVisible(host->hWnd()); }, 5000, "the frame to close");
            EXPECT_TRUE(closed);
            if (!closed)
                host->Hide();
        });
        host->ShowPage(owner.hWnd());
        EXPECT_TRUE(ran);
        EXPECT_FALSE(host->IsLoaded()) << "the frame outlived its run";
    }
    static void Click(const rt::Control& c)
    {
        RECT r{};
        GetClientRect(c.hWnd(), &r);
        EXPECT_EQ(test::ClickAt(c.hWnd(), {r.right / 2, r.bottom / 2}, MOUSEEVENTF_LEFTDOWN), "")
            << test::Narrow(c.Name());
        EXPECT_TRUE(test::PumpQueued());
    }
    // Drops the list down with a click and clicks its entry `index`.
    void Choose(int index)
    {
        Click(page->Choice);
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetComboBoxInfo(page->Choice.hWnd(), &info));
        ASSERT_TRUE(test::WaitFor([&] { return IsWindowVisible(info.hwndList) != FALSE; }, 5000, "the dropped list"));
        RECT item{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(info.hwndList, &at);
        ASSERT_EQ(test::WhyNotOn(info.hwndList, at), "");
        ASSERT_EQ(test::MoveCursorTo(at), "");
        EXPECT_TRUE(test::SendMouse(MOUSEEVENTF_LEFTDOWN));
        EXPECT_TRUE(test::SendMouse(MOUSEEVENTF_LEFTUP));
        EXPECT_TRUE(test::WaitFor([&] { return !IsWindowVisible(info.hwndList); }, 5000, "the list to close"));
    }

    rt::Form owner{L"Owner", L"Owner", 3000, 2000};
    std::unique_ptr<Target> first = std::make_unique<Target>();
    std::unique_ptr<Target> second = std::make_unique<Target>();
    TestPage* page = nullptr;
    std::unique_ptr<rt::PropertyPageHost> host;
};

TEST_F(PageHost, ApplyAndOkApplyTheChoiceToTheSelectionThatIsLeft)
{
    RunModal([&] {
        EXPECT_FALSE(IsWindowEnabled(owner.hWnd())) << "the owner takes input during the modal run";
        EXPECT_EQ(host->Caption(), L"Test Page");
        EXPECT_FALSE(host->Apply.Enabled());
        Click(page->Pick);
        EXPECT_TRUE(host->Apply.Enabled());
        Choose(2);
        Click(host->Apply);
        EXPECT_FALSE(host->Apply.Enabled());
        EXPECT_EQ(first->value, 2);
        // A selected object that goes while the page is open drops out of what OK applies to.
        second.reset();
        Choose(1);
        Click(host->OK);
    });
    EXPECT_TRUE(IsWindowEnabled(owner.hWnd()));
    EXPECT_EQ(first->value, 1);
    EXPECT_EQ(page->log, (std::vector<std::string>{"SelectionChanged 2", "Choice 0", "Pick", "Choice 2",
                                                   "ApplyChanges 2", "Choice 1", "ApplyChanges 1"}));
}

TEST_F(PageHost, CancelAltF4AndUnchangedOkApplyNothing)
{
    for (const char* how : {"Cancel", "Alt+F4", "OK"}) {
        page->log.clear();
        RunModal([&] {
            if (std::string(how) == "OK") {
                Click(host->OK);
                return;
            }
            Choose(2);
            EXPECT_TRUE(host->Apply.Enabled());
            if (std::string(how) == "Cancel")
                Click(host->Cancel);
            else {
                // Wine's drop-down list keeps every system key: the key goes to a button.
                page->Pick.SetFocus();
                test::PressKey(VK_F4, {VK_MENU});
            }
        });
        EXPECT_EQ(first->value, 0) << how;
        for (const std::string& line : page->log)
            EXPECT_EQ(line.find("ApplyChanges"), std::string::npos) << how;
    }
}

TEST_F(PageHost, ComboBoxKeepsItemsInPlaceWithTheirDataAndRaisesClickOnAChange)
{
    host->Load();
    rt::ComboBox& c = page->Choice;
    c.Clear();
    EXPECT_EQ(c.ListIndex(), -1);
    c.AddItem(L"b");
    c.AddItem(L"a", 0);
    c.AddItem(L"c");
    c.SetItemData(2, 1056);
    EXPECT_EQ(c.List(0) + c.List(1) + c.List(2), L"abc");
    EXPECT_EQ(c.ItemData(2), 1056);
    page->log.clear();
    c.SetListIndex(2);
    c.SetListIndex(2);
    c.SetListIndex(7); // no such item: the choice stays
    EXPECT_EQ(c.Text(), L"c");
    EXPECT_EQ(page->log, (std::vector<std::string>{"Choice 2"}));
}

TEST_F(PageHost, LayoutScalesWithTheDpi)
{
    host->Load();
    const int dpi = ExpectedDpi();
    ASSERT_EQ(rt::DpiOf(host->hWnd()), dpi);
    auto s = [dpi](int v) { return MulDiv(v, dpi, 96); };
    HWND frame = host->hWnd();
    RECT client{};
    GetClientRect(frame, &client);
    EXPECT_EQ(client.right, s(336));
    EXPECT_EQ(client.bottom, s(287));
    struct Case {
        HWND hwnd;
        RECT at; // in 96-DPI pixels of the frame: left, top, right, bottom
    };
    const Case cases[] = {
        {page->hWnd(), {8, 8, 328, 248}},
        {page->Frame.hWnd(), {18, 22, 210, 214}},
        {page->Pick.hWnd(), {48, 108, 155, 140}},
        {page->Choice.hWnd(), {16, 216, 213, 238}},
        {host->OK.hWnd(), {91, 256, 166, 279}},
        {host->Cancel.hWnd(), {172, 256, 247, 279}},
        {host->Apply.hWnd(), {253, 256, 328, 279}},
    };
    for (const Case& c : cases) {
        RECT r = InFrame(c.hwnd, frame);
        const int x = s(c.at.left), y = s(c.at.top);
        EXPECT_EQ(Text(r), Text({x, y, x + s(c.at.right - c.at.left), y + s(c.at.bottom - c.at.top)}))
            << "case " << (&c - cases);
    }
    // The shape shows its line and lets the page show through inside.
    host->Show();
    ASSERT_TRUE(test::PumpQueued());
    RECT shape{};
    GetWindowRect(page->Frame.hWnd(), &shape);
    test::ScreenPixels px = test::CaptureScreen({shape.left, shape.top, shape.left + s(20), shape.top + s(20)});
    ASSERT_EQ(px.pixels.size(), static_cast<std::size_t>(s(20) * s(20)));
    EXPECT_EQ(px.pixels[0], 0u);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(px.pixels.back(), (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face));
}

// Runs the steps of a key test from a timer of the frame's own run, so that the keys reach the
// frame through its loop and no other.
std::function<void()> g_keyStep;
void CALLBACK RunKeyStep(HWND, UINT, UINT_PTR, DWORD) { g_keyStep(); }

TEST_F(PageHost, KeysMoveTheFocusInTabOrderAndEnterAndEscapePressTheirButtons)
{
    // A key pressed with Shift or not, and where the focus is after it ("" once the frame closed).
    struct Step {
        WORD key;
        bool shift;
        const wchar_t* focus;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps; // the first is where the focus is when the frame opens
        int applied;
    };
    const Case cases[] = {
        // Apply is skipped while it is grey, and taken once a new choice enables it.
        {"Tab, Shift+Tab, an arrow, then Esc",
         {{0, false, L"Pick"}, {VK_TAB, false, L"Choice"}, {VK_TAB, false, L"OK"}, {VK_TAB, false, L"Cancel"},
          {VK_TAB, false, L"Pick"}, {VK_TAB, true, L"Cancel"}, {VK_LEFT, false, L"OK"}, {VK_TAB, true, L"Choice"},
          {VK_DOWN, false, L"Choice"}, {VK_TAB, false, L"OK"}, {VK_TAB, false, L"Cancel"}, {VK_TAB, false, L"Apply"},
          {VK_ESCAPE, false, L""}},
         0},
        {"Enter in the list presses OK",
         {{0, false, L"Pick"}, {VK_TAB, false, L"Choice"}, {VK_DOWN, false, L"Choice"}, {VK_RETURN, false, L""}},
         1},
        {"Enter on Cancel presses Cancel",
         {{0, false, L"Pick"}, {VK_TAB, false, L"Choice"}, {VK_DOWN, false, L"Choice"}, {VK_TAB, false, L"OK"},
          {VK_TAB, false, L"Cancel"}, {VK_RETURN, false, L""}},
         0},
    };
    for (const Case& c : cases) {
        first->value = 0;
        host->Load();
        SetWindowPos(host->hWnd(), HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE);
        std::size_t at = 0;
        ULONGLONG deadline = GetTickCount64() + 5000;
        std::string failure;
        g_keyStep = [&] {
            const Step& s = c.steps[at];
            const bool there = *s.focus ? GetForegroundWindow() == host->hWnd() &&
                                              GetFocus() == host->FindControl(s.focus)->hWnd()
                                        : !IsWindowVisible(host->hWnd());
            if (!failure.empty() || (there && at + 1 == c.steps.size()))
                return;
            if (there) {
                deadline = GetTickCount64() + 5000;
                const Step& next = c.steps[++at];
                test::PressKey(next.key, next.shift ? std::vector<WORD>{VK_SHIFT} : std::vector<WORD>{});
            } else if (GetTickCount64() > deadline) {
                failure = "step " + std::to_string(at) + ": focus on " + test::Narrow(rt::WindowText(GetFocus()));
                host->Hide();
            }
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, &RunKeyStep);
        host->ShowPage(owner.hWnd());
        KillTimer(nullptr, timer);
        EXPECT_EQ(failure, "") << c.name;
        EXPECT_EQ(at + 1, c.steps.size()) << c.name << ": the frame closed before the last key";
        EXPECT_EQ(first->value, c.applied) << c.name;
    }
}

// Inside the dialog's own loop: once the open dialog has the foreground, its title is kept
// and Escape pressed, as a user's key.
std::wstring g_dialogTitle;
void CALLBACK EscapeTheDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND fg = GetForegroundWindow();
    wchar_t cls[16] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(fg, &pid);
    if (!fg || pid != GetCurrentProcessId() || !GetClassNameW(fg, cls, 16) || std::wstring(cls) != L"#32770")
        return;
    KillTimer(nullptr, id);
    g_dialogTitle = rt::WindowText(fg);
    test::PressKey(VK_ESCAPE);
}

TEST(OpenDialog, OpensOnARealClickAndAnEscapeCancelsIt)
{
    test::InitControls();
    ASSERT_TRUE(test::PumpQueued());
    rt::Form form(L"Browse", L"Browse", 3000, 2000);
    rt::PushButton browse(L"Browse");
    std::vector<std::wstring> results;
    browse.Click.Connect([&] {
        SetTimer(nullptr, 0, 50, &EscapeTheDialog);
        results.push_back(rt::ShowOpenDialog(form.hWnd(), L"All Files\0*.*\0", L"Select Image",
                                             OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES | OFN_ENABLESIZING));
    });
    form.Load();
    browse.Create(form, form.hWnd(), {8, 8, 107, 32}, L"Browse");
    form.Show();
    ASSERT_EQ(test::ClickAt(browse.hWnd(), {50, 16}, MOUSEEVENTF_LEFTDOWN), "");
    EXPECT_TRUE(test::WaitFor([&] { return !results.empty(); }, 20000, "the dialog to close"));
    EXPECT_EQ(g_dialogTitle, L"Select Image");
    EXPECT_EQ(results, std::vector<std::wstring>{L""});
    form.Unload();
}

} // namespace
