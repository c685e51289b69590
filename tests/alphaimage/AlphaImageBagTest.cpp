// The control in its property bag: every property read and written back unchanged, stored
// values held to the lets' rules, and a save that leaves the live picture alone.
#include "imaging/CursorFile.h"
#include "tests/alphaimage/ImageHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

using test::Bytes;
using Value = rt::PropertyBag::Value;

Bytes MonochromeCursor()
{
    BYTE andMask[4 * 32], xorMask[4 * 32];
    for (int i = 0; i < 128; ++i)
        andMask[i] = static_cast<BYTE>(i < 64 ? 0x0F : 0xFF), xorMask[i] = static_cast<BYTE>(i % 3 ? 0xF0 : 0);
    const rt::UniqueIcon cursor(CreateCursor(GetModuleHandleW(nullptr), 3, 5, 32, 32, andMask, xorMask));
    Bytes bytes;
    EXPECT_TRUE(imaging::SaveCursorToStream(cursor.get(), bytes));
    return bytes;
}

TEST(AlphaImageBag, EveryPropertyReadIsWrittenBackUnchanged)
{
    const std::pair<const wchar_t*, Value> stored[] = {
        {L"Scaler", std::int64_t{4}},          {L"ScaleCx", std::int64_t{31}},      {L"ScaleCy", std::int64_t{17}},
        {L"Opacity", std::int64_t{40}},        {L"Mirror", std::int64_t{3}},        {L"Angle", std::int64_t{-90}},
        {L"Enabled", std::int64_t{0}},         {L"MPointer", std::int64_t{99}},     {L"OLEdrop", std::int64_t{1}},
        {L"MIcon", MonochromeCursor()},        {L"GrayScale", std::int64_t{5}},     {L"HitTest", std::int64_t{2}},
        {L"Props", std::int64_t{0x1DF}},       {L"MaskUsed", std::int64_t{-1}},     {L"MaskColor", std::int64_t{0xFF}},
        {L"MaskSource", std::int64_t{1}},      {L"Mask", std::int64_t{0x998877}},   {L"ShadowColor", std::int64_t{0xFF00}},
        {L"ShadowDepth", std::int64_t{7}},     {L"ShadowX", std::int64_t{-3}},      {L"ShadowY", std::int64_t{9}},
        {L"ShadowOpacity", std::int64_t{80}},  {L"Intensity", 12.5},
    };
    // The picture's bytes come back exactly as kept, in run mode with KeepOriginalFormat and
    // at design time without it.
    for (const bool runMode : {true, false}) {
        SCOPED_TRACE(runMode ? "run mode" : "design time");
        rt::PropertyBag design;
        design.Set(L"Image", test::PicturePng(7, 5));
        for (const auto& [key, value] : stored)
            design.Set(key, value);
        if (!runMode)
            design.Set(L"Props", std::int64_t{0x1CF}); // without KeepOriginalFormat
        test::ImageHost host;
        rt::PropertyBag written;
        host.Add(&design, runMode).WriteTo(written);
        EXPECT_EQ(written.ReadBytes(L"Image"), design.ReadBytes(L"Image"));
        for (const auto& [key, value] : stored) {
            if (const auto* bytes = std::get_if<Bytes>(&value))
                EXPECT_EQ(written.ReadBytes(key), *bytes) << test::Narrow(key);
            else if (const auto* number = std::get_if<double>(&value))
                EXPECT_EQ(written.ReadDouble(key, 0, -1e9, 1e9), *number) << test::Narrow(key);
            else
                EXPECT_EQ(written.ReadInt(key, -7, INT64_MIN, INT64_MAX), design.ReadInt(key, 0, INT64_MIN, INT64_MAX))
                    << test::Narrow(key);
        }
    }
}

TEST(AlphaImageBag, StoredValuesOutsideTheLetsRulesTakeTheDefault)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const wchar_t* key;
        Value value;
        std::int64_t written; // -7: not stored (the default)
        std::int64_t props = 1;
    } cases[] = {
        {L"ScaleCx", std::int64_t{-40}, -7}, {L"ScaleCy", std::int64_t{-1}, -7}, {L"Opacity", 1e300, -7},
        {L"Opacity", std::int64_t{250}, 50},  {L"Mirror", std::int64_t{-1}, -7},  {L"Angle", std::int64_t{450}, 90},
        {L"GrayScale", std::int64_t{8}, -7},  {L"HitTest", nan, -7},              {L"ShadowDepth", std::int64_t{11}, -7},
        {L"ShadowOpacity", -1e19, -7},        {L"MaskSource", std::int64_t{6}, -7}, {L"Intensity", nan, -7},
        {L"Intensity", std::int64_t{101}, -7},
        // Kept as they are, and painted: a held size whose turned square is the largest there is,
        // a shadow as far off as can be.
        {L"ScaleCx", std::int64_t{INT_MAX}, INT_MAX, 0x101}, {L"ShadowX", std::int64_t{INT_MAX}, INT_MAX, 0x81},
        {L"ShadowY", std::int64_t{INT_MIN}, INT_MIN, 0x81},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::Narrow(c.key));
        rt::PropertyBag design;
        design.Set(L"Image", test::PictureBmp(20, 10, true)).Set(L"Scaler", std::int64_t{4}).Set(L"Props", c.props);
        design.Set(c.key, c.value);
        test::ImageHost host;
        auto& image = host.Add(&design);
        rt::PropertyBag written;
        image.WriteTo(written);
        if (std::wstring(c.key) != L"Intensity")
            EXPECT_EQ(written.ReadInt(c.key, -7, INT64_MIN, INT64_MAX), c.written);
        else
            EXPECT_FALSE(written.Has(c.key));
        // Whatever was stored, the control still lays the picture out and draws it.
        image.SetScaleMethod(0);
        EXPECT_NE(GetPixel(image.BackDC(), 20, 15), GetSysColor(COLOR_BTNFACE));
    }
}

TEST(AlphaImageBag, SavingLeavesTheLivePictureAsShownAndStoresThePictureItself)
{
    rt::PropertyBag design;
    const Bytes bmp = test::PictureBmp(8, 6);
    design.Set(L"Image", bmp).Set(L"Mirror", std::int64_t{1}).Set(L"Props", std::int64_t{0x45});
    test::ImageHost host;
    auto& image = host.Add(&design, false);
    const Bytes shown = test::PixelsOf(*image.SourceDIB());
    rt::PropertyBag written;
    image.WriteTo(written);
    EXPECT_EQ(test::PixelsOf(*image.SourceDIB()), shown);
    // The stored bytes are the picture as loaded, without mirror and inversion.
    imaging::c32bppDIB stored, original;
    ASSERT_TRUE(stored.LoadPicture_Stream(written.ReadBytes(L"Image")));
    ASSERT_TRUE(original.LoadPicture_Stream(bmp));
    EXPECT_EQ(test::PixelsOf(stored), test::PixelsOf(original));
    // A cleared control stores no picture, and a second save stores the same bytes.
    rt::PropertyBag again;
    image.WriteTo(again);
    EXPECT_EQ(again.ReadBytes(L"Image"), written.ReadBytes(L"Image"));
    image.ClearImage();
    rt::PropertyBag cleared;
    image.WriteTo(cleared);
    EXPECT_FALSE(cleared.Has(L"Image"));
}

TEST(AlphaImageBag, AnOpaquePictureLetterboxedInTheCacheGetsNoMargins)
{
    rt::PropertyBag design;
    // 20 x 10 fitted into 40 x 30 leaves bands above and below; AutoRedraw keeps the cache,
    // from which the visible pixels' region is read.
    design.Set(L"Image", test::PictureBmp(20, 10, true)).Set(L"Props", std::int64_t{0x9}).Set(L"HitTest", std::int64_t{3});
    test::ImageHost host;
    auto& image = host.Add(&design);
    ASSERT_TRUE(image.AutoRedraw());
    int clicks = 0;
    image.Click.Connect([&](int) { ++clicks; });
    for (const POINT p : {POINT{20, 2}, POINT{20, 27}, POINT{20, 15}}) {
        PostMessageW(image.hWnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(p.x, p.y));
        PostMessageW(image.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        ASSERT_TRUE(test::PumpQueued());
        EXPECT_EQ(GetPixel(image.BackDC(), p.x, p.y) == GetSysColor(COLOR_BTNFACE), p.y != 15) << p.y;
    }
    EXPECT_EQ(clicks, 1);
}

} // namespace
