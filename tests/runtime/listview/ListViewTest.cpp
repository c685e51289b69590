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

TEST_F(ListViewTest, ColumnSizingMatchesTheControlsOwnAutoSize)
{
    for (int n : {0, 1, 40, 600}) {
        form.Sized.SetItems(Rows(n > 0 ? n : 1));
        form.Plain.SetItems(Rows(n > 0 ? n : 1));
        if (n == 0) {
            form.Sized.Clear();
            form.Plain.Clear();
        }
        for (int c = 0; c < 4; ++c) {
            form.Sized.AutoSizeColumn(c);
            SendMessageW(form.Plain.hWnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c),
                         MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
        }
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(form.Sized.ColumnWidth(c), form.Plain.ColumnWidth(c)) << n << " rows, column " << c;
    }
    EXPECT_GT(form.Sized.ColumnWidth(2), form.Sized.ColumnWidth(0)) << "the long title decides its column";
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
