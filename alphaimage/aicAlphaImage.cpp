// The control's life, its place among the image controls of its window, and its mouse: the hit
// region built by the engine from the picture as drawn, and the pointer over the picture.
#include "alphaimage/aicAlphaImage.h"

#include "alphaimage/cCrossComm.h"
#include "runtime/Form.h"

#include <windowsx.h>

namespace aic {

aicAlphaImage::aicAlphaImage(std::wstring name)
    : rt::UserControl(std::move(name), L"aicAlphaImage"), image_(std::make_shared<imaging::c32bppDIB>())
{
    image_->ManageOwnDC(true);
}

aicAlphaImage::~aicAlphaImage()
{
    StopTimers();
    if (crossComm_)
        crossComm_->RemoveRef(this);
}

// Every image control of a form looks at the first one of the form (nested containers
// included) and takes its shared object, so they all end up with the object of the first.
void aicAlphaImage::FindCrossComm()
{
    std::shared_ptr<cCrossComm> shared;
    for (rt::Control* c : Parent() ? Parent()->Controls() : std::vector<rt::Control*>()) {
        const auto* control = dynamic_cast<const rt::UserControl*>(c);
        if (!control || control->TypeName() != TypeName())
            continue;
        if (const auto* first = dynamic_cast<const ICrossComm*>(c))
            shared = first->CrossTalkClass();
        break;
    }
    if (!shared) {
        shared = std::make_shared<cCrossComm>();
        if (image_->isGDIplusEnabled())
            shared->ManageGDIToken(hWnd());
    }
    crossComm_ = shared;
    for (imaging::c32bppDIB* image : {image_.get(), cache_.get(), shadow_.get()})
        if (image)
            image->gdiToken(shared->gdiToken());
    shared->AddRef(this);
}

bool aicAlphaImage::isMouseOver() const
{
    return Enabled() && crossComm_ && crossComm_->CapturedControl() == static_cast<const ICrossComm*>(this);
}

bool aicAlphaImage::GDIplusInitialized() const { return crossComm_ && crossComm_->gdiToken().Running(); }

bool aicAlphaImage::GDIplusEnabled() const { return image_->isGDIplusEnabled(); }

void aicAlphaImage::UpdateHitRegion()
{
    const RECT whole{0, 0, ScaleWidth(), ScaleHeight()};
    hitRegion_.reset();
    hitRect_ = whole;
    if (!Enabled() || !RunMode() || !image_->Handle() || hitTest_ == 0)
        return;
    // The region is read from the picture as drawn, where the image offset puts it: from the
    // cache, or from one made for it.
    HRGN region = nullptr;
    if (cache_) {
        region = cache_->CreateRegion(hitTest_ - 1, offsetX_, offsetY_);
    } else {
        // AutoRedraw switched on may not have made its cache yet: the one made here is then its
        // own, and stays.
        const std::uint32_t wasActive = props_ & kCacheActive;
        props_ |= kCacheActive;
        UpdateRenderCache(true, false);
        if (cache_)
            region = cache_->CreateRegion(hitTest_ - 1, offsetX_, offsetY_);
        if (!wasActive) {
            props_ &= ~kCacheActive;
            cache_.reset();
        }
    }
    // A picture with nothing visible is hit nowhere.
    hitRect_ = RECT{};
    if (hitTest_ == 1) {
        const rt::Gdi<HRGN> box(region);
        if (box)
            GetRgnBox(box.get(), &hitRect_);
    } else {
        hitRegion_.reset(region);
    }
}

HCURSOR aicAlphaImage::Cursor() const
{
    // The standard pointers by number, as the user control shows them.
    static const LPCWSTR kStandard[] = {IDC_ARROW,    IDC_ARROW,  IDC_CROSS,  IDC_IBEAM,   IDC_ICON,  IDC_SIZEALL,
                                        IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT,
                                        IDC_NO,       IDC_APPSTARTING, IDC_HELP, IDC_SIZEALL};
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(hWnd(), &pt);
    // Outside the picture the container's pointer shows.
    if (HitsClientPoint(pt.x, pt.y)) {
        if (mousePointer_ == vbCustom && mouseIcon_)
            return mouseIcon_;
        if (mousePointer_ > 0 && mousePointer_ < static_cast<int>(std::size(kStandard)))
            return LoadCursorW(nullptr, kStandard[mousePointer_]);
    }
    return rt::UserControl::Cursor();
}

LRESULT aicAlphaImage::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    if (msg == WM_CREATE)
        NoteContainer(reinterpret_cast<const CREATESTRUCTW*>(lp)->hwndParent);
    else if (msg == WM_MOVE)
        placeInContainer_ = POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (InputMessage(msg, wp, lp, result) || MouseMessage(msg, wp, lp, result))
        return result;
    return rt::UserControl::WndProc(msg, wp, lp);
}

} // namespace aic
