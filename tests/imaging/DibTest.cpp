// The bitmap object's life cycle, its own DC and its capability flags, with real DIB sections.
#include "imaging/c32bppDIB.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

using imaging::c32bppDIB;

bool AllZero(const c32bppDIB& dib)
{
    const auto* b = dib.BitsPointer();
    return std::all_of(b, b + dib.scanWidth() * dib.Height(), [](std::uint8_t v) { return v == 0; });
}

TEST(Dib, InitializeRefusesBadSizesBeforeCreatingAnything)
{
    struct Case {
        std::int64_t w, h;
        bool ok;
        int width, height;
    };
    const Case cases[] = {
        {0, 10, false, 0, 0},     {10, 0, false, 0, 0},          {-3, 4, false, 0, 0},
        {1, INT_MIN, false, 0, 0}, {32768, 16384, false, 0, 0}, {46341, 46341, false, 0, 0},
        {10, -5, true, 10, 5},    {7, 3, true, 7, 3},
    };
    for (const auto& c : cases) {
        c32bppDIB dib;
        ASSERT_TRUE(dib.InitializeDIB(2, 2));
        EXPECT_EQ(dib.InitializeDIB(c.w, c.h), c.ok) << c.w << " x " << c.h;
        EXPECT_EQ(dib.Width(), c.width);
        EXPECT_EQ(dib.Height(), c.height);
        EXPECT_EQ(dib.Handle() != nullptr, c.ok);
        EXPECT_EQ(dib.ImageType(), c.ok ? 0 : -1) << "a refused size still destroys the old picture";
        EXPECT_EQ(dib.Alpha(), c.ok);
        if (c.ok) {
            EXPECT_EQ(dib.scanWidth(), c.width * 4);
            EXPECT_TRUE(AllZero(dib));
            BITMAP bm{};
            ASSERT_TRUE(GetObjectW(dib.Handle(), sizeof bm, &bm));
            EXPECT_EQ(bm.bmBitsPixel, 32);
            EXPECT_EQ(bm.bmHeight, c.height);
        }
    }
}

TEST(Dib, EraseAndDestroy)
{
    c32bppDIB dib;
    EXPECT_EQ(dib.ImageType(), 0) << "before the first picture";
    dib.EraseDIB();
    EXPECT_EQ(dib.ImageType(), 0);
    EXPECT_FALSE(dib.Alpha()) << "erasing nothing changes nothing";

    ASSERT_TRUE(dib.InitializeDIB(3, 2));
    std::fill_n(dib.BitsPointer(), 24, std::uint8_t{0x7F});
    dib.SetImageType(imaging::imgPNG);
    dib.SetAlphaState(false);
    dib.SetSourceBytes(std::vector<std::uint8_t>{1, 2, 3});
    dib.EraseDIB();
    EXPECT_TRUE(AllZero(dib));
    EXPECT_EQ(dib.ImageType(), 0);
    EXPECT_TRUE(dib.Alpha());

    HBITMAP handle = dib.Handle();
    dib.DestroyDIB();
    EXPECT_EQ(GetObjectType(handle), 0u) << "the section is deleted";
    EXPECT_TRUE(dib.SourceBytes().empty());
    dib.DestroyDIB();
    EXPECT_EQ(dib.ImageType(), -1);
    EXPECT_EQ(dib.BitsPointer(), nullptr);
}

TEST(Dib, OwnDcStates)
{
    c32bppDIB dib;
    EXPECT_EQ(dib.LoadDIBinDC(true), nullptr) << "no DC without a picture";
    ASSERT_TRUE(dib.InitializeDIB(4, 4));
    HDC dc = dib.LoadDIBinDC(true);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dib.LoadDIBinDC(true), dc) << "loading twice selects once";
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), dib.Handle());
    SetPixelV(dc, 0, 0, RGB(10, 20, 30)); // the DC draws into the picture; row 0 is the top
    const std::uint8_t* top = dib.BitsPointer() + 3 * dib.scanWidth();
    EXPECT_EQ(top[0] | top[1] << 8 | top[2] << 16, 30 | 20 << 8 | 10 << 16);
    EXPECT_EQ(dib.LoadDIBinDC(false), nullptr);
    EXPECT_EQ(GetObjectType(dc), 0u) << "without ManageOwnDC the DC goes";

    dib.ManageOwnDC(true);
    dc = dib.LoadDIBinDC(true);
    dib.LoadDIBinDC(false);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC)) << "a managed DC survives";
    EXPECT_NE(GetCurrentObject(dc, OBJ_BITMAP), dib.Handle()) << "but the picture is deselected";
    EXPECT_EQ(dib.LoadDIBinDC(true), dc) << "and is used again";
    dib.ManageOwnDC(false);
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_NE(GetObjectType(dib.Handle()), 0u) << "the picture survives its DC";

    c32bppDIB managed;
    managed.ManageOwnDC(true);
    ASSERT_TRUE(managed.InitializeDIB(2, 2));
    dc = managed.LoadDIBinDC(true);
    managed.LoadDIBinDC(false);
    managed.DestroyDIB();
    EXPECT_EQ(GetObjectType(dc), 0u) << "DestroyDIB frees even a managed DC";
}

TEST(Dib, CapabilityFlagsFollowTheSystem)
{
    struct Case {
        std::uint32_t flags;
        bool alphaBlend, gdiPlus;
    };
    for (auto c : {Case{32, false, false}, Case{0, false, true}, Case{24, true, true}, Case{9, true, true}}) {
        c32bppDIB dib(c.flags);
        dib.isAlphaBlendFriendly(true);
        EXPECT_EQ(dib.isAlphaBlendFriendly(), c.alphaBlend) << c.flags;
        EXPECT_EQ(dib.isGDIplusEnabled(), c.gdiPlus) << c.flags << ": GDI+ is present under Wine";
        EXPECT_EQ(dib.HighQualityInterpolation(), c.gdiPlus);
        dib.isGDIplusEnabled(false);
        dib.isAlphaBlendFriendly(false);
        EXPECT_FALSE(dib.isGDIplusEnabled());
        EXPECT_FALSE(dib.isAlphaBlendFriendly());
    }
    EXPECT_TRUE(c32bppDIB().isAlphaBlendFriendly()) << "Wine reports an NT system after XP";
}

TEST(Dib, CheckerBoard)
{
    c32bppDIB dib;
    EXPECT_FALSE(dib.CreateCheckerBoard(12, 0xFFFFFF, 0xC0C0C0)) << "no picture";
    ASSERT_TRUE(dib.InitializeDIB(30, 20));
    for (int size : {0, -4})
        EXPECT_FALSE(dib.CreateCheckerBoard(size, 0xFFFFFF, 0xC0C0C0)) << size << " must not loop";
    ASSERT_TRUE(dib.CreateCheckerBoard(12, 0xFFFFFF, 0xC0C0C0));
    EXPECT_EQ(dib.ImageType(), imaging::imgCheckerBoard);
    EXPECT_FALSE(dib.Alpha());
    auto pixel = [&](int x, int y) {
        const std::uint8_t* p = dib.BitsPointer() + (19 - y) * dib.scanWidth() + x * 4;
        return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    };
    struct Cell {
        int x, y;
        std::uint32_t bgra;
    };
    for (auto c : {Cell{0, 0, 0xFFFFFFFF}, Cell{11, 11, 0xFFFFFFFF}, Cell{12, 0, 0xFFC0C0C0}, Cell{0, 12, 0xFFC0C0C0},
                   Cell{12, 12, 0xFFFFFFFF}, Cell{29, 19, 0xFFC0C0C0}, Cell{24, 0, 0xFFFFFFFF}})
        EXPECT_EQ(pixel(c.x, c.y), c.bgra) << c.x << "," << c.y;
}

TEST(Dib, ManyCyclesLeaveGdiObjectsAvailable)
{
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    c32bppDIB dib;
    for (int i = 0; i < 100000; ++i) {
        ASSERT_TRUE(dib.InitializeDIB(1 + i % 7, 3)) << "cycle " << i;
        if (i % 2)
            dib.ManageOwnDC(i % 4 == 1);
        ASSERT_NE(dib.LoadDIBinDC(true), nullptr) << "cycle " << i;
        if (i % 3)
            dib.LoadDIBinDC(false);
        dib.DestroyDIB();
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
    EXPECT_TRUE(dib.InitializeDIB(64, 64));
}

} // namespace
