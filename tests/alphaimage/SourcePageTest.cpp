// The image source page in its frame under real input; its layout at the prefix's VANTOREL_DPI.
#include "alphaimage/ppgSourceImage.h"
#include "runtime/PropertyPageHost.h"
#include "runtime/Runtime.h"
#include "tests/alphaimage/ImageHost.h"
#include "tests/imaging/core/GifTestFiles.h"
#include "tests/imaging/core/IcoTestFiles.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

using test::Bytes;

Bytes Gif(bool transparent)
{
    giftest::Gif g;
    g.width = g.height = 8;
    g.global = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255};
    g.transparent = transparent ? 0 : -2, g.minCodeSize = 2;
    g.indexes.assign(64, 0), g.indexes[9] = g.indexes[20] = 3;
    return giftest::WriteGif(g);
}

// Wide names behind a DROPFILES header, as the shell makes them for a drop or a copy.
HGLOBAL DropList(const std::wstring& names)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + (names.size() + 1) * 2);
    auto* head = static_cast<DROPFILES*>(GlobalLock(block));
    *head = DROPFILES{sizeof(DROPFILES), {}, FALSE, TRUE};
    names.copy(reinterpret_cast<wchar_t*>(head + 1), names.size());
    GlobalUnlock(block);
    return block;
}

class SourcePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::InitControls();
        ASSERT_TRUE(test::PumpQueued()); // a quit left queued would end the modal run at once
        std::mt19937 rng(27);
        icon = icotest::IcoFile(1, {icotest::BitmapImage(rng, 16, 16, 8), icotest::BitmapImage(rng, 32, 32, 32),
                                    icotest::BitmapImage(rng, 16, 16, 32)});
        const std::pair<std::wstring, Bytes> files[] = {
            {iconPath, icon}, {pngPath, test::PicturePng(48, 48)}, {clearGif, Gif(true)}, {opaqueGif, Gif(false)}};
        for (const auto& [path, bytes] : files)
            test::WriteBytes(path, std::string(bytes.begin(), bytes.end()));
        owner.Load(), owner.Show();
        target->SetAmbientUserMode(false); // the page edits controls in design mode
        target->Create(owner, owner.hWnd(), {10, 10, 40, 30});
        target->LoadSourceStream(original, 0, 0, 0);
        host = std::make_unique<rt::PropertyPageHost>(
            std::make_unique<aic::ppgSourceImage>([this](HWND, const std::wstring& f) { return filter = f, chosen; }),
            std::vector<std::weak_ptr<rt::Selectable>>{target->WeakRef()});
        page = static_cast<aic::ppgSourceImage*>(&host->Page());
    }
    void TearDown() override { host->Unload(), owner.Unload(); }

    // Runs `script`, which closes the frame, inside the frame's modal run once it has painted.
    void RunModal(const std::function<void()>& script)
    {
        host->Load();
        SetWindowPos(host->hWnd(), HWND_TOP, 60, 60, 0, 0, SWP_NOSIZE);
        host->AfterFirstPaint([&] {
            script();
            if (!test::WaitFor([&] { return !IsWindowVisible(host->hWnd()); }, 5000, "the frame to close"))
                host->Hide(); // a frame left open would hold the test for ever
        });
        host->ShowPage(owner.hWnd());
    }
    static void Click(const rt::Control& c)
    {
        RECT r{};
        GetClientRect(c.hWnd(), &r);
        EXPECT_EQ(test::ClickAt(c.hWnd(), {r.right / 2, r.bottom / 2}, MOUSEEVENTF_LEFTDOWN), "") << test::Narrow(c.Name());
        EXPECT_TRUE(test::PumpQueued());
    }
    void Browse(const std::wstring& path) { chosen = path, Click(page->cmdBrowse); }
    Bytes TargetBytes() const { Bytes b; return target && target->GetSourceBytes(b) ? b : Bytes{}; }

    test::TempFolder folder;
    const std::wstring iconPath = folder / L"entries.ico", pngPath = folder / L"square.png";
    const std::wstring clearGif = folder / L"\u00e9t\u00e9 \u0434\u043e\u043c.gif", opaqueGif = folder / L"o.gif";
    Bytes icon, original = test::PicturePng(20, 20);
    std::wstring chosen, filter;
    rt::Form owner{L"Owner", L"Owner", 3000, 2000};
    std::unique_ptr<aic::aicAlphaImage> target = std::make_unique<aic::aicAlphaImage>(L"Target");
    std::unique_ptr<rt::PropertyPageHost> host;
    aic::ppgSourceImage* page = nullptr;
};

TEST_F(SourcePage, BrowsedIconListsItsEntriesByKeyAndOkAppliesTheClickedOne)
{
    RunModal([&] {
        EXPECT_EQ(page->lblFormat.Caption(), L"20 x 20 - PNG file") << "the target's picture on opening";
        Browse(iconPath);
        EXPECT_EQ(page->cboIcon.List(0) + page->cboIcon.List(1) + page->cboIcon.List(2) + page->cboIcon.List(3),
                  L"016x016 {8 bit, 256 colors}016x016 {32 bit, True Color Alpha}032x032 {32 bit, True Color Alpha}");
        EXPECT_EQ(page->cboIcon.ListIndex(), 2);
        EXPECT_TRUE(page->cboIcon.Visible() && page->cboIcon.Enabled() && !page->lblFormat.Visible());
        Click(page->cboIcon); // then the first entry of the dropped list
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        GetComboBoxInfo(page->cboIcon.hWnd(), &info);
        ASSERT_TRUE(test::WaitFor([&] { return IsWindowVisible(info.hwndList) != FALSE; }, 5000, "the list"));
        RECT item{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        POINT at{item.right / 2, item.bottom / 2};
        ClientToScreen(info.hwndList, &at);
        ASSERT_EQ(test::MoveCursorTo(at), "");
        EXPECT_TRUE(test::SendMouse(MOUSEEVENTF_LEFTDOWN) && test::SendMouse(MOUSEEVENTF_LEFTUP));
        EXPECT_TRUE(test::WaitFor([&] { return page->cboIcon.ListIndex() == 0; }, 5000, "the entry chosen"));
        Click(host->OK);
    });
    EXPECT_EQ(filter.substr(0, 19), std::wstring(L"Image Files\0*.gif;*", 19)) << "the first pattern's point";
    EXPECT_EQ(TargetBytes(), icon);
    EXPECT_EQ(target->SourceDIB()->Width() * 100 + target->SourceDIB()->ImageType(), 1600 + imaging::imgIcon);
}

TEST_F(SourcePage, EachSourceShowsItsFormatLineAndReachesTheTargetOnlyWhenApplied)
{
    enum Way { Cancel, ClearApply, Drop, Paste, TargetGone };
    const std::pair<Way, const wchar_t*> cases[] = {
        {Cancel, L"8 x 8 - GIF file"},         {ClearApply, L"48 x 48 - PNG file"},
        {Drop, L"8 x 8 - Transparent GIF"},    {Paste, L"8 x 8 - Transparent GIF"},
        {TargetGone, L"48 x 48 - PNG file"}};
    for (const auto& [way, line] : cases) {
        RunModal([&] {
            HGLOBAL list = DropList(clearGif + L'\0' + pngPath + L'\0'); // of several, the first is taken
            if (way == Drop)
                SendMessageW(page->hWnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(list), 0); // the page frees it
            else if (way == Paste && OpenClipboard(owner.hWnd()) && EmptyClipboard() && SetClipboardData(CF_HDROP, list))
                CloseClipboard(), Click(page->cmdClipBoard);
            else
                GlobalFree(list), Browse(way == Cancel ? opaqueGif : pngPath);
            EXPECT_EQ(page->lblFormat.Caption(), line) << way;
            EXPECT_TRUE(page->ucAlphaImage1.Visible() && host->Apply.Enabled()) << way;
            if (way == ClearApply)
                Click(page->Command1), Click(host->Apply);
            if (way == TargetGone)
                target.reset();
            Click(way == Cancel || way == ClearApply ? host->Cancel : host->OK);
        });
        EXPECT_FALSE(host->IsLoaded()) << way;
        const Bytes applied[] = {original, {}, Gif(true), Gif(true), {}};
        EXPECT_EQ(TargetBytes(), applied[way]) << way;
        TearDown();
        target = std::make_unique<aic::aicAlphaImage>(L"Target");
        SetUp();
    }
}

TEST_F(SourcePage, LayoutScalesWithTheDpi)
{
    host->Load();
    const int dpi = std::getenv("VANTOREL_DPI") ? std::atoi(std::getenv("VANTOREL_DPI")) : 96;
    ASSERT_EQ(rt::DpiOf(page->hWnd()), dpi);
    auto s = [dpi](int px) { return MulDiv(px, dpi, 96); };
    const std::pair<const rt::Control*, std::vector<int>> cases[] = { // 96-DPI left, top, width, height
        {&page->Shape1, {10, 14, 192, 192}},        {&page->cmdBrowse, {206, 61, 107, 32}},
        {&page->cmdClipBoard, {206, 100, 107, 32}}, {&page->Command1, {206, 140, 107, 32}},
        {&page->cboIcon, {8, 208, 197, 22}},        {&page->lblFormat, {11, 208, 307, 23}}};
    for (const auto& [control, at] : cases) {
        RECT r{};
        GetWindowRect(control->hWnd(), &r);
        MapWindowPoints(HWND_DESKTOP, page->hWnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(std::vector<int>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  std::vector<int>({s(at[0]), s(at[1]), s(at[2]), s(at[3])})) << test::Narrow(control->Name());
    }
    EXPECT_EQ(rt::WindowText(page->Command1.hWnd()), L"Clear Image");
}

} // namespace
