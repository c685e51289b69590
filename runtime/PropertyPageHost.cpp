#include "runtime/PropertyPageHost.h"

#include "runtime/Modal.h"
#include "runtime/Runtime.h"

#include <algorithm>

namespace rt {

namespace {

// The frame's layout in 96-DPI pixels: a margin around the page, the buttons in a row under
// it at its right edge.
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
// Posted when a control got the focus: the dialog manager takes the default look from every
// button after it moves the focus, so the look is given once it is done.
constexpr UINT kShowDefault = WM_APP + 1;

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
        const int id = b == &OK ? IDOK : b == &Cancel ? IDCANCEL : 0;
        b->Create(*this, frame, {x, rowTop, kButtonWidth, kButtonHeight}, b->Name(), id);
        x += kButtonWidth + kButtonGap;
    }
    OK.SetDefaultLook(true);
    lastFocus_ = nullptr;
    // The frame loads again after each run, with the same controls: each is followed once.
    for (Control* c : Controls()) {
        auto* control = dynamic_cast<IntrinsicControl*>(c);
        if (control && std::find(watched_.begin(), watched_.end(), control) == watched_.end()) {
            control->GotFocus.Connect([this] { PostMessageW(hWnd(), kShowDefault, 0, 0); });
            watched_.push_back(control);
        }
    }
}

void PropertyPageHost::ShowDefault()
{
    HWND focus = GetFocus();
    PushButton* focused = nullptr;
    for (Control* c : Controls()) {
        if (auto* b = dynamic_cast<PushButton*>(c); b && b->hWnd() == focus)
            focused = b;
    }
    for (Control* c : Controls()) {
        if (auto* b = dynamic_cast<PushButton*>(c))
            b->SetDefaultLook(b == (focused ? focused : &OK));
    }
}

HWND PropertyPageHost::FirstTabStop() const
{
    // Controls are listed in the order they were made, which is the order Tab goes through. The
    // frame is activated before it shows: a control's own style says whether it will be seen.
    for (Control* c : Controls()) {
        HWND h = c->hWnd();
        const LONG style = h ? GetWindowLongW(h, GWL_STYLE) : 0;
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED))
            return h;
    }
    return nullptr;
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
    ShowModal(*this, owner, ModalKeys::Dialog);
    Unload();
}

LRESULT PropertyPageHost::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CLOSE:
        // The close box cancels: the modal run ends when the frame hides.
        Hide();
        return 0;
    case WM_ACTIVATE:
        // As in a dialog box the focus leaves with the frame and comes back to where it was, or
        // to the first control that takes it; the frame itself never holds it.
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            lastFocus_ = focus && IsChild(hWnd(), focus) ? focus : nullptr;
        } else if (!HIWORD(wp)) {
            HWND to = lastFocus_ && IsWindowEnabled(lastFocus_) ? lastFocus_ : FirstTabStop();
            if (to)
                SetFocus(to);
        }
        return 0;
    case kShowDefault:
        ShowDefault();
        return 0;
    case WM_NEXTDLGCTL: {
        // The dialog manager's request for the next control (arrow keys), or for one named.
        HWND to = LOWORD(lp) ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(hWnd(), GetFocus(), wp != 0);
        if (to)
            SetFocus(to);
        return 0;
    }
    default:
        return Form::WndProc(msg, wp, lp);
    }
}

} // namespace rt
