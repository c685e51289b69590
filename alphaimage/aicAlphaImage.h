// The alpha image control: one picture held in the image engine's bitmap object and drawn with
// its alpha, opacity, mirroring, rotation, grey scale, lightness, a colour mask, inversion and a
// drop shadow; the mouse pointer and tool tip of the container; Click when a button is pressed
// and released over the picture. Its settings and picture live in the form's property bag, and
// the controls of one window share one cCrossComm.
#pragma once

#include "alphaimage/ICrossComm.h"
#include "alphaimage/core/FadeSteps.h"
#include "imaging/c32bppDIB.h"
#include "runtime/DropTarget.h"
#include "runtime/Event.h"
#include "runtime/Handles.h"
#include "runtime/Selectable.h"
#include "runtime/UserControl.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace aic {

class cCrossComm;

// The entry of an icon or cursor source that a load wants: its size (below 1: the control's
// scale width and height) and bit depth (below 1: 32). Loads taking it by reference hand the
// values they used back.
struct IconWanted {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
};

class aicAlphaImage : public rt::UserControl, public ICrossComm, public rt::Selectable {
public:
    explicit aicAlphaImage(std::wstring name);
    ~aicAlphaImage() override;

    // Mouse pointer value that shows MouseIcon.
    static constexpr int vbCustom = 99;

    // ---- Properties (aicAlphaImageProps.cpp). Colours are OLE colours: a set high bit names
    // a system colour by the low byte. Values a let does not accept are ignored.
    bool AutoRedraw() const { return (props_ & kAutoRedraw) != 0; }
    void SetAutoRedraw(bool value);
    // 0 every point of the control hits; 1 the picture's bounding box; 2 its row spans; 3 its
    // visible pixels.
    int HitTest() const { return hitTest_; }
    void SetHitTest(int value);
    std::uint32_t MaskColor() const { return maskColor_; }
    void SetMaskColor(std::uint32_t value);
    // 0 none; the colour made transparent: 1 MaskColor, 2 to 5 the top-left, top-right,
    // bottom-left or bottom-right pixel. Only a picture without alpha takes a mask.
    int MaskUsed() const { return maskSource_; }
    void SetMaskUsed(int value);
    bool InversedImage() const { return (props_ & kInversed) != 0; }
    void SetInversedImage(bool value);
    bool AutoSize() const { return (props_ & kAutoSize) != 0; }
    void SetAutoSize(bool value);
    // 0 fit, 1 stretch, 2 fit without enlarging, 3 actual size, 4 the display size as it is.
    int ScaleMethod() const { return scaleMethod_; }
    void SetScaleMethod(int value);
    bool StretchQuality() const { return (props_ & kStretchQuality) != 0; }
    void SetStretchQuality(bool value);
    // Percent; a let of v takes |v| mod 100, where 0 stands for 100, and keeps 0 as 0.
    int Opacity() const { return opacity_; }
    void SetOpacity(int value);
    // Bit 0 mirrors left to right, bit 1 top to bottom.
    int Mirror() const { return mirror_; }
    void SetMirror(int value);
    bool KeepOriginalFormat() const { return (props_ & kKeepOriginal) != 0; }
    void SetKeepOriginalFormat(bool value);
    // 0 none, 1 to 8 the grey-scale formulas.
    int grayScale() const { return grayMode_ + 1; }
    void SetGrayScale(int value);
    bool RotateEnabled() const { return (props_ & kRotate) != 0; }
    void SetRotateEnabled(bool value);
    // Degrees, -359 to 359; drawn only while RotateEnabled.
    int Rotation() const { return rotation_; }
    void SetRotation(int value);
    // In run mode an enabled control is registered with the shared object.
    void SetEnabled(bool enabled) override;
    bool ShadowEnabled() const { return (props_ & kShadow) != 0; }
    void SetShadowEnabled(bool value);
    std::uint32_t ShadowColor() const { return shadowColor_; }
    void SetShadowColor(std::uint32_t value);
    int ShadowOffsetX() const { return shadowX_; }
    void SetShadowOffsetX(int value);
    int ShadowOffsetY() const { return shadowY_; }
    void SetShadowOffsetY(int value);
    // Blur depth 0 to 10.
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int value);
    // Percent of the image's opacity, 0 to 100.
    int ShadowOpacity() const { return shadowOpacity_; }
    void SetShadowOpacity(int value);
    // 0 the default pointer, 1 to 15 the standard ones, vbCustom MouseIcon; others are refused
    // as the user control refuses them.
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int value);
    // A cursor the caller keeps, or null.
    HCURSOR MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(HCURSOR cursor);
    // 0 none; 1 manual: the control takes OLE drops and raises OLEDragOver and OLEDragDrop.
    // Automatic (2) is refused, as the user control refuses it.
    int OLEDropMode() const { return oleDropMode_; }
    void SetOLEDropMode(int value);
    // Lightness added when drawing, -100 to 100.
    float IntensityOffset() const { return intensity_; }
    void SetIntensityOffset(float value);

    // 0 without a picture; with KeepOriginalFormat the engine's type of the source; else the
    // format the picture would be stored in: 10 (PNG) where GDI+ or zlib can write it, 7 with
    // alpha, 1 without.
    int ImageType() const;
    // Steps Opacity toward FinalOpacity (clamped to 0..100) by FadeStepPercent every
    // FadeDelayInterval ms (at least 10), the first step at once; FadeTerminated at the end.
    // A running fade stops first.
    void FadeInOut(int FinalOpacity, int FadeStepPercent, int FadeDelayInterval);
    // Moves the shadow, without any test of the values.
    void OffsetShadow(int X, int Y);
    // With SetOffsets: the picture is drawn at X, Y (and its hit region moved there), and a
    // shadow offset that is not 0 is taken. Without: the four receive the current offsets.
    void OffsetImage(bool SetOffsets, int& X, int& Y, int& ShadowX, int& ShadowY);
    // Whether this control holds the shared object's mouse.
    bool isMouseOver() const;
    // The shared object started GDI+ for the window, or found it started there.
    bool GDIplusInitialized() const;
    // GDI+ is installed and used by the picture.
    bool GDIplusEnabled() const;

    // ---- Image sources and bytes (aicAlphaImageSources.cpp). A load decodes into a fresh
    // picture and takes it only on success: a failed load keeps the picture that was there.
    void ClearImage();
    bool LoadImage_FromArray(std::span<const std::uint8_t> inStream, IconWanted& wanted);
    bool LoadImage_FromArray(std::span<const std::uint8_t> inStream, const IconWanted& wanted = {});
    bool LoadImage_FromFile(const std::wstring& FileName, IconWanted& wanted);
    bool LoadImage_FromFile(const std::wstring& FileName, const IconWanted& wanted = {});
    // The picture stays the caller's.
    bool LoadImage_FromStdPicture(IPicture* stdPic);
    bool LoadImage_FromClipboard();
    // A bitmap, metafile, icon or cursor handle, which stays the caller's.
    bool LoadImage_FromHandle(HANDLE Handle);
    // A resource of `module` (null: the executable): custom data of a type named by text, or a
    // bitmap, icon or cursor.
    bool LoadImage_FromResource(HMODULE module, const imaging::ResourceSection& ResSection,
                                const rt::ResourceName& ResID, IconWanted& wanted);
    bool LoadImage_FromResource(HMODULE module, const imaging::ResourceSection& ResSection,
                                const rt::ResourceName& ResID, const IconWanted& wanted = {});
    // The kept source bytes again, at another icon entry.
    bool LoadImage_FromOrignalBytes(IconWanted& wanted);
    bool LoadImage_FromOrignalBytes(const IconWanted& wanted = {});
    // The picture's pixels (32 bits, rows filled to 4 bytes) in the layout asked for; with
    // asFileFormat its file bytes instead: the kept source bytes, else PNG (where GDI+ or zlib
    // can write it) or BMP of the picture as shown, mirror, mask and inversion applied.
    bool GetImageBytes(imaging::PixelArray& imgBytes, int& scanWidth, bool asArray2D, bool asBGRformat,
                       bool asBottomUp, bool asPreMultiplied, bool asFileFormat) const;
    // The picture's pixels from an array of its full size in that layout.
    bool SetImageBytes(std::span<const std::uint8_t> imgBytes, bool isBGRformat, bool isBottomUp);
    // The size the picture takes in desiredWidth x desiredHeight (below 1: the control's) by
    // ScaleMethod (below 0: the control's; 4: the display size); untouched without a picture.
    void GetImageScales(int& Width, int& Height, int ScaleMethod, int desiredWidth, int desiredHeight,
                        bool asRotatedImage = false) const;

    // For the image source page only: the kept source bytes (false for the design-time
    // placeholder); a load that always keeps them and sizes the control to the picture; the
    // picture object itself.
    bool GetSourceBytes(std::vector<std::uint8_t>& bytes) const;
    void LoadSourceStream(std::span<const std::uint8_t> bytes, int iconWidth, int iconHeight, int iconBitDepth);
    std::shared_ptr<imaging::c32bppDIB> SourceDIB() const { return image_; }

    // ---- ICrossComm
    std::shared_ptr<cCrossComm> CrossTalkClass() const override { return crossComm_; }
    void ReleaseMouseCapture() override;

    // Button (1 left, 2 right, 4 middle) of the release that completed the click. A double click
    // raises MouseDown, MouseUp, Click, DblClick, MouseUp: one Click.
    rt::Event<int> Click;
    // The second press of a double click, with the button of the release before it.
    rt::Event<int> DblClick;
    rt::Event<> MouseExit;
    rt::Event<> MouseEnter;
    // Button, shift, x, y (container pixels); a change to button or shift reaches the control.
    rt::Event<int&, int&, float, float> MouseUp;
    rt::Event<int&, int&, float, float> MouseMove;
    rt::Event<int&, int&, float, float> MouseDown;
    // Key code and shift of a key going down or up while the control has the focus. A system
    // key (Alt held) goes on to the system unless a listener sets its KeyCode to 0.
    rt::Event<int&, int&> KeyDown;
    // The character typed; a listener that sets it to 0 swallows it for the listeners after it.
    rt::Event<int&> KeyPress;
    rt::Event<int&, int&> KeyUp;
    // Data, effect, button, shift, x, y (container pixels). The effect comes in as the effects
    // the source allows; the value left there is the one the drag's source gets back. At a drop
    // of files the data holds their full names.
    rt::Event<rt::DropData&, int&, int&, int&, float, float> OLEDragDrop;
    // As OLEDragDrop, then the state (rt::vbEnter, vbLeave or vbOver).
    rt::Event<rt::DropData&, int&, int&, int&, float, float, int&> OLEDragOver;
    // The opacity a fade ended at.
    rt::Event<int> FadeTerminated;

protected:
    void InitProperties() override;
    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;
    void Paint(HDC dc, int w, int h) override;
    void Resized() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    HCURSOR Cursor() const override;

private:
    // Bits of the flag word, stored as "Props".
    static constexpr std::uint32_t kStretchQuality = 0x1, kAutoSize = 0x4, kAutoRedraw = 0x8, kKeepOriginal = 0x10,
                                   kCacheActive = 0x20, kInversed = 0x40, kShadow = 0x80, kRotate = 0x100;

    // aicAlphaImage.cpp
    void FindCrossComm();
    bool RunMode() const { return AmbientUserMode(); }
    // Hit region or rectangle, from the picture as drawn (the engine's regions).
    void UpdateHitRegion();

    // aicAlphaImageMouse.cpp
    bool HitsClientPoint(int x, int y) const;
    // Handles the mouse and timer messages; false leaves `msg` to the user control.
    bool MouseMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void ButtonDown(int button, int shift, int x, int y);
    void SecondPress(int button, int x, int y);
    void ButtonUp(int button, int shift, int x, int y);
    // The hit test of a point in client pixels, and the hover it starts or ends.
    bool HitTestPoint(int x, int y);
    void HoverTimerProc();
    void FadeTimerProc();
    // Hover poll and fade stopped; neither raises its event.
    void StopTimers();

    // aicAlphaImageInput.cpp
    // The focus on a press over the picture, the keys, and the window's end for the drop
    // target; false leaves `msg` to the others.
    bool InputMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // Registers the window as a drop target, or revokes it, as OLEDropMode asks.
    void UpdateDropTarget();
    void DragOverStep(rt::DropData& data, rt::DragStep& step, int state);
    void DropStep(IDataObject* source, rt::DropData& data, rt::DragStep& step);

    // aicAlphaImageSources.cpp
    // A picture that was loaded: not none, blank or the design-time placeholder.
    bool HasRealPicture() const;
    // An empty picture object that loads as the control's own does.
    std::shared_ptr<imaging::c32bppDIB> NewImage() const;
    // Takes `fresh` when `loaded`, then runs the steps every load runs.
    bool TakeLoaded(bool loaded, std::shared_ptr<imaging::c32bppDIB> fresh, bool keptAsBmp);
    void ApplyLoadedImage();
    void ResolveWanted(IconWanted& wanted) const;
    // The picture's bytes as the bag stores them: its source's, else a PNG (or BMP) of it with
    // mirror, mask and inversion undone on a copy. Empty only without a real picture.
    std::vector<std::uint8_t> StoredImageBytes() const;
    // `image` as file bytes: PNG where GDI+ or zlib can write it, else BMP.
    static bool FileBytesOf(const imaging::c32bppDIB& image, std::vector<std::uint8_t>& bytes);

    // aicAlphaImageLayout.cpp
    // The design-time stand-in for no picture: 12-pixel white and silver squares.
    void MakePlaceholder(int w, int h);
    void ResizeHandling();
    void ApplySize();
    // Cache, hit region and shadow made again from the picture, then a repaint.
    void DerivedImageRefresh();
    bool UpdateRenderCache(bool resizeCache, bool rebuildHitRegion);
    void UpdateShadowImage();
    void UndoMask(imaging::c32bppDIB& image) const;
    void ApplyMirrorChange(imaging::c32bppDIB& image, int newMirror) const;
    // The RGB of an OLE colour; a system colour by its low byte.
    static std::uint32_t ResolveColor(std::uint32_t color);
    // The colour a mask source picks from `image` (row 0 the top row).
    static std::uint32_t CornerColor(const imaging::c32bppDIB& image, int source);
    // The picture as the render cache holds it, drawn into `target` of the control's size.
    void RenderAsCached(imaging::c32bppDIB& target, HDC dc) const;
    // Remembers the window the control is drawn on, and whether it is a drawn control.
    void NoteContainer(HWND container);
    void PaintContainerBackground(HDC dc, int w, int h) const;
    // Where the shadow is drawn in the client area; empty without one.
    RECT ShadowRect(int sw, int sh) const;
    // The mask colour in use made transparent in the picture (as the picture's colours stand).
    void ApplyMask();

    std::shared_ptr<imaging::c32bppDIB> image_;
    std::unique_ptr<imaging::c32bppDIB> cache_;
    std::unique_ptr<imaging::c32bppDIB> shadow_;
    std::shared_ptr<cCrossComm> crossComm_;

    std::uint32_t props_ = kStretchQuality | kAutoSize;
    int hitTest_ = 0;
    int scaleMethod_ = 0;
    int opacity_ = 100;
    int mirror_ = 0;
    int rotation_ = 0;
    int grayMode_ = -1;
    float intensity_ = 0;
    std::uint32_t maskColor_ = 0x8000000F;
    int maskSource_ = 0;
    bool maskApplied_ = false;
    std::uint32_t maskInUse_ = 0x8000000F;
    std::uint32_t shadowColor_ = 0x404040;
    int shadowX_ = 2, shadowY_ = 2, shadowDepth_ = 2, shadowOpacity_ = 50;
    int mousePointer_ = 0;
    HCURSOR mouseIcon_ = nullptr;
    // A mouse icon read from the bag is the control's own.
    rt::UniqueIcon ownMouseIcon_;
    int oleDropMode_ = 0;

    // Layout: the display size (a negative width while the control sizes itself), where the
    // unrotated picture starts, the side that holds it at any angle, and whether it is drawn
    // at its own size.
    int displayWidth_ = 0, displayHeight_ = 0;
    int originX_ = 0, originY_ = 0;
    int rotationExtent_ = 0;
    bool actualSize_ = false;
    int offsetX_ = 0, offsetY_ = 0;
    // The container, noted at creation; its backing bitmap when it is a drawn control.
    HWND container_ = nullptr;
    rt::UserControl* drawnContainer_ = nullptr;
    // Where the control stands in its container, kept from WM_MOVE (asking costs a call a paint).
    POINT placeInContainer_{};
    // The container's class erases with a brush of its own.
    bool containerBrush_ = false;

    rt::Gdi<HRGN> hitRegion_;
    RECT hitRect_{};
    // Bits 0-3: every button seen going down over the picture; bits 4-7: the button of the
    // last release when it had gone down there.
    int buttonWord_ = 0;
    // Buttons pressed over the picture and not yet released; of those, the second presses of
    // double clicks.
    int pressed_ = 0;
    int secondPress_ = 0;
    // Cursor minus the hit-tested point when the hover began, as the poll tests it again.
    POINT hoverOffset_{};
    // The one-shot hover poll is armed.
    bool hoverPolling_ = false;
    // Step 0 while no fade runs.
    Fade fade_;
    rt::DropTarget dropTarget_{
        [this](rt::DropData& data, rt::DragStep& step, int state) { DragOverStep(data, step, state); },
        [this](IDataObject* source, rt::DropData& data, rt::DragStep& step) { DropStep(source, data, step); }};
};

} // namespace aic
