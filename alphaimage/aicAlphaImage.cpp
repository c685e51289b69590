#include "alphaimage/aicAlphaImage.h"

#include "imaging/core/BmpReader.h"
#include "runtime/Control.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

namespace aic {

namespace {

// An uncompressed 32-bit BMP read with its alpha by the engine's reader (which the system's
// picture loader would drop), its rows turned top first as this control keeps them.
std::optional<PremultipliedImage> ReadBmp32(std::span<const std::uint8_t> bytes)
{
    imaging::BmpReader reader;
    if (reader.ReadHeader(bytes) != imaging::BmpLoad::Direct)
        return std::nullopt;
    PremultipliedImage img;
    img.width = reader.Width();
    img.height = reader.Height();
    const std::size_t stride = static_cast<std::size_t>(img.width) * 4;
    img.pixels.resize(stride * static_cast<std::size_t>(img.height));
    if (!reader.DecodeInto(img.pixels))
        return std::nullopt;
    const auto rows = std::span(img.pixels);
    for (std::size_t top = 0, bottom = static_cast<std::size_t>(img.height) - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rows.subspan(top * stride, stride).begin(), rows.subspan(top * stride, stride).end(),
                         rows.subspan(bottom * stride, stride).begin());
    return img;
}

} // namespace

aicAlphaImage::aicAlphaImage(std::wstring name) : rt::UserControl(std::move(name), L"aicAlphaImage") {}

aicAlphaImage::~aicAlphaImage() = default;

void aicAlphaImage::SetHitTest(int value)
{
    if (value < 0 || value > 3 || value == hitTest_)
        return;
    hitTest_ = value;
    UpdateRenderCache();
    PropertyChanged(L"HitTest");
}

void aicAlphaImage::SetMousePointer(int value)
{
    mousePointer_ = value;
    PropertyChanged(L"MousePointer");
}

void aicAlphaImage::SetMouseIcon(HCURSOR cursor)
{
    mouseIcon_ = cursor;
    PropertyChanged(L"MouseIcon");
}

void aicAlphaImage::InitProperties()
{
    hitTest_ = 0;
    mousePointer_ = 0;
}

void aicAlphaImage::ReadProperties(const rt::PropertyBag& bag)
{
    hitTest_ = static_cast<int>(bag.ReadInt(L"HitTest", 0, 0, 3));
    mousePointer_ = static_cast<int>(bag.ReadInt(L"MPointer", 0, 0, 99));
    LoadImageBytes(bag.ReadBytes(L"Image"));
}

void aicAlphaImage::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteBytes(L"Image", sourceBytes_);
    bag.WriteInt(L"HitTest", hitTest_, 0);
    bag.WriteInt(L"MPointer", mousePointer_, 0);
}

void aicAlphaImage::LoadImageBytes(std::vector<std::uint8_t> bytes)
{
    // A 32-bit BMP is read here with its alpha; everything else goes to GDI+, whose decoders
    // take tens of milliseconds to start.
    std::optional<aic::PremultipliedImage> bmp = ReadBmp32(bytes);
    image_ = bmp ? std::move(*bmp) : aic::DecodeImage(bytes);
    // Bytes that do not decode leave the control without a picture.
    sourceBytes_ = image_.Empty() ? std::vector<std::uint8_t>() : std::move(bytes);
    cache_ = {};
    UpdateRenderCache();
}

void aicAlphaImage::Resized() { UpdateRenderCache(); }

void aicAlphaImage::UpdateRenderCache()
{
    int w = ScaleWidth(), h = ScaleHeight();
    cache_ = {};
    if (w > 0 && h > 0 && !image_.Empty()) {
        cache_.width = w;
        cache_.height = h;
        cache_.pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0);
        aic::Rect r = aic::FitRect(image_.width, image_.height, w, h);
        if (!aic::DrawScaled(cache_, image_, r.left, r.top, r.right - r.left, r.bottom - r.top))
            cache_ = {};
    }
    // Without a picture, HitTest falls back to the whole control as it does with mode 0.
    int mode = cache_.Empty() ? 0 : hitTest_;
    hitShape_ = aic::HitShape::Build(cache_.pixels, w, h, w * 4, mode);
}

// Parts of the picture with alpha show what the container shows beneath the control: a drawn
// control's backing bitmap, else the container's class background.
void aicAlphaImage::PaintContainerBackground(HDC dc, int w, int h) const
{
    HWND container = GetParent(hWnd());
    wchar_t cls[64] = {};
    if (container && GetClassNameW(container, cls, 64) && std::wstring(cls) == L"VantorelUserControl") {
        auto* window = reinterpret_cast<rt::Window*>(GetWindowLongPtrW(container, GWLP_USERDATA));
        auto* drawn = dynamic_cast<rt::UserControl*>(window);
        if (drawn && drawn->BackDC()) {
            POINT origin{0, 0};
            MapWindowPoints(hWnd(), container, &origin, 1);
            BitBlt(dc, 0, 0, w, h, drawn->BackDC(), origin.x, origin.y, SRCCOPY);
            return;
        }
    }
    RECT all{0, 0, w, h};
    auto brush = container ? reinterpret_cast<HBRUSH>(GetClassLongPtrW(container, GCLP_HBRBACKGROUND)) : nullptr;
    FillRect(dc, &all, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

void aicAlphaImage::Paint(HDC dc, int w, int h)
{
    PaintContainerBackground(dc, w, h);
    if (cache_.width != w || cache_.height != h)
        UpdateRenderCache();
    aic::DrawToDC(dc, cache_);
}

bool aicAlphaImage::HitsClientPoint(int x, int y) const { return hitShape_.Hits(x, y); }

HCURSOR aicAlphaImage::Cursor() const
{
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(hWnd(), &pt);
    if (mousePointer_ == vbCustom && mouseIcon_ && HitsClientPoint(pt.x, pt.y))
        return mouseIcon_;
    return rt::UserControl::Cursor();
}

void aicAlphaImage::MouseDown(int button, int x, int y)
{
    // A press outside the picture belongs to what lies behind it, not to this control.
    if (!HitsClientPoint(x, y))
        return;
    buttonWord_ |= button;
    pressed_ |= button;
    SetCapture(hWnd());
}

void aicAlphaImage::MouseUp(int button, int x, int y)
{
    if (!(pressed_ & button))
        return;
    pressed_ &= ~button;
    buttonWord_ &= 0xF;
    if ((buttonWord_ & button) == button)
        buttonWord_ |= button * 16;
    if (!pressed_ && GetCapture() == hWnd())
        ReleaseCapture();
    if (HitsClientPoint(x, y))
        Click.Raise(buttonWord_ / 16);
}

LRESULT aicAlphaImage::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    // The second press of a quick double click is a press like the first: two clicks, two Clicks.
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        MouseDown(rt::ButtonFromMessage(msg), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        MouseUp(rt::ButtonFromMessage(msg), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hWnd())
            pressed_ = 0;
        return 0;
    default:
        break;
    }
    return rt::UserControl::WndProc(msg, wp, lp);
}

} // namespace aic
