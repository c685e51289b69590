// From one program to the other: an address logged today by Ostrevi, sent through the day's
// list menu, arrives in the address box of the real Brennix.exe, and nothing is blocked.
#include "tests/monitor/support/FormFixture.h"

#include "monitor/ModMain.h"
#include "runtime/Runtime.h"

namespace {

struct Found {
    HWND window = nullptr;
    HWND edit = nullptr;
};

BOOL CALLBACK FindEdit(HWND child, LPARAM lp)
{
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    if (lstrcmpiW(cls, L"Edit") == 0) {
        reinterpret_cast<Found*>(lp)->edit = child;
        return FALSE;
    }
    return TRUE;
}

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[256] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

class SendToBrennix : public test::FormTest {};

} // namespace

TEST_F(SendToBrennix, LoggedAddressArrivesInTheRealBrennixBox)
{
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Brennix.exe").c_str(), (folder / L"Brennix.exe").c_str(), FALSE));
    // Today's log as an earlier run left it; a restart loads it into the day's list.
    const std::wstring log = form->DayLogPath();
    form->Unload();
    test::PumpFor(20);
    form.reset();
    IsExiting = false;
    test::WriteBytes(log, "Ip's Connected to 3389 Date: today\r\n198.51.100.23\r\n");
    form = std::make_unique<FrmMain>();
    form->Load();
    form->ShowAfterLoad();
    ASSERT_EQ(form->List1.ListCount(), 1);
    form->List1.SetListIndex(0);

    test::MenuDriver menus(form->hWnd());
    menus.Choose(L"MenuList2", 1); // "Send to Brennix"
    PostMessageW(form->List1.hWnd(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));

    Found found;
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            found.window = FindWindowW(nullptr, L"Vantorel - Brennix");
            if (found.window)
                EnumChildWindows(found.window, &FindEdit, reinterpret_cast<LPARAM>(&found));
            return found.edit && !TextOf(found.edit).empty();
        },
        20000));
    EXPECT_EQ(TextOf(found.edit), L"198.51.100.23");
    EXPECT_FALSE(test::FileExists(folder / L"brennix_history.dat")) << "handing over blocks nothing";

    DWORD pid = 0;
    GetWindowThreadProcessId(found.window, &pid);
    HANDLE brennix = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(found.window, WM_CLOSE, 0, 0);
    if (brennix) {
        EXPECT_EQ(WaitForSingleObject(brennix, 20000), WAIT_OBJECT_0);
        CloseHandle(brennix);
    }
}
