#include "skin/dcButton.h"

#include "runtime/Form.h"
#include "runtime/Menu.h"
#include "runtime/Runtime.h"

#include <olectl.h>
#include <shellapi.h>

#include <cwchar>
#include <cwctype>

namespace skin {

namespace {
constexpr dcButton::OleColor kButtonFace = 0x8000000F;
constexpr dcButton::OleColor kButtonText = 0x80000012;
constexpr dcButton::OleColor kDefaultMask = 0xC0C0C0;

// The platform's OLE colour translation; black when the value names no colour.
skin::Rgb TranslateColor(dcButton::OleColor colour)
{
    COLORREF rgb = 0;
    if (OleTranslateColor(colour, nullptr, &rgb) != S_OK)
        return 0;
    return static_cast<skin::Rgb>(rgb & 0xFFFFFF);
}

// Ambient values of the container: the system button colours and the designed font.
constexpr dcButton::OleColor kAmbientBack = kButtonFace;
constexpr dcButton::OleColor kAmbientFore = kButtonText;

// The bag keeps the named values as the numbers they stand for.
template <typename Named> Named ReadNamed(const rt::PropertyBag& bag, const wchar_t* key, Named def, Named last)
{
    return static_cast<Named>(bag.ReadInt(key, static_cast<std::int64_t>(def), 0, static_cast<std::int64_t>(last)));
}

template <typename Named> void WriteNamed(rt::PropertyBag& bag, const wchar_t* key, Named value, Named def)
{
    bag.WriteInt(key, static_cast<std::int64_t>(value), static_cast<std::int64_t>(def));
}
} // namespace

bool ButtonFont::FromText(const std::wstring& text, ButtonFont& out)
{
    const std::optional<skin::FontText> fields = skin::FontText::Parse(text);
    if (!fields || fields->name.empty() || fields->name.size() >= LF_FACESIZE || !(fields->size > 0 && fields->size <= 400))
        return false;
    static_cast<skin::FontText&>(out) = *fields;
    return true;
}

dcButton::dcButton(std::wstring name) : rt::UserControl(std::move(name), L"dcButton") {}

dcButton::~dcButton()
{
    // No hook may call into the button once it is gone.
    hooks_.ReleaseAll();
    // The caption's font leaves the backing DC before it is deleted.
    if (BackDC())
        SelectObject(BackDC(), GetStockObject(SYSTEM_FONT));
    if (accessKeyId_ && Parent())
        Parent()->AccessKey.Disconnect(accessKeyId_);
}

void dcButton::ComputeStyleColors()
{
    skin::ComputeStyleColors(TranslateColor(backColor_), TranslateColor(foreColor_), TranslateColor(maskColor_),
                             buttonStyle_, colors_);
}

void dcButton::ApplyAccessKeys()
{
    accessKeys_ = skin::AccessKeyOf(caption_);
    if (accessKeyId_ || !Parent())
        return;
    // The form hands Alt plus a character to its listeners; the button takes its own key.
    accessKeyId_ = Parent()->AccessKey.Connect([this](wchar_t ch, bool& handled) {
        if (handled || accessKeys_.empty() || !hWnd() || !IsWindowVisible(hWnd()))
            return;
        if (static_cast<wchar_t>(std::towlower(ch)) != accessKeys_[0])
            return;
        handled = true;
        HostAccessKeyPress(ch);
    });
}

void dcButton::ReleaseCaptureIfHeld()
{
    if (hWnd() && GetCapture() == hWnd())
        ReleaseCapture();
}

// ---- Properties ----

void dcButton::SetBackColor(OleColor colour)
{
    backColor_ = colour;
    ComputeStyleColors();
    Redraw(state_, true);
    MarkChanged(L"BackColor");
}

void dcButton::SetButtonShape(skin::ButtonShape shape)
{
    buttonShape_ = shape;
    Refresh();
    MarkChanged(L"ButtonShape");
}

void dcButton::SetButtonStyle(skin::ButtonStyle style)
{
    buttonStyle_ = style;
    if (!AmbientUserMode()) {
        ApplyColorScheme(buttonStyle_, true);
    } else {
        ComputeStyleColors();
    }
    Refresh();
    MarkChanged(L"ButtonStyle");
}

void dcButton::SetCaption(const std::wstring& text)
{
    caption_ = text;
    ApplyAccessKeys();
    Refresh();
    MarkChanged(L"Caption");
}

void dcButton::SetCheckBoxMode(bool on)
{
    checkBoxMode_ = on;
    if (!on && value_) {
        value_ = false;
        MarkChanged(L"Value");
    }
    Redraw(state_, true);
    MarkChanged(L"CheckBox");
}

void dcButton::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (!enabled) {
        // A press in progress ends with the button's input: no capture stays behind.
        ReleaseCaptureIfHeld();
        pressActive_ = mouseHeld_ = keyHeld_ = false;
    }
    rt::UserControl::SetEnabled(enabled);
    using State = skin::ButtonState;
    Redraw(!enabled ? State::Disabled : mouseOver_ ? State::Hot : State::Normal, false);
    MarkChanged(L"Enabled");
}

void dcButton::SetFont(const ButtonFont& font)
{
    font_ = font;
    Refresh();
    MarkChanged(L"Font");
}

void dcButton::SetFontBold(bool v)
{
    font_.bold = v;
    Refresh();
}
void dcButton::SetFontItalic(bool v)
{
    font_.italic = v;
    Refresh();
}
void dcButton::SetFontName(const std::wstring& v)
{
    if (!v.empty() && v.size() < LF_FACESIZE)
        font_.name = v;
    Refresh();
}
void dcButton::SetFontSize(float v)
{
    if (v > 0 && v <= 400)
        font_.size = v;
    Refresh();
}
void dcButton::SetFontStrikethru(bool v)
{
    font_.strikethru = v;
    Refresh();
}
void dcButton::SetFontUnderline(bool v)
{
    font_.underline = v;
    Refresh();
}

void dcButton::SetForeColor(OleColor colour)
{
    foreColor_ = colour;
    if (enabled_) {
        ComputeStyleColors();
        Redraw(state_, true);
    }
    MarkChanged(L"ForeColor");
}

void dcButton::SetHandPointer(bool on)
{
    handPointer_ = on;
    // At run time the system's shared hand cursor is loaded on first need.
    if (on && !handCursor_ && AmbientUserMode())
        handCursor_ = LoadCursorW(nullptr, IDC_HAND);
    MarkChanged(L"HandPointer");
}

void dcButton::SetMaskColor(OleColor colour)
{
    maskColor_ = colour;
    colors_.maskRGB = TranslateColor(colour);
    Redraw(state_, true);
    MarkChanged(L"MaskColor");
}

void dcButton::SetMouseIcon(skin::PicturePtr icon)
{
    mouseIcon_ = std::move(icon);
    SetMousePointer(mouseIcon_ ? 99 : 0);
    MarkChanged(L"MouseIcon");
}

void dcButton::SetMousePointer(long pointer)
{
    if (pointer != 99 && handPointer_)
        SetHandPointer(false);
    mousePointer_ = static_cast<std::int16_t>(pointer);
    MarkChanged(L"MousePointer");
}

HCURSOR dcButton::Cursor() const
{
    if (handPointer_ && handCursor_)
        return handCursor_;
    if (mousePointer_ == 99 && mouseIcon_ && mouseIcon_->Type() == skin::Picture::kIcon)
        return static_cast<HCURSOR>(mouseIcon_->Handle());
    const wchar_t* id = IDC_ARROW;
    switch (mousePointer_) {
    case 2: id = IDC_CROSS; break;
    case 3: id = IDC_IBEAM; break;
    case 5: case 15: id = IDC_SIZEALL; break;
    case 6: id = IDC_SIZENESW; break;
    case 7: id = IDC_SIZENS; break;
    case 8: id = IDC_SIZENWSE; break;
    case 9: id = IDC_SIZEWE; break;
    case 10: id = IDC_UPARROW; break;
    case 11: id = IDC_WAIT; break;
    case 12: id = IDC_NO; break;
    case 13: id = IDC_APPSTARTING; break;
    case 14: id = IDC_HELP; break;
    default: break;
    }
    return LoadCursorW(nullptr, id);
}

void dcButton::SetPictureAlignment(skin::PictureAlignment alignment)
{
    pictureAlignment_ = alignment;
    Refresh();
    MarkChanged(L"PicAlign");
}

void dcButton::SetPictureSize(skin::PictureSize size)
{
    using skin::PictureSize;
    if (!pictureNormal_) {
        pictureSize_ = PictureSize::Own;
        pictureSizeH_ = pictureSizeW_ = 0;
    } else {
        pictureSize_ = size;
        switch (size) {
        case PictureSize::Own:
            pictureSizeH_ = pictureNormal_->Height();
            pictureSizeW_ = pictureNormal_->Width();
            break;
        case PictureSize::Px16: pictureSizeH_ = pictureSizeW_ = 16; break;
        case PictureSize::Px24: pictureSizeH_ = pictureSizeW_ = 24; break;
        case PictureSize::Px32: pictureSizeH_ = pictureSizeW_ = 32; break;
        case PictureSize::Px48: pictureSizeH_ = pictureSizeW_ = 48; break;
        default: break; // custom and unknown sizes keep the width and height
        }
    }
    Refresh();
    MarkChanged(L"PicSize");
    MarkChanged(L"PicSizeH");
    MarkChanged(L"PicSizeW");
}

void dcButton::SetPictureSizeH(long pixels)
{
    pictureSize_ = skin::PictureSize::Custom;
    pictureSizeH_ = pixels;
    Refresh();
    MarkChanged(L"PicSize");
    MarkChanged(L"PicSizeH");
}

void dcButton::SetPictureSizeW(long pixels)
{
    pictureSize_ = skin::PictureSize::Custom;
    pictureSizeW_ = pixels;
    Refresh();
    MarkChanged(L"PicSize");
    MarkChanged(L"PicSizeW");
}

void dcButton::SetPictureNormal(skin::PicturePtr picture)
{
    if (!picture) {
        SetPictureDown(nullptr);
        SetPictureHot(nullptr);
        opacity_ = 0;
    } else if (opacity_ == 0) {
        opacity_ = 1.0f;
    }
    pictureNormal_ = std::move(picture);
    SetPictureSize(pictureSize_);
    Refresh();
    MarkChanged(L"PicNormal");
    MarkChanged(L"PicOpacity");
}

bool dcButton::TakesExtraPicture(skin::PicturePtr& picture)
{
    if (!picture)
        return true;
    // Without a normal picture, the first one given becomes it.
    if (!pictureNormal_) {
        SetPictureNormal(std::move(picture));
        return false;
    }
    if (pictureSize_ == skin::PictureSize::Own &&
        (picture->Width() != pictureNormal_->Width() || picture->Height() != pictureNormal_->Height()))
        SetPictureSize(skin::PictureSize::Custom);
    return true;
}

void dcButton::SetPictureDown(skin::PicturePtr picture)
{
    if (!TakesExtraPicture(picture))
        return;
    pictureDown_ = std::move(picture);
    if (pressActive_)
        Redraw(state_, true);
    MarkChanged(L"PicDown");
}

void dcButton::SetPictureHot(skin::PicturePtr picture)
{
    if (!TakesExtraPicture(picture))
        return;
    pictureHot_ = std::move(picture);
    if (mouseOver_)
        Redraw(state_, true);
    MarkChanged(L"PicHot");
}

long dcButton::PictureOpacity() const { return skin::RoundHalfEven(static_cast<double>(opacity_) * 100.0); }

void dcButton::SetPictureOpacity(long percent)
{
    opacity_ = skin::ClampValue(static_cast<float>(percent), 10, 100) / 100.0f;
    Redraw(state_, true);
    MarkChanged(L"PicOpacity");
}

void dcButton::SetSpecialEffect(skin::SpecialEffect effect)
{
    specialEffect_ = effect;
    Redraw(state_, true);
    MarkChanged(L"Effects");
}

void dcButton::SetUseMaskColor(bool on)
{
    useMaskColor_ = on;
    Redraw(state_, true);
    MarkChanged(L"UseMask");
}

void dcButton::SetValue(bool on)
{
    value_ = on;
    if (on && !checkBoxMode_) {
        if (AmbientUserMode()) {
            lastButton_ = 1;
            HostClick();
        } else {
            value_ = false;
        }
    } else {
        Redraw(state_, true);
    }
    MarkChanged(L"Value");
}

// ---- Methods ----

void dcButton::About()
{
    ShellExecuteW(hWnd(), L"open", L"", L"", L"", SW_SHOWNORMAL);
}

void dcButton::ColorScheme(long& style, bool noRedraw)
{
    if (style == -1)
        style = static_cast<long>(buttonStyle_);
    ApplyColorScheme(static_cast<skin::ButtonStyle>(style), noRedraw);
}

void dcButton::ApplyColorScheme(skin::ButtonStyle style, bool noRedraw)
{
    skin::SchemeColors scheme = skin::SchemeOf(style);
    if (scheme.known) {
        backColor_ = scheme.backColor;
        if (scheme.setsForeColor)
            foreColor_ = scheme.foreColor;
    }
    ComputeStyleColors();
    if (!noRedraw)
        Redraw(state_, true);
}

bool dcButton::OverrideColor(long property, OleColor colour, bool noRedraw)
{
    skin::Rgb rgb = TranslateColor(colour);
    skin::Rgb* slots[] = {&colors_.downColor,         &colors_.hotColor,      &colors_.disabledColor,
                          &colors_.disabledTextColor, &colors_.hotLightColor, &colors_.lightColor};
    if (property < 0 || property > 5)
        return false;
    *slots[property] = rgb;
    if (!noRedraw)
        Redraw(state_, true);
    return true;
}

void dcButton::SetPopupMenu(rt::Menu* menu, long align, long flags, rt::MenuItem* defaultItem)
{
    if (!menu)
        return;
    popupMenu_ = menu;
    popupAlign_ = align;
    popupFlags_ = flags;
    popupDefault_ = defaultItem;
    popupMode_ = true;
}

void dcButton::UnsetPopupMenu()
{
    popupMenu_ = nullptr;
    popupAlign_ = 0;
    popupFlags_ = 0;
    popupDefault_ = nullptr;
    popupMode_ = false;
}

void dcButton::Refresh()
{
    needsLayout_ = true;
    Redraw(state_, true);
}

// ---- Life cycle ----

void dcButton::InitProperties()
{
    caption_ = Name();
    checkBoxMode_ = false;
    specialEffect_ = skin::SpecialEffect::None;
    enabled_ = true;
    maskColor_ = kDefaultMask;
    pictureAlignment_ = skin::PictureAlignment::LeftOfCaption;
    pictureDown_ = pictureHot_ = pictureNormal_ = nullptr;
    opacity_ = 1.0f;
    pictureSize_ = skin::PictureSize::Own;
    buttonStyle_ = skin::ButtonStyle::RoundedGradient;
    backColor_ = kButtonFace;
    foreColor_ = kButtonText;
    useMaskColor_ = true;
    value_ = false;
    ApplyColorScheme(buttonStyle_, true);
    ComputeStyleColors();
    ApplyAccessKeys();
    // A control made without a design at run time is hooked like a loaded one.
    if (AmbientUserMode())
        HookWindows();
    isInitialized_ = true;
}

void dcButton::ReadProperties(const rt::PropertyBag& bag)
{
    // Values outside their ranges are ignored and the default is kept.
    backColor_ = static_cast<OleColor>(bag.ReadInt(L"BackColor", kAmbientBack, 0, 0xFFFFFFFFLL));
    buttonShape_ = ReadNamed(bag, L"ButtonShape", skin::ButtonShape::AllRound, skin::ButtonShape::AllSquare);
    buttonStyle_ = ReadNamed(bag, L"ButtonStyle", skin::ButtonStyle::RoundedGradient, skin::ButtonStyle::LightRounded);
    caption_ = bag.ReadString(L"Caption", Name());
    checkBoxMode_ = bag.ReadBool(L"CheckBox", false);
    specialEffect_ = ReadNamed(bag, L"Effects", skin::SpecialEffect::None, skin::SpecialEffect::Shadow);
    enabled_ = bag.ReadBool(L"Enabled", true);
    foreColor_ = static_cast<OleColor>(bag.ReadInt(L"ForeColor", kAmbientFore, 0, 0xFFFFFFFFLL));
    handPointer_ = bag.ReadBool(L"HandPointer", false);
    maskColor_ = static_cast<OleColor>(bag.ReadInt(L"MaskColor", kDefaultMask, 0, 0xFFFFFFFFLL));
    pictureAlignment_ =
        ReadNamed(bag, L"PicAlign", skin::PictureAlignment::LeftOfCaption, skin::PictureAlignment::AboveCaption);
    pictureDown_ = ReadPicture(bag, L"PicDown");
    pictureHot_ = ReadPicture(bag, L"PicHot");
    pictureNormal_ = ReadPicture(bag, L"PicNormal");
    opacity_ = static_cast<float>(bag.ReadDouble(L"PicOpacity", 1.0, 0.0, 1.0));
    pictureSize_ = ReadNamed(bag, L"PicSize", skin::PictureSize::Own, skin::PictureSize::Custom);
    pictureSizeH_ = static_cast<long>(bag.ReadInt(L"PicSizeH", 0, 0, 4096));
    pictureSizeW_ = static_cast<long>(bag.ReadInt(L"PicSizeW", 0, 0, 4096));
    state_ = ReadNamed(bag, L"State", skin::ButtonState::Normal, skin::ButtonState::Disabled);
    useMaskColor_ = bag.ReadBool(L"UseMask", true);
    value_ = bag.ReadBool(L"Value", false);
    ButtonFont font;
    if (ButtonFont::FromText(bag.ReadString(L"Font", L""), font))
        font_ = font;
    mousePointer_ = static_cast<long>(bag.ReadInt(L"MousePointer", 0, 0, 99));

    ApplyAccessKeys();
    if (hWnd())
        EnableWindow(hWnd(), enabled_);
    if (AmbientUserMode()) {
        if (handPointer_) {
            handCursor_ = LoadCursorW(nullptr, IDC_HAND);
            handPointer_ = handCursor_ != nullptr;
        }
        HookWindows();
    }
    ComputeStyleColors();
    needsLayout_ = true;
    Redraw(state_, true);
    isInitialized_ = true;
}

void dcButton::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteInt(L"BackColor", backColor_, kAmbientBack);
    WriteNamed(bag, L"ButtonShape", buttonShape_, skin::ButtonShape::AllRound);
    WriteNamed(bag, L"ButtonStyle", buttonStyle_, skin::ButtonStyle::RoundedGradient);
    bag.WriteString(L"Caption", caption_, Name());
    bag.WriteBool(L"CheckBox", checkBoxMode_, false);
    WriteNamed(bag, L"Effects", specialEffect_, skin::SpecialEffect::None);
    bag.WriteBool(L"Enabled", enabled_, true);
    bag.WriteString(L"Font", font_ == ButtonFont{} ? std::wstring() : font_.ToText(), L"");
    bag.WriteInt(L"ForeColor", foreColor_, kAmbientFore);
    bag.WriteBool(L"HandPointer", handPointer_, false);
    bag.WriteInt(L"MaskColor", maskColor_, kDefaultMask);
    bag.WriteInt(L"MousePointer", static_cast<std::int16_t>(mousePointer_), 0);
    WriteNamed(bag, L"PicAlign", pictureAlignment_, skin::PictureAlignment::LeftOfCaption);
    WritePicture(bag, L"PicDown", pictureDown_);
    WritePicture(bag, L"PicHot", pictureHot_);
    WritePicture(bag, L"PicNormal", pictureNormal_);
    bag.WriteDouble(L"PicOpacity", opacity_, 1.0);
    WriteNamed(bag, L"PicSize", pictureSize_, skin::PictureSize::Own);
    bag.WriteInt(L"PicSizeH", pictureSizeH_, 0);
    bag.WriteInt(L"PicSizeW", pictureSizeW_, 0);
    WriteNamed(bag, L"State", state_, skin::ButtonState::Normal);
    bag.WriteBool(L"UseMask", useMaskColor_, true);
    bag.WriteBool(L"Value", value_, false);
}

void dcButton::Resized()
{
    const int width = ScaleWidth(), height = ScaleHeight();
    width_ = width;
    height_ = height;
    if (width >= 15 && height >= 15) {
        needsLayout_ = true;
        return;
    }
    // The smallest button is 15 by 15 pixels; each change comes back here.
    RECT bounds;
    GetWindowRect(hWnd(), &bounds);
    const int outerWidth = bounds.right - bounds.left, outerHeight = bounds.bottom - bounds.top;
    if (height < 15)
        SetWindowPos(hWnd(), nullptr, 0, 0, outerWidth, outerHeight + (15 - height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (ScaleWidth() < 15) {
        GetWindowRect(hWnd(), &bounds);
        SetWindowPos(hWnd(), nullptr, 0, 0, bounds.right - bounds.left + (15 - ScaleWidth()), bounds.bottom - bounds.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

} // namespace skin
