// File names pasted from the clipboard, wide and ANSI, and clipboards that hold no file list; pictures
// loaded from the clipboard.
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
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (data) {
        ASSERT_TRUE(SetClipboardData(format, data));
    }
    CloseClipboard();
}

template <typename T>
HGLOBAL Global(const T& value)
{
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, sizeof value);
    memcpy(GlobalLock(g), &value, sizeof value);
    GlobalUnlock(g);
    return g;
}

TEST(Clipboard, PicturesLoadAndTextDoesNot)
{
    const int dpi = GetDeviceCaps(rt::WindowDC(nullptr).get(), LOGPIXELSX);
    const RECT frame{0, 0, 2540, 1270}; // HIMETRIC, an inch by half an inch
    struct Dib {
        BITMAPINFOHEADER head{sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        std::uint8_t rows[16] = {};
    };
    const struct {
        const char* name;
        std::function<void()> fill;
        bool result;
        int type, width, height; // a refused load leaves the 3 x 3 blank picture
    } cases[] = {
        {"text only", [] { test::SetClipboardText(L"C:\\a.png"); }, false, 0, 3, 3},
        {"nothing", [] { Put(CF_TEXT, nullptr); }, false, 0, 3, 3},
        {"a bitmap", [] { Put(CF_BITMAP, CreateBitmap(5, 4, 1, 32, nullptr)); }, true, 1, 5, 4},
        {"a device-independent bitmap", [] { Put(CF_DIB, Global(Dib{})); }, true, 1, 2, 2},
        {"an enhanced metafile", [&] { Put(CF_ENHMETAFILE, CloseEnhMetaFile(CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr))); },
         true, 4, dpi, dpi / 2},
        // The system offers it as an enhanced metafile too, framed by the picture's size.
        {"a metafile picture", [] {
             Put(CF_METAFILEPICT, Global(METAFILEPICT{MM_ANISOTROPIC, 2540, 1270, CloseMetaFile(CreateMetaFileW(nullptr))}));
         }, true, 4, dpi, dpi / 2},
    };
    for (const auto& c : cases) {
        c.fill();
        imaging::c32bppDIB dib;
        dib.InitializeDIB(3, 3);
        EXPECT_EQ(dib.LoadPicture_ClipBoard(), c.result) << c.name;
        EXPECT_EQ(dib.ImageType(), c.type) << c.name;
        EXPECT_EQ(std::pair(dib.Width(), dib.Height()), std::pair(c.width, c.height)) << c.name;
    }
}

} // namespace
