#include "runtime/Form.h"
#include "skin/CFormBorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class PlainForm : public rt::Form {
public:
    PlainForm() : rt::Form(L"PlainForm", L"Border probe", 4500, 3000) {}
};

struct MenuEntry {
    UINT id;
    UINT state;
};

std::vector<MenuEntry> SystemMenu(HWND hwnd)
{
    std::vector<MenuEntry> out;
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        out.push_back({GetMenuItemID(menu, i), GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION)});
    return out;
}

const MenuEntry* FindEntry(const std::vector<MenuEntry>& menu, UINT id)
{
    for (auto& e : menu) {
        if (e.id == id)
            return &e;
    }
    return nullptr;
}

class CFormBorderTest : public ::testing::Test {
protected:
    void SetUp() override { form.Load(); }
    void TearDown() override { form.Unload(); }
    LONG_PTR Style() const { return GetWindowLongPtrW(form.hWnd(), GWL_STYLE); }
    PlainForm form;
    skin::CFormBorder border;
};

} // namespace

TEST_F(CFormBorderTest, WithoutClientNothingChangesAndGetsReadFalse)
{
    LONG_PTR before = Style();
    border.SetTitlebar(false);
    border.SetSizeable(false);
    border.SetMaxButton(false);
    EXPECT_EQ(Style(), before);
    EXPECT_FALSE(border.Titlebar());
    EXPECT_FALSE(border.Sizeable());
    EXPECT_FALSE(border.MaxButton());
    EXPECT_EQ(border.hWnd(), nullptr);
}

TEST_F(CFormBorderTest, ProgramsLoadSequenceStripsCaptionFrameAndMaximise)
{
    border.SetClient(&form);
    border.SetTitlebar(false);
    border.SetSizeable(false);
    border.SetMaxButton(false);
    LONG_PTR style = Style();
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(style & WS_SYSMENU, 0) << "the system menu stays";
    EXPECT_NE(style & WS_MINIMIZEBOX, 0) << "the minimise box stays";

    auto menu = SystemMenu(form.hWnd());
    EXPECT_EQ(FindEntry(menu, SC_SIZE), nullptr);
    EXPECT_EQ(FindEntry(menu, SC_MAXIMIZE), nullptr);
    const MenuEntry* size = FindEntry(menu, 0x7000);
    const MenuEntry* max = FindEntry(menu, 0x7030);
    ASSERT_NE(size, nullptr);
    ASSERT_NE(max, nullptr);
    EXPECT_TRUE(size->state & MF_GRAYED);
    EXPECT_TRUE(max->state & MF_GRAYED);
    const MenuEntry* move = FindEntry(menu, SC_MOVE);
    ASSERT_NE(move, nullptr);
    EXPECT_FALSE(move->state & MF_GRAYED);
}

TEST_F(CFormBorderTest, SizeableComesBackThroughTheRenumberedItem)
{
    border.SetClient(&form);
    border.SetSizeable(false);
    border.SetSizeable(true);
    auto menu = SystemMenu(form.hWnd());
    const MenuEntry* size = FindEntry(menu, SC_SIZE);
    ASSERT_NE(size, nullptr);
    EXPECT_FALSE(size->state & MF_GRAYED);
    EXPECT_NE(Style() & WS_THICKFRAME, 0);
    EXPECT_TRUE(border.Sizeable());
}

TEST_F(CFormBorderTest, MenuItemRules)
{
    border.SetClient(&form);
    auto before = SystemMenu(form.hWnd());
    border.EnableMenuItem(0xF1F0, false); // not in the menu
    auto after = SystemMenu(form.hWnd());
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].id, after[i].id);
        EXPECT_EQ(before[i].state, after[i].state);
    }

    border.EnableMenuItem(SC_MOVE, false);
    border.EnableMenuItem(SC_MOVE, false); // finds the renumbered item and writes the same
    auto twice = SystemMenu(form.hWnd());
    ASSERT_NE(FindEntry(twice, 0x7010), nullptr);
    EXPECT_TRUE(FindEntry(twice, 0x7010)->state & MF_GRAYED);
    EXPECT_FALSE(border.Moveable());
    border.SetMoveable(true);
    EXPECT_TRUE(border.Moveable());

    // An identifier below 0x8000 keeps its number and is only greyed.
    HMENU sys = GetSystemMenu(form.hWnd(), FALSE);
    AppendMenuW(sys, MF_STRING, 0x0123, L"Custom");
    border.EnableMenuItem(0x0123, false);
    auto custom = SystemMenu(form.hWnd());
    ASSERT_NE(FindEntry(custom, 0x0123), nullptr);
    EXPECT_TRUE(FindEntry(custom, 0x0123)->state & MF_GRAYED);
}

TEST_F(CFormBorderTest, RemovingCloseTakesTheItemAboveToo)
{
    border.SetClient(&form);
    auto before = SystemMenu(form.hWnd());
    int closePos = -1;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i].id == SC_CLOSE)
            closePos = static_cast<int>(i);
    }
    ASSERT_GT(closePos, 0);
    UINT above = before[static_cast<std::size_t>(closePos) - 1].id;
    border.RemoveMenuItem(SC_CLOSE);
    auto after = SystemMenu(form.hWnd());
    EXPECT_EQ(after.size(), before.size() - 2);
    EXPECT_EQ(FindEntry(after, SC_CLOSE), nullptr);
    if (above != 0) { // a separator has no identifier to look for
        EXPECT_EQ(FindEntry(after, above), nullptr);
    }

    border.RemoveMenuItem(SC_MAXIMIZE);
    EXPECT_EQ(Style() & WS_MAXIMIZEBOX, 0);
    auto noMax = SystemMenu(form.hWnd());
    EXPECT_EQ(FindEntry(noMax, SC_MAXIMIZE), nullptr);
    EXPECT_EQ(FindEntry(noMax, 0x7030), nullptr);
}

TEST_F(CFormBorderTest, TitlebarReadsEitherBitAndSetsBoth)
{
    border.SetClient(&form);
    border.SetTitlebar(false);
    SetWindowLongPtrW(form.hWnd(), GWL_STYLE, Style() | WS_BORDER);
    EXPECT_TRUE(border.Titlebar());
    border.SetTitlebar(true);
    EXPECT_EQ(Style() & WS_CAPTION, WS_CAPTION);
}

TEST_F(CFormBorderTest, ClientThatIsNoFormKeepsTheFormBefore)
{
    border.SetClient(&form);
    border.SetClient(nullptr);
    EXPECT_EQ(border.hWnd(), nullptr);
    EXPECT_EQ(border.Client(), &form);
}

TEST_F(CFormBorderTest, ExtendedStyles)
{
    border.SetClient(&form);
    border.SetToolWindow(true);
    EXPECT_TRUE(border.ToolWindow());
    border.SetToolWindow(false);
    EXPECT_FALSE(border.ToolWindow());
    border.SetTopMost(true);
    EXPECT_TRUE(border.TopMost());
    border.SetTopMost(false);
    EXPECT_FALSE(border.TopMost());
    EXPECT_FALSE(border.ShowSysMenu(40000, 0)) << "a coordinate outside 16 bits is refused";
}
