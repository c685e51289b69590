// The real Brennix.exe: started with an address it shows it, blanks and all, and blocks
// nothing; its title bar's close box ends the process.
#include "tests/blocker/Pixels.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

BOOL CALLBACK FindEdit(HWND hwnd, LPARAM lp)
{
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (_wcsicmp(cls, L"Edit") == 0 && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::wstring TextOf(HWND hwnd)
{
    wchar_t text[256] = {};
    SendMessageW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

// Points the started program's temporary folder at `path` while this object lives.
class TempEnvironment {
public:
    explicit TempEnvironment(const std::wstring& path)
    {
        SetEnvironmentVariableW(L"TMP", path.c_str());
        SetEnvironmentVariableW(L"TEMP", path.c_str());
    }
    ~TempEnvironment()
    {
        SetEnvironmentVariableW(L"TMP", old_.c_str());
        SetEnvironmentVariableW(L"TEMP", old_.c_str());
    }

private:
    std::wstring old_ = [] {
        wchar_t buf[MAX_PATH] = {};
        GetEnvironmentVariableW(L"TEMP", buf, MAX_PATH);
        return std::wstring(buf);
    }();
};

// Gives the face name "Verdana" to another font for the processes started while this object
// lives: Wine has no Verdana, and the title bar's caption must be told apart by its pixels.
class VerdanaStandIn {
public:
    explicit VerdanaStandIn(const wchar_t* face)
    {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key_, nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
        else
            set_ = RegSetValueExW(key_, L"Verdana", 0, REG_SZ, reinterpret_cast<const BYTE*>(face),
                                  static_cast<DWORD>((wcslen(face) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~VerdanaStandIn()
    {
        if (key_) {
            RegDeleteValueW(key_, L"Verdana");
            RegCloseKey(key_);
        }
    }
    bool Set() const { return set_; }

private:
    HKEY key_ = nullptr;
    bool set_ = false;
};

// The width of `text` in the bold caption font, with face `face` or the system's own.
int CaptionWidth(const wchar_t* face, const std::wstring& text)
{
    // The bar's caption font: 9 points, a cell of 14 design pixels, bold.
    HDC dc = GetDC(nullptr);
    LOGFONTW lf{};
    lf.lfHeight = MulDiv(14, GetDeviceCaps(dc, LOGPIXELSY), 96);
    lf.lfWeight = 800;
    lf.lfQuality = ANTIALIASED_QUALITY;
    wcsncpy_s(lf.lfFaceName, LF_FACESIZE, face ? face : L"Tahoma", _TRUNCATE);
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

// One column past the rightmost white pixel in columns [from, to); `from` when there is none.
int WhiteInkEnd(const test::Pixels& p, int from, int to)
{
    for (int x = std::min(to, p.w) - 1; x >= from; --x)
        for (int y = 0; y < p.h; ++y)
            if (test::IsWhite(p.At(x, y)))
                return x + 1;
    return from;
}

} // namespace

TEST(BrennixProcess, TitleBarCaptionIsDrawnInVerdana)
{
    const std::wstring caption = L"Vantorel - Brennix";
    const wchar_t* const face = L"DejaVu Sans";
    const int expected = CaptionWidth(face, caption);
    ASSERT_GT(std::abs(expected - CaptionWidth(nullptr, caption)), 4) << "the stand-in measures like the system font";

    test::TempFolder folder;
    const std::wstring exe = folder / L"Brennix.exe";
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Brennix.exe").c_str(), exe.c_str(), FALSE));
    VerdanaStandIn verdana(face);
    ASSERT_TRUE(verdana.Set());
    test::Process brennix(exe, L"", folder.Path());
    ASSERT_TRUE(brennix.Started());
    HWND window = test::FindProcessWindow(brennix.Id(), L"Vantorel - Brennix", 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));
    RECT client{};
    GetClientRect(window, &client);
    HWND bar = ChildWindowFromPoint(window, POINT{client.right / 2, 5});
    ASSERT_NE(bar, nullptr);
    // The caption starts 6 pixels in, left of the logo on the bar.
    int inkEnd = 0;
    EXPECT_TRUE(test::PumpUntil([&] {
        inkEnd = WhiteInkEnd(test::Pixels::Of(bar), 6, 176);
        return std::abs(inkEnd - 6 - expected) <= 2;
    }, 10000)) << "caption ink " << inkEnd - 6 << " pixels wide; Verdana's " << expected;
}

TEST(BrennixProcess, StartsWithTheHandedOverAddressAndEndsThroughItsCloseBox)
{
    test::TempFolder folder;
    const std::wstring exe = folder / L"Brennix.exe";
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Brennix.exe").c_str(), exe.c_str(), FALSE));
    const std::wstring temp = folder / L"temp";
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    TempEnvironment env(temp);

    // The system's own command line, read by the program's own parser: the blank after the
    // program's name separates, the others belong to the text.
    test::Process brennix(exe, L"  192.0.2.1 ", folder.Path());
    ASSERT_TRUE(brennix.Started());
    HWND window = test::FindProcessWindow(brennix.Id(), L"Vantorel - Brennix", 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));
    HWND edit = nullptr;
    test::PumpUntil([&] {
        EnumChildWindows(window, &FindEdit, reinterpret_cast<LPARAM>(&edit));
        return edit != nullptr && !TextOf(edit).empty();
    });
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(TextOf(edit), L"  192.0.2.1 ");
    // The load has put the text in the box; only a press of the button would block.
    EXPECT_FALSE(test::FileExists(folder / L"brennix_history.dat")) << "no block has happened";
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((temp + L"\\*.bat").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "no batch file was written";
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);

    // The title bar spans the top of the window; its close box sits at its right end.
    RECT client{};
    GetClientRect(window, &client);
    HWND bar = ChildWindowFromPoint(window, POINT{client.right / 2, 5});
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(bar, window);
    RECT barRect{};
    GetClientRect(bar, &barRect);
    POINT close{barRect.right - 4 - 9, barRect.bottom / 2};
    ClientToScreen(bar, &close);
    SetForegroundWindow(window);
    ASSERT_TRUE(test::PumpUntil([&] { return WindowFromPoint(close) == bar; }))
        << "another window covers the close box";
    SetCursorPos(close.x, close.y);
    INPUT in[2] = {};
    in[0].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].type = INPUT_MOUSE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    EXPECT_TRUE(brennix.WaitForExit(20000)) << "the close box ends the program";
    EXPECT_EQ(brennix.ExitCode(), 0u);
}

static BOOL CALLBACK FindUserControl(HWND hwnd, LPARAM lp)
{
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (std::wstring(cls) == L"VantorelUserControl") {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

TEST(BrennixProcess, TwoCopiesBlockingDifferentAddressesKeepBothInTheHistory)
{
    test::TempFolder folder;
    const std::wstring exe = folder / L"Brennix.exe";
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\Brennix.exe").c_str(), exe.c_str(), FALSE));
    const std::wstring temp = folder / L"temp";
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    TempEnvironment env(temp);
    test::WriteBytes(folder / L"brennix_history.dat", "192.0.2.1\r\n");

    // Both copies have loaded the history before either blocks.
    const wchar_t* addresses[] = {L"198.51.100.1", L"198.51.100.2"};
    std::vector<std::unique_ptr<test::Process>> copies;
    std::vector<HWND> buttons;
    for (const wchar_t* address : addresses) {
        copies.push_back(std::make_unique<test::Process>(exe, address, folder.Path()));
        HWND window = test::FindProcessWindow(copies.back()->Id(), L"Vantorel - Brennix", 20000);
        ASSERT_NE(window, nullptr);
        HWND edit = nullptr;
        ASSERT_TRUE(test::PumpUntil([&] {
            EnumChildWindows(window, &FindEdit, reinterpret_cast<LPARAM>(&edit));
            return edit != nullptr && TextOf(edit) == address;
        }, 20000));
        // The block button shares its panel with the address box.
        HWND button = nullptr;
        EnumChildWindows(GetParent(edit), &FindUserControl, reinterpret_cast<LPARAM>(&button));
        ASSERT_NE(button, nullptr);
        buttons.push_back(button);
    }
    for (HWND button : buttons) {
        RECT r{};
        GetClientRect(button, &r);
        LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(button, WM_LBUTTONUP, 0, at);
    }
    const std::wstring history = folder / L"brennix_history.dat";
    auto both = [&] {
        std::string h = test::ReadBytes(history);
        return h == "192.0.2.1\r\n198.51.100.1\r\n198.51.100.2\r\n" || h == "192.0.2.1\r\n198.51.100.2\r\n198.51.100.1\r\n";
    };
    EXPECT_TRUE(test::PumpUntil(both, 20000)) << test::ReadBytes(history);
}

TEST(BrennixProcess, ManifestAsksForAdministratorRights)
{
    // netsh's policy changes need them; the console started for a block inherits them.
    const std::wstring exe = test::BuildDir() + L"\\bin\\Brennix.exe";
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(res, nullptr);
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, res)));
    std::string manifest(data, SizeofResource(module, res));
    FreeLibrary(module);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
}
