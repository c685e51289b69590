// The drawn command button: twelve styles in four states, caption and pictures, colour
// schemes, hover, press, Space, arrow and access keys, a pop-up menu mode, and the Click
// that both programs handle. Model and properties live in dcButton.cpp, drawing
// primitives in dcButtonDraw.cpp, the style painters in dcButtonPaint.cpp and the input
// handlers in dcButtonInput.cpp.
#pragma once

#include "runtime/Event.h"
#include "runtime/UserControl.h"
#include "skin/CaptionFont.h"
#include "skin/Picture.h"
#include "skin/WindowHook.h"
#include "skin/core/ButtonColors.h"
#include "skin/core/ButtonLayout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rt {
class Menu;
class MenuItem;
} // namespace rt

namespace skin {
// What a paint shows; the number is the one stored under "State".
enum class ButtonState : std::int32_t { Normal = 0, Hot = 1, Pressed = 2, Disabled = 3 };

// Embossed copies drawn under the caption and the picture.
enum class SpecialEffect : std::int32_t { None = 0, Raised = 1, Sunken = 2, Shadow = 3 };

// The size the picture is drawn at: its own, one of four squares, or the custom width and
// height.
enum class PictureSize : std::int32_t { Own = 0, Px16 = 1, Px24 = 2, Px32 = 3, Px48 = 4, Custom = 5 };

// The window font's description; a font object is made from it for each drawing step.
struct ButtonFont : skin::FontText {
    ButtonFont() : skin::FontText{L"Verdana", 6.75f, true} {}
    bool operator==(const ButtonFont&) const = default;
    // A face of 1 to 31 characters and a size above 0 up to 400 points.
    static bool FromText(const std::wstring& text, ButtonFont& out);
};

class dcButton : public rt::UserControl, private skin::WindowHookOwner {
public:
    using OleColor = std::uint32_t;

    explicit dcButton(std::wstring name);
    ~dcButton() override;

    // Properties.
    OleColor BackColor() const { return backColor_; }
    void SetBackColor(OleColor colour);
    skin::ButtonShape ButtonShape() const { return buttonShape_; }
    void SetButtonShape(skin::ButtonShape shape);
    skin::ButtonStyle ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(skin::ButtonStyle style);
    std::wstring Caption() const { return caption_; }
    void SetCaption(const std::wstring& text);
    bool CheckBoxMode() const { return checkBoxMode_; }
    void SetCheckBoxMode(bool on);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) override;
    ButtonFont Font() const { return font_; }
    void SetFont(const ButtonFont& font);
    bool FontBold() const { return font_.bold; }
    void SetFontBold(bool v);
    bool FontItalic() const { return font_.italic; }
    void SetFontItalic(bool v);
    std::wstring FontName() const { return font_.name; }
    void SetFontName(const std::wstring& v);
    float FontSize() const { return font_.size; }
    void SetFontSize(float v);
    bool FontStrikethru() const { return font_.strikethru; }
    void SetFontStrikethru(bool v);
    bool FontUnderline() const { return font_.underline; }
    void SetFontUnderline(bool v);
    OleColor ForeColor() const { return foreColor_; }
    void SetForeColor(OleColor colour);
    bool HandPointer() const { return handPointer_; }
    void SetHandPointer(bool on);
    OleColor MaskColor() const { return maskColor_; }
    void SetMaskColor(OleColor colour);
    skin::PicturePtr MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(skin::PicturePtr icon);
    long MousePointer() const { return mousePointer_; }
    void SetMousePointer(long pointer);
    skin::PictureAlignment PictureAlignment() const { return pictureAlignment_; }
    void SetPictureAlignment(skin::PictureAlignment alignment);
    skin::PicturePtr PictureDown() const { return pictureDown_; }
    void SetPictureDown(skin::PicturePtr picture);
    skin::PicturePtr PictureHot() const { return pictureHot_; }
    void SetPictureHot(skin::PicturePtr picture);
    skin::PicturePtr PictureNormal() const { return pictureNormal_; }
    void SetPictureNormal(skin::PicturePtr picture);
    long PictureOpacity() const;
    void SetPictureOpacity(long percent);
    skin::PictureSize PictureSize() const { return pictureSize_; }
    void SetPictureSize(skin::PictureSize size);
    long PictureSizeH() const { return pictureSizeH_; }
    void SetPictureSizeH(long pixels);
    long PictureSizeW() const { return pictureSizeW_; }
    void SetPictureSizeW(long pixels);
    skin::SpecialEffect SpecialEffect() const { return specialEffect_; }
    void SetSpecialEffect(skin::SpecialEffect effect);
    bool UseMaskColor() const { return useMaskColor_; }
    void SetUseMaskColor(bool on);
    bool Value() const { return value_; }
    void SetValue(bool on);

    // Methods.
    void About();
    // Sets BackColor (and for style 11 ForeColor) to a style's scheme; -1 means the current
    // style and receives its number.
    void ColorScheme(long& style, bool noRedraw = false);
    // Replaces one colour-set entry until the next recomputation: 0 down, 1 hot, 2 disabled,
    // 3 disabled text, 4 hot light, 5 light. False (nothing changed) for any other number.
    bool OverrideColor(long property, OleColor colour, bool noRedraw = false);
    void SetPopupMenu(rt::Menu* menu, long align, long flags = 0, rt::MenuItem* defaultItem = nullptr);
    void UnsetPopupMenu();
    void Refresh();
    // Paints for a draw state (0 normal, 1 hot, 2 pressed, 3 disabled, -1 the current one);
    // without force only when the state or the focus changed.
    void Redraw(long state, bool force);

    // Inspection: the drawn state and the derived colours.
    skin::ButtonState DrawState() const { return state_; }
    const skin::ButtonColorSet& ColorSet() const { return colors_; }
    std::wstring AccessKeys() const { return accessKeys_; }

    // Events, in the order forms bind them.
    rt::Event<> Click;
    rt::Event<> DblClick;
    rt::Event<int&, int&> KeyDown;   // key code, shift
    rt::Event<int&> KeyPress;        // character
    rt::Event<int&, int&> KeyUp;     // key code, shift
    rt::Event<int, int, float, float> MouseDown; // button, shift, x, y (pixels)
    rt::Event<> MouseEnter;
    rt::Event<> MouseLeave;
    rt::Event<int, int, float, float> MouseMove;
    rt::Event<int, int, float, float> MouseUp;

protected:
    void InitProperties() override;
    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;
    void Paint(HDC dc, int width, int height) override;
    void Resized() override;
    void AmbientChanged(const std::wstring& name) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    DWORD WindowStyle() const override { return rt::UserControl::WindowStyle() | WS_TABSTOP; }
    HCURSOR Cursor() const override;

private:
    // The down or hot picture about to be set: false when it became the normal picture instead.
    bool TakesExtraPicture(skin::PicturePtr& picture);
    // Model (dcButton.cpp).
    void ComputeStyleColors();
    // The style's scheme colours, then the colour set.
    void ApplyColorScheme(skin::ButtonStyle style, bool noRedraw);
    void MarkChanged(const wchar_t* key) { PropertyChanged(key); }
    void ApplyAccessKeys();
    void ReleaseCaptureIfHeld();

    // Drawing primitives (dcButtonDraw.cpp).
    void LayoutCaptionAndPicture(int marginY, int marginX);
    void ApplyButtonRegion(int ew, int eh);
    void VerticalGradient(skin::Rgb c1, skin::Rgb c2, float percent, int left, int top, int right, int bottom);
    void CapsuleShine(skin::Rgb top, skin::Rgb bottom);
    void DrawLine(skin::Rgb colour, int x1, int y1, int x2, int y2);
    // Sets the pixels of a rectangle (both corners included) of the backing bitmap; false when
    // the surface is not the control's own.
    bool FillPixels(skin::Rgb colour, int left, int top, int right, int bottom);
    void DrawPixel(skin::Rgb colour, int x, int y) { DrawLine(colour, x, y, x, y); }
    void DrawFrame(skin::Rgb colour, int left, int top, int right, int bottom);
    void DrawOutline(skin::Rgb colour);
    void FillButton(skin::Rgb colour);
    void DrawEdgeRect(int left, int top, int right, int bottom, UINT edge);
    void FillChecker(skin::Rgb c1, skin::Rgb c2, int left, int top, int w, int h);
    void DrawCaptionText(skin::Rgb colour, int dx, int dy);
    void DrawCaptionWithEffect(skin::Rgb colour, skin::Rgb base, int dx, int dy);
    void DrawPictureWithEffect(skin::Rgb base, int dx, int dy, skin::Rgb solid);
    void DrawButtonPicture(const skin::PicturePtr& picture, int dx, int dy, skin::Rgb solid);
    // The picture at its own size as 32-bit top-down rows, an icon over the key colour;
    // empty when it cannot be read.
    std::vector<std::uint32_t> ReadPicturePixels(const skin::Picture& picture, skin::Rgb key);
    // Copies or stretches those pixels onto the target rectangle of the backing bitmap and
    // composes them with what lies there.
    void ComposeOnSurface(const std::vector<std::uint32_t>& source, int pictureW, int pictureH,
                          const skin::Rect& target, int skipX, int skipY, skin::Rgb key, skin::Rgb solid);
    void DrawDisabledContent(int offset);
    void DrawContent(skin::Rgb base, int offset);
    void CornerPixels(skin::Rgb colour);

    // Painters (dcButtonPaint.cpp).
    // Paints for `state` when it or the focus changed, or always with `force`.
    void Redraw(skin::ButtonState state, bool force);
    void OpenPainter(int ew, int eh);
    // The face colour of a look in the capsule and flat styles.
    skin::Rgb StateFace(skin::ButtonState look) const;
    bool Checked() const { return checkBoxMode_ && value_ && enabled_; }
    void PaintRoundedGradient(skin::ButtonState asked);
    // The rounded gradient's face for the look, filled; returns the colour its content sits on.
    skin::Rgb RoundedGradientFace(skin::ButtonState look);
    // The rounded gradient's inner rings: hot, framed, focused or default.
    void RoundedGradientMarks(skin::ButtonState asked, skin::ButtonState look);
    void PaintCapsule(skin::ButtonState asked);
    void PaintFlatGradient(skin::ButtonState asked);
    void PaintFlat(skin::ButtonState asked);
    void PaintBevelled(skin::ButtonState asked);
    void PaintClassic3D(skin::ButtonState asked);
    void PaintSoftBevel(skin::ButtonState asked);
    void PaintLightRounded(skin::ButtonState asked);

    // Input (dcButtonInput.cpp).
    void HostMouseDown(int button, int shift, float x, float y);
    void HostMouseMove(int button, int shift, float x, float y);
    void HostMouseUp(int button, int shift, float x, float y);
    void HostClick();
    void HostDblClick();
    void HostKeyDown(int keyCode, int shift);
    void HostKeyUp(int keyCode, int shift);
    void HostKeyPress(int keyAscii);
    void HostAccessKeyPress(int keyAscii);
    void HostGotFocus();
    void HostLostFocus();
    void HostHide();
    void ShowButtonPopup();
    void RequestMouseLeave();
    void HookWindows();
    bool CursorOverButton() const;
    void TakeCapture();
    void SubclassCallback(bool before, bool& handled, LRESULT& result, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                          LONG_PTR& userValue) override;

    // Input state.
    bool hasFocus_ = false;
    bool pressActive_ = false;
    bool needsLayout_ = false;
    bool isHidden_ = false;
    bool mouseEntered_ = false;
    bool mouseHeld_ = false;
    bool mouseOver_ = false;
    bool formActive_ = false;
    bool isInitialized_ = false;
    bool keyHeld_ = false;
    bool popupActive_ = false;
    bool popupMode_ = false;
    bool skipNextPopup_ = false;
    rt::Menu* popupMenu_ = nullptr;
    long popupAlign_ = 0;
    long popupFlags_ = 0;
    rt::MenuItem* popupDefault_ = nullptr;
    int lastButton_ = 0;
    bool displayAsDefault_ = false;
    bool drawnFocus_ = false;
    skin::ButtonState state_ = skin::ButtonState::Normal;
    HCURSOR handCursor_ = nullptr;
    int accessKeyId_ = 0;

    // Properties.
    OleColor backColor_ = 0;
    std::wstring caption_;
    bool checkBoxMode_ = false;
    skin::SpecialEffect specialEffect_ = skin::SpecialEffect::None;
    bool enabled_ = true;
    OleColor foreColor_ = 0;
    bool handPointer_ = false;
    OleColor maskColor_ = 0;
    skin::PictureAlignment pictureAlignment_ = skin::PictureAlignment::Centre;
    skin::PicturePtr pictureDown_;
    skin::PicturePtr pictureHot_;
    skin::PicturePtr pictureNormal_;
    float opacity_ = 0;
    skin::PictureSize pictureSize_ = skin::PictureSize::Own;
    long pictureSizeH_ = 0;
    long pictureSizeW_ = 0;
    skin::ButtonShape buttonShape_ = skin::ButtonShape::AllRound;
    skin::ButtonStyle buttonStyle_ = skin::ButtonStyle::RoundedGradient;
    bool useMaskColor_ = false;
    bool value_ = false;
    ButtonFont font_;
    skin::PicturePtr mouseIcon_;
    long mousePointer_ = 0;
    std::wstring accessKeys_;

    // Derived.
    skin::ButtonColorSet colors_;
    std::vector<skin::Point> outlinePoints_;
    // What the window region was last built from: a repaint of the same size and shape keeps it.
    struct RegionKey {
        int w = -1, h = -1, ew = 0, eh = 0;
        skin::ButtonShape shape{-1};
        bool outline = false;
        bool operator==(const RegionKey&) const = default;
    } regionKey_;
    skin::Rect captionRect_;
    skin::Rect focusRect_;
    skin::Rect pictureRect_;

    // The caption's GDI font, kept while the font and the DPI stay the same.
    HFONT CaptionFont();
    rt::Gdi<HFONT> captionFont_;
    ButtonFont captionFontOf_;
    int captionFontDpi_ = 0;

    // The drawing surface during Paint.
    HDC dc_ = nullptr;
    int width_ = 0;
    int height_ = 0;

    skin::WindowHooks hooks_{*this};
};

} // namespace skin
