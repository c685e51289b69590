// Redraw and the eight style painters. `asked` is the state asked for, `look` the painter's
// working copy after its toggle rule: fills follow the look; the disabled test and the
// offsets follow the state asked for.
#include "skin/dcButton.h"

#include "runtime/Handles.h"

namespace skin {

using State = ButtonState;
using Style = ButtonStyle;

namespace {
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

void dcButton::Paint(HDC dc, int width, int height)
{
    // Shaping the window inside a paint may size it again; the outer paint finishes the job.
    if (dc_)
        return;
    dc_ = dc;
    width_ = width;
    height_ = height;
    rt::Selected pen(dc, GetStockObject(DC_PEN));
    {
        // Cls: the surface's own background; every painter covers the face.
        rt::Selected brush(dc, GetStockObject(DC_BRUSH));
        SetDCBrushColor(dc, GetSysColor(COLOR_BTNFACE));
        PatBlt(dc, 0, 0, width, height, PATCOPY);
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

Rgb dcButton::StateFace(State look) const
{
    switch (look) {
    case State::Normal: return colors_.faceColor;
    case State::Hot: return colors_.hotLightColor;
    case State::Pressed: return colors_.downColor;
    default: return colors_.disabledColor;
    }
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
    OpenPainter(5, 5);
    State look = asked;
    if (Checked()) {
        if (buttonStyle_ == Style::FramedRoundedGradient)
            look = State::Pressed;
        else if (look == State::Pressed)
            look = State::Normal;
    }
    const Rgb face = RoundedGradientFace(look);
    Rgb edge;
    if (asked == State::Disabled) {
        DrawDisabledContent(0);
        edge = colors_.disabledTextColor;
    } else {
        DrawContent(face, 0);
        RoundedGradientMarks(asked, look);
        edge = BlendColors(colors_.hotColor, kBlack, 0.5f);
    }
    DrawFrame(edge, 0, 0, width_, height_);
    CornerPixels(edge);
}

Rgb dcButton::RoundedGradientFace(State look)
{
    const int width = width_, height = height_;
    const Style style = buttonStyle_;
    const skin::ButtonColorSet& colors = colors_;
    Rgb face = kBlack;
    if (look == State::Normal || look == State::Hot) {
        if (value_) {
            Rgb darkFace = ShiftColor(colors.faceColor, -0.1f);
            VerticalGradient(darkFace, colors.lightColor, 50, 0, 0, -1, -1);
            face = BlendColors(darkFace, colors.lightColor, 0.5f);
        } else {
            VerticalGradient(colors.lightColor, colors.faceColor, 50, 0, 0, -1, -1);
            face = BlendColors(colors.lightColor, colors.faceColor, 0.5f);
        }
    } else if (look == State::Pressed && style == Style::FramedRoundedGradient) {
        VerticalGradient(colors.downColor, colors.lightColor, 80, 0, 0, -1, -1);
        face = BlendColors(colors.downColor, colors.lightColor, 0.3f);
    } else if (look == State::Pressed) {
        face = colors.downColor;
        FillButton(colors.downColor);
        // A sunken inner shading.
        DrawLine(ShiftColor(face, -0.05f), 2, 1, width - 3, 1);
        DrawLine(ShiftColor(face, -0.05f), 1, 2, 1, height - 3);
        DrawLine(ShiftColor(face, -0.03f), 2, 2, width - 3, 2);
        DrawLine(ShiftColor(face, -0.03f), 2, 3, 2, height - 4);
        DrawLine(ShiftColor(face, 0.02f), 2, height - 3, width - 3, height - 3);
        DrawLine(ShiftColor(face, 0.02f), width - 3, 3, width - 3, height - 3);
        DrawLine(ShiftColor(face, 0.03f), 2, height - 2, width - 3, height - 2);
        DrawLine(ShiftColor(face, 0.03f), width - 2, 2, width - 2, height - 4);
    } else if (look == State::Disabled) {
        FillButton(colors.disabledColor);
    }
    return face;
}

void dcButton::RoundedGradientMarks(State asked, State look)
{
    const int width = width_, height = height_;
    const Style style = buttonStyle_;
    const skin::ButtonColorSet& colors = colors_;
    // Pressed and then left by the cursor looks hot.
    const bool hotLook = asked == State::Hot || (look != State::Pressed && mouseHeld_ && !mouseOver_);
    if (hotLook && !value_) {
        const Rgb hotLightPale = BlendColors(colors.hotLightColor, kWhite, 0.5f);
        const Rgb hotLightDim = ShiftColor(colors.hotLightColor, -0.02f);
        DrawLine(hotLightPale, 1, 1, width - 2, 1);
        VerticalGradient(hotLightPale, hotLightDim, 50, 1, 2, 1, height - 3);
        VerticalGradient(hotLightPale, hotLightDim, 50, width - 2, 2, width - 2, height - 3);
        Rgb innerLight = ShiftColor(hotLightPale, -0.05f);
        DrawLine(innerLight, 2, 2, width - 3, 2);
        VerticalGradient(innerLight, colors.hotLightColor, 50, 2, 2, 2, height - 3);
        VerticalGradient(innerLight, colors.hotLightColor, 50, width - 3, 2, width - 3, height - 3);
        DrawLine(colors.hotLightColor, 2, height - 3, width - 3, height - 3);
        DrawLine(ShiftColor(colors.hotLightColor, -0.05f), 1, height - 2, width - 2, height - 2);
    } else if (hotLook) {
        if (style == Style::FramedRoundedGradient)
            DrawFrame(colors.lightColor, 1, 1, width - 1, height);
    } else {
        if (style == Style::FramedRoundedGradient) {
            if (formActive_ && hasFocus_ && asked != State::Pressed && !value_)
                DrawFrame(colors.lightColor, 2, 1, width - 2, height);
            else
                DrawFrame(colors.lightColor, 1, 1, width - 1, height);
        }
        if (formActive_ && asked != State::Pressed && (hasFocus_ || displayAsDefault_) && !value_) {
            Rgb focusLight = BlendColors(colors.hotColor, kWhite, 0.4f);
            DrawLine(ShiftColor(focusLight, 0.05f), 1, 1, width - 2, 1);
            DrawLine(focusLight, 2, 2, width - 3, 2);
            DrawLine(colors.hotColor, 2, height - 3, width - 3, height - 3);
            DrawLine(ShiftColor(colors.hotColor, -0.02f), 1, height - 2, width - 2, height - 2);
            if (style == Style::FramedRoundedGradient) {
                VerticalGradient(focusLight, colors.hotColor, 50, 1, 2, 1, height - 3);
                VerticalGradient(focusLight, colors.hotColor, 50, width - 2, 2, width - 2, height - 3);
            } else {
                VerticalGradient(focusLight, colors.hotColor, 50, 1, 2, 2, height - 3);
                VerticalGradient(focusLight, colors.hotColor, 50, width - 3, 2, width - 2, height - 3);
            }
        }
    }
}

void dcButton::PaintCapsule(State asked)
{
    const int width = width_, height = height_;
    const Style style = buttonStyle_;
    const skin::ButtonColorSet& colors = colors_;
    const bool laidOut = needsLayout_;
    if (style == Style::RoundedTopShine)
        OpenPainter(13, 13);
    else
        OpenPainter(height, width);
    if (laidOut) {
        // The shine rectangle takes the focus rectangle's place.
        const int halfH = skin::RoundHalfEven(height / 2.0);
        if (style == Style::Capsule) {
            int inset = std::min(skin::RoundHalfEven(width / 4.0), 10);
            focusRect_ = skin::Rect{inset, 1, width - inset - 1, halfH};
        } else if (style == Style::RoundedTopShine) {
            focusRect_ = skin::Rect{2, 1, width - 3, 7};
        } else {
            focusRect_ = skin::Rect{0, 0, width - 1, halfH};
        }
    }
    State look = asked;
    if (Checked() && (look == State::Normal || look == State::Hot || look == State::Pressed))
        look = State::Pressed;
    else if (!Checked() && look == State::Normal && mouseHeld_)
        look = State::Hot;
    const Rgb face = StateFace(look);
    Rgb shine = colors.lightColor == skin::kNoColor ? BlendColors(face, kWhite, 0.8f) : colors.lightColor;
    float shineSplit = style == Style::RoundedTopShine ? 30.0f : 60.0f;
    float shineFade = style == Style::Capsule ? 0.6f : style == Style::RoundedTopShine ? 0.2f : 0.5f;
    VerticalGradient(face, shine, shineSplit, 0, 0, -1, -1);
    CapsuleShine(shine, BlendColors(face, shine, shineFade));
    Rgb base = ShiftColor(face, 0.2f);
    if (asked == State::Disabled) {
        int offset = value_ ? 1 : 0;
        DrawButtonPicture(pictureNormal_, offset, offset, skin::kNoColor);
        DrawCaptionText(base, offset + 1, offset + 1);
        DrawCaptionText(colors.disabledTextColor, offset, offset);
    } else {
        DrawContent(base, (asked == State::Pressed ? 1 : 0) + (value_ ? 1 : 0));
    }
    DrawOutline(BlendColors(face, base, 0.8f));
}

void dcButton::PaintFlatGradient(State asked)
{
    const int width = width_, height = height_;
    const skin::ButtonColorSet& colors = colors_;
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
                top = colors.hotLightColor;
                bottom = colors.downColor;
                checkedAtRest = true;
            }
        }
    } else if (look == State::Normal && mouseHeld_) {
        look = State::Hot;
    }
    if (checkedAtRest) {
        // Colours chosen above.
    } else if (look == State::Normal || look == State::Disabled) {
        top = colors.lightColor;
        bottom = colors.faceColor;
    } else if (look == State::Hot) {
        top = colors.hotColor;
        bottom = colors.hotLightColor;
    } else if (look == State::Pressed) {
        top = colors.downColor;
        bottom = colors.hotLightColor;
    }
    VerticalGradient(top, bottom, 50, 0, 0, -1, -1);
    if (asked == State::Disabled) {
        DrawDisabledContent(0);
        return;
    }
    DrawContent(BlendColors(top, bottom, 0.5f), 0);
    if (asked != State::Normal || value_ || pressActive_)
        DrawFrame(colors.textColor, 0, 0, width, height);
}

void dcButton::PaintFlat(State asked)
{
    const int width = width_, height = height_;
    const skin::ButtonColorSet& colors = colors_;
    OpenPainter(0, 0);
    State look = asked;
    if (Checked()) {
        if (look == State::Hot || (look == State::Normal && pressActive_))
            look = State::Pressed;
    } else if (look == State::Normal && mouseHeld_) {
        look = State::Hot;
    }
    const Rgb face = StateFace(look);
    FillButton(face);
    if (asked == State::Disabled) {
        DrawDisabledContent(0);
        return;
    }
    const int offset = (asked == State::Pressed && value_) ? 1 : 0;
    if (!pictureHot_ && asked == State::Hot && !value_ && !mouseHeld_) {
        // A lifted picture over its light-grey silhouette.
        DrawButtonPicture(pictureNormal_, 1, 1, 0xC0C0C0);
        DrawButtonPicture(pictureNormal_, -1, -1, skin::kNoColor);
    } else {
        DrawPictureWithEffect(face, offset, offset, skin::kNoColor);
    }
    DrawCaptionWithEffect(colors.textColor, face, offset, offset);
    if (asked != State::Normal || value_ || pressActive_)
        DrawFrame(colors.hotColor, 0, 0, width, height);
}

void dcButton::PaintBevelled(State asked)
{
    const int width = width_, height = height_;
    const skin::ButtonColorSet& colors = colors_;
    OpenPainter(0, 0);
    State look = asked;
    if (Checked())
        look = State::Hot;
    Rgb face = kBlack;
    if (look == State::Normal) {
        VerticalGradient(colors.lightColor, colors.faceColor, 70, 0, 0, -1, -1);
        face = BlendColors(colors.lightColor, colors.faceColor, 0.5f);
    } else if (look == State::Hot || look == State::Pressed) {
        face = colors.hotLightColor;
        FillButton(face);
    } else if (look == State::Disabled) {
        VerticalGradient(colors.lightColor, colors.disabledColor, 70, 0, 0, -1, -1);
    }
    auto flatBevel = [&](Rgb bevelFace) {
        DrawLine(ShiftColor(bevelFace, 0.1f), 0, 0, width - 1, 0);
        DrawLine(ShiftColor(bevelFace, -0.1f), 0, height - 1, width - 1, height - 1);
        DrawLine(ShiftColor(bevelFace, -0.05f), 0, 1, 0, height - 2);
        DrawLine(ShiftColor(bevelFace, -0.05f), width - 1, 1, width - 1, height - 2);
    };
    if (asked == State::Disabled) {
        DrawDisabledContent(value_ ? 1 : 0);
        flatBevel(colors.disabledColor);
        return;
    }
    DrawContent(face, (asked == State::Pressed ? 1 : 0) + (value_ ? 1 : 0));
    if (formActive_ && (hasFocus_ || displayAsDefault_)) {
        Rgb light = ShiftColor(face, 0.1f), dark = ShiftColor(face, -0.1f), side = ShiftColor(face, -0.05f);
        DrawLine(light, 1, 1, width - 2, 1);
        DrawLine(light, 2, 2, width - 3, 2);
        DrawLine(dark, 1, height - 2, width - 2, height - 2);
        DrawLine(dark, 2, height - 3, width - 3, height - 3);
        DrawLine(side, 1, 2, 1, height - 3);
        DrawLine(side, 2, 3, 2, height - 4);
        DrawLine(side, width - 2, 2, width - 2, height - 3);
        DrawLine(side, width - 3, 3, width - 3, height - 4);
        DrawFrame(colors.textColor, 0, 0, width, height);
        return;
    }
    flatBevel(face);
}

void dcButton::PaintClassic3D(State asked)
{
    const int width = width_, height = height_;
    const skin::ButtonColorSet& colors = colors_;
    OpenPainter(0, 0);
    const State look = asked;
    const bool checkedLook = checkBoxMode_ && value_;
    if (checkedLook)
        FillChecker(kWhite, colors.downColor, 2, 2, width - 4, height - 4);
    else
        FillButton(colors.faceColor);
    if (asked == State::Disabled) {
        if (checkBoxMode_) {
            DrawDisabledContent(value_ ? 1 : 0);
        } else {
            // Engraved: a near-white copy one pixel down and right.
            DrawButtonPicture(pictureNormal_, 0, 0, skin::kNoColor);
            DrawCaptionText(BlendColors(colors.disabledTextColor, kWhite, 0.9f), 1, 1);
            DrawCaptionText(colors.disabledTextColor, 0, 0);
        }
    } else {
        if (asked == State::Pressed || value_)
            DrawContent(colors.downColor, 1);
        else
            DrawContent(colors.faceColor, 0);
        if (formActive_ && (hasFocus_ || displayAsDefault_)) {
            if (!checkedLook)
                DrawFrame(colors.textColor, 0, 0, width, height);
            if (hasFocus_) {
                if (checkedLook) {
                    DrawFrame(colors.textColor, focusRect_.left, focusRect_.top, focusRect_.right, focusRect_.bottom);
                } else {
                    RECT focus{focusRect_.left, focusRect_.top, focusRect_.right, focusRect_.bottom};
                    SetTextColor(dc_, 0);
                    SetBkColor(dc_, 0xFFFFFF);
                    DrawFocusRect(dc_, &focus);
                }
            }
        }
    }
    if (look == State::Normal || look == State::Hot || look == State::Disabled) {
        if (checkedLook)
            DrawEdgeRect(0, 0, width, height, EDGE_SUNKEN);
        else if (!hasFocus_ && !displayAsDefault_)
            DrawEdgeRect(0, 0, width, height, EDGE_RAISED);
        else
            DrawEdgeRect(1, 1, width - 1, height - 1, EDGE_RAISED);
    } else if (look == State::Pressed) {
        if (checkBoxMode_) {
            DrawEdgeRect(0, 0, width, height, EDGE_SUNKEN);
        } else {
            DrawFrame(colors.textColor, 0, 0, width, height);
            DrawFrame(colors.hotColor, 1, 1, width - 1, height - 1);
        }
    }
}

void dcButton::PaintSoftBevel(State asked)
{
    const int width = width_, height = height_;
    const skin::ButtonColorSet& colors = colors_;
    OpenPainter(5, 5);
    const State look = asked;
    Rgb face = look == State::Pressed ? colors.downColor
               : value_ ? BlendColors(colors.faceColor, kWhite, 0.8f)
               : (look == State::Hot && mouseOver_) ? colors.hotLightColor
                                         : colors.faceColor;
    FillButton(face);
    Rgb dark = ShiftColor(face, -0.2f);
    if (asked == State::Disabled) {
        const int offset = value_ ? 1 : 0;
        DrawButtonPicture(pictureNormal_, offset, offset, skin::kNoColor);
        DrawCaptionText(BlendColors(colors.disabledTextColor, kWhite, 0.9f), offset + 1, offset + 1);
        DrawCaptionText(colors.disabledTextColor, offset, offset);
        if (value_)
            DrawFrame(dark, 0, 0, width, height);
    } else {
        DrawContent(face, (asked == State::Pressed || value_) ? 1 : 0);
        if (look == State::Normal && !value_)
            return;
        if (look == State::Hot && (mouseOver_ || keyHeld_)) {
            // Raised bevel.
            DrawLine(BlendColors(face, kWhite, 0.4f), 1, 1, width - 3, 1);
            DrawLine(BlendColors(face, kWhite, 0.3f), 1, 2, width - 3, 2);
            DrawLine(BlendColors(face, dark, 0.4f), width - 2, 2, width - 2, height - 3);
            DrawLine(BlendColors(face, dark, 0.2f), width - 3, 1, width - 3, height - 2);
            DrawLine(BlendColors(face, dark, 0.5f), 2, height - 2, width - 3, height - 2);
            DrawLine(BlendColors(face, dark, 0.3f), 1, height - 3, width - 3, height - 3);
            DrawLine(BlendColors(face, dark, 0.1f), 1, height - 4, width - 4, height - 4);
            DrawFrame(dark, 0, 0, width, height);
        } else if (look == State::Pressed) {
            // Sunken bevel.
            DrawLine(BlendColors(face, dark, 0.2f), 1, 2, 1, height - 3);
            DrawLine(BlendColors(face, dark, 0.1f), 2, 1, 2, height - 2);
            DrawLine(BlendColors(face, dark, 0.2f), 2, 1, width - 3, 1);
            DrawLine(BlendColors(face, dark, 0.1f), 3, 2, width - 2, 2);
            DrawLine(BlendColors(face, kWhite, 0.2f), 3, height - 2, width - 3, height - 2);
            DrawLine(BlendColors(face, kWhite, 0.1f), 3, height - 3, width - 2, height - 3);
            DrawFrame(dark, 0, 0, width, height);
        } else if (value_) {
            DrawFrame(dark, 0, 0, width, height);
        }
    }
    if (look == State::Hot || look == State::Pressed || value_)
        CornerPixels(dark);
}

void dcButton::PaintLightRounded(State asked)
{
    const int width = width_, height = height_;
    const skin::ButtonColorSet& colors = colors_;
    OpenPainter(5, 5);
    State look = asked;
    if (Checked())
        look = State::Pressed;
    Rgb face = look == State::Normal ? colors.faceColor : look == State::Hot ? colors.hotLightColor : colors.downColor;
    if (look == State::Disabled) {
        FillButton(colors.disabledColor);
    } else {
        VerticalGradient(colors.lightColor, face, 30, 0, 0, -1, -1);
        face = BlendColors(colors.lightColor, face, 0.5f);
    }
    Rgb edge;
    if (asked == State::Disabled) {
        DrawDisabledContent(value_ ? 1 : 0);
        edge = colors.disabledTextColor;
    } else {
        DrawContent(face, (asked == State::Pressed ? 1 : 0) + (value_ ? 1 : 0));
        edge = colors.faceColor;
        if (formActive_ && (hasFocus_ || displayAsDefault_)) {
            DrawLine(colors.faceColor, 1, 1, width - 2, 1);
            DrawLine(colors.faceColor, 1, height - 2, width - 2, height - 2);
            if (!skin::SquareOnLeft(buttonShape_)) {
                DrawLine(colors.faceColor, 1, 1, 1, height - 2);
                DrawPixel(colors.faceColor, 2, 2);
                DrawPixel(colors.faceColor, 2, height - 3);
            }
            if (!skin::SquareOnRight(buttonShape_)) {
                DrawLine(colors.faceColor, width - 2, 1, width - 2, height - 2);
                DrawPixel(colors.faceColor, width - 3, 2);
                DrawPixel(colors.faceColor, width - 3, height - 3);
            }
        }
    }
    DrawFrame(edge, 0, 0, width, height);
    CornerPixels(edge);
}

} // namespace skin
