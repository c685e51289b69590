// Redraw and the eight style painters. `asked` is the state asked for, `look` the painter's
// working copy after its toggle rule: fills follow the look; the disabled test and the
// offsets follow the state asked for.
#include "skin/dcButton.h"

#include "runtime/Handles.h"

using skin::BlendColors;
using skin::Rgb;
using skin::ShiftColor;
using State = skin::ButtonState;
using Style = skin::ButtonStyle;

namespace {
constexpr Rgb kWhite = skin::kWhite;
constexpr Rgb kBlack = 0;
} // namespace

void dcButton::Redraw(long state, bool force)
{
    Redraw(state == -1 ? state_ : static_cast<State>(state), force);
}

void dcButton::Redraw(State state, bool force)
{
    if (isHidden_)
        return;
    if (!force && state == state_ && drawnFocus_ == hasFocus_)
        return;
    drawnFocus_ = hasFocus_;
    state_ = state;
    rt::UserControl::Refresh();
}

void dcButton::Paint(HDC dc, int w, int h)
{
    // Shaping the window inside a paint may size it again; the outer paint finishes the job.
    if (dc_)
        return;
    dc_ = dc;
    width_ = w;
    height_ = h;
    rt::Selected pen(dc, GetStockObject(DC_PEN));
    {
        // Cls: the surface's own background; every painter covers the face.
        rt::Selected brush(dc, GetStockObject(DC_BRUSH));
        SetDCBrushColor(dc, GetSysColor(COLOR_BTNFACE));
        PatBlt(dc, 0, 0, w, h, PATCOPY);
    }
    switch (buttonStyle_) {
    case Style::RoundedGradient:
    case Style::RoundedGradientGreen:
    case Style::FramedRoundedGradient:
        PaintRoundedGradient(state_);
        break;
    case Style::Capsule:
    case Style::RoundedTopShine:
    case Style::CapsuleWideShine:
        PaintCapsule(state_);
        break;
    case Style::FlatGradient:
        PaintFlatGradient(state_);
        break;
    case Style::Flat:
        PaintFlat(state_);
        break;
    case Style::Bevelled:
        PaintBevelled(state_);
        break;
    case Style::Classic3D:
        PaintClassic3D(state_);
        break;
    case Style::SoftBevel:
        PaintSoftBevel(state_);
        break;
    case Style::LightRounded:
        PaintLightRounded(state_);
        break;
    default:
        break;
    }
    dc_ = nullptr;
}

void dcButton::OpenPainter(int ew, int eh)
{
    if (!needsLayout_)
        return;
    needsLayout_ = false;
    ApplyButtonRegion(ew, eh);
    LayoutCaptionAndPicture(Scaled(4), Scaled(4));
}

void dcButton::PaintRoundedGradient(State asked)
{
    const int W = width_, H = height_;
    const Style style = buttonStyle_;
    const auto& c = colors_;
    OpenPainter(5, 5);
    State look = asked;
    if (Checked()) {
        if (style == Style::FramedRoundedGradient)
            look = State::Pressed;
        else if (look == State::Pressed)
            look = State::Normal;
    }
    Rgb face = kBlack, edge;
    if (look == State::Normal || look == State::Hot) {
        if (value_) {
            Rgb t = ShiftColor(c.faceColor, -0.1f);
            VerticalGradient(t, c.lightColor, 50, 0, 0, -1, -1);
            face = BlendColors(t, c.lightColor, 0.5f);
        } else {
            VerticalGradient(c.lightColor, c.faceColor, 50, 0, 0, -1, -1);
            face = BlendColors(c.lightColor, c.faceColor, 0.5f);
        }
    } else if (look == State::Pressed && style == Style::FramedRoundedGradient) {
        VerticalGradient(c.downColor, c.lightColor, 80, 0, 0, -1, -1);
        face = BlendColors(c.downColor, c.lightColor, 0.3f);
    } else if (look == State::Pressed) {
        face = c.downColor;
        FillButton(c.downColor);
        // A sunken inner shading.
        DrawLine(ShiftColor(face, -0.05f), 2, 1, W - 3, 1);
        DrawLine(ShiftColor(face, -0.05f), 1, 2, 1, H - 3);
        DrawLine(ShiftColor(face, -0.03f), 2, 2, W - 3, 2);
        DrawLine(ShiftColor(face, -0.03f), 2, 3, 2, H - 4);
        DrawLine(ShiftColor(face, 0.02f), 2, H - 3, W - 3, H - 3);
        DrawLine(ShiftColor(face, 0.02f), W - 3, 3, W - 3, H - 3);
        DrawLine(ShiftColor(face, 0.03f), 2, H - 2, W - 3, H - 2);
        DrawLine(ShiftColor(face, 0.03f), W - 2, 2, W - 2, H - 4);
    } else if (look == State::Disabled) {
        FillButton(c.disabledColor);
    }

    if (asked == State::Disabled) {
        DrawDisabledContent(0);
        edge = c.disabledTextColor;
    } else {
        DrawContent(face, 0);
        // Pressed and then left by the cursor looks hot.
        const bool hotLook = asked == State::Hot || (look != State::Pressed && mouseHeld_ && !mouseOver_);
        if (hotLook && !value_) {
            Rgb L = BlendColors(c.hotLightColor, kWhite, 0.5f), M = ShiftColor(c.hotLightColor, -0.02f);
            DrawLine(L, 1, 1, W - 2, 1);
            VerticalGradient(L, M, 50, 1, 2, 1, H - 3);
            VerticalGradient(L, M, 50, W - 2, 2, W - 2, H - 3);
            Rgb L2 = ShiftColor(L, -0.05f);
            DrawLine(L2, 2, 2, W - 3, 2);
            VerticalGradient(L2, c.hotLightColor, 50, 2, 2, 2, H - 3);
            VerticalGradient(L2, c.hotLightColor, 50, W - 3, 2, W - 3, H - 3);
            DrawLine(c.hotLightColor, 2, H - 3, W - 3, H - 3);
            DrawLine(ShiftColor(c.hotLightColor, -0.05f), 1, H - 2, W - 2, H - 2);
        } else if (hotLook) {
            if (style == Style::FramedRoundedGradient)
                DrawFrame(c.lightColor, 1, 1, W - 1, H);
        } else {
            if (style == Style::FramedRoundedGradient) {
                if (formActive_ && hasFocus_ && asked != State::Pressed && !value_)
                    DrawFrame(c.lightColor, 2, 1, W - 2, H);
                else
                    DrawFrame(c.lightColor, 1, 1, W - 1, H);
            }
            if (formActive_ && asked != State::Pressed && (hasFocus_ || displayAsDefault_) && !value_) {
                Rgb F = BlendColors(c.hotColor, kWhite, 0.4f);
                DrawLine(ShiftColor(F, 0.05f), 1, 1, W - 2, 1);
                DrawLine(F, 2, 2, W - 3, 2);
                DrawLine(c.hotColor, 2, H - 3, W - 3, H - 3);
                DrawLine(ShiftColor(c.hotColor, -0.02f), 1, H - 2, W - 2, H - 2);
                if (style == Style::FramedRoundedGradient) {
                    VerticalGradient(F, c.hotColor, 50, 1, 2, 1, H - 3);
                    VerticalGradient(F, c.hotColor, 50, W - 2, 2, W - 2, H - 3);
                } else {
                    VerticalGradient(F, c.hotColor, 50, 1, 2, 2, H - 3);
                    VerticalGradient(F, c.hotColor, 50, W - 3, 2, W - 2, H - 3);
                }
            }
        }
        edge = BlendColors(c.hotColor, kBlack, 0.5f);
    }
    DrawFrame(edge, 0, 0, W, H);
    CornerPixels(edge);
}

void dcButton::PaintCapsule(State asked)
{
    const int W = width_, H = height_;
    const Style style = buttonStyle_;
    const auto& c = colors_;
    const bool laidOut = needsLayout_;
    if (style == Style::RoundedTopShine)
        OpenPainter(13, 13);
    else
        OpenPainter(H, W);
    if (laidOut) {
        // The shine rectangle takes the focus rectangle's place.
        const int halfH = skin::RoundHalfEven(H / 2.0);
        if (style == Style::Capsule) {
            int k = std::min(skin::RoundHalfEven(W / 4.0), 10);
            focusRect_ = skin::Rect{k, 1, W - k - 1, halfH};
        } else if (style == Style::RoundedTopShine) {
            focusRect_ = skin::Rect{2, 1, W - 3, 7};
        } else {
            focusRect_ = skin::Rect{0, 0, W - 1, halfH};
        }
    }
    State look = asked;
    if (Checked() && (look == State::Normal || look == State::Hot || look == State::Pressed))
        look = State::Pressed;
    else if (!Checked() && look == State::Normal && mouseHeld_)
        look = State::Hot;
    Rgb face = look == State::Normal ? c.faceColor : look == State::Hot ? c.hotLightColor : look == State::Pressed ? c.downColor : c.disabledColor;
    Rgb shine = c.lightColor == skin::kNoColor ? BlendColors(face, kWhite, 0.8f) : c.lightColor;
    float p = style == Style::RoundedTopShine ? 30.0f : 60.0f;
    float q = style == Style::Capsule ? 0.6f : style == Style::RoundedTopShine ? 0.2f : 0.5f;
    VerticalGradient(face, shine, p, 0, 0, -1, -1);
    CapsuleShine(shine, BlendColors(face, shine, q));
    Rgb base = ShiftColor(face, 0.2f);
    if (asked == State::Disabled) {
        int o = value_ ? 1 : 0;
        DrawButtonPicture(pictureNormal_, o, o, skin::kNoColor);
        DrawCaptionText(base, o + 1, o + 1);
        DrawCaptionText(c.disabledTextColor, o, o);
    } else {
        DrawContent(base, (asked == State::Pressed ? 1 : 0) + (value_ ? 1 : 0));
    }
    DrawOutline(BlendColors(face, base, 0.8f));
}

void dcButton::PaintFlatGradient(State asked)
{
    const int W = width_, H = height_;
    const auto& c = colors_;
    OpenPainter(0, 0);
    State look = asked;
    Rgb top = 0, bottom = 0;
    // A checked button at rest has colours of its own, outside the table below.
    bool checkedAtRest = false;
    if (Checked()) {
        if (look == State::Hot)
            look = State::Pressed;
        else if (look == State::Normal) {
            if (pressActive_)
                look = State::Pressed;
            else {
                top = c.hotLightColor;
                bottom = c.downColor;
                checkedAtRest = true;
            }
        }
    } else if (look == State::Normal && mouseHeld_) {
        look = State::Hot;
    }
    if (checkedAtRest) {
        // Colours chosen above.
    } else if (look == State::Normal || look == State::Disabled) {
        top = c.lightColor;
        bottom = c.faceColor;
    } else if (look == State::Hot) {
        top = c.hotColor;
        bottom = c.hotLightColor;
    } else if (look == State::Pressed) {
        top = c.downColor;
        bottom = c.hotLightColor;
    }
    VerticalGradient(top, bottom, 50, 0, 0, -1, -1);
    if (asked == State::Disabled) {
        DrawDisabledContent(0);
        return;
    }
    DrawContent(BlendColors(top, bottom, 0.5f), 0);
    if (asked != State::Normal || value_ || pressActive_)
        DrawFrame(c.textColor, 0, 0, W, H);
}

void dcButton::PaintFlat(State asked)
{
    const int W = width_, H = height_;
    const auto& c = colors_;
    OpenPainter(0, 0);
    State look = asked;
    if (Checked()) {
        if (look == State::Hot || (look == State::Normal && pressActive_))
            look = State::Pressed;
    } else if (look == State::Normal && mouseHeld_) {
        look = State::Hot;
    }
    Rgb face = look == State::Normal ? c.faceColor : look == State::Hot ? c.hotLightColor : look == State::Pressed ? c.downColor : c.disabledColor;
    FillButton(face);
    if (asked == State::Disabled) {
        DrawDisabledContent(0);
        return;
    }
    const int o = (asked == State::Pressed && value_) ? 1 : 0;
    if (!pictureHot_ && asked == State::Hot && !value_ && !mouseHeld_) {
        // A lifted picture over its light-grey silhouette.
        DrawButtonPicture(pictureNormal_, 1, 1, 0xC0C0C0);
        DrawButtonPicture(pictureNormal_, -1, -1, skin::kNoColor);
    } else {
        DrawPictureWithEffect(face, o, o, skin::kNoColor);
    }
    DrawCaptionWithEffect(c.textColor, face, o, o);
    if (asked != State::Normal || value_ || pressActive_)
        DrawFrame(c.hotColor, 0, 0, W, H);
}

void dcButton::PaintBevelled(State asked)
{
    const int W = width_, H = height_;
    const auto& c = colors_;
    OpenPainter(0, 0);
    State look = asked;
    if (Checked())
        look = State::Hot;
    Rgb face = kBlack;
    if (look == State::Normal) {
        VerticalGradient(c.lightColor, c.faceColor, 70, 0, 0, -1, -1);
        face = BlendColors(c.lightColor, c.faceColor, 0.5f);
    } else if (look == State::Hot || look == State::Pressed) {
        face = c.hotLightColor;
        FillButton(face);
    } else if (look == State::Disabled) {
        VerticalGradient(c.lightColor, c.disabledColor, 70, 0, 0, -1, -1);
    }
    auto flatBevel = [&](Rgb f) {
        DrawLine(ShiftColor(f, 0.1f), 0, 0, W - 1, 0);
        DrawLine(ShiftColor(f, -0.1f), 0, H - 1, W - 1, H - 1);
        DrawLine(ShiftColor(f, -0.05f), 0, 1, 0, H - 2);
        DrawLine(ShiftColor(f, -0.05f), W - 1, 1, W - 1, H - 2);
    };
    if (asked == State::Disabled) {
        DrawDisabledContent(value_ ? 1 : 0);
        flatBevel(c.disabledColor);
        return;
    }
    DrawContent(face, (asked == State::Pressed ? 1 : 0) + (value_ ? 1 : 0));
    if (formActive_ && (hasFocus_ || displayAsDefault_)) {
        Rgb light = ShiftColor(face, 0.1f), dark = ShiftColor(face, -0.1f), side = ShiftColor(face, -0.05f);
        DrawLine(light, 1, 1, W - 2, 1);
        DrawLine(light, 2, 2, W - 3, 2);
        DrawLine(dark, 1, H - 2, W - 2, H - 2);
        DrawLine(dark, 2, H - 3, W - 3, H - 3);
        DrawLine(side, 1, 2, 1, H - 3);
        DrawLine(side, 2, 3, 2, H - 4);
        DrawLine(side, W - 2, 2, W - 2, H - 3);
        DrawLine(side, W - 3, 3, W - 3, H - 4);
        DrawFrame(c.textColor, 0, 0, W, H);
        return;
    }
    flatBevel(face);
}

void dcButton::PaintClassic3D(State asked)
{
    const int W = width_, H = height_;
    const auto& c = colors_;
    OpenPainter(0, 0);
    const State look = asked;
    const bool checkedLook = checkBoxMode_ && value_;
    if (checkedLook)
        FillChecker(kWhite, c.downColor, 2, 2, W - 4, H - 4);
    else
        FillButton(c.faceColor);
    if (asked == State::Disabled) {
        if (checkBoxMode_) {
            DrawDisabledContent(value_ ? 1 : 0);
        } else {
            // Engraved: a near-white copy one pixel down and right.
            DrawButtonPicture(pictureNormal_, 0, 0, skin::kNoColor);
            DrawCaptionText(BlendColors(c.disabledTextColor, kWhite, 0.9f), 1, 1);
            DrawCaptionText(c.disabledTextColor, 0, 0);
        }
    } else {
        if (asked == State::Pressed || value_)
            DrawContent(c.downColor, 1);
        else
            DrawContent(c.faceColor, 0);
        if (formActive_ && (hasFocus_ || displayAsDefault_)) {
            if (!checkedLook)
                DrawFrame(c.textColor, 0, 0, W, H);
            if (hasFocus_) {
                if (checkedLook) {
                    DrawFrame(c.textColor, focusRect_.left, focusRect_.top, focusRect_.right, focusRect_.bottom);
                } else {
                    RECT f{focusRect_.left, focusRect_.top, focusRect_.right, focusRect_.bottom};
                    SetTextColor(dc_, 0);
                    SetBkColor(dc_, 0xFFFFFF);
                    DrawFocusRect(dc_, &f);
                }
            }
        }
    }
    if (look == State::Normal || look == State::Hot || look == State::Disabled) {
        if (checkedLook)
            DrawEdgeRect(0, 0, W, H, EDGE_SUNKEN);
        else if (!hasFocus_ && !displayAsDefault_)
            DrawEdgeRect(0, 0, W, H, EDGE_RAISED);
        else
            DrawEdgeRect(1, 1, W - 1, H - 1, EDGE_RAISED);
    } else if (look == State::Pressed) {
        if (checkBoxMode_) {
            DrawEdgeRect(0, 0, W, H, EDGE_SUNKEN);
        } else {
            DrawFrame(c.textColor, 0, 0, W, H);
            DrawFrame(c.hotColor, 1, 1, W - 1, H - 1);
        }
    }
}

void dcButton::PaintSoftBevel(State asked)
{
    const int W = width_, H = height_;
    const auto& c = colors_;
    OpenPainter(5, 5);
    const State look = asked;
    Rgb face = look == State::Pressed ? c.downColor
               : value_ ? BlendColors(c.faceColor, kWhite, 0.8f)
               : (look == State::Hot && mouseOver_) ? c.hotLightColor
                                         : c.faceColor;
    FillButton(face);
    Rgb dark = ShiftColor(face, -0.2f);
    if (asked == State::Disabled) {
        const int o = value_ ? 1 : 0;
        DrawButtonPicture(pictureNormal_, o, o, skin::kNoColor);
        DrawCaptionText(BlendColors(c.disabledTextColor, kWhite, 0.9f), o + 1, o + 1);
        DrawCaptionText(c.disabledTextColor, o, o);
        if (value_)
            DrawFrame(dark, 0, 0, W, H);
    } else {
        DrawContent(face, (asked == State::Pressed || value_) ? 1 : 0);
        if (look == State::Normal && !value_)
            return;
        if (look == State::Hot && (mouseOver_ || keyHeld_)) {
            // Raised bevel.
            DrawLine(BlendColors(face, kWhite, 0.4f), 1, 1, W - 3, 1);
            DrawLine(BlendColors(face, kWhite, 0.3f), 1, 2, W - 3, 2);
            DrawLine(BlendColors(face, dark, 0.4f), W - 2, 2, W - 2, H - 3);
            DrawLine(BlendColors(face, dark, 0.2f), W - 3, 1, W - 3, H - 2);
            DrawLine(BlendColors(face, dark, 0.5f), 2, H - 2, W - 3, H - 2);
            DrawLine(BlendColors(face, dark, 0.3f), 1, H - 3, W - 3, H - 3);
            DrawLine(BlendColors(face, dark, 0.1f), 1, H - 4, W - 4, H - 4);
            DrawFrame(dark, 0, 0, W, H);
        } else if (look == State::Pressed) {
            // Sunken bevel.
            DrawLine(BlendColors(face, dark, 0.2f), 1, 2, 1, H - 3);
            DrawLine(BlendColors(face, dark, 0.1f), 2, 1, 2, H - 2);
            DrawLine(BlendColors(face, dark, 0.2f), 2, 1, W - 3, 1);
            DrawLine(BlendColors(face, dark, 0.1f), 3, 2, W - 2, 2);
            DrawLine(BlendColors(face, kWhite, 0.2f), 3, H - 2, W - 3, H - 2);
            DrawLine(BlendColors(face, kWhite, 0.1f), 3, H - 3, W - 2, H - 3);
            DrawFrame(dark, 0, 0, W, H);
        } else if (value_) {
            DrawFrame(dark, 0, 0, W, H);
        }
    }
    if (look == State::Hot || look == State::Pressed || value_)
        CornerPixels(dark);
}

void dcButton::PaintLightRounded(State asked)
{
    const int W = width_, H = height_;
    const auto& c = colors_;
    OpenPainter(5, 5);
    State look = asked;
    if (Checked())
        look = State::Pressed;
    Rgb face = look == State::Normal ? c.faceColor : look == State::Hot ? c.hotLightColor : c.downColor;
    if (look == State::Disabled) {
        FillButton(c.disabledColor);
    } else {
        VerticalGradient(c.lightColor, face, 30, 0, 0, -1, -1);
        face = BlendColors(c.lightColor, face, 0.5f);
    }
    Rgb edge;
    if (asked == State::Disabled) {
        DrawDisabledContent(value_ ? 1 : 0);
        edge = c.disabledTextColor;
    } else {
        DrawContent(face, (asked == State::Pressed ? 1 : 0) + (value_ ? 1 : 0));
        edge = c.faceColor;
        if (formActive_ && (hasFocus_ || displayAsDefault_)) {
            DrawLine(c.faceColor, 1, 1, W - 2, 1);
            DrawLine(c.faceColor, 1, H - 2, W - 2, H - 2);
            if (!skin::SquareOnLeft(buttonShape_)) {
                DrawLine(c.faceColor, 1, 1, 1, H - 2);
                DrawPixel(c.faceColor, 2, 2);
                DrawPixel(c.faceColor, 2, H - 3);
            }
            if (!skin::SquareOnRight(buttonShape_)) {
                DrawLine(c.faceColor, W - 2, 1, W - 2, H - 2);
                DrawPixel(c.faceColor, W - 3, 2);
                DrawPixel(c.faceColor, W - 3, H - 3);
            }
        }
    }
    DrawFrame(edge, 0, 0, W, H);
    CornerPixels(edge);
}
