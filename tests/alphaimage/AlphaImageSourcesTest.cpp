// Every way a picture gets into the control, each with a source that works and one that fails:
// a failed load keeps the picture there was.
#include "assets/resource_ids.h"
#include "imaging/Files.h"
#include "tests/alphaimage/ImageHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using test::Bytes;

HBITMAP Bitmap(int w, int h) { return CreateBitmap(w, h, 1, 32, nullptr); }

bool PutOnClipboard(HBITMAP bitmap)
{
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    const bool put = !bitmap || SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    return put;
}

TEST(AlphaImageSources, EachSourceLoadsAndAFailureKeepsThePicture)
{
    test::TempFolder folder;
    const Bytes png = test::PicturePng(5, 4);
    test::WriteBytes(folder / L"p.png", std::string(png.begin(), png.end()));
    using Load = std::function<bool(aic::aicAlphaImage&)>;
    const rt::UniqueIcon icon(LoadIconW(nullptr, IDI_APPLICATION));
    const rt::Gdi<HBITMAP> bitmap(Bitmap(5, 4));
    const struct {
        const char* name;
        Load load;
        int width, height; // 0: the picture there was
    } cases[] = {
        {"array", [&](auto& c) { return c.LoadImage_FromArray(png); }, 5, 4},
        {"array: not a picture", [](auto& c) { return c.LoadImage_FromArray(Bytes(200, 'x')); }, 0, 0},
        {"file", [&](auto& c) { return c.LoadImage_FromFile(folder / L"p.png"); }, 5, 4},
        {"file: missing", [&](auto& c) { return c.LoadImage_FromFile(folder / L"none.png"); }, 0, 0},
        {"picture object",
         [](auto& c) {
             return c.LoadImage_FromStdPicture(imaging::PictureObjectFromHandle(Bitmap(5, 4), PICTYPE_BITMAP).get());
         },
         5, 4},
        {"picture object: none", [](auto& c) { return c.LoadImage_FromStdPicture(nullptr); }, 0, 0},
        {"clipboard", [](auto& c) { return PutOnClipboard(Bitmap(5, 4)) && c.LoadImage_FromClipboard(); }, 5, 4},
        {"clipboard: empty", [](auto& c) { return PutOnClipboard(nullptr) && c.LoadImage_FromClipboard(); }, 0, 0},
        {"bitmap handle", [&](auto& c) { return c.LoadImage_FromHandle(bitmap.get()); }, 5, 4},
        {"icon handle", [&](auto& c) { return c.LoadImage_FromHandle(icon.get()); }, 32, 32},
        {"handle: none", [](auto& c) { return c.LoadImage_FromHandle(nullptr); }, 0, 0},
        {"resource", [](auto& c) { return c.LoadImage_FromResource(nullptr, std::wstring(L"#10"), IDP_LINK_WEB); }, 44, 44},
        {"resource: missing", [](auto& c) { return c.LoadImage_FromResource(nullptr, std::wstring(L"#10"), 9999); }, 0, 0},
        {"kept bytes", [&](auto& c) { c.SetKeepOriginalFormat(true); return c.LoadImage_FromArray(png) && c.LoadImage_FromOrignalBytes(); }, 5, 4},
        {"kept bytes: none", [](auto& c) { return c.LoadImage_FromOrignalBytes(); }, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rt::PropertyBag design;
        design.Set(L"Image", test::PictureBmp(8, 6)).Set(L"HitTest", std::int64_t{3}).Set(L"Props", std::int64_t{0x9});
        test::ImageHost host;
        auto& image = host.Add(&design);
        const Bytes before = test::PixelsOf(*image.SourceDIB());
        const Bytes drawn(static_cast<const std::uint8_t*>(image.BackBits()),
                          static_cast<const std::uint8_t*>(image.BackBits()) + 4 * image.ScaleWidth() * image.ScaleHeight());
        EXPECT_EQ(c.load(image), c.width != 0);
        if (c.width) {
            EXPECT_EQ(image.SourceDIB()->Width(), c.width);
            EXPECT_EQ(image.SourceDIB()->Height(), c.height);
            continue;
        }
        // The picture and the cache drawn from it are as they were.
        EXPECT_EQ(test::PixelsOf(*image.SourceDIB()), before);
        image.Refresh();
        EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), static_cast<const std::uint8_t*>(image.BackBits())));
    }
}

TEST(AlphaImageSources, WantedIconSizeDefaultsToTheControlsAndComesBack)
{
    test::ImageHost host;
    auto& image = host.Add(nullptr, true, nullptr, {0, 0, 48, 24});
    aic::IconWanted wanted;
    EXPECT_TRUE(image.LoadImage_FromArray(test::PicturePng(5, 4), wanted));
    EXPECT_EQ(wanted.width, 48);
    EXPECT_EQ(wanted.height, 24);
    EXPECT_EQ(wanted.bitDepth, 32);
}

} // namespace
