// The PNG writer's Win32 doors: SaveToStream_PNG through GDI+ and through our own writer,
// WritePNG into files and arrays beside the shipped zlib, none and one that lies, and imgdump's
// --save png run as a process.
#include "core/PngTestFiles.h"

#include "imaging/Zlib.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "imaging/cPNGwriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace pngtest;
using imaging::c32bppDIB;

namespace {

const imaging::Zlib& Shipped()
{
    static const imaging::Zlib zlib({test::BuildDir() + L"\\bin"});
    return zlib;
}

// 40 x 30 pixels of many colours: opaque, transparent and partly transparent, premultiplied.
void Paint(c32bppDIB& host)
{
    ASSERT_TRUE(host.InitializeDIB(40, 30));
    std::uint8_t* p = host.BitsPointer();
    for (int i = 0; i < 40 * 30; ++i, p += 4) {
        const int a = i % 5 == 0 ? 0 : i % 5 == 1 ? 255 : i * 7 % 256;
        for (int k = 0; k < 3; ++k)
            p[k] = static_cast<std::uint8_t>((i * (k + 3)) % 256 * a / 255);
        p[3] = static_cast<std::uint8_t>(a);
    }
    host.SetAlphaState(true);
}

// The picture read back by our reader matches the host's within `slack` below each colour byte
// (1: a colour made straight and premultiplied again), alphas exactly.
::testing::AssertionResult ReadsBack(const Bytes& png, const c32bppDIB& host, int slack)
{
    c32bppDIB back;
    back.isGDIplusEnabled(false);
    if (!imaging::cPNGparser().LoadStream(png, back, 0, png.size(), {}) || !back.BitsPointer())
        return ::testing::AssertionFailure() << "no picture from " << png.size() << " bytes";
    const std::size_t size = std::size_t(host.scanWidth()) * std::size_t(host.Height());
    if (back.Width() != host.Width() || back.Height() != host.Height())
        return ::testing::AssertionFailure() << back.Width() << " x " << back.Height();
    for (std::size_t i = 0; i < size; ++i) {
        const int want = host.BitsPointer()[i], got = back.BitsPointer()[i];
        const bool opaqueOrAlpha = i % 4 == 3 || host.BitsPointer()[i | 3] == 255;
        if (got > want + (opaqueOrAlpha ? 0 : slack - 1) || got < want - (opaqueOrAlpha ? 0 : slack))
            return ::testing::AssertionFailure() << "byte " << i << ": " << got << " for " << want;
    }
    return ::testing::AssertionSuccess();
}

std::string Layout(const Bytes& png)
{
    std::string types;
    for (const ChunkAt& c : Chunks(png))
        types += c.type + " ";
    return types;
}

TEST(PngWriterWin32, SaveToStreamPngThroughGdiPlusOrOurOwnWriter)
{
    for (const bool gdiplus : {false, true}) {
        SCOPED_TRACE(gdiplus ? "GDI+ on" : "GDI+ off");
        c32bppDIB host;
        host.isGDIplusEnabled(gdiplus);
        Paint(host);
        Bytes png;
        ASSERT_TRUE(host.SaveToStream_PNG(png));
        // GDI+ rounds its own way when it takes the alpha out.
        EXPECT_TRUE(ReadsBack(png, host, gdiplus ? 2 : 1));
        EXPECT_TRUE(gdiplus || Layout(png) == "IHDR IDAT IEND ") << Layout(png);
    }
    c32bppDIB empty;
    Bytes untouched{1};
    EXPECT_FALSE(empty.SaveToStream_PNG(untouched));
    EXPECT_EQ(untouched, Bytes{1});
}

TEST(PngWriterWin32, WritePngReplacesAFileOnlyWithACompleteOne)
{
    c32bppDIB host;
    Paint(host);
    Bytes expected;
    ASSERT_TRUE(imaging::cPNGwriter(Shipped()).WritePNG(host, L"", expected));
    ASSERT_TRUE(ReadsBack(expected, host, 1));

    test::TempFolder folder;
    const imaging::Zlib none({folder.Path()}); // the system folder, where Wine keeps one, left out
    const imaging::Zlib lying({test::BuildDir() + L"\\tests\\imaging\\fakezlib\\no-none"});
    const std::string old = "the old file";
    const struct {
        const char* name;
        const imaging::Zlib& zlib;
        const wchar_t* file; // none: into the array
        DWORD oldAttributes; // 0: no old file
        bool result;
        Bytes array; // what the array holds afterwards, when writing to it
    } cases[] = {
        {"bytes", Shipped(), nullptr, 0, true, expected},
        {"bytes without zlib: the array untouched", none, nullptr, 0, false, {7}},
        {"bytes from a zlib that writes nothing: the array erased", lying, nullptr, 0, false, {}},
        {"a new file", Shipped(), L"new.png", 0, true, {7}},
        {"a hidden file keeps its attribute", Shipped(), L"hidden.png", FILE_ATTRIBUTE_HIDDEN, true, {7}},
        {"a read-only file stays", Shipped(), L"readonly.png", FILE_ATTRIBUTE_READONLY, false, {7}},
        {"no zlib: the old file stays", none, L"nozlib.png", FILE_ATTRIBUTE_NORMAL, false, {7}},
        {"a zlib that writes nothing: the old file stays", lying, L"lying.png", FILE_ATTRIBUTE_NORMAL, false, {7}},
        {"a folder that does not exist", Shipped(), L"missing\\a.png", 0, false, {7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = c.file ? folder / c.file : L"";
        if (c.oldAttributes) {
            test::WriteBytes(path, old);
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), c.oldAttributes));
        }
        Bytes array{7};
        EXPECT_EQ(imaging::cPNGwriter(c.zlib).WritePNG(host, path, array), c.result);
        EXPECT_EQ(array, c.array);
        if (!c.file)
            continue;
        EXPECT_EQ(test::FileExists(path), c.result || c.oldAttributes != 0);
        if (test::FileExists(path)) {
            EXPECT_EQ(test::ReadBytes(path), c.result ? std::string(expected.begin(), expected.end()) : old);
            EXPECT_EQ(GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
                      c.oldAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
    // Nothing but the files asked for: no temporary is left beside them.
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder / L"*.tmp").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

// imgdump --save png in a folder of its own beside the shipped zlib: OUT is the engine's PNG,
// from our own writer with GDI+ off and from GDI+ with it on. (A process without any zlib cannot
// be had here: Wine keeps a zlib1.dll in its system folder.)
TEST(PngWriterWin32, ImgdumpSavesThePictureAsPng)
{
    std::mt19937 rng(24);
    const Picture p = RandomPicture(rng, 6, 8, false, 33, 17);
    const Bytes source = WritePng(p, Compress(RawRows(p, rng)));
    c32bppDIB host;
    host.isGDIplusEnabled(false);
    ASSERT_TRUE(imaging::cPNGparser().LoadStream(source, host, 0, source.size(), {}));
    test::TempFolder folder;
    test::WriteBytes(folder / L"in.png", std::string(source.begin(), source.end()));
    const std::wstring exe = folder / L"imgdump.exe";
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\tests\\imaging\\imgdump.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((test::BuildDir() + L"\\bin\\zlib1.dll").c_str(), (folder / L"zlib1.dll").c_str(), FALSE));
    for (const bool gdiplus : {false, true}) {
        SCOPED_TRACE(gdiplus ? "GDI+ on" : "GDI+ off");
        const std::wstring out = gdiplus ? L"gdiplus.png" : L"own.png";
        test::Process run(exe, L"in.png " + out + L" --gdiplus " + (gdiplus ? L"on" : L"off") + L" --save png",
                          folder.Path());
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitForExit(60000));
        EXPECT_EQ(run.ExitCode(), 0u);
        const std::string bytes = test::ReadBytes(folder / out);
        const Bytes png(bytes.begin(), bytes.end());
        EXPECT_TRUE(ReadsBack(png, host, gdiplus ? 2 : 1));
        EXPECT_TRUE(gdiplus || Layout(png) == "IHDR IDAT IEND ") << Layout(png);
    }
    test::Process broken(exe, L"missing.png out --save png", folder.Path());
    ASSERT_TRUE(broken.Started() && broken.WaitForExit(60000));
    EXPECT_EQ(broken.ExitCode(), 1u);
    EXPECT_FALSE(test::FileExists(folder / L"out"));
}

} // namespace
