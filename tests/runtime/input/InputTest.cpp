// The host layer's events under real input (SendInput): each is raised by the message that a
// user's click or key produces, not only by one a test could post.
#include "runtime/Form.h"
#include "runtime/ListView.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class InputForm : public rt::Form {
public:
    InputForm() : rt::Form(L"InputForm", L"InputForm", 7500, 5000) {}
    rt::ListView Connections{L"Connections"};
    rt::ListBox Days{L"Days"};
    rt::CheckBox Check{L"Check"};
    rt::TextBox Text{L"Text"};
    rt::Label Caption{L"Caption"};

protected:
    void CreateControls() override
    {
        Connections.Create(*this, hWnd(), {8, 8, 300, 120});
        for (const wchar_t* title : {L"Local Port", L"Remote IP", L"Remote Port", L"Status"})
            Connections.AddColumn(title, 70);
        Days.Create(*this, hWnd(), {320, 8, 150, 120});
        Check.Create(*this, hWnd(), {8, 140, 200, 20}, L"Check");
        Text.Create(*this, hWnd(), {8, 170, 150, 22}, L"");
        Caption.Create(*this, hWnd(), {8, 200, 150, 20}, L"Caption");
    }
};

// Every event of a control as one line: "MouseUp 2 @row 1", "KeyPress 97", ...
struct Log {
    std::vector<std::string> lines;
    void Mouse(rt::IntrinsicControl& c, const std::function<std::string()>& state = {})
    {
        c.MouseDown.Connect([this, state](int b, int, int, int) { Add("MouseDown " + std::to_string(b), state); });
        c.MouseUp.Connect([this, state](int b, int, int, int) { Add("MouseUp " + std::to_string(b), state); });
    }
    void Add(std::string line, const std::function<std::string()>& state)
    {
        lines.push_back(state ? line + " @" + state() : line);
    }
};

class RealInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::InitControls();
        form.Load();
        SetWindowPos(form.hWnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
        form.Show();
        ASSERT_EQ(test::BringToForeground(form.hWnd()), "");
        for (int i = 0; i < 4; ++i) {
            form.Connections.AddItem(L"3389");
            form.Connections.SetSubItem(i, 1, L"127.0.0." + std::to_wstring(i + 2));
            form.Days.AddItem(L"198.51.100." + std::to_wstring(i + 2));
        }
    }
    void TearDown() override { form.Unload(); }

    POINT RowOf(const rt::ListView& list, int i)
    {
        RECT r{LVIR_LABEL, 0, 0, 0};
        SendMessageW(list.hWnd(), LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return {r.left + 10, (r.top + r.bottom) / 2};
    }
    POINT RowOf(const rt::ListBox& list, int i)
    {
        RECT r{};
        SendMessageW(list.hWnd(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return {r.left + 10, (r.top + r.bottom) / 2};
    }
    void Click(const rt::Control& c, POINT at, DWORD downFlag, std::size_t events, Log& log)
    {
        ASSERT_EQ(test::ClickAt(c.hWnd(), at, downFlag), "");
        EXPECT_TRUE(test::PumpUntil([&] { return log.lines.size() >= events; }, 5000))
            << "only " << log.lines.size() << " of " << events << " events";
        EXPECT_TRUE(test::PumpQueued()); // nothing more may follow
    }

    InputForm form;
};

} // namespace

TEST_F(RealInput, ListClicksRaiseDownAndUpOnceWithTheClickedRowSelected)
{
    std::function<std::string()> viewRow = [&] { return "row " + std::to_string(form.Connections.SelectedIndex()); };
    std::function<std::string()> boxRow = [&] { return "row " + std::to_string(form.Days.ListIndex()); };
    Log view, box;
    view.Mouse(form.Connections, viewRow);
    box.Mouse(form.Days, boxRow);
    form.Days.Click.Connect([&] { box.Add("Click", boxRow); });
    form.Connections.SetSelectedIndex(0);
    form.Days.SetListIndex(0);

    Click(form.Connections, RowOf(form.Connections, 2), MOUSEEVENTF_RIGHTDOWN, 2, view);
    Click(form.Connections, RowOf(form.Connections, 1), MOUSEEVENTF_LEFTDOWN, 4, view);
    Click(form.Days, RowOf(form.Days, 2), MOUSEEVENTF_RIGHTDOWN, 3, box);
    Click(form.Days, {10, 110}, MOUSEEVENTF_RIGHTDOWN, 6, box); // below the rows
    EXPECT_EQ(view.lines, (std::vector<std::string>{"MouseDown 2 @row 2", "MouseUp 2 @row 2", "MouseDown 1 @row 1",
                                                    "MouseUp 1 @row 1"}));
    EXPECT_EQ(box.lines, (std::vector<std::string>{"Click @row 2", "MouseDown 2 @row 2", "MouseUp 2 @row 2",
                                                   "Click @row -1", "MouseDown 2 @row -1", "MouseUp 2 @row -1"}));

    // A release the list view never saw pressed is no click.
    view.lines.clear();
    SendMessageW(form.Connections.hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(10, 30));
    EXPECT_TRUE(test::PumpQueued());
    EXPECT_TRUE(view.lines.empty());
}

TEST_F(RealInput, MenuKeyAndShiftF10AskForTheMenuAtTheSelectedRow)
{
    form.Connections.SetSelectedIndex(2);
    form.Days.SetListIndex(1);
    RECT viewRow{LVIR_LABEL, 0, 0, 0}, boxRow{};
    SendMessageW(form.Connections.hWnd(), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&viewRow));
    SendMessageW(form.Days.hWnd(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&boxRow));
    struct Case {
        rt::IntrinsicControl& control;
        POINT expected;
    };
    const Case cases[] = {{form.Connections, {viewRow.left, viewRow.bottom}}, {form.Days, {boxRow.left, boxRow.bottom}}};
    for (const Case& c : cases) {
        std::vector<std::string> log;
        c.control.MenuKey.Connect([&](int x, int y) { log.push_back(std::to_string(x) + "," + std::to_string(y)); });
        c.control.MouseUp.Connect([&](int b, int, int, int) { log.push_back("MouseUp " + std::to_string(b)); });
        c.control.SetFocus();
        ASSERT_EQ(GetFocus(), c.control.hWnd());
        test::PressKey(VK_APPS);
        test::PressKey(VK_F10, {VK_SHIFT});
        EXPECT_TRUE(test::PumpUntil([&] { return log.size() >= 2; }, 5000)) << test::Narrow(c.control.Name());
        EXPECT_TRUE(test::PumpQueued());
        std::string at = std::to_string(c.expected.x) + "," + std::to_string(c.expected.y);
        EXPECT_EQ(log, (std::vector<std::string>{at, at})) << test::Narrow(c.control.Name());
    }
}

TEST_F(RealInput, CheckBoxTextBoxAndLabelHearTheUser)
{
    Log log;
    form.Check.Click.Connect([&] { log.lines.push_back("Check Click " + std::to_string(form.Check.Value())); });
    form.Text.GotFocus.Connect([&] { log.lines.push_back("Text GotFocus"); });
    form.Text.KeyPress.Connect([&](int& k) { log.lines.push_back("Text KeyPress " + std::to_string(k)); });
    form.Text.KeyUp.Connect([&](int k, int) { log.lines.push_back("Text KeyUp " + std::to_string(k)); });
    form.Text.Change.Connect([&] { log.lines.push_back("Text Change " + test::Narrow(form.Text.Text())); });
    form.Text.LostFocus.Connect([&] { log.lines.push_back("Text LostFocus"); });
    log.Mouse(form.Caption);

    Click(form.Check, {8, 10}, MOUSEEVENTF_LEFTDOWN, 1, log);
    Click(form.Text, {20, 10}, MOUSEEVENTF_LEFTDOWN, 2, log);
    test::PressKey('A');
    EXPECT_TRUE(test::PumpUntil([&] { return log.lines.size() >= 5; }, 5000));
    Click(form.Caption, {10, 10}, MOUSEEVENTF_LEFTDOWN, 7, log);
    form.Check.SetFocus();
    EXPECT_TRUE(test::PumpUntil([&] { return log.lines.size() >= 8; }, 5000));
    test::PressKey(VK_SPACE);
    EXPECT_TRUE(test::PumpUntil([&] { return log.lines.size() >= 9; }, 5000));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Check Click 1", "Text GotFocus", "Text KeyPress 97", "Text Change a",
                                                   "Text KeyUp 65", "MouseDown 1", "MouseUp 1", "Text LostFocus",
                                                   "Check Click 0"}));
}
