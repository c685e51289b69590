// Both programs' title bars at the DPI of the prefix they run in (96 in the shared one, 144
// through tools/with-dpi): the band, the caption's start and the boxes, all scaled.
#include "blocker/FrmMain.h"
#include "monitor/FrmMain.h"
#include "common/ModCommon.h"
#include "runtime/Runtime.h"
#include "tests/support/ProgramFormsTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::uint32_t At(const skin::TitelBar& b, int x, int y)
{
    GdiFlush();
    return static_cast<const std::uint32_t*>(b.BackBits())[static_cast<std::size_t>(y) * b.ScaleWidth() + x] & 0xFFFFFF;
}

class TitelBarForms : public test::ProgramFormsTest {
protected:
    void Check(const skin::TitelBar& b)
    {
        const int dpi = rt::DpiOf(b.hWnd());
        auto scaled = [dpi](int v) { return MulDiv(v, dpi, 96); };
        // The shown form's pending size messages settle first.
        EXPECT_TRUE(test::WaitFor([&] { return b.ScaleHeight() == scaled(28); }, 5000, "the bar's scaled height"))
            << b.ScaleHeight();
        EXPECT_EQ(At(b, 1, 0), 0x4668A0u) << "the band starts at RGB(70, 104, 160)";
        EXPECT_LT(At(b, 1, b.ScaleHeight() - 1) >> 16, 70u) << "and darkens downwards";
        const RECT close = b.CloseBoxRect(), min = b.MinBoxRect();
        EXPECT_EQ(close.right - close.left, scaled(16));
        EXPECT_EQ(close.right, b.ScaleWidth() - scaled(6));
        EXPECT_EQ(min.right, close.left - scaled(6));
        int firstInk = -1;
        for (int x = 0; x < scaled(60) && firstInk < 0; ++x)
            for (int y = 0; y < b.ScaleHeight(); ++y)
                if (At(b, x, y) == 0xFFFFFFu) {
                    firstInk = x;
                    break;
                }
        EXPECT_GE(firstInk, scaled(6)) << "the caption starts 6 design pixels in";
        EXPECT_LE(firstInk, scaled(6) + scaled(3));
    }
};

} // namespace

TEST_F(TitelBarForms, OstreviBarScalesWithTheDpi)
{
    test::WriteBytes(folder / L"Settings.ini", "[main]\r\nPort=3389\r\nTime=5\r\n");
    auto form = std::make_unique<vantorel::ostrevi::FrmMain>(vantorel::Seams{.commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    Check(form->TitelBar1);
}

TEST_F(TitelBarForms, BrennixBarScalesWithTheDpi)
{
    auto form = std::make_unique<vantorel::brennix::FrmMain>(vantorel::Seams{.commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    Check(form->TitelBar1);
    form->Unload();
}
