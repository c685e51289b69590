#include "runtime/PropertyPageHost.h"

#include "runtime/Modal.h"
#include "runtime/Runtime.h"

namespace rt {

namespace {

// The frame's layout in 96-DPI pixels: a margin around the page, the buttons in a row under
// it at its right edge.
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

} // namespace

PropertyPageHost::PropertyPageHost(std::unique_ptr<PropertyPage> page, std::vector<std::weak_ptr<Selectable>> selection)
    : Form(L"PropertyPageHost", page->Caption(), page->WidthTwips(), page->HeightTwips()), page_(std::move(page)),
      selection_(std::move(selection))
{
    OK.Click.Connect([this] {
        if (page_->Changed())
            ApplyPage();
        Hide();
    });
    Cancel.Click.Connect([this] { Hide(); });
    Apply.Click.Connect([this] { ApplyPage(); });
}

void PropertyPageHost::CreateControls()
{
    HWND frame = hWnd();
    const int dpi = DpiOf(frame);
    const Bounds size = BoundsFromTwips(0, 0, page_->WidthTwips(), page_->HeightTwips());
    const int pageW = size.w;
    const int pageH = size.h;
    const int rowTop = kMargin + pageH + kMargin;

    // A fixed frame: the page has one size.
    LONG_PTR style = GetWindowLongPtrW(frame, GWL_STYLE) & ~(WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    SetWindowLongPtrW(frame, GWL_STYLE, style);
    RECT outer{0, 0, ScaleDesign(kMargin + pageW + kMargin, dpi), ScaleDesign(rowTop + kButtonHeight + kMargin, dpi)};
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(frame, GWL_EXSTYLE));
    AdjustWindowRectEx(&outer, static_cast<DWORD>(style), FALSE, exStyle);
    SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    page_->Open(*this, frame, {kMargin, kMargin, pageW, pageH});
    int x = kMargin + pageW - 3 * kButtonWidth - 2 * kButtonGap;
    for (PushButton* b : {&OK, &Cancel, &Apply}) {
        b->Create(*this, frame, {x, rowTop, kButtonWidth, kButtonHeight}, b->Name());
        x += kButtonWidth + kButtonGap;
    }
}

void PropertyPageHost::Form_Load()
{
    page_->onChanged_ = [this](bool changed) { Apply.SetEnabled(changed); };
    page_->selection_ = selection_;
    page_->SelectionChanged();
    Apply.SetEnabled(page_->Changed());
}

void PropertyPageHost::ApplyPage()
{
    page_->ApplyChanges();
    // Apply goes grey under the focus: the focus moves on to OK first.
    if (GetFocus() == Apply.hWnd())
        OK.SetFocus();
    page_->SetChanged(false);
}

void PropertyPageHost::ShowPage(HWND owner)
{
    ShowModal(*this, owner);
    Unload();
}

LRESULT PropertyPageHost::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // The close box cancels: the modal run ends when the frame hides.
    if (msg == WM_CLOSE) {
        Hide();
        return 0;
    }
    return Form::WndProc(msg, wp, lp);
}

} // namespace rt
