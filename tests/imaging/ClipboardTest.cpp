// File names pasted from the clipboard, wide and ANSI, clipboards that hold no file list, and its pictures.
#include "imaging/c32bppDIB.h"
#include "runtime/Handles.h"
#include "tests/support/TestSupport.h"

#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

void PutDrop(const std::string& names, bool wide, DWORD offset = sizeof(DROPFILES))
{
    DROPFILES header{};
    header.pFiles = offset;
    header.fWide = wide;
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, sizeof header + names.size());
    auto* p = static_cast<char*>(GlobalLock(g));
    memcpy(p, &header, sizeof header);
    memcpy(p + sizeof header, names.data(), names.size());
    GlobalUnlock(g);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_TRUE(SetClipboardData(CF_HDROP, g));
    CloseClipboard();
}

std::string Wide(const std::wstring& s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2); }

TEST(Clipboard, PastedFileNames)
{
    using namespace std::string_literals;
    const std::vector<std::wstring> before = {L"untouched"};
    imaging::c32bppDIB dib;
    struct Case {
        const char* name;
        std::function<void()> fill;
        std::vector<std::wstring> files;
    };
    const Case cases[] = {
        {"wide", [] { PutDrop(Wide(L"C:\\\u4e2d.png\0E:\\\u0436\\b.ico\0\0"s), true); },
         {L"C:\\\u4e2d.png", L"E:\\\u0436\\b.ico"}},
        {"ansi", [] { PutDrop("C:\\a.png\0C:\\b.gif\0\0"s, false); }, {L"C:\\a.png", L"C:\\b.gif"}},
        {"text only", [] { test::SetClipboardText(L"C:\\a.png"); }, before},
        {"list past its memory", [] { PutDrop(Wide(L"C:\\a.png\0\0"s), true, 5000); }, before},
        {"unterminated", [] { PutDrop("C:\\a.png"s, false); }, before},
    };
    for (const auto& c : cases) {
        c.fill();
        auto files = before;
        EXPECT_EQ(dib.GetPastedFileNames(files), c.files == before ? 0u : c.files.size()) << c.name;
        EXPECT_EQ(files, c.files) << c.name;
    }
}

void Put(UINT format, HANDLE data)
{
    EXPECT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && SetClipboardData(format, data));
    CloseClipboard();
}

TEST(Clipboard, PicturesLoadAndTextDoesNot)
{
    const int dpi = GetDeviceCaps(rt::WindowDC(nullptr).get(), LOGPIXELSX);
    const RECT frame{0, 0, 2540, 1270}; // HIMETRIC, an inch by half an inch
    const struct {
        const char* name;
        std::function<void()> fill;
        bool result;
        int type, width, height; // a refused load leaves the 3 x 3 blank picture
    } cases[] = {
        {"text only", [] { test::SetClipboardText(L"C:\\a.png"); }, false, 0, 3, 3},
        {"a bitmap", [] { Put(CF_BITMAP, CreateBitmap(5, 4, 1, 32, nullptr)); }, true, 1, 5, 4},
        {"an enhanced metafile", [&] {
             Put(CF_ENHMETAFILE, CloseEnhMetaFile(CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr)));
         }, true, 4, dpi, dpi / 2},
    };
    for (const auto& c : cases) {
        c.fill();
        imaging::c32bppDIB picture;
        picture.InitializeDIB(3, 3);
        EXPECT_EQ(picture.LoadPicture_ClipBoard(), c.result) << c.name;
        EXPECT_EQ(std::tuple(picture.ImageType(), picture.Width(), picture.Height()), std::tuple(c.type, c.width, c.height))
            << c.name;
    }
}

} // namespace
