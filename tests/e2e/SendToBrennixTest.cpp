// From one program to the other with real input: a right click on a row of the day's list or
// of the connection list opens its menu, the menu is painted with its items, and a click on
// "Send to Brennix" puts the clicked row's address into the box of the real Brennix.exe. The
// menu key and Shift+F10 open a list's menu too, and the tray icon's menu is painted as well.
#include "tests/monitor/support/FormFixture.h"

#include "monitor/ModMain.h"
#include "monitor/clsSysTrayIcon.h"
#include "runtime/Menu.h"
#include "runtime/Runtime.h"
#include "tests/monitor/scan/Loopback.h"
#include "tests/skin/button/Png.h"
#include "tests/support/RealInput.h"

#include <commctrl.h>

#include <functional>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

const std::vector<std::wstring> kListMenuItems{L"Copy IP to Clipboard", L"-", L"Send to Brennix", L"-",
                                               L"Find IP Address Location"};
constexpr int kSendToBrennix = 2;

BOOL CALLBACK FindEdit(HWND child, LPARAM lp)
{
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    if (lstrcmpiW(cls, L"Edit") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(lp) = child;
    return FALSE;
}

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[256] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

// Keeps the menu as the screen showed it, for a look by eye.
void SavePng(const test::ScreenPixels& shot, const std::wstring& name)
{
    test::Image image;
    image.width = shot.width;
    image.height = shot.height;
    for (std::uint32_t p : shot.pixels)
        image.rgba.insert(image.rgba.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                                             static_cast<std::uint8_t>(p), 255});
    test::WriteBytes(test::BuildDir() + L"\\" + name + L".png", test::EncodePng(image));
}

class SendToBrennix : public test::FormTest {
protected:
    void InstallBrennix()
    {
        ASSERT_TRUE(
            CopyFileW((test::BuildDir() + L"\\bin\\Brennix.exe").c_str(), (folder / L"Brennix.exe").c_str(), FALSE));
    }

    // Right-clicks `client` of `list` with real input, checks the menu that opens and clicks
    // "Send to Brennix" in it.
    void SendThroughMenu(HWND list, POINT client, const wchar_t* shotName)
    {
        test::MenuWatch watch(kSendToBrennix);
        std::string why = test::ClickAt(list, client, MOUSEEVENTF_RIGHTDOWN);
        ASSERT_EQ(why, "");
        ASSERT_TRUE(watch.Wait()) << "the menu's command never ran";
        SavePng(watch.shown, shotName);
        ASSERT_EQ(watch.failure, "");
        EXPECT_EQ(watch.items, kListMenuItems);
    }

    // The text that arrives in the address box of the started Brennix, which is closed again.
    std::wstring BrennixBox()
    {
        HWND window = nullptr, edit = nullptr;
        bool arrived = test::PumpUntil(
            [&] {
                window = FindWindowW(nullptr, L"Vantorel - Brennix");
                if (window)
                    EnumChildWindows(window, &FindEdit, reinterpret_cast<LPARAM>(&edit));
                return edit && !TextOf(edit).empty();
            },
            20000);
        if (!arrived)
            return L"<no Brennix window with a filled box>";
        std::wstring text = TextOf(edit);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        HANDLE brennix = OpenProcess(SYNCHRONIZE, FALSE, pid);
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (brennix) {
            EXPECT_EQ(WaitForSingleObject(brennix, 20000), WAIT_OBJECT_0) << "Brennix did not close";
            CloseHandle(brennix);
        }
        return text;
    }
};

} // namespace

TEST_F(SendToBrennix, RightClickedDayListRowArrivesInTheRealBrennixBox)
{
    InstallBrennix();
    // Today's log as an earlier run left it; a restart loads it into the day's list.
    const std::wstring log = form->DayLogPath();
    form->Unload();
    test::PumpFor(20);
    form.reset();
    test::WriteBytes(log, "Ip's Connected to 3389 Date: today\r\n198.51.100.23\r\n203.0.113.7\r\n");
    form = std::make_unique<FrmMain>(seams);
    form->Load();
    form->ShowAfterLoad();
    ASSERT_EQ(form->List1.ListCount(), 2);
    form->List1.SetListIndex(0);

    // The click selects the row it hits: the menu acts on that one, not on the earlier one.
    RECT row{};
    SendMessageW(form->List1.hWnd(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    SendThroughMenu(form->List1.hWnd(), {row.left + 20, (row.top + row.bottom) / 2}, L"menu-day-list");
    EXPECT_EQ(BrennixBox(), L"203.0.113.7");
    EXPECT_FALSE(test::FileExists(folder / L"brennix_history.dat")) << "handing over blocks nothing";
}

TEST_F(SendToBrennix, RightClickedConnectionRowArrivesInTheRealBrennixBox)
{
    InstallBrennix();
    test::Winsock winsock;
    test::Listener server("127.0.0.2");
    ASSERT_NE(server.ConnectFrom("127.0.0.3"), 0);
    ASSERT_NE(server.ConnectFrom("127.0.0.4"), 0);
    form->TextPort.SetText(std::to_wstring(server.Port()));
    form->TextTime.SetText(L"1");
    rt::ListView& list = form->ListViewNetstats;
    ASSERT_TRUE(test::PumpUntil([&] { return list.ListCount() == 2; }, 10000)) << "the scan never listed both";
    // No scan may replace the rows under the cursor now.
    form->Timer1.SetEnabled(false);
    int clicked = list.ItemText(0, 1) == L"127.0.0.4" ? 0 : 1;
    ASSERT_EQ(list.ItemText(clicked, 1), L"127.0.0.4");
    list.SetSelectedIndex(1 - clicked);

    RECT row{LVIR_LABEL, 0, 0, 0};
    SendMessageW(list.hWnd(), LVM_GETITEMRECT, static_cast<WPARAM>(clicked), reinterpret_cast<LPARAM>(&row));
    SendThroughMenu(list.hWnd(), {row.left + 10, (row.top + row.bottom) / 2}, L"menu-connection-list");
    EXPECT_EQ(BrennixBox(), L"127.0.0.4");
}

namespace {

void PostTrayRightClick(HWND hook)
{
    PostMessageW(hook, clsSysTrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
}

} // namespace

TEST_F(SendToBrennix, EveryMenuOpensPaintedAndTheMenuKeyOpensAListsMenuAtItsRow)
{
    form->Timer1.SetEnabled(false);
    form->ListViewNetstats.SetItems({{L"3389", L"127.0.0.5", L"50123", L"ESTABLISHED"}});
    form->ListViewNetstats.SetSelectedIndex(0);
    form->List1.AddItem(L"198.51.100.23");
    form->List1.SetListIndex(0);
    RECT viewRow{LVIR_LABEL, 0, 0, 0}, boxRow{};
    SendMessageW(form->ListViewNetstats.hWnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&viewRow));
    SendMessageW(form->List1.hWnd(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&boxRow));
    POINT viewAt{viewRow.left, viewRow.bottom}, boxAt{boxRow.left, boxRow.bottom};
    ClientToScreen(form->ListViewNetstats.hWnd(), &viewAt);
    ClientToScreen(form->List1.hWnd(), &boxAt);

    std::vector<std::wstring> opened;
    int connection = rt::MenuOpening().Connect([&](const std::wstring& name) { opened.push_back(name); });
    struct Case {
        const char* name;
        std::function<void()> open;
        std::wstring menu;
        std::vector<std::wstring> items;
        POINT at; // where a menu asked for from the keyboard shows; {-1, -1}: anywhere
    };
    const Case cases[] = {
        {"menu-key", [&] { form->ListViewNetstats.SetFocus(), test::PressKey(VK_APPS); }, L"MenuList", kListMenuItems,
         viewAt},
        {"shift-f10", [&] { form->List1.SetFocus(), test::PressKey(VK_F10, {VK_SHIFT}); }, L"MenuList2",
         kListMenuItems, boxAt},
        {"tray", [&] { PostTrayRightClick(form->SysTrayMain.hWnd()); }, L"mMenu",
         {L"Show Vantorel - Ostrevi", L"-", L"Open Brennix", L"-", L"Exit && Close Program"}, {-1, -1}},
    };
    for (const Case& c : cases) {
        opened.clear();
        ASSERT_EQ(test::BringToForeground(form->hWnd()), "");
        test::MenuWatch watch(-1);
        c.open();
        ASSERT_TRUE(watch.Wait()) << c.name;
        SavePng(watch.shown, L"menu-" + test::Widen(c.name));
        EXPECT_EQ(watch.failure, "") << c.name;
        EXPECT_EQ(opened, std::vector<std::wstring>{c.menu}) << c.name;
        EXPECT_EQ(watch.items, c.items) << c.name;
        if (c.at.x >= 0) {
            EXPECT_EQ(watch.at.left, c.at.x) << c.name;
            EXPECT_EQ(watch.at.top, c.at.y) << c.name;
        }
    }
    rt::MenuOpening().Disconnect(connection);
}
