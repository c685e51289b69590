// The forms' logo and link pictures through the engine at the DPI of the prefix the test runs in
// (VANTOREL_DPI): read by the engine's own BMP path, no GDI+ decode, and drawn as their pixels
// at 96 DPI show over the container, scaled by the DPI.
#include "assets/resource_ids.h"
#include "common/LinkImages.h"
#include "tests/alphaimage/ImageHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(FormPictures, DrawnAsTheirPixelsAt96ScaledByTheDpi)
{
    const char* dpiText = std::getenv("VANTOREL_DPI");
    const int dpi = dpiText ? std::atoi(dpiText) : 96;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const int id : {IDP_LOGO, IDP_LINK_WEB, IDP_LINK_GUIDE, IDP_LINK_HELP, IDP_DONATE}) {
        SCOPED_TRACE(id);
        const rt::PropertyBag design = vantorel::ImageDesign(id, true);
        imaging::c32bppDIB own(0); // no GDI+: the engine's readers alone
        ASSERT_TRUE(own.LoadPicture_Stream(design.ReadBytes(L"Image")));
        EXPECT_TRUE(own.ImageType() == imaging::imgBitmap || own.ImageType() == imaging::imgBitmapStraightAlpha ||
                    own.ImageType() == imaging::imgBitmapPremultiplied);
        const int w = own.Width(), h = own.Height();
        test::ImageHost host;
        auto& image = host.Add(&design, true, nullptr, {0, 0, w, h});
        EXPECT_EQ(image.SourceDIB()->ImageType(), own.ImageType());
        ASSERT_EQ(image.ScaleWidth(), MulDiv(w, dpi, 96));
        image.Refresh();
        // Each drawn pixel against the 96-DPI pixel it stands for, over the container's colour:
        // equal at 96, close on average where scaling blends neighbours.
        const test::Bytes source = test::PixelsOf(own);
        const auto* drawn = static_cast<const std::uint8_t*>(image.BackBits());
        double total = 0;
        int worst = 0;
        const int sw = image.ScaleWidth(), sh = image.ScaleHeight();
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) {
                const int sx = x * w / sw, sy = y * h / sh;
                const std::uint8_t* p = &source[(static_cast<std::size_t>(h - 1 - sy) * w + sx) * 4];
                const std::uint8_t* q = &drawn[(static_cast<std::size_t>(y) * sw + x) * 4];
                const int back[3] = {GetBValue(face), GetGValue(face), GetRValue(face)};
                for (int c = 0; c < 3; ++c) {
                    const int expected = p[c] + back[c] * (255 - p[3]) / 255;
                    const int diff = std::abs(expected - q[c]);
                    total += diff;
                    worst = std::max(worst, diff);
                }
            }
        if (dpi == 96) {
            EXPECT_LE(worst, 2);
        }
        EXPECT_LE(total / (3.0 * sw * sh), dpi == 96 ? 0.5 : 12.0);
    }
}

} // namespace
