// The object the image controls of one window share: found from any container of the window,
// one GDI+ session a window, and a session that outlives its window for as long as an image
// holds it.
#include "alphaimage/cCrossComm.h"
#include "imaging/GdiPlusSession.h"
#include "tests/alphaimage/ImageHost.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Holder : aic::ICrossComm {
    std::shared_ptr<aic::cCrossComm> CrossTalkClass() const override { return nullptr; }
    void ReleaseMouseCapture() override { ++released; }
    int released = 0;
};

TEST(CrossComm, ANewHolderOfTheMouseReleasesTheOldOneOnce)
{
    aic::cCrossComm shared;
    Holder a, b;
    shared.CapturedControl(&a);
    shared.CapturedControl(&a);
    EXPECT_EQ(a.released, 0);
    shared.CapturedControl(&b);
    EXPECT_EQ(a.released, 1);
    shared.AddRef(&b);
    shared.RemoveRef(&b);
    EXPECT_EQ(shared.CapturedControl(), nullptr);
    EXPECT_EQ(b.released, 0);
}

TEST(CrossComm, OneSharedObjectAndSessionForEveryContainerOfAWindow)
{
    test::ImageHost first, second;
    first.Load();
    const HWND panel = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 50, 50, 200, 100, first.hWnd(),
                                       nullptr, nullptr, nullptr);
    auto& onForm = first.Add(nullptr);
    auto& onPanel = first.Add(nullptr, true, panel);
    auto& elsewhere = second.Add(nullptr);
    ASSERT_NE(onForm.CrossTalkClass(), nullptr);
    EXPECT_EQ(onPanel.CrossTalkClass(), onForm.CrossTalkClass());
    EXPECT_NE(elsewhere.CrossTalkClass(), onForm.CrossTalkClass());
    EXPECT_TRUE(onForm.CrossTalkClass()->IsRegistered(&onPanel));
    if (!onForm.GDIplusEnabled())
        GTEST_SKIP() << "no GDI+";
    const auto& session = onForm.SourceDIB()->gdiToken().session;
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(onPanel.SourceDIB()->gdiToken().session, session);
    EXPECT_NE(elsewhere.SourceDIB()->gdiToken().session, session);
    EXPECT_TRUE(onForm.GDIplusInitialized());
}

TEST(CrossComm, TheSessionEndsWithTheLastImageThatOutlivesTheWindow)
{
    std::shared_ptr<imaging::c32bppDIB> kept;
    std::weak_ptr<const imaging::GdiPlusSession> session;
    {
        test::ImageHost host;
        rt::PropertyBag design;
        design.Set(L"Image", test::PictureBmp(8, 6));
        auto& image = host.Add(&design);
        if (!image.GDIplusEnabled())
            GTEST_SKIP() << "no GDI+";
        kept = image.SourceDIB();
        session = kept->gdiToken().session;
        ASSERT_FALSE(session.expired());
        host.Unload();
    }
    ASSERT_TRUE(test::PumpQueued());
    // The window and its controls are gone; the image still draws through GDI+.
    EXPECT_FALSE(session.expired());
    imaging::c32bppDIB target;
    ASSERT_TRUE(target.InitializeDIB(16, 12));
    EXPECT_TRUE(kept->Render(nullptr, 0, 0, 16, 12, 0, 0, 0, 0, 100, true, true, &target, -1, 0, 30, false));
    kept.reset();
    EXPECT_TRUE(session.expired());
}

} // namespace
