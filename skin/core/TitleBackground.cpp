#include "skin/core/TitleBackground.h"

#include "skin/core/Gradient.h"

#include <cmath>
#include <vector>

namespace skin {
namespace {

struct Bands {
    Gradient one, two, frame;
    int n;
};

int StepCount(const Canvas& c, BarStyle style)
{
    int n = Nearest(c.Height());
    if (style == BarStyle::Stacked)
        n = Nearest(n / 2.0);
    return n < 1 ? 25 : n;
}

int RowLimit(BarStyle style, int n, int border)
{
    switch (style) {
    case BarStyle::FallingInset:
    case BarStyle::FallingInsetStriped:
    case BarStyle::RisingInset:
    case BarStyle::RisingInsetStriped:
        return n - (border + 1);
    case BarStyle::CurveInset2:
        return n - (border + 2);
    case BarStyle::CurveInset5:
        return n - (border + 5);
    case BarStyle::CurveInset7:
        return n - (border + 7);
    default:
        return n;
    }
}

void FullRows(Canvas& c, int from, int to, const Gradient& band)
{
    for (int r = from; r <= to; ++r)
        c.Row(0, c.Width(), r, band.PixelAt(r));
}

void Diagonal(Canvas& c, const BackgroundDesign& s, const Bands& b, int F, int m)
{
    const int st = static_cast<int>(s.style);
    const int dir = st <= 4 ? -1 : 1;
    const bool striped = st % 2 == 0;
    const int marks[] = {AtDpi(2, s.dpi), AtDpi(6, s.dpi), AtDpi(11, s.dpi)};
    for (int r = 0; r <= m; ++r) {
        const int edge = F + dir * r;
        const Pixel one = b.one.PixelAt(r);
        c.Row(0, edge, r, one);
        c.Row(edge, c.Width(), r, b.two.PixelAt(r));
        if (striped)
            for (int d : marks)
                c.Set(edge + d, r, one);
    }
    if (static_cast<float>(m) != static_cast<float>(c.Height()))
        FullRows(c, m, c.Height(), b.one);
}

void Curve(Canvas& c, const Bands& b, int F, int m)
{
    const int SH = c.Height();
    const int h = Nearest((SH - m) / 2.0);
    const bool margins = static_cast<float>(m) != static_cast<float>(SH);
    if (margins)
        FullRows(c, 0, h, b.two);
    // A zero row limit has no curve to draw; stepping by 2 / m would divide by zero.
    if (m > 0) {
        const double step = 2.0 / m;
        int r = h;
        for (double t = -1; t <= 1; t += step, ++r) {
            const int x = Nearest(F + std::tan(t) * m / 1.3);
            c.Row(0, x, r, b.one.PixelAt(r));
            c.Row(x, c.Width(), r, b.two.PixelAt(r));
        }
    }
    if (margins)
        FullRows(c, Nearest(SH - h), SH, b.one);
}

void Plate(Canvas& c, const BackgroundDesign& s, const Bands& b)
{
    if (!s.showClose || !s.showMin)
        return;
    const int n = b.n, SW = c.Width(), half = n / 2;
    const int four = AtDpi(4, s.dpi);
    const float x0 = s.minBox.left - static_cast<float>(n) * 1.2f;
    for (int r = 0; r <= n; ++r) {
        const int edge = Nearest(x0 + r);
        c.Row(0, edge, r, b.one.PixelAt(r));
        if (r > four)
            c.Row(edge, SW - half + r, r, b.two.PixelAt(r));
    }
    const Pixel dark = ToPixel(s.dark);
    const int x0i = Nearest(x0);
    c.Line(x0i + four, four, SW - half + four, four, dark);
    c.Line(SW - half + four, four, SW + half + four, n + four, dark);
    c.Line(x0i, 0, x0i + n, n, dark);

    // Grip dots: triangles of 4..1 dots left of the minimise box and 1..4 right of the close box.
    const Pixel dot = ToPixel(RgbChannels{90, 90, 90}), light = ToPixel(RgbChannels{255, 255, 255});
    const int g = static_cast<int>((s.closeBox.height - 2) / 4);
    const int pitch = AtDpi(3, s.dpi);
    const int minLeft = Nearest(s.minBox.left), closeRight = Nearest(s.closeBox.left + s.closeBox.width);
    for (int k = 0; k < 4; ++k) {
        const int y = Nearest(s.closeBox.top) + AtDpi(2, s.dpi) + k * g;
        for (int j = 0; j <= 3 - k; ++j) {
            c.Set(minLeft - AtDpi(5, s.dpi) - pitch * j, y, dot);
            c.Set(minLeft - AtDpi(6, s.dpi) - pitch * j, y + 1, light);
        }
        for (int j = 0; j <= k; ++j) {
            c.Set(closeRight + pitch + pitch * j, y, dot);
            c.Set(closeRight + AtDpi(4, s.dpi) + pitch * j, y + 1, light);
        }
    }
}

void Stacked(Canvas& c, const BackgroundDesign& s, const Bands& b)
{
    const int n = b.n;
    for (int r = 0; r <= n; ++r)
        c.Row(0, c.Width(), r, b.one.PixelAt(r));
    for (int r = 0; r <= n; ++r)
        c.Row(0, c.Width(), n + r, b.two.PixelAt(r));
    const float x0 = s.minBox.left - static_cast<float>(n) - static_cast<float>(n) * 1.2f;
    for (int r = 0; r < 2 * n; ++r)
        c.Row(Nearest(x0 + r), c.Width(), r, b.frame.PixelAt(r));
    if (s.border >= 1)
        DrawFrame(c, s.high, s.dark);
}

} // namespace

void PaintBackground(Canvas& c, const BackgroundDesign& s)
{
    const int n = StepCount(c, s.style);
    Bands b{Gradient(s.v1Begin, s.v1End, n), Gradient(s.v2Begin, s.v2End, n), Gradient(s.high, s.dark, n, 2), n};
    const int F = static_cast<int>(static_cast<float>(c.Width()) * (s.cover / 10.0f));
    const int m = RowLimit(s.style, n, s.border);
    const int st = static_cast<int>(s.style);
    if (s.style == BarStyle::Plain)
        FullRows(c, 0, m, b.one);
    else if (st >= 1 && st <= 8)
        Diagonal(c, s, b, F, m);
    else if (st >= 9 && st <= 12)
        Curve(c, b, F, m);
    else if (s.style == BarStyle::Plate)
        Plate(c, s, b);
    else if (s.style == BarStyle::Stacked)
        Stacked(c, s, b);
}

void DrawFrame(Canvas& c, RgbChannels high, RgbChannels dark)
{
    const int SW = c.Width(), SH = c.Height();
    const Pixel d = ToPixel(dark), h = ToPixel(high);
    c.Line(0, SH - 1, SW, SH - 1, d);
    c.Line(SW - 1, 0, SW - 1, SH - 1, d);
    c.Line(0, 0, SW, 0, h);
    c.Line(0, 0, 0, SH, h);
}

void CutPill(Canvas& c, int captionWidth, int border, int dpi)
{
    const int W = Nearest(captionWidth * 1.2);
    const int B = border + 2;
    const int H = Nearest(c.Height() - 2.0 * B);
    if (H <= 0)
        return;
    // The source column, read before any copy lands: rows 2 .. H + 1, bottom one first.
    const int sx = AtDpi(3, dpi);
    std::vector<Pixel> column(static_cast<std::size_t>(H));
    for (int j = 0; j < H; ++j)
        column[static_cast<std::size_t>(j)] = c.At(sx, H + 1 - j);
    auto copy = [&](int x, int y, int w, int h) {
        for (int j = 0; j < h; ++j)
            c.Row(x, x + w, y + j, column[static_cast<std::size_t>(j)]);
    };
    copy(AtDpi(6, dpi), B, W, H);
    copy(AtDpi(5, dpi), B + 1, 1, H - 2);
    copy(AtDpi(4, dpi), B + 2, 1, H - 4);
    copy(W + AtDpi(6, dpi), B + 1, 1, H - 2);
    copy(W + AtDpi(7, dpi), B + 2, 1, H - 4);
}

} // namespace skin
