// The address actions of the main form with real windows, the real clipboard and a real
// stand-in Brennix.exe started through the shell. Web pages go through the page-open seam,
// since no browser runs here.
#include "monitor/ModMain.h"
#include "common/PageOpen.h"
#include "runtime/Runtime.h"
#include "tests/monitor/support/FormFixture.h"

#include <vector>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

struct PageOpen {
    std::wstring verb, file, params;
};
std::vector<PageOpen> g_opened;

HINSTANCE WINAPI RecordPageOpen(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR params, LPCWSTR, INT)
{
    g_opened.push_back({verb ? verb : L"", file ? file : L"", params ? params : L""});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

struct MenuLayout {
    const rt::Menu& menu;
    std::vector<std::pair<std::wstring, std::wstring>> items;
};

class Actions : public test::FormTest {
protected:
    void SetUp() override
    {
        g_opened.clear();
        seams.pageOpener = &RecordPageOpen;
        test::FormTest::SetUp();
        brennixArgs = folder / L"brennix-args.txt";
    }
    void InstallBrennix()
    {
        std::wstring standIn = test::BuildDir() + L"\\tests\\monitor\\actions\\Brennix.exe";
        ASSERT_TRUE(CopyFileW(standIn.c_str(), (folder / L"Brennix.exe").c_str(), FALSE));
    }
    void ListWith(const std::wstring& address, bool select = true)
    {
        form->List1.Clear();
        form->List1.AddItem(address);
        form->List1.SetListIndex(select ? 0 : -1);
    }
    // A real release of the button over the day's list.
    void ReleaseOnList(UINT msg)
    {
        PostMessageW(form->List1.hWnd(), msg, 0, MAKELPARAM(5, 5));
        // The handler runs its menu modally: once the barrier is through, the command has run.
        EXPECT_TRUE(test::PumpQueued());
    }
    std::wstring brennixArgs;
};

TEST_F(Actions, MenusHoldTheirItemsInOrder)
{
    const MenuLayout menus[] = {
        {form->mMenu,
         {{L"MenuShow", L"Show Vantorel - Ostrevi"}, {L"Line1", L"-"}, {L"MenuOpenBrennix", L"Open Brennix"},
          {L"Line4", L"-"}, {L"MenuExit", L"Exit && Close Program"}}},
        {form->MenuList,
         {{L"MenuCopyIP", L"Copy IP to Clipboard"}, {L"line2", L"-"}, {L"MenuBrennix", L"Send to Brennix"},
          {L"Line5", L"-"}, {L"MenuFindIPLocation", L"Find IP Address Location"}}},
        {form->MenuList2,
         {{L"MenuCopyIP2", L"Copy IP to Clipboard"}, {L"Line3", L"-"}, {L"MenuBrennix2", L"Send to Brennix"},
          {L"Line6", L"-"}, {L"MenuFindIPLocation2", L"Find IP Address Location"}}},
    };
    for (const MenuLayout& m : menus) {
        std::vector<std::pair<std::wstring, std::wstring>> got;
        for (auto& item : m.menu.Items())
            got.emplace_back(item->Name(), item->Caption());
        EXPECT_EQ(got, m.items) << test::Narrow(m.menu.Name());
        // As the menu shows: separators are separators, "&&" shows one ampersand.
        rt::UniqueMenu built(m.menu.Build());
        ASSERT_EQ(GetMenuItemCount(built.get()), 5);
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(built.get(), 1, TRUE, &info);
        EXPECT_TRUE(info.fType & MFT_SEPARATOR);
    }
    EXPECT_EQ(form->mMenu.Caption(), L"Menu");
    EXPECT_EQ(form->MenuList.Caption(), L"List Menu");
    EXPECT_EQ(form->MenuList2.Caption(), L"List Menu 2");
}

TEST_F(Actions, RoundControlsShapesPanelsBoxesAndTheDayList)
{
    for (skin::PanelFx* p : {&form->PanelFx1, &form->PanelFx2, &form->PanelFx3})
        EXPECT_EQ(p->RoundEdge(), 7);
    for (const rt::Control* c : std::initializer_list<const rt::Control*>{&form->TextPort, &form->TextTime,
                                                                          &form->TextLogPath, &form->List1}) {
        rt::Gdi<HRGN> rgn(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(c->hWnd(), rgn.get()), ERROR) << test::Narrow(c->Name());
        RECT box{}, client{};
        GetRgnBox(rgn.get(), &box);
        GetWindowRect(c->hWnd(), &client);
        EXPECT_EQ(box.left, 1);
        EXPECT_EQ(box.top, 1);
        // Rounded regions end one pixel inside their right and bottom edges.
        EXPECT_EQ(box.right, client.right - client.left - 1);
        EXPECT_EQ(box.bottom, client.bottom - client.top - 1);
        // The corner is cut off by the rounding.
        EXPECT_FALSE(PtInRegion(rgn.get(), 1, 1));
    }
}

TEST_F(Actions, NoMenuOnALeftReleaseOrWithoutASelection)
{
    test::MenuDriver menus(form->hWnd());
    menus.Choose(L"MenuList2", -1);
    ListWith(L"203.0.113.7", false);
    ReleaseOnList(WM_RBUTTONUP);
    form->ListViewNetstats_MouseUp(2, 0, 5, 5); // the connection list has no selection
    ListWith(L"203.0.113.7");
    ReleaseOnList(WM_LBUTTONUP);
    ReleaseOnList(WM_MBUTTONUP);
    EXPECT_TRUE(menus.Opened().empty());
    ReleaseOnList(WM_RBUTTONUP);
    EXPECT_EQ(menus.Opened(), std::vector<std::wstring>{L"MenuList2"});
}

TEST_F(Actions, CopyPutsExactlyTheAddressOnTheClipboard)
{
    test::SetClipboardText(L"kept");
    // Without an address to put there, the clipboard is left alone.
    form->MenuCopyIP_Click();
    form->MenuCopyIP2_Click();
    EXPECT_EQ(test::ClipboardText(), L"kept");

    test::MenuDriver menus(form->hWnd());
    menus.Choose(L"MenuList2", 0);
    ListWith(L"203.0.113.7");
    ReleaseOnList(WM_RBUTTONUP);
    EXPECT_EQ(test::ClipboardText(), L"203.0.113.7");
}

TEST_F(Actions, SendStartsBrennixWithExactlyTheAddress)
{
    InstallBrennix();
    test::MenuDriver menus(form->hWnd());
    menus.Choose(L"MenuList2", 1);
    ListWith(L"203.0.113.7");
    ReleaseOnList(WM_RBUTTONUP);
    ASSERT_TRUE(test::PumpUntil([&] { return test::FileExists(brennixArgs); }, 15000));
    EXPECT_EQ(test::ReadBytes(brennixArgs), "203.0.113.7");
    EXPECT_TRUE(g_opened.empty()) << "programs start through the real shell";
}

TEST_F(Actions, CommandActsOnTheAddressTheMenuOpenedForWhenTheListIsRebuilt)
{
    InstallBrennix();
    test::MenuDriver menus(form->hWnd());
    // A scan rebuilds the list while the menu is open.
    menus.Choose(L"MenuList2", 1, [&] { ListWith(L"198.51.100.9"); });
    ListWith(L"203.0.113.7");
    ReleaseOnList(WM_RBUTTONUP);
    ASSERT_TRUE(test::PumpUntil([&] { return test::FileExists(brennixArgs); }, 15000));
    EXPECT_EQ(test::ReadBytes(brennixArgs), "203.0.113.7");
}

TEST_F(Actions, FindOpensTheLocationPageOfTheAddress)
{
    test::MenuDriver menus(form->hWnd());
    menus.Choose(L"MenuList2", 2);
    ListWith(L"203.0.113.7");
    ReleaseOnList(WM_RBUTTONUP);
    ASSERT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(g_opened[0].verb, L"open");
    EXPECT_EQ(g_opened[0].file, std::wstring(kIpLocationPage) + L"203.0.113.7");
    EXPECT_TRUE(g_opened[0].file.ends_with(L"/ip/index.php?ip=203.0.113.7"));
    EXPECT_EQ(g_opened[0].params, L"");
}

TEST_F(Actions, SendAndFindPassOnlyADottedIPv4Address)
{
    InstallBrennix();
    test::MenuDriver menus(form->hWnd());
    for (int command : {1, 2}) {
        menus.Choose(L"MenuList2", command);
        ListWith(L"203.0.113.7 & calc");
        ReleaseOnList(WM_RBUTTONUP);
    }
    EXPECT_EQ(menus.Opened().size(), 2u);
    EXPECT_TRUE(g_opened.empty());
    // A refused send would have started Brennix before this one, whose address comes through.
    menus.Choose(L"MenuList2", 1);
    ListWith(L"198.51.100.9");
    ReleaseOnList(WM_RBUTTONUP);
    ASSERT_TRUE(test::WaitFor([&] { return test::FileExists(brennixArgs); }, 15000, "Brennix to start"));
    EXPECT_EQ(test::ReadBytes(brennixArgs), "198.51.100.9");
}

TEST_F(Actions, LinkImagesOpenTheirPagesOnlyOnTheirPicture)
{
    struct Link {
        aic::aicAlphaImage& image;
        std::wstring page;
    };
    const Link links[] = {{form->aicAlphaImage4, kMakerHomePage},
                          {form->aicAlphaImage5, kMakerIpSecGuidePage},
                          {form->aicAlphaImage6, kMakerHelpPage},
                          {form->ImageDonate, kMakerDonatePage}};
    for (const Link& l : links) {
        HWND h = l.image.hWnd();
        ASSERT_TRUE(h);
        RECT r{};
        GetClientRect(h, &r);
        g_opened.clear();
        // A corner of a round link image is transparent; the donation image is opaque.
        PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
        PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(0, 0));
        EXPECT_TRUE(test::PumpQueued());
        bool opaqueCorner = &l.image == &form->ImageDonate;
        EXPECT_EQ(g_opened.size(), opaqueCorner ? 1u : 0u) << test::Narrow(l.image.Name());
        g_opened.clear();
        PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom / 2));
        PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, r.bottom / 2));
        EXPECT_TRUE(test::PumpQueued());
        ASSERT_EQ(g_opened.size(), 1u) << test::Narrow(l.image.Name());
        EXPECT_EQ(g_opened[0].file, l.page);
        EXPECT_EQ(g_opened[0].params, L"");
    }
    EXPECT_EQ(form->aicAlphaImage4.ToolTipText(), L"Click Once To Open");
    EXPECT_EQ(form->aicAlphaImage1.ToolTipText(), L"");
}

} // namespace
