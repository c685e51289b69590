// The control's hit test as the system asks it (WM_NCHITTEST) for each HitTest mode, and
// fades run by the control's timer.
#include "tests/alphaimage/ImageHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// 30 x 20, visible in rows 5..14: x 10..19 in rows 5..9 with a hole at x 12..15 in row 7,
// x 14..19 in rows 10..14.
bool Visible(int x, int y)
{
    if (y >= 5 && y <= 9)
        return x >= 10 && x <= 19 && !(y == 7 && x >= 12 && x <= 15);
    return y >= 10 && y <= 14 && x >= 14 && x <= 19;
}

test::Bytes ShapeBmp()
{
    test::Bytes rows; // bottom row first
    for (int y = 19; y >= 0; --y)
        for (int x = 0; x < 30; ++x) {
            const auto a = static_cast<std::uint8_t>(Visible(x, y) ? 255 : 0);
            rows.insert(rows.end(), {static_cast<std::uint8_t>(a & 0x40), static_cast<std::uint8_t>(a & 0x80), 0, a});
        }
    imaging::c32bppDIB dib;
    dib.InitializeDIB(30, 20);
    dib.SetDIBbits(rows, true, true, true, true);
    test::Bytes bytes;
    dib.SaveToStream(bytes);
    return bytes;
}

LRESULT HitAt(aic::aicAlphaImage& image, POINT client)
{
    ClientToScreen(image.hWnd(), &client);
    return SendMessageW(image.hWnd(), WM_NCHITTEST, 0, MAKELPARAM(client.x, client.y));
}

TEST(AlphaImageMouse, HitTestLetsThroughWhatLiesOutsideItsArea)
{
    constexpr POINT kClear{2, 2}, kBoxOnly{11, 12}, kRowSpan{13, 7}, kVisible{17, 8};
    struct Case {
        int mode;
        bool hits[4]; // kClear, kBoxOnly, kRowSpan, kVisible
    } cases[] = {
        {0, {true, true, true, true}},
        {1, {false, true, true, true}},
        {2, {false, false, true, true}},
        {3, {false, false, false, true}},
    };
    const test::Bytes bmp = ShapeBmp();
    test::ImageHost host;
    host.Load();
    host.Show();
    for (const Case& c : cases) {
        rt::PropertyBag design;
        design.Set(L"Image", rt::PropertyBag::Bytes(bmp.begin(), bmp.end()));
        design.Set(L"HitTest", std::int64_t{c.mode});
        auto& image = host.Add(&design, true, nullptr, {0, 0, 30, 20});
        int i = 0;
        for (POINT p : {kClear, kBoxOnly, kRowSpan, kVisible}) {
            SCOPED_TRACE(testing::Message() << "mode " << c.mode << " at " << p.x << ',' << p.y);
            EXPECT_EQ(HitAt(image, p), c.hits[i++] ? HTCLIENT : HTTRANSPARENT);
        }
    }
}

TEST(AlphaImageMouse, FadeRunsOnItsTimerToTheTargetAndSaysWhereItEnded)
{
    test::ImageHost host;
    host.Load();
    host.Show();
    auto& image = host.Add(nullptr);
    std::vector<int> ended;
    image.FadeTerminated.Connect([&](int opacity) { ended.push_back(opacity); });
    image.FadeInOut(0, 25, 10);
    EXPECT_EQ(image.Opacity(), 75); // the first step comes at once
    EXPECT_TRUE(test::PumpUntil([&] { return !ended.empty(); }));
    EXPECT_EQ(ended, std::vector<int>{0});
    image.FadeInOut(60, 200, 10); // a step past the target ends inside the call
    EXPECT_EQ(ended, (std::vector<int>{0, 60}));
}

TEST(AlphaImageMouse, AFadeStartedWhereAnotherEndsRunsOnItsTimer)
{
    // The first fade ends on its timer (step 25), or inside the call (a step past its target).
    for (const int firstStep : {25, 200}) {
        SCOPED_TRACE(firstStep);
        test::ImageHost host;
        host.Load();
        host.Show();
        auto& image = host.Add(nullptr);
        std::vector<int> ended;
        image.FadeTerminated.Connect([&](int opacity) {
            ended.push_back(opacity);
            if (ended.size() == 1)
                image.FadeInOut(100, 25, 10);
        });
        image.FadeInOut(50, firstStep, 10);
        EXPECT_TRUE(test::PumpUntil([&] { return ended.size() == 2; }));
        EXPECT_EQ(ended, (std::vector<int>{50, 100}));
    }
}

} // namespace
