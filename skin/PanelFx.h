// The titled panel: a framed box with a title band (icon and caption) and a body, filled
// solid, with a gradient or with a tiled bitmap, clipped to rounded corners. It holds the
// form's controls, reports clicks by area, can collapse to its band and be dragged by it.
// Properties and the bag live in PanelFx.cpp, drawing in PanelFxPaint.cpp, the mouse and
// the children's background in PanelFxInput.cpp.
#pragma once

#include "runtime/Event.h"
#include "runtime/UserControl.h"
#include "skin/CaptionFont.h"
#include "skin/Picture.h"
#include "skin/core/PanelLayout.h"

#include <cstdint>
#include <string>

namespace skin {

// The caption font's description; an empty name or a size of 0 takes the ambient (message)
// font's.
struct PanelFont : FontText {
    bool operator==(const PanelFont&) const = default;
    // A face name the system takes and a size from 0 to 400 points.
    bool Valid() const;
    static bool FromText(const std::wstring& text, PanelFont& out);
};

class PanelFx : public rt::UserControl {
public:
    using OleColor = std::uint32_t;

    explicit PanelFx(std::wstring name);

    // Lengths are 96-DPI pixels, drawn at the panel's DPI. A value out of range is ignored.
    int TileHeight() const { return tileHeight_; }
    void SetTileHeight(int value);
    OleColor PanelBorderColor() const { return borderColor_; }
    void SetPanelBorderColor(OleColor colour);
    std::wstring TitleCaption() const { return title_; }
    void SetTitleCaption(const std::wstring& text);
    OleColor TitleForeColor() const { return titleForeColor_; }
    void SetTitleForeColor(OleColor colour);
    PanelAlignment TitleAlignment() const { return alignment_; }
    void SetTitleAlignment(PanelAlignment value);
    PanelFont Font() const { return font_; }
    void SetFont(const PanelFont& font);
    OleColor TileBackColor() const { return tileBackColor_; }
    void SetTileBackColor(OleColor colour);
    OleColor PanelBackColor() const { return panelBackColor_; }
    void SetPanelBackColor(OleColor colour);
    int RoundEdge() const { return roundEdge_; }
    void SetRoundEdge(int value);
    bool CanCollapse() const { return canCollapse_; }
    void SetCanCollapse(bool value);
    bool AllowDraging() const { return allowDraging_; }
    void SetAllowDraging(bool value);
    PanelBackground BackGroundStyle() const { return style_; }
    void SetBackGroundStyle(PanelBackground value);
    OleColor gCTitleStart() const { return titleStart_; }
    void SetgCTitleStart(OleColor colour);
    OleColor gCTitleEnd() const { return titleEnd_; }
    void SetgCTitleEnd(OleColor colour);
    PanelGradientDir gCTitleDir() const { return titleDir_; }
    void SetgCTitleDir(PanelGradientDir value);
    PanelGradientDir gCPanelDir() const { return panelDir_; }
    void SetgCPanelDir(PanelGradientDir value);
    OleColor gCPanelStart() const { return panelStart_; }
    void SetgCPanelStart(OleColor colour);
    OleColor gCPanelEnd() const { return panelEnd_; }
    void SetgCPanelEnd(OleColor colour);
    PicturePtr TitleIcon() const { return titleIcon_; }
    void SetTitleIcon(PicturePtr picture);
    PicturePtr TitleBitmap() const { return titleBitmap_; }
    void SetTitleBitmap(PicturePtr picture);
    PicturePtr PanelBitmap() const { return panelBitmap_; }
    void SetPanelBitmap(PicturePtr picture);
    int TitleIconWidth() const { return iconWidth_; }
    void SetTitleIconWidth(int value);
    int TitleIconHeight() const { return iconHeight_; }
    void SetTitleIconHeight(int value);
    int TitleIconXPos() const { return iconX_; }
    void SetTitleIconXPos(int value);
    int TitleIconYPos() const { return iconY_; }
    void SetTitleIconYPos(int value);
    bool HideTitleIcon() const { return hideIcon_; }
    void SetHideTitleIcon(bool value);
    bool AllowParentDraging() const { return allowParentDraging_; }
    void SetAllowParentDraging(bool value);
    HDC hdc() const { return BackDC(); }

    // Shrinks the panel to its title band, or gives it back the size it had; only when
    // CanCollapse is on, and only from the other state.
    void Collapse(bool collapse);
    // 0 for the title band, 1 for the body; y in the panel's pixels.
    int PanelOrTitle(float y) const;

    rt::Event<> TileClick;
    rt::Event<> PanelClick;
    // Button, Shift, X, Y (pixels), PanelArea.
    rt::Event<int, int, float, float, int> MouseDown;
    rt::Event<int, int, float, float, int> MouseMove;
    rt::Event<int, int, float, float, int> MouseUp;

protected:
    void InitProperties() override;
    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;
    void Paint(HDC dc, int w, int h) override;
    void Resized() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Stores nothing: reports `name` changed and repaints.
    void Changed(const wchar_t* name);
    // Like Changed, for what the children's background shows too.
    void FillChanged(const wchar_t* name);
    void ApplyRegion();
    bool DrawIcon(HDC dc);
    void DrawTitleCaption(HDC dc, int w);
    void OnMouse(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT ChildBackground(HDC childDC, HWND child);

    int tileHeight_ = 20;
    OleColor borderColor_ = 0x400000;
    std::wstring title_;
    OleColor titleForeColor_ = 0xFFFFFF;
    PanelAlignment alignment_ = PanelAlignment::Left;
    PanelFont font_;
    OleColor tileBackColor_ = 0x8000000D;
    OleColor panelBackColor_ = 0x80000005;
    int roundEdge_ = 0;
    bool canCollapse_ = false;
    bool allowDraging_ = false;
    PanelBackground style_ = PanelBackground::Solid;
    OleColor titleStart_ = 0xDE9A39;
    OleColor titleEnd_ = 0xFFFFFF;
    PanelGradientDir titleDir_ = PanelGradientDir::Vertical;
    PanelGradientDir panelDir_ = PanelGradientDir::Vertical;
    OleColor panelStart_ = 0xDE9A39;
    OleColor panelEnd_ = 0xFFFFFF;
    PicturePtr titleIcon_;
    PicturePtr titleBitmap_;
    PicturePtr panelBitmap_;
    int iconWidth_ = 32;
    int iconHeight_ = 32;
    int iconX_ = 8;
    int iconY_ = 6;
    bool hideIcon_ = false;
    bool allowParentDraging_ = false;

    // The icon was drawn by the last paint; the caption of the same paint makes room for it.
    bool iconShown_ = false;
    // The size Collapse took away, in pixels, while collapsed.
    bool collapsed_ = false;
    SIZE savedSize_{};
    // The window region was made for this size and corner; a paint never sets it again.
    SIZE regionSize_{};
    int regionEdge_ = -1;
    // The backing bitmap as a brush, for children that draw on the panel; made after a paint.
    rt::Gdi<HBRUSH> childBrush_;
    bool childBrushStale_ = true;
};

// The look both programs design their panels with: a blue gradient band over a pale body.
rt::PropertyBag ProgramPanelDesign(const std::wstring& caption);

} // namespace skin
