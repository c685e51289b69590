#include "skin/TitelBar.h"

#include <algorithm>
#include <functional>

#include <olectl.h>

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace skin {
namespace {

constexpr TitelBar::OleColor kButtonFace = 0x8000000F;
constexpr TitelBar::OleColor kButtonText = 0x80000012;
constexpr TitelBar::OleColor kColourMax = 0xFFFFFFFF;

// The container's ambient font: the system's message font face at the runtime's 8.25 points.
TitleFont AmbientFont()
{
    TitleFont f;
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    f.name = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0) ? ncm.lfMessageFont.lfFaceName
                                                                                 : L"Tahoma";
    f.size = 8.25f;
    return f;
}

// A cover of 10 or more is the full width; none, or not a number, is one tenth.
float LimitCover(float v) { return v >= 10 ? 10.0f : (v > 0 ? v : 1.0f); }

} // namespace

std::wstring TitleFont::ToText() const
{
    wchar_t points[32];
    swprintf(points, 32, L"%g", static_cast<double>(size));
    return name + L";" + points + L";" + (bold ? L"1" : L"0");
}

TitleFont TitleFont::FromText(const std::wstring& text, const TitleFont& base)
{
    TitleFont f = base;
    const std::size_t a = text.find(L';');
    f.name = text.substr(0, a);
    if (a == std::wstring::npos)
        return f;
    const std::size_t b = text.find(L';', a + 1);
    const double size = std::wcstod(text.substr(a + 1, b - a - 1).c_str(), nullptr);
    if (std::isfinite(size) && size > 0 && size <= 1000)
        f.size = static_cast<float>(size);
    if (b != std::wstring::npos)
        f.bold = text.substr(b + 1) == L"1";
    return f;
}

TitelBar::TitelBar(std::wstring name, CloseAction closeAction)
    : rt::UserControl(std::move(name), L"TitelBar"), closeAction_(closeAction)
{
    place_[kClose] = {246, 6, 16, 16};
    place_[kMax] = {267, 6, 16, 16};
    place_[kMin] = {225, 6, 16, 16};
}

TitelBar::~TitelBar()
{
    if (hWnd())
        KillTimer(hWnd(), 1);
}

rt::PropertyBag TitelBar::NewInstanceDesign()
{
    TitelBar bar(L"TitelBar1", CloseAction::HideForm);
    bar.InitProperties();
    rt::PropertyBag bag;
    bar.WriteProperties(bag);
    return bag;
}

TitelBar::OleColor TitelBar::GetRealColor(OleColor colour)
{
    COLORREF rgb = 0;
    if (OleTranslateColor(colour, nullptr, &rgb) != S_OK)
        return 0;
    return rgb;
}

void TitelBar::Changed(const wchar_t* name)
{
    PropertyChanged(name);
    Refresh();
}

void TitelBar::InitProperties()
{
    caption_ = TypeName();
    picturePosMode_ = 0;
    picturePosX_ = 6;
    picturePosY_ = 4;
    captionPosX_ = 0;
    captionPosY_ = 2;
    v1Begin_ = RGB(230, 230, 230);
    v1End_ = RGB(90, 110, 140);
    captionColor_ = RGB(255, 255, 255);
    v2Begin_ = RGB(90, 110, 140);
    captionBack_ = RGB(60, 60, 60);
    v2End_ = RGB(38, 48, 79);
    backColor_ = RGB(38, 48, 79);
    foreColor_ = RGB(255, 255, 255);
    border_ = 2;
    dark_ = RGB(0, 0, 0);
    cover_ = 3.0f;
    high_ = RGB(255, 255, 255);
    depth_ = 2;
    sides_ = Sides{false, true, false, true};
    captionBorder_ = false;
    captionBorderColor_ = 0;
    captionShadow_ = RGB(60, 60, 60);
    show_[kClose] = show_[kMin] = true;
    show_[kMax] = false;
    enabled_[kClose] = enabled_[kMin] = enabled_[kMax] = true;
    style_ = 8;
    iconStyle_ = 0;
    pictureButton_ = nullptr;
    font_ = TitleFont{};
    hover_ = Hover::Idle;
    Refresh();
}

// Every value goes through the setters' limits; a value out of its type's range takes the
// key's default rather than failing the load.
void TitelBar::ReadProperties(const rt::PropertyBag& bag)
{
    auto colour = [&](const wchar_t* key, OleColor def) {
        return static_cast<OleColor>(bag.ReadInt(key, def, 0, kColourMax));
    };
    auto byte = [&](const wchar_t* key, int def) { return static_cast<std::uint8_t>(bag.ReadInt(key, def, 0, 255)); };
    backColor_ = colour(L"BackColor", RGB(230, 230, 230));
    autoRedraw_ = bag.ReadBool(L"AutoRedraw", false);
    dashBack_ = bag.ReadBool(L"DashBack", false);
    style_ = static_cast<std::int16_t>(bag.ReadInt(L"Style", 8, INT16_MIN, INT16_MAX));
    const double cover = bag.ReadDouble(L"BackColorCover", 0, -HUGE_VAL, HUGE_VAL);
    cover_ = std::isfinite(cover) ? static_cast<float>(std::clamp(cover, 0.0, 10.0)) : 0.0f;
    v2Begin_ = colour(L"BackColorV2Begin", RGB(90, 110, 140));
    v2End_ = colour(L"BackColorV2End", RGB(38, 48, 79));
    v1Begin_ = colour(L"BackColorV1Begin", RGB(230, 230, 230));
    v1End_ = colour(L"BackColorV1End", RGB(90, 110, 140));
    foreColor_ = colour(L"ForeColor", kButtonText);
    captionBack_ = colour(L"CaptionColorBack", RGB(60, 60, 60));
    captionColor_ = colour(L"CaptionColor", RGB(255, 255, 255));
    show_[kClose] = bag.ReadBool(L"ShowClose", true);
    show_[kMin] = bag.ReadBool(L"ShowMinimized", true);
    show_[kMax] = bag.ReadBool(L"ShowMaximized", false);
    enabled_[kClose] = bag.ReadBool(L"ShowCloseEnabled", true);
    enabled_[kMin] = bag.ReadBool(L"ShowMinimizedEnabled", true);
    enabled_[kMax] = bag.ReadBool(L"ShowMaximizedEnabled", false);
    const TitleFont ambient = AmbientFont();
    font_ = bag.Has(L"Font") ? TitleFont::FromText(bag.ReadString(L"Font", L""), ambient) : ambient;
    if (font_.name.empty())
        font_.name = ambient.name;
    picture_ = ReadPicture(bag, L"Picture");
    rt::UserControl::SetToolTipText(bag.ReadString(L"ToolTipText", L""));
    caption_ = bag.ReadString(L"Caption", TypeName());
    picturePosMode_ = static_cast<std::int32_t>(bag.ReadInt(L"PicturePosMode", 0, INT32_MIN, INT32_MAX));
    picturePosX_ = static_cast<std::int16_t>(bag.ReadInt(L"PicturePosX", 6, INT16_MIN, INT16_MAX));
    picturePosY_ = static_cast<std::int16_t>(bag.ReadInt(L"PicturePosY", 4, INT16_MIN, INT16_MAX));
    captionPosX_ = static_cast<std::int32_t>(bag.ReadInt(L"CaptionPosX", 0, INT32_MIN, INT32_MAX));
    captionPosY_ = static_cast<std::int32_t>(bag.ReadInt(L"CaptionPosY", 2, INT32_MIN, INT32_MAX));
    border_ = byte(L"BorderNormal", 0);
    iconStyle_ = std::min<std::uint8_t>(byte(L"IconStyle", 0), kBoxSets - 1);
    high_ = colour(L"BorderColorHighLight", RGB(255, 255, 255));
    dark_ = colour(L"BorderColorDarkLight", RGB(0, 0, 0));
    depth_ = byte(L"Caption3DWidth", 2);
    sides_.top = bag.ReadBool(L"Caption3DTop", false);
    sides_.left = bag.ReadBool(L"Caption3DLeft", false);
    sides_.right = bag.ReadBool(L"Caption3DRight", true);
    sides_.bottom = bag.ReadBool(L"Caption3DBottom", true);
    captionBorder_ = bag.ReadBool(L"CaptionBorder", false);
    captionBorderColor_ = colour(L"CaptionBorderColor", 0);
    captionShadow_ = colour(L"CaptionShadowColor", RGB(60, 60, 60));
    pictureButton_ = ReadPicture(bag, L"PictureButton");
    Refresh();
}

void TitelBar::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteInt(L"BackColor", backColor_, RGB(230, 230, 230));
    bag.WriteBool(L"AutoRedraw", autoRedraw_, false);
    bag.WriteBool(L"DashBack", dashBack_, false);
    bag.WriteInt(L"Style", style_, 8);
    bag.WriteDouble(L"BackColorCover", cover_, 0);
    bag.WriteInt(L"BackColorV2Begin", v2Begin_, RGB(90, 110, 140));
    bag.WriteInt(L"BackColorV2End", v2End_, RGB(38, 48, 79));
    bag.WriteInt(L"BackColorV1Begin", v1Begin_, RGB(230, 230, 230));
    bag.WriteInt(L"BackColorV1End", v1End_, RGB(90, 110, 140));
    bag.WriteInt(L"ForeColor", foreColor_, kButtonText);
    bag.WriteInt(L"CaptionColorBack", captionBack_, RGB(60, 60, 60));
    bag.WriteInt(L"CaptionColor", captionColor_, RGB(255, 255, 255));
    bag.WriteBool(L"ShowClose", show_[kClose], true);
    bag.WriteBool(L"ShowMinimized", show_[kMin], true);
    bag.WriteBool(L"ShowMaximized", show_[kMax], false);
    bag.WriteBool(L"ShowCloseEnabled", enabled_[kClose], true);
    bag.WriteBool(L"ShowMinimizedEnabled", enabled_[kMin], true);
    bag.WriteBool(L"ShowMaximizedEnabled", enabled_[kMax], false);
    bag.WriteString(L"Font", font_.ToText(), AmbientFont().ToText());
    WritePicture(bag, L"Picture", picture_);
    bag.WriteString(L"ToolTipText", ToolTipText(), L"");
    bag.WriteString(L"Caption", caption_, TypeName());
    bag.WriteInt(L"PicturePosMode", picturePosMode_, 0);
    bag.WriteInt(L"PicturePosX", picturePosX_, 6);
    bag.WriteInt(L"PicturePosY", picturePosY_, 4);
    bag.WriteInt(L"CaptionPosX", captionPosX_, 0);
    bag.WriteInt(L"CaptionPosY", captionPosY_, 2);
    WritePicture(bag, L"PictureButton", pictureButton_);
    bag.WriteInt(L"BorderNormal", border_, 0);
    bag.WriteInt(L"IconStyle", iconStyle_, 0);
    bag.WriteInt(L"BorderColorHighLight", high_, RGB(255, 255, 255));
    bag.WriteInt(L"BorderColorDarkLight", dark_, RGB(0, 0, 0));
    bag.WriteInt(L"Caption3DWidth", depth_, 2);
    bag.WriteBool(L"Caption3DTop", sides_.top, false);
    bag.WriteBool(L"Caption3DLeft", sides_.left, false);
    bag.WriteBool(L"Caption3DRight", sides_.right, true);
    bag.WriteBool(L"Caption3DBottom", sides_.bottom, true);
    bag.WriteBool(L"CaptionBorder", captionBorder_, false);
    bag.WriteInt(L"CaptionBorderColor", captionBorderColor_, 0);
    bag.WriteInt(L"CaptionShadowColor", captionShadow_, RGB(60, 60, 60));
}

void TitelBar::SetAutoRedraw(bool on)
{
    autoRedraw_ = on;
    PropertyChanged(L"AutoRedraw");
}

void TitelBar::SetDashBack(bool on)
{
    dashBack_ = on;
    Changed(L"DashBack");
}

bool TitelBar::SetStyle(std::int32_t style)
{
    if (style < INT16_MIN || style > INT16_MAX)
        return false;
    style_ = static_cast<std::int16_t>(style);
    Changed(L"Style");
    return true;
}

void TitelBar::SetBackColor(OleColor c)
{
    backColor_ = c;
    Changed(L"BackColor");
}

void TitelBar::SetBackColorCover(float tenths)
{
    cover_ = LimitCover(tenths);
    Changed(L"BackColorCover");
}

#define TITELBAR_SETTER(Name, field, type)                                                                             \
    void TitelBar::Set##Name(type v)                                                                                   \
    {                                                                                                                  \
        field = v;                                                                                                     \
        Changed(L## #Name);                                                                                            \
    }
TITELBAR_SETTER(BackColorV2Begin, v2Begin_, OleColor)
TITELBAR_SETTER(BackColorV2End, v2End_, OleColor)
TITELBAR_SETTER(BackColorV1Begin, v1Begin_, OleColor)
TITELBAR_SETTER(BackColorV1End, v1End_, OleColor)
TITELBAR_SETTER(BorderColorHighLight, high_, OleColor)
TITELBAR_SETTER(BorderColorDarkLight, dark_, OleColor)
TITELBAR_SETTER(ForeColor, foreColor_, OleColor)
TITELBAR_SETTER(CaptionColorBack, captionBack_, OleColor)
TITELBAR_SETTER(CaptionBorderColor, captionBorderColor_, OleColor)
TITELBAR_SETTER(CaptionShadowColor, captionShadow_, OleColor)
TITELBAR_SETTER(CaptionBorder, captionBorder_, bool)
TITELBAR_SETTER(Caption3DWidth, depth_, std::uint8_t)
TITELBAR_SETTER(Font, font_, const TitleFont&)
TITELBAR_SETTER(Caption, caption_, const std::wstring&)
TITELBAR_SETTER(CaptionPosX, captionPosX_, std::int32_t)
TITELBAR_SETTER(CaptionPosY, captionPosY_, std::int32_t)
TITELBAR_SETTER(BorderNormal, border_, std::uint8_t)
TITELBAR_SETTER(PictureButton, pictureButton_, PicturePtr)
TITELBAR_SETTER(PicturePosMode, picturePosMode_, std::int32_t)
TITELBAR_SETTER(PicturePosX, picturePosX_, std::int16_t)
TITELBAR_SETTER(PicturePosY, picturePosY_, std::int16_t)
#undef TITELBAR_SETTER

void TitelBar::SetCaptionColor(OleColor c)
{
    captionColor_ = c;
    PropertyChanged(L"CaptionColor");
    foreColor_ = c;
    Refresh();
}

// The side flags are known to the host under names of their own.
void TitelBar::SetCaption3DTop(bool on)
{
    sides_.top = on;
    Changed(L"Caption3DappTop");
}
void TitelBar::SetCaption3DBottom(bool on)
{
    sides_.bottom = on;
    Changed(L"Caption3DappBottom");
}
void TitelBar::SetCaption3DLeft(bool on)
{
    sides_.left = on;
    Changed(L"Caption3DappLeft");
}
void TitelBar::SetCaption3DRight(bool on)
{
    sides_.right = on;
    Changed(L"Caption3DappRight");
}

void TitelBar::SetIconStyle(std::uint8_t set)
{
    iconStyle_ = std::min<std::uint8_t>(set, kBoxSets - 1);
    Changed(L"IconStyle");
}

void TitelBar::SetToolTipText(const std::wstring& text)
{
    rt::UserControl::SetToolTipText(text);
    PropertyChanged(L"ToolTipText");
}

// The box switches lay the boxes out again without repainting the face.
#define TITELBAR_BOX_SETTER(Name, array, index)                                                                        \
    void TitelBar::Set##Name(bool on)                                                                                  \
    {                                                                                                                  \
        array[index] = on;                                                                                             \
        PropertyChanged(L## #Name);                                                                                    \
        SetTBX_();                                                                                                     \
        ShowBoxes();                                                                                                   \
    }
TITELBAR_BOX_SETTER(ShowClose, show_, kClose)
TITELBAR_BOX_SETTER(ShowMinimized, show_, kMin)
TITELBAR_BOX_SETTER(ShowMaximized, show_, kMax)
TITELBAR_BOX_SETTER(ShowCloseEnabled, enabled_, kClose)
TITELBAR_BOX_SETTER(ShowMinimizedEnabled, enabled_, kMin)
TITELBAR_BOX_SETTER(ShowMaximizedEnabled, enabled_, kMax)
#undef TITELBAR_BOX_SETTER

void TitelBar::SetPicture(PicturePtr picture)
{
    picture_ = std::move(picture);
    PropertyChanged(L"Picture");
    // Only the icon is drawn again: onto the face the boxes go back over, then the boxes.
    RedrawFace([this] { SetImageI(BackDC()); });
}

void TitelBar::Cls()
{
    RedrawFace([this] {
        RECT r{0, 0, ScaleWidth(), ScaleHeight()};
        rt::Gdi<HBRUSH> brush(CreateSolidBrush(GetRealColor(backColor_)));
        FillRect(BackDC(), &r, brush.get());
    });
}

void TitelBar::RedrawFace(const std::function<void()>& draw)
{
    const int w = ScaleWidth(), h = ScaleHeight();
    if (!BackBits() || face_.size() != static_cast<std::size_t>(w) * h)
        return;
    auto* bits = static_cast<Pixel*>(BackBits());
    GdiFlush();
    std::copy(face_.begin(), face_.end(), bits);
    draw();
    GdiFlush();
    face_.assign(bits, bits + face_.size());
    DrawBoxes();
    InvalidateRect(hWnd(), nullptr, FALSE);
}

HWND TitelBar::ActiveControl() const
{
    HWND focus = GetFocus();
    return focus && IsChild(hWnd(), focus) ? focus : nullptr;
}

} // namespace skin
