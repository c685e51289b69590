#include "runtime/Form.h"
#include "runtime/ListView.h"
#include "tests/support/TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class ListForm : public rt::Form {
public:
    ListForm() : rt::Form(L"ListForm", L"ListForm", 6000, 4500) {}
    rt::ListView Sized{L"Sized"};
    rt::ListView Plain{L"Plain"};

protected:
    void CreateControls() override
    {
        for (rt::ListView* list : {&Sized, &Plain}) {
            list->Create(*this, hWnd(), {8, list == &Sized ? 8 : 150, 380, 130});
            list->AddColumn(L"Local Port", 40);
            list->AddColumn(L"Remote IP", 40);
            list->AddColumn(L"A rather long title", 40);
            list->AddColumn(L"Status", 40);
        }
    }
};

std::vector<rt::ListView::Row> Rows(int n)
{
    std::vector<rt::ListView::Row> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back({std::to_wstring(3389 + i), L"10.0." + std::to_wstring(i % 256) + L"." + std::to_wstring(i * 7 % 256),
                        std::to_wstring(50000 + i), i % 3 ? L"ESTABLISHED" : L"TIME_WAIT"});
    rows[static_cast<std::size_t>(n / 2)][1] = L"255.255.255.255";
    return rows;
}

// The text the control itself shows for a cell, asked through the control.
std::wstring ShownText(const rt::ListView& list, int item, int sub)
{
    wchar_t buf[64] = {};
    LVITEMW it{};
    it.iSubItem = sub;
    it.pszText = buf;
    it.cchTextMax = 64;
    SendMessageW(list.hWnd(), LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
    return buf;
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::InitControls();
        form.Load();
        form.Show();
    }
    void TearDown() override { form.Unload(); }
    ListForm form;
};

} // namespace

// Width of a column's title in its header's font, plus the header's text inset on both sides.
int TitleNeeds(const rt::ListView& list, const wchar_t* title)
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(list.hWnd(), LVM_GETHEADER, 0, 0));
    HDC dc = GetDC(header);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(header, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, title, static_cast<int>(wcslen(title)), &size);
    SelectObject(dc, old);
    ReleaseDC(header, dc);
    return size.cx + 6 * GetSystemMetrics(SM_CXEDGE);
}

LRESULT CALLBACK CountWidths(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR count)
{
    if (msg == LVM_SETCOLUMNWIDTH)
        ++*reinterpret_cast<int*>(count);
    return rt::DefSubclass(h, msg, wp, lp);
}

TEST_F(ListViewTest, ColumnsHoldTheirTitlesAndWidestEntriesAndChangeOnlyWithThem)
{
    const wchar_t* titles[] = {L"Local Port", L"Remote IP", L"A rather long title", L"Status"};
    int sets = 0;
    ASSERT_TRUE(rt::SetSubclass(form.Sized.hWnd(), &CountWidths, 1, reinterpret_cast<DWORD_PTR>(&sets)));
    for (int n : {0, 1, 40, 600}) {
        form.Sized.SetItems(Rows(n > 0 ? n : 1));
        form.Plain.SetItems(Rows(n > 0 ? n : 1));
        if (n == 0) {
            form.Sized.Clear();
            form.Plain.Clear();
        }
        for (int c = 0; c < 4; ++c) {
            form.Sized.AutoSizeColumn(c);
            // The control's own sizing by its entries alone.
            SendMessageW(form.Plain.hWnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), MAKELPARAM(LVSCW_AUTOSIZE, 0));
        }
        for (int c = 0; c < 4; ++c) {
            EXPECT_GE(form.Sized.ColumnWidth(c), TitleNeeds(form.Sized, titles[c])) << n << " rows: title cut, column " << c;
            if (n > 0) {
                EXPECT_GE(form.Sized.ColumnWidth(c), form.Plain.ColumnWidth(c)) << n << " rows: entry cut, column " << c;
            }
        }
        // Sizing again with the same entries tells the control nothing.
        sets = 0;
        for (int c = 0; c < 4; ++c)
            form.Sized.AutoSizeColumn(c);
        EXPECT_EQ(sets, 0) << n << " rows";
    }
    EXPECT_GT(form.Sized.ColumnWidth(2), form.Sized.ColumnWidth(0)) << "the long title decides its column";
    auto wider = Rows(600);
    wider[7][0] = L"3389 and a longer entry";
    form.Sized.SetItems(wider);
    int before = form.Sized.ColumnWidth(0);
    form.Sized.AutoSizeColumn(0);
    EXPECT_GT(form.Sized.ColumnWidth(0), before) << "a wider entry widens its column";
    rt::RemoveSubclass(form.Sized.hWnd(), &CountWidths, 1);
}

TEST_F(ListViewTest, ItemsReachTheControlAndReplacementDropsTheSelection)
{
    rt::ListView& list = form.Sized;
    int i = list.AddItem(L"3389");
    list.SetSubItem(i, 1, L"10.0.0.5");
    list.SetSubItem(i, 3, L"ESTABLISHED");
    list.SetSubItem(i, 4, L"ignored");
    EXPECT_EQ(SendMessageW(list.hWnd(), LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(ShownText(list, 0, 1), L"10.0.0.5");
    EXPECT_EQ(ShownText(list, 0, 3), L"ESTABLISHED");
    EXPECT_EQ(list.ItemText(0, 2), L"");
    EXPECT_EQ(list.ItemText(5, 0), L"");

    list.SetItems(Rows(30));
    EXPECT_EQ(SendMessageW(list.hWnd(), LVM_GETITEMCOUNT, 0, 0), 30);
    EXPECT_EQ(ShownText(list, 29, 2), L"50029");
    list.SetSelectedIndex(7);
    EXPECT_EQ(list.SelectedIndex(), 7);
    EXPECT_EQ(list.ItemText(list.SelectedIndex(), 1), Rows(30)[7][1]);

    list.SetItems(Rows(30));
    EXPECT_EQ(list.SelectedIndex(), -1) << "new rows carry no old selection";
    list.SetSelectedIndex(3);
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.SelectedIndex(), -1);
    EXPECT_EQ(SendMessageW(list.hWnd(), LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ListViewTest, HeaderResizedWhileNewRowsArriveIsRepainted)
{
    HWND header = reinterpret_cast<HWND>(SendMessageW(form.Plain.hWnd(), LVM_GETHEADER, 0, 0));
    form.Plain.SetItems(Rows(600));
    ASSERT_TRUE(test::PumpUntil([&] { return !GetUpdateRect(header, nullptr, FALSE); }));
    // Without the scroll bar the header widens over its place, where nothing else paints.
    form.Plain.SetItems(Rows(1));
    EXPECT_TRUE(GetUpdateRect(header, nullptr, FALSE));
}
