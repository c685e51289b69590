#include "skin/PanelFx.h"


namespace skin {

namespace {
// 16-bit properties of the icon: sizes never negative.
constexpr int kMin16 = -32768, kMax16 = 32767;
// A band or corner beyond this is no design: the panel's window is never that large.
constexpr int kMaxLength = 32767;

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

int ReadInt(const rt::PropertyBag& bag, const wchar_t* key, int def, int lo, int hi)
{
    return static_cast<int>(bag.ReadInt(key, def, lo, hi));
}

PanelFx::OleColor ReadColour(const rt::PropertyBag& bag, const wchar_t* key, PanelFx::OleColor def)
{
    return static_cast<PanelFx::OleColor>(bag.ReadInt(key, def, 0, 0xFFFFFFFFLL));
}
} // namespace

bool PanelFont::Valid() const { return name.size() < LF_FACESIZE && size >= 0 && size <= 400; }

bool PanelFont::FromText(const std::wstring& text, PanelFont& out)
{
    const std::optional<FontText> fields = FontText::Parse(text);
    if (!fields)
        return false;
    PanelFont font;
    static_cast<FontText&>(font) = *fields;
    if (!font.Valid())
        return false;
    out = font;
    return true;
}

PanelFx::PanelFx(std::wstring name) : rt::UserControl(std::move(name), L"PanelFx") {}

void PanelFx::InitProperties() { title_ = Name(); }

void PanelFx::ReadProperties(const rt::PropertyBag& bag)
{
    tileHeight_ = ReadInt(bag, L"TileHeight", 20, 0, kMaxLength);
    borderColor_ = ReadColour(bag, L"PanelBorderColor", 0x400000);
    title_ = bag.ReadString(L"TitleCaption", L"Panel");
    titleForeColor_ = ReadColour(bag, L"TitleForeColor", 0xFFFFFF);
    PanelFont font;
    font_ = PanelFont::FromText(bag.ReadString(L"Font", L""), font) ? font : PanelFont{};
    alignment_ = static_cast<PanelAlignment>(ReadInt(bag, L"TitleAlignment", 0, 0, 2));
    tileBackColor_ = ReadColour(bag, L"TileBackColor", 0x8000000D);
    panelBackColor_ = ReadColour(bag, L"PanelBackColor", 0x80000005);
    roundEdge_ = ReadInt(bag, L"RoundEdge", 0, 0, kMaxLength);
    canCollapse_ = bag.ReadBool(L"CanCollapse", false);
    allowDraging_ = bag.ReadBool(L"AllowDraging", false);
    style_ = static_cast<PanelBackground>(ReadInt(bag, L"BackGroundStyle", 0, 0, 2));
    titleStart_ = ReadColour(bag, L"gCTitleStart", 0xDE9A39);
    titleEnd_ = ReadColour(bag, L"gCTitleEnd", 0xFFFFFF);
    titleDir_ = static_cast<PanelGradientDir>(ReadInt(bag, L"gCTitleDir", 1, 0, 1));
    panelStart_ = ReadColour(bag, L"gCPanelStart", 0xDE9A39);
    panelEnd_ = ReadColour(bag, L"gCPanelEnd", 0xFFFFFF);
    panelDir_ = static_cast<PanelGradientDir>(ReadInt(bag, L"gCPanelDir", 1, 0, 1));
    titleIcon_ = ReadPicture(bag, L"TitleIcon");
    iconWidth_ = ReadInt(bag, L"TitleIconWidth", 32, 0, kMax16);
    iconHeight_ = ReadInt(bag, L"TitleIconHeight", 32, 0, kMax16);
    iconX_ = ReadInt(bag, L"TitleIconXPos", 8, kMin16, kMax16);
    iconY_ = ReadInt(bag, L"TitleIconYPos", 6, kMin16, kMax16);
    hideIcon_ = bag.ReadBool(L"HideTitleIcon", false);
    allowParentDraging_ = bag.ReadBool(L"AllowParentDraging", false);
    titleBitmap_ = ReadPicture(bag, L"TitleBitmap");
    panelBitmap_ = ReadPicture(bag, L"PanelBitmap");
    ApplyRegion();
}

void PanelFx::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteInt(L"TileHeight", tileHeight_, 20);
    bag.WriteInt(L"PanelBorderColor", borderColor_, 0x400000);
    bag.WriteString(L"TitleCaption", title_, L"Panel");
    bag.WriteInt(L"TitleForeColor", titleForeColor_, 0xFFFFFF);
    bag.WriteString(L"Font", font_ == PanelFont{} ? std::wstring() : font_.ToText(), L"");
    bag.WriteInt(L"TitleAlignment", static_cast<int>(alignment_), 0);
    bag.WriteInt(L"TileBackColor", tileBackColor_, 0x8000000D);
    bag.WriteInt(L"PanelBackColor", panelBackColor_, 0x80000005);
    bag.WriteInt(L"RoundEdge", roundEdge_, 0);
    bag.WriteBool(L"CanCollapse", canCollapse_, false);
    bag.WriteBool(L"AllowDraging", allowDraging_, false);
    bag.WriteInt(L"BackGroundStyle", static_cast<int>(style_), 0);
    bag.WriteInt(L"gCTitleStart", titleStart_, 0xDE9A39);
    bag.WriteInt(L"gCTitleEnd", titleEnd_, 0xFFFFFF);
    bag.WriteInt(L"gCTitleDir", static_cast<int>(titleDir_), 1);
    bag.WriteInt(L"gCPanelStart", panelStart_, 0xDE9A39);
    bag.WriteInt(L"gCPanelEnd", panelEnd_, 0xFFFFFF);
    bag.WriteInt(L"gCPanelDir", static_cast<int>(panelDir_), 1);
    WritePicture(bag, L"TitleIcon", titleIcon_);
    bag.WriteInt(L"TitleIconWidth", iconWidth_, 32);
    bag.WriteInt(L"TitleIconHeight", iconHeight_, 32);
    bag.WriteInt(L"TitleIconXPos", iconX_, 8);
    bag.WriteInt(L"TitleIconYPos", iconY_, 6);
    bag.WriteBool(L"HideTitleIcon", hideIcon_, false);
    bag.WriteBool(L"AllowParentDraging", allowParentDraging_, false);
    WritePicture(bag, L"TitleBitmap", titleBitmap_);
    WritePicture(bag, L"PanelBitmap", panelBitmap_);
}

void PanelFx::Changed(const wchar_t* name)
{
    PropertyChanged(name);
    Refresh();
}

void PanelFx::FillChanged(const wchar_t* name)
{
    Changed(name);
    // Labels on the body take their background from the panel: they draw again with the new one.
    if (hWnd() && GetWindow(hWnd(), GW_CHILD))
        RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

#define PANEL_SETTER(Setter, member, Type, key, Notify) \
    void PanelFx::Setter(Type value)                    \
    {                                                   \
        member = value;                                 \
        Notify(key);                                    \
    }
PANEL_SETTER(SetPanelBorderColor, borderColor_, OleColor, L"PanelBorderColor", FillChanged)
PANEL_SETTER(SetTitleCaption, title_, const std::wstring&, L"TitleCaption", Changed)
PANEL_SETTER(SetTitleForeColor, titleForeColor_, OleColor, L"TitleForeColor", Changed)
PANEL_SETTER(SetTileBackColor, tileBackColor_, OleColor, L"TileBackColor", Changed)
PANEL_SETTER(SetPanelBackColor, panelBackColor_, OleColor, L"PanelBackColor", FillChanged)
PANEL_SETTER(SetgCTitleStart, titleStart_, OleColor, L"gCTitleStart", Changed)
PANEL_SETTER(SetgCTitleEnd, titleEnd_, OleColor, L"gCTitleEnd", Changed)
PANEL_SETTER(SetgCPanelStart, panelStart_, OleColor, L"gCPanelStart", FillChanged)
PANEL_SETTER(SetgCPanelEnd, panelEnd_, OleColor, L"gCPanelEnd", FillChanged)
PANEL_SETTER(SetTitleIcon, titleIcon_, PicturePtr, L"TitleIcon", Changed)
PANEL_SETTER(SetTitleBitmap, titleBitmap_, PicturePtr, L"TitleBitmap", Changed)
PANEL_SETTER(SetPanelBitmap, panelBitmap_, PicturePtr, L"PanelBitmap", FillChanged)
PANEL_SETTER(SetHideTitleIcon, hideIcon_, bool, L"HideTitleIcon", Changed)
PANEL_SETTER(SetAllowParentDraging, allowParentDraging_, bool, L"AllowParentDraging", Changed)
#undef PANEL_SETTER

// Out-of-range values are ignored, as the bag ignores them.
#define PANEL_CHECKED_SETTER(Setter, member, key, lo, hi, Notify) \
    void PanelFx::Setter(int value)                               \
    {                                                             \
        if (!InRange(value, lo, hi))                              \
            return;                                               \
        member = value;                                           \
        Notify(key);                                              \
    }
PANEL_CHECKED_SETTER(SetTileHeight, tileHeight_, L"TileHeight", 0, kMaxLength, FillChanged)
PANEL_CHECKED_SETTER(SetTitleIconWidth, iconWidth_, L"TitleIconWidth", 0, kMax16, Changed)
PANEL_CHECKED_SETTER(SetTitleIconHeight, iconHeight_, L"TitleIconHeight", 0, kMax16, Changed)
PANEL_CHECKED_SETTER(SetTitleIconXPos, iconX_, L"TitleIconXPos", kMin16, kMax16, Changed)
PANEL_CHECKED_SETTER(SetTitleIconYPos, iconY_, L"TitleIconYPos", kMin16, kMax16, Changed)
#undef PANEL_CHECKED_SETTER

void PanelFx::SetFont(const PanelFont& font)
{
    if (!font.Valid())
        return;
    font_ = font;
    Changed(L"Font");
}

void PanelFx::SetTitleAlignment(PanelAlignment value)
{
    if (!InRange(static_cast<int>(value), 0, 2))
        return;
    alignment_ = value;
    Changed(L"TitleAlignment");
}

void PanelFx::SetBackGroundStyle(PanelBackground value)
{
    if (!InRange(static_cast<int>(value), 0, 2))
        return;
    style_ = value;
    FillChanged(L"BackGroundStyle");
}

void PanelFx::SetgCTitleDir(PanelGradientDir value)
{
    if (!InRange(static_cast<int>(value), 0, 1))
        return;
    titleDir_ = value;
    Changed(L"gCTitleDir");
}

void PanelFx::SetgCPanelDir(PanelGradientDir value)
{
    if (!InRange(static_cast<int>(value), 0, 1))
        return;
    panelDir_ = value;
    FillChanged(L"gCPanelDir");
}

void PanelFx::SetRoundEdge(int value)
{
    if (!InRange(value, 0, kMaxLength))
        return;
    roundEdge_ = value;
    ApplyRegion();
    Changed(L"RoundEdge");
}

// Neither changes what is drawn.
void PanelFx::SetCanCollapse(bool value)
{
    canCollapse_ = value;
    PropertyChanged(L"CanCollapse");
}

void PanelFx::SetAllowDraging(bool value)
{
    allowDraging_ = value;
    PropertyChanged(L"AllowDraging");
}

void PanelFx::Collapse(bool collapse)
{
    if (!canCollapse_ || !hWnd() || collapse == collapsed_)
        return;
    SIZE to = savedSize_;
    if (collapse) {
        savedSize_ = SIZE{ScaleWidth(), ScaleHeight()};
        to = SIZE{savedSize_.cx, Scaled(tileHeight_)};
    }
    collapsed_ = collapse;
    // The resize repaints.
    SetWindowPos(hWnd(), nullptr, 0, 0, to.cx, to.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int PanelFx::PanelOrTitle(float y) const { return PanelAreaOf(y, Scaled(tileHeight_)); }

void PanelFx::Resized() { ApplyRegion(); }

void PanelFx::ApplyRegion()
{
    if (!hWnd())
        return;
    const SIZE size{ScaleWidth(), ScaleHeight()};
    const int edge = Scaled(roundEdge_);
    if (size.cx == regionSize_.cx && size.cy == regionSize_.cy && edge == regionEdge_)
        return;
    // Setting a window region redraws the window: doing it from the paint would paint forever.
    regionSize_ = size;
    regionEdge_ = edge;
    if (edge == 0) {
        // Square corners need no region, and a window starts without one.
        if (GetWindowRgn(hWnd(), nullptr) != ERROR)
            SetWindowRgn(hWnd(), nullptr, TRUE);
        return;
    }
    const PanelRect r = PanelRectsOf(size.cx, size.cy, 0).region;
    HRGN rgn = CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, edge, edge);
    // Once set, the window owns the region.
    if (rgn && !SetWindowRgn(hWnd(), rgn, TRUE))
        DeleteObject(rgn);
}

rt::PropertyBag ProgramPanelDesign(const std::wstring& caption)
{
    PanelFont bold;
    bold.bold = true;
    return rt::PropertyBag::With(L"TitleCaption", caption)
        .Set(L"TileHeight", std::int64_t{22})
        .Set(L"PanelBorderColor", std::int64_t{0x804C30})
        .Set(L"Font", bold.ToText())
        .Set(L"BackGroundStyle", std::int64_t{1})
        .Set(L"gCTitleStart", std::int64_t{0xB27C5C})
        .Set(L"gCTitleEnd", std::int64_t{0x804C30})
        .Set(L"gCPanelStart", std::int64_t{0xFAF6F4})
        .Set(L"gCPanelEnd", std::int64_t{0xFAF6F4})
        .Set(L"HideTitleIcon", std::int64_t{1});
}

} // namespace skin
