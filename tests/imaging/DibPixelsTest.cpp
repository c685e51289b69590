// Pixel export and import, BMP bytes read back by the system's own loader, and the shadow object.
#include "imaging/c32bppDIB.h"

#include "tests/imaging/core/WatchedNew.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>


namespace {

using imaging::c32bppDIB;
using imaging::PixelArray;

// A premultiplied picture with opaque, clear and partial pixels.
void Fill(c32bppDIB& dib, int w, int h, unsigned seed, bool opaque = false)
{
    ASSERT_TRUE(dib.InitializeDIB(w, h));
    std::mt19937 rng(seed);
    std::uint8_t* p = dib.BitsPointer();
    for (int i = 0; i < w * h; ++i, p += 4) {
        p[3] = static_cast<std::uint8_t>(opaque || i % 3 == 0 ? 255 : i % 3 == 1 ? 0 : rng() % 256);
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<std::uint8_t>(rng() % (p[3] + 1));
    }
    dib.SetAlphaState(!opaque);
}

TEST(DibPixels, GetPixelAndRectangles)
{
    c32bppDIB dib;
    std::uint8_t alpha = 9;
    EXPECT_EQ(dib.GetPixel(0, 0, &alpha, true), 0xFFFFFFFFu) << "no picture";
    EXPECT_EQ(alpha, 0);
    ASSERT_TRUE(dib.InitializeDIB(10, 2));
    const std::uint8_t topLeft[4] = {64, 32, 16, 128};
    std::memcpy(dib.BitsPointer() + 10 * 4, topLeft, 4); // the top row is the last in memory
    EXPECT_EQ(dib.GetPixel(0, 0, &alpha, false), 31u + 63u * 256 + 127u * 65536);
    EXPECT_EQ(alpha, 128);
    EXPECT_EQ(dib.GetPixel(0, 0, nullptr, true), 16u + 32u * 256 + 64u * 65536);
    EXPECT_EQ(dib.GetPixel(10, 0, &alpha, true), 0xFFFFFFFFu);

    PixelArray out;
    ASSERT_TRUE(dib.GetDIBbits(out, true, true, false, true, true, 3, 0, 0, 0));
    EXPECT_TRUE(out.twoDimensional && out.rowLength == 24u && out.rows == 2u && out.bytes.size() == 48u)
        << "7 columns of 3 bytes, filled to 24";
    out.bytes.assign(1, 77);
    EXPECT_FALSE(dib.GetDIBbits(out, false, true, true, false, true, 10, 0, 0, 0));
    EXPECT_FALSE(dib.GetDIBbits(out, false, true, true, false, true, -1, 0, 0, 0));
    EXPECT_EQ(out.bytes, std::vector<std::uint8_t>{77}) << "refused exports leave the array";
}

TEST(DibPixels, EveryLayoutRoundTrips)
{
    c32bppDIB source;
    Fill(source, 9, 6, 3);
    for (int bits = 0; bits < 32; ++bits) {
        const bool twoD = bits & 1, bgr = bits & 2, b32 = bits & 4, aligned = bits & 8, bottomUp = bits & 16;
        PixelArray out;
        ASSERT_TRUE(source.GetDIBbits(out, twoD, bgr, b32, aligned, bottomUp));
        c32bppDIB back;
        ASSERT_TRUE(back.InitializeDIB(9, 6));
        if (!b32) // 24-bit rows leave the alpha that is there
            for (int i = 0; i < 9 * 6; ++i)
                back.BitsPointer()[i * 4 + 3] = source.BitsPointer()[i * 4 + 3];
        ASSERT_TRUE(back.SetDIBbits(out.bytes, bgr, b32, aligned, bottomUp)) << bits;
        EXPECT_EQ(std::memcmp(back.BitsPointer(), source.BitsPointer(), 9 * 6 * 4), 0) << "layout " << bits;
        EXPECT_TRUE(back.Alpha());
    }

    // Straight alpha comes in premultiplied; a rectangle of 2 rows still needs the whole height.
    c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(2, 1));
    const std::vector<std::uint8_t> straight = {200, 100, 50, 128, 10, 20, 30, 255};
    ASSERT_TRUE(dib.SetDIBbits(straight, true, true, false, true));
    EXPECT_EQ(dib.BitsPointer()[0], 200 * 128 / 255);
    EXPECT_TRUE(dib.Alpha());
    ASSERT_TRUE(dib.InitializeDIB(10, 10));
    EXPECT_FALSE(dib.SetDIBbits(std::vector<std::uint8_t>(2 * 40), true, true, false, true, 0, 0, 0, 2));
}

TEST(DibPixels, SaveToStreamReadsBackThroughTheSystemLoader)
{
    test::TempFolder folder;
    for (bool opaque : {true, false}) {
        c32bppDIB dib;
        Fill(dib, 5, 3, 7, opaque);
        std::vector<std::uint8_t> bmp;
        ASSERT_TRUE(dib.SaveToStream(bmp));
        const int bits = opaque ? 24 : 32;
        EXPECT_EQ(bmp.size(), 54u + (opaque ? 16u : 20u) * 3);
        EXPECT_EQ(bmp[28], bits);
        const std::wstring path = folder / (opaque ? L"opaque.bmp" : L"alpha.bmp");
        test::WriteBytes(path, std::string(bmp.begin(), bmp.end()));
        HBITMAP loaded = static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                         LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_NE(loaded, nullptr);
        DIBSECTION section{};
        ASSERT_TRUE(GetObjectW(loaded, sizeof section, &section));
        EXPECT_TRUE(section.dsBm.bmWidth == 5 && section.dsBm.bmHeight == 3 && section.dsBm.bmBitsPixel == bits);
        const auto* read = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
        for (int row = 0; row < 3; ++row)
            for (int x = 0; x < 5; ++x)
                for (int c = 0; c < bits / 8; ++c)
                    ASSERT_EQ(read[row * section.dsBm.bmWidthBytes + x * bits / 8 + c], dib.BitsPointer()[(row * 5 + x) * 4 + c])
                        << (opaque ? "24" : "32") << "-bit at " << x << "," << row;
        DeleteObject(loaded);
    }
    std::vector<std::uint8_t> bmp(3, 1);
    EXPECT_FALSE(c32bppDIB().SaveToStream(bmp));
}

// An export that cannot be allocated fails and leaves no bytes. No export outgrows a 64-bit process, and
// reserving its address space costs Wine gigabytes of page tables: the seam is the test's operator new.
TEST(DibPixels, ExportsThatCannotBeAllocatedFailWithNothingOut)
{
    c32bppDIB dib;
    Fill(dib, 1024, 1024, 11);
    std::vector<std::uint8_t> bmp(3, 1);
    PixelArray out;
    out.bytes.assign(3, 1);
    gRefuseFrom = 1u << 20;
    const bool saved = dib.SaveToStream(bmp), exported = dib.GetDIBbits(out, false, true, true, false, true);
    gRefuseFrom = SIZE_MAX;
    EXPECT_FALSE(saved || exported);
    EXPECT_TRUE(bmp.empty() && out.bytes.empty());
    EXPECT_TRUE(dib.SaveToStream(bmp) && dib.GetDIBbits(out, false, true, true, false, true)) << "with room again";
}

TEST(DibPixels, ShadowObject)
{
    c32bppDIB none, dib;
    EXPECT_EQ(none.CreateDropShadow(3, 0), nullptr);
    ASSERT_TRUE(dib.InitializeDIB(4, 3)); // wholly transparent
    dib.gdiToken({1234, false, {}});
    for (auto [depth, margin] : {std::pair{0, 0}, {3, 3}, {15, 10}, {-2, 0}}) {
        const auto shadow = dib.CreateDropShadow(depth, 0x404040);
        ASSERT_NE(shadow, nullptr);
        EXPECT_TRUE(shadow->Width() == 4 + 2 * margin && shadow->Height() == 3 + 2 * margin) << depth;
        EXPECT_TRUE(shadow->ImageType() == imaging::imgBitmapPremultiplied && shadow->Alpha());
        EXPECT_EQ(shadow->gdiToken().value, 1234u);
    }
}

} // namespace
