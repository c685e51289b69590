// Files under names outside the ANSI code page, picture objects from bytes and handles, and the
// file names of a drop through an in-process data object.
#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "tests/support/TestSupport.h"

#include <gdiplus.h>
#include <shlobj.h>
#include <gtest/gtest.h>

namespace {

const std::wstring kName = L"\u0436\u4e2d\u00e9.png"; // Cyrillic, CJK and Latin-1

TEST(Files, OpenWriteRemoveUnderAWideName)
{
    test::TempFolder folder;
    const std::wstring path = folder / kName;
    EXPECT_EQ(imaging::OpenImageFile(path, true), INVALID_HANDLE_VALUE) << "reading needs the file";
    {
        rt::UniqueFile file(imaging::OpenImageFile(path, false));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), "abc", 3, &written, nullptr));
        rt::UniqueFile other(imaging::OpenImageFile(path, true));
        EXPECT_FALSE(other) << "a file being written is not shared";
    }
    EXPECT_EQ(test::ReadBytes(path), "abc");
    {
        rt::UniqueFile reader(imaging::OpenImageFile(path, true)), second(imaging::OpenImageFile(path, true));
        EXPECT_TRUE(reader && second) << "readers share";
    }
    // A hidden file is replaced in place and stays hidden.
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(rt::UniqueFile(imaging::OpenImageFile(path, false)));
    EXPECT_EQ(test::ReadBytes(path), "");
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(imaging::RemoveFileForced(path));
    EXPECT_FALSE(test::FileExists(path));
    EXPECT_FALSE(imaging::RemoveFileForced(path)) << "nothing left to delete";
}

std::vector<std::uint8_t> BmpBytes()
{
    // A 2 x 2, 24-bit file: rows of 6 bytes padded to 8.
    std::vector<std::uint8_t> b = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0,
                                   1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    return b;
}

// JPEG bytes of a small picture, encoded by GDI+ with the encoder the engine finds.
std::vector<std::uint8_t> JpegBytes()
{
    namespace gp = Gdiplus;
    std::vector<std::uint8_t> out;
    ULONG_PTR token = 0;
    gp::GdiplusStartupInput input;
    if (gp::GdiplusStartup(&token, &input, nullptr) != gp::Ok)
        return out;
    CLSID jpeg{};
    gp::GpBitmap* bitmap = nullptr;
    auto stream = imaging::cGDIPlus::BytesToStream({});
    if (imaging::cGDIPlus().FindEncoderForMime(L"IMAGE/JPEG", jpeg) > 0 &&
        gp::DllExports::GdipCreateBitmapFromScan0(8, 8, 0, PixelFormat24bppRGB, nullptr, &bitmap) == gp::Ok) {
        if (gp::DllExports::GdipSaveImageToStream(bitmap, stream.get(), &jpeg, nullptr) == gp::Ok)
            imaging::cGDIPlus::StreamToBytes(stream.get(), out);
        gp::DllExports::GdipDisposeImage(bitmap);
    }
    gp::GdiplusShutdown(token);
    return out;
}

TEST(Files, PictureObjectsFromBytes)
{
    const auto jpeg = JpegBytes();
    ASSERT_GT(jpeg.size(), 100u);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        LONG width; // pixels, 0 = no picture
    };
    const Case cases[] = {
        {"bmp", BmpBytes(), 2},
        {"jpeg", jpeg, 8},
        {"garbage", std::vector<std::uint8_t>(64, 0x5A), 0},
        {"nothing", {}, 0},
    };
    for (const auto& c : cases) {
        auto picture = imaging::BytesToPictureObject(c.bytes);
        ASSERT_EQ(static_cast<bool>(picture), c.width != 0) << c.name;
        if (!picture)
            continue;
        SHORT type = 0;
        OLE_HANDLE handle = 0;
        ASSERT_EQ(picture->get_Type(&type), S_OK);
        EXPECT_EQ(type, PICTYPE_BITMAP) << c.name;
        ASSERT_EQ(picture->get_Handle(&handle), S_OK);
        BITMAP bm{};
        ASSERT_TRUE(GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof bm, &bm)) << c.name;
        EXPECT_EQ(bm.bmWidth, c.width) << c.name;
    }
}

TEST(Files, PictureObjectOwnsItsHandle)
{
    HBITMAP bitmap = CreateBitmap(3, 3, 1, 32, nullptr);
    {
        auto picture = imaging::PictureObjectFromHandle(bitmap, PICTYPE_BITMAP);
        ASSERT_TRUE(picture);
        OLE_HANDLE handle = 0;
        picture->get_Handle(&handle);
        EXPECT_EQ(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), bitmap);
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "released with the picture";
    HBITMAP kept = CreateBitmap(3, 3, 1, 32, nullptr);
    EXPECT_FALSE(imaging::PictureObjectFromHandle(kept, 77));
    EXPECT_NE(GetObjectType(kept), 0u) << "a refused handle stays the caller's";
    DeleteObject(kept);
}

// A data object that offers one HGLOBAL in one clipboard format, as a drop source does.
class DropData : public IDataObject {
public:
    DropData(CLIPFORMAT format, std::string block) : format_(format), block_(std::move(block)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IDataObject ? this : nullptr;
        return *out ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override
    {
        if (f->cfFormat != format_ || !(f->tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, block_.size());
        memcpy(GlobalLock(g), block_.data(), block_.size());
        GlobalUnlock(g);
        ++handedOut;
        *m = STGMEDIUM{TYMED_HGLOBAL, {}, nullptr};
        m->hGlobal = g;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override { return f->cfFormat == format_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    int handedOut = 0;

private:
    CLIPFORMAT format_;
    std::string block_;
    ULONG refs_ = 1;
};

std::string DropBlock(const std::wstring& names, bool wide, DWORD offset = sizeof(DROPFILES))
{
    DROPFILES header{};
    header.pFiles = offset;
    header.fWide = wide;
    std::string b(reinterpret_cast<const char*>(&header), sizeof header);
    if (wide)
        b.append(reinterpret_cast<const char*>(names.data()), names.size() * 2);
    else
        b += test::Narrow(names);
    return b;
}

TEST(Files, DroppedFileNames)
{
    using namespace std::string_literals;
    const std::vector<std::wstring> before = {L"untouched"};
    struct Case {
        const char* name;
        CLIPFORMAT format;
        std::string block;
        bool ok;
        std::vector<std::wstring> files;
    };
    const Case cases[] = {
        {"wide names", CF_HDROP, DropBlock(L"C:\\a\\" + kName + L"\0D:\\b.gif\0\0"s, true), true,
         {L"C:\\a\\" + kName, L"D:\\b.gif"}},
        {"ansi names", CF_HDROP, DropBlock(L"C:\\x.bmp\0\0"s, false), true, {L"C:\\x.bmp"}},
        {"not a file list", CF_UNICODETEXT, DropBlock(L"C:\\x.bmp\0\0"s, true), false, before},
        {"list past its memory", CF_HDROP, DropBlock(L"C:\\x.bmp\0\0"s, true, 4096), false, before},
        {"unterminated list", CF_HDROP, DropBlock(L"C:\\x.bmp"s, true), false, before},
    };
    imaging::c32bppDIB dib;
    for (const auto& c : cases) {
        DropData data(c.format, c.block);
        auto files = before;
        EXPECT_EQ(dib.GetDroppedFileNames(&data, files), c.ok) << c.name;
        EXPECT_EQ(files, c.files) << c.name;
    }
    std::vector<std::wstring> files;
    EXPECT_FALSE(dib.GetDroppedFileNames(nullptr, files));
}

} // namespace
