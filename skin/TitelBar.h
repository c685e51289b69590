// The drawn title bar of a borderless form: fifteen background layouts, the caption with its
// outline and extrusion, the icon, the frame, the close, maximise and minimise boxes, hover
// tracking and dragging the form. Properties and the bag live in TitelBar.cpp, painting in
// TitelBarPaint.cpp, the boxes in TitelBarBoxes.cpp, the mouse in TitelBarInput.cpp.
#pragma once

#include "runtime/Event.h"
#include "runtime/UserControl.h"
#include "skin/Picture.h"
#include "skin/core/BoxPictures.h"
#include "skin/core/TitleBackground.h"
#include "skin/core/TitleLayout.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skin {

// The caption font's description; fonts are made from it for each drawing step.
struct TitleFont {
    std::wstring name = L"Tahoma";
    float size = 14.25f; // points
    bool bold = false;
    bool operator==(const TitleFont&) const = default;
    // "name;size;bold", the form the property bag keeps; a bare name keeps `base`'s size and weight.
    std::wstring ToText() const;
    static TitleFont FromText(const std::wstring& text, const TitleFont& base);
};

// How the icon is placed, by its stored number.
enum class PicturePosMode : std::int32_t { Stored = 0, CentreAcross = 1, CentreDown = 2, Centre = 3 };

class TitelBar : public rt::UserControl {
public:
    using OleColor = std::uint32_t;

    // What the close box does with the form that holds the bar: Ostrevi keeps running in the
    // notification area, so it only hides; Brennix unloads its form and ends.
    enum class CloseAction { HideForm, UnloadForm };

    TitelBar(std::wstring name, CloseAction closeAction);
    ~TitelBar() override;

    // The bag a newly placed bar saves: what a form's design starts from.
    static rt::PropertyBag NewInstanceDesign();

    // The RGB value of an OLE colour (a system colour index becomes the current colour); 0
    // when it cannot be translated.
    static OleColor GetRealColor(OleColor colour);

    bool AutoRedraw() const { return autoRedraw_; }
    void SetAutoRedraw(bool on);
    bool DashBack() const { return dashBack_; }
    void SetDashBack(bool on);
    std::int32_t Style() const { return style_; }
    // False, keeping the style, when the value does not fit in 16 bits.
    bool SetStyle(std::int32_t style);
    OleColor BackColor() const { return backColor_; }
    void SetBackColor(OleColor c);
    float BackColorCover() const { return cover_; }
    void SetBackColorCover(float tenths);
    OleColor BackColorV2Begin() const { return v2Begin_; }
    void SetBackColorV2Begin(OleColor c);
    OleColor BackColorV2End() const { return v2End_; }
    void SetBackColorV2End(OleColor c);
    OleColor BackColorV1Begin() const { return v1Begin_; }
    void SetBackColorV1Begin(OleColor c);
    OleColor BackColorV1End() const { return v1End_; }
    void SetBackColorV1End(OleColor c);
    OleColor BorderColorHighLight() const { return high_; }
    void SetBorderColorHighLight(OleColor c);
    OleColor BorderColorDarkLight() const { return dark_; }
    void SetBorderColorDarkLight(OleColor c);
    OleColor ForeColor() const { return foreColor_; }
    void SetForeColor(OleColor c);
    OleColor CaptionColorBack() const { return captionBack_; }
    void SetCaptionColorBack(OleColor c);
    OleColor CaptionColor() const { return captionColor_; }
    void SetCaptionColor(OleColor c);
    OleColor CaptionBorderColor() const { return captionBorderColor_; }
    void SetCaptionBorderColor(OleColor c);
    OleColor CaptionShadowColor() const { return captionShadow_; }
    void SetCaptionShadowColor(OleColor c);
    bool CaptionBorder() const { return captionBorder_; }
    void SetCaptionBorder(bool on);
    std::uint8_t Caption3DWidth() const { return depth_; }
    void SetCaption3DWidth(std::uint8_t depth);
    bool Caption3DTop() const { return sides_.top; }
    void SetCaption3DTop(bool on);
    bool Caption3DBottom() const { return sides_.bottom; }
    void SetCaption3DBottom(bool on);
    bool Caption3DLeft() const { return sides_.left; }
    void SetCaption3DLeft(bool on);
    bool Caption3DRight() const { return sides_.right; }
    void SetCaption3DRight(bool on);
    bool ShowClose() const { return show_[kClose]; }
    void SetShowClose(bool on);
    bool ShowMinimized() const { return show_[kMin]; }
    void SetShowMinimized(bool on);
    bool ShowMaximized() const { return show_[kMax]; }
    void SetShowMaximized(bool on);
    bool ShowCloseEnabled() const { return enabled_[kClose]; }
    void SetShowCloseEnabled(bool on);
    bool ShowMinimizedEnabled() const { return enabled_[kMin]; }
    void SetShowMinimizedEnabled(bool on);
    bool ShowMaximizedEnabled() const { return enabled_[kMax]; }
    void SetShowMaximizedEnabled(bool on);
    TitleFont Font() const { return font_; }
    void SetFont(const TitleFont& font);
    void SetToolTipText(const std::wstring& text);
    std::wstring Caption() const { return caption_; }
    void SetCaption(const std::wstring& text);
    std::int32_t CaptionPosX() const { return captionPosX_; }
    void SetCaptionPosX(std::int32_t mode);
    std::int32_t CaptionPosY() const { return captionPosY_; }
    void SetCaptionPosY(std::int32_t mode);
    std::uint8_t BorderNormal() const { return border_; }
    void SetBorderNormal(std::uint8_t size);
    std::uint8_t IconStyle() const { return iconStyle_; }
    void SetIconStyle(std::uint8_t set);
    PicturePtr Picture() const { return picture_; }
    void SetPicture(PicturePtr picture);
    PicturePtr PictureButton() const { return pictureButton_; }
    void SetPictureButton(PicturePtr picture);
    std::int32_t PicturePosMode() const { return picturePosMode_; }
    void SetPicturePosMode(std::int32_t mode);
    std::int16_t PicturePosX() const { return picturePosX_; }
    void SetPicturePosX(std::int16_t x);
    std::int16_t PicturePosY() const { return picturePosY_; }
    void SetPicturePosY(std::int16_t y);

    HDC hdc() const { return BackDC(); }
    bool HasDC() const { return true; }
    // Clears the face to the back colour.
    void Cls();
    // The child window of the bar that has the focus, or null.
    HWND ActiveControl() const;

    // A box's place on the bar in client pixels, for tests and for the hit test.
    RECT BoxRect(TitleBox box) const;
    RECT CloseBoxRect() const { return BoxRect(TitleBox::Close); }
    RECT MinBoxRect() const { return BoxRect(TitleBox::Min); }
    // The state of the picture a box shows.
    BoxState BoxShows(TitleBox box) const { return boxState_[Index(box)]; }
    bool Tracking() const { return hover_ == Hover::Tracking; }

    rt::Event<> Click;
    rt::Event<> DblClick;
    rt::Event<int&, int&> KeyDown; // key code, shift
    rt::Event<int&> KeyPress;      // character
    rt::Event<int&, int&> KeyUp;   // key code, shift
    rt::Event<int&, int&, float&, float&> MouseDown; // button, shift, x, y (pixels)
    rt::Event<int&, int&, float&, float&> MouseMove;
    rt::Event<int&, int&, float&, float&> MouseUp;
    rt::Event<> Resize;

protected:
    void InitProperties() override;
    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;
    void Paint(HDC dc, int w, int h) override;
    void Resized() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    enum : int { kClose = 0, kMax = 1, kMin = 2 };
    enum class Hover : std::uint8_t { Tracking = 1, Idle = 255 };
    static int Index(TitleBox b) { return b == TitleBox::Close ? kClose : b == TitleBox::Max ? kMax : kMin; }

    void Changed(const wchar_t* name);
    // Painting steps (TitelBarPaint.cpp).
    void SetVerlauf(int w, int h);
    void SetImageI(HDC dc);
    void Shadow(HDC dc);
    void BSetBorder(int w, int h);
    // Puts the painted face back without the boxes, runs `draw` on it, keeps the result as the
    // face and draws the boxes over it again.
    void RedrawFace(const std::function<void()>& draw);
    // The icon's size on the bar: its own pixels scaled by the bar's DPI.
    SIZE IconSize() const;
    int Border() const { return Scaled(border_); }
    std::optional<float> IconRight() const;
    // Boxes (TitelBarBoxes.cpp).
    void SetTBX_();
    void ShowBoxes();
    void DrawBoxes();
    void SetBoxState(TitleBox box, BoxState state);
    BoxPlaces Places() const;
    // Input (TitelBarInput.cpp).
    bool IsCursorInside() const;
    bool ClientPointInside(int x, int y) const;
    void StartTracking();
    void StopTracking();
    // Forgets the press on the surface and lets the mouse go.
    void EndSurfacePress();
    void BoxMove(TitleBox box);
    void BoxDown(TitleBox box);
    void SurfaceMove(int button, int shift, float x, float y);
    void SurfaceDown(UINT msg, WPARAM wp, float x, float y);
    void SurfaceUp(UINT msg, WPARAM wp, float x, float y);
    void DoCloseAction();

    CloseAction closeAction_;
    bool autoRedraw_ = false;
    bool dashBack_ = false;
    std::int16_t style_ = 8;
    OleColor backColor_ = RGB(230, 230, 230);
    float cover_ = 0;
    OleColor v2Begin_ = RGB(90, 110, 140), v2End_ = RGB(38, 48, 79);
    OleColor v1Begin_ = RGB(230, 230, 230), v1End_ = RGB(90, 110, 140);
    OleColor high_ = RGB(255, 255, 255), dark_ = RGB(0, 0, 0);
    OleColor foreColor_ = 0x80000012;
    OleColor captionBack_ = RGB(60, 60, 60), captionColor_ = RGB(255, 255, 255);
    OleColor captionBorderColor_ = 0, captionShadow_ = RGB(60, 60, 60);
    bool captionBorder_ = false;
    std::uint8_t depth_ = 2;
    Sides sides_;
    bool show_[3] = {true, false, true};
    bool enabled_[3] = {true, false, true};
    TitleFont font_;
    std::wstring caption_ = L"TitelBar";
    std::int32_t captionPosX_ = 0, captionPosY_ = 2;
    std::uint8_t border_ = 0;
    std::uint8_t iconStyle_ = 0;
    PicturePtr picture_, pictureButton_;
    std::int32_t picturePosMode_ = 0;
    std::int16_t picturePosX_ = 6, picturePosY_ = 4;

    Hover hover_ = Hover::Idle;
    BoxPlace place_[3];
    BoxState boxState_[3] = {BoxState::Normal, BoxState::Normal, BoxState::Normal};
    // The face as painted before the boxes go on it: box pictures change without a repaint.
    std::vector<Pixel> face_;
    // Buttons pressed on the surface and not yet released; only such a press holds the capture.
    int surfaceButtons_ = 0;
    // A left press on the surface whose release over the bar is a Click.
    bool clickArmed_ = false;
    // A leave notice is asked for: the cursor went onto the surface and has not left it since.
    bool leaveArmed_ = false;
};

} // namespace skin
