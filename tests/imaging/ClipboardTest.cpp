// File names pasted from the clipboard, wide and ANSI, and clipboards that hold no file list.
#include "imaging/c32bppDIB.h"
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

} // namespace
