#include "tests/blocker/BrennixFixture.h"

#include "blocker/BatchFile.h"
#include "blocker/ModMain.h"
#include "common/PageOpen.h"
#include "runtime/Runtime.h"

using namespace vantorel;

namespace vantorel::brennix::test {

namespace {

std::wstring g_tempPath;

DWORD WINAPI FakeTempPath(DWORD length, LPWSTR buffer)
{
    if (g_tempPath.empty() || g_tempPath.size() + 1 > length)
        return 0;
    wcscpy_s(buffer, length, g_tempPath.c_str());
    return static_cast<DWORD>(g_tempPath.size());
}

} // namespace

void ClickAt(HWND hwnd, int x, int y)
{
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    SetCursorPos(pt.x, pt.y);
    INPUT in[2] = {};
    in[0].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].type = INPUT_MOUSE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

void ClickCentre(HWND hwnd)
{
    RECT r{};
    GetClientRect(hwnd, &r);
    POINT centre{r.right / 2, r.bottom / 2};
    ClientToScreen(hwnd, &centre);
    if (!::test::PumpUntil([&] { return WindowFromPoint(centre) == hwnd; })) {
        ADD_FAILURE() << "another window covers the point to click";
        return;
    }
    ClickAt(hwnd, r.right / 2, r.bottom / 2);
}

void TypeText(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT in[2] = {};
        in[0].type = INPUT_KEYBOARD;
        in[0].ki.wScan = c;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1] = in[0];
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

std::vector<std::wstring> BatchFiles(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*.bat").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

void BrennixTest::SetUp()
{
    ::test::InitControls();
    rt::SetAppPath(folder.Path());
    seams.commandLine = L"";
    temp = folder / L"temp dir & more";
    CreateDirectoryW(temp.c_str(), nullptr);
    SetTempPath(temp + L"\\");
    seams.tempPath = &FakeTempPath;
}

void BrennixTest::TearDown()
{
    if (form && form->IsLoaded())
        form->Unload();
    form.reset();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    // Let the consoles end before their folder goes.
    if (HANDLE console = LastBatchProcess()) {
        EXPECT_EQ(WaitForSingleObject(console, 20000), WAIT_OBJECT_0) << "a block's console never ended";
    }
}

void BrennixTest::SetTempPath(const std::wstring& path) { g_tempPath = path; }

FrmMain& BrennixTest::Start()
{
    form = std::make_unique<FrmMain>(seams);
    form->Load();
    form->ShowAfterLoad();
    // Above the consoles that blocks open, so the clicks land on the form.
    SetWindowPos(form->hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(form->hWnd());
    HWND window = form->hWnd();
    EXPECT_TRUE(::test::PumpUntil([window] {
        return IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE);
    })) << "the form never showed";
    return *form;
}

void BrennixTest::ClickBlock(bool realInput)
{
    // A block's console opens over the form and would take a real click.
    if (HANDLE console = LastBatchProcess()) {
        ASSERT_EQ(WaitForSingleObject(console, 30000), WAIT_OBJECT_0) << "the previous block's console never ended";
    }
    HWND button = form->ButtonBrennix.hWnd();
    RECT r{};
    GetClientRect(button, &r);
    POINT at{r.right / 2, r.bottom / 2};
    // The form's own handler is connected first, so this one runs once the action is done.
    int clicks = 0;
    const int id = form->ButtonBrennix.Click.Connect([&clicks] { ++clicks; });
    if (realInput) {
        POINT screen = at;
        ClientToScreen(button, &screen);
        ASSERT_TRUE(::test::PumpUntil([&] { return WindowFromPoint(screen) == button; }))
            << "another window covers the block button";
        ClickAt(button, at.x, at.y);
    } else {
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
    const bool done = ::test::PumpUntil([&] { return clicks > 0; }, 20000);
    form->ButtonBrennix.Click.Disconnect(id);
    ASSERT_TRUE(done) << "the block button's click never ran";
    EXPECT_EQ(clicks, 1) << "one press, one click";
}

} // namespace vantorel::brennix::test
