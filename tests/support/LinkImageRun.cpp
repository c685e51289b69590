#include "tests/support/LinkImageRun.h"

#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace test {

namespace {

// Counts an event's raises while in scope.
template <typename... Args>
class Count {
public:
    explicit Count(rt::Event<Args...>& event) : event_(event), id_(event.Connect([this](Args...) { ++n; })) {}
    ~Count() { event_.Disconnect(id_); }
    Count(const Count&) = delete;
    Count& operator=(const Count&) = delete;
    int n = 0;

private:
    rt::Event<Args...>& event_;
    int id_;
};

BOOL CALLBACK FindShownTip(HWND hwnd, LPARAM out)
{
    wchar_t cls[32] = {};
    GetClassNameW(hwnd, cls, 32);
    if (lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0 || !IsWindowVisible(hwnd))
        return TRUE;
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.lpszText = text;
    if (!SendMessageW(hwnd, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
        return TRUE;
    *reinterpret_cast<std::wstring*>(out) = text;
    return FALSE;
}

// The text of the tip this thread shows now; empty when none shows.
std::wstring ShownTip()
{
    std::wstring text;
    EnumThreadWindows(GetCurrentThreadId(), &FindShownTip, reinterpret_cast<LPARAM>(&text));
    return text;
}

// The picture's clear top-left corner shows the bar, and a press there is the bar's.
void PressClearCorner(HWND bar, const aic::aicAlphaImage& image, const int& barPresses)
{
    RECT r{};
    GetClientRect(image.hWnd(), &r);
    POINT corner{r.right / 22, r.bottom / 22};
    MapWindowPoints(image.hWnd(), bar, &corner, 1);
    const int presses = barPresses;
    ASSERT_EQ(ClickAt(bar, corner, MOUSEEVENTF_LEFTDOWN), "");
    EXPECT_TRUE(WaitFor([&] { return barPresses == presses + 1; }, 5000, "the bar's press"));
    EXPECT_TRUE(PumpQueued());
}

void RunTheHandOver(HWND bar, const LinkImage& link, POINT onBar, const int& barPresses)
{
    aic::aicAlphaImage& image = link.image;
    Count enters(image.MouseEnter), exits(image.MouseExit);
    auto& pages = OpenedPages();
    const std::size_t before = pages.size();
    RECT r{};
    GetClientRect(image.hWnd(), &r);
    const POINT centre{r.right / 2, r.bottom / 2};
    POINT onImage = centre;
    ClientToScreen(image.hWnd(), &onImage);

    ASSERT_EQ(MoveCursorTo(onBar), "");
    ASSERT_EQ(MoveCursorTo(onImage), "");
    EXPECT_TRUE(WaitFor([&] { return enters.n == 1; }, 5000, "one MouseEnter")) << enters.n;
    EXPECT_TRUE(WaitFor([] { return GetCursor() == LoadCursorW(nullptr, IDC_HAND); }, 5000, "the hand pointer"));
    EXPECT_TRUE(WaitFor([] { return ShownTip() == L"Click Once To Open"; }, 5000, "the tip"));
    ASSERT_EQ(ClickAt(image.hWnd(), centre, MOUSEEVENTF_LEFTDOWN), "");
    EXPECT_TRUE(WaitFor([&] { return pages.size() == before + 1; }, 5000, "the page opened"));
    // A double click is one click: its second press is DblClick alone, its release no Click.
    PassDoubleClickTime();
    std::string events;
    const int ids[] = {image.MouseDown.Connect([&](int&, int&, float, float) { events += "down "; }),
                       image.MouseUp.Connect([&](int&, int&, float, float) { events += "up "; }),
                       image.Click.Connect([&](int) { events += "click "; }),
                       image.DblClick.Connect([&](int) { events += "dbl "; })};
    ASSERT_EQ(ClickAt(image.hWnd(), centre, MOUSEEVENTF_LEFTDOWN, 2), "");
    EXPECT_TRUE(WaitFor([&] { return std::ranges::count(events, ' ') >= 5; }, 5000, "the double click's events"));
    EXPECT_TRUE(PumpQueued());
    image.MouseDown.Disconnect(ids[0]), image.MouseUp.Disconnect(ids[1]);
    image.Click.Disconnect(ids[2]), image.DblClick.Disconnect(ids[3]);
    EXPECT_EQ(events, "down up click dbl up ");
    EXPECT_EQ(pages.size(), before + 2);
    for (std::size_t i = before; i < pages.size(); ++i)
        EXPECT_EQ(pages[i], link.page);
    ASSERT_EQ(MoveCursorTo(onBar), "");
    EXPECT_TRUE(WaitFor([&] { return exits.n == 1; }, 5000, "one MouseExit")) << exits.n;

    PressClearCorner(bar, image, barPresses);
    EXPECT_EQ(pages.size(), before + 2);
    EXPECT_EQ(enters.n, 1);
    EXPECT_EQ(exits.n, 1);
}

} // namespace

HINSTANCE WINAPI RecordPage(HWND, LPCWSTR, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    OpenedPages().push_back(file ? file : L"");
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

std::vector<std::wstring>& OpenedPages()
{
    static std::vector<std::wstring> pages;
    return pages;
}

void RunTheHandOverLinks(skin::TitelBar& bar, const aic::aicAlphaImage& logo, std::span<const LinkImage> links)
{
    Count barPresses(bar.MouseDown);
    RECT r{};
    GetClientRect(bar.hWnd(), &r);
    POINT onBar{r.right / 10, r.bottom / 2};
    ClientToScreen(bar.hWnd(), &onBar);
    ASSERT_EQ(BringToForeground(bar.hWnd()), "");
    for (const LinkImage& link : links) {
        SCOPED_TRACE(testing::Message() << "link to " << Narrow(link.page));
        RunTheHandOver(bar.hWnd(), link, onBar, barPresses.n);
    }
    const std::size_t opened = OpenedPages().size();
    PressClearCorner(bar.hWnd(), logo, barPresses.n);
    EXPECT_EQ(OpenedPages().size(), opened);
}

} // namespace test
