#include "imaging/core/Rotate.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace imaging {

namespace {

struct Turn {
    double sin;
    double cos;
};

// Quarter turns take exact values: sin(pi) in floating point is not 0, and the drift tears the
// picture by a pixel.
Turn TurnFor(int degrees)
{
    switch (((degrees % 360) + 360) % 360) {
    case 0:
        return {0, 1};
    case 90:
        return {-1, 0};
    case 180:
        return {0, -1};
    case 270:
        return {1, 0};
    default:
        break;
    }
    const double theta = -(4 * std::atan(1.0) * degrees) / 180;
    return {std::sin(theta), std::cos(theta)};
}

// Source positions in 32.32 fixed point: exact for whole steps, and the inner loop only adds.
constexpr double kOne = 4294967296.0;
constexpr int kFractionBits = 32;

std::int64_t ToFixed(double v)
{
    // Far outside any window; the clamp keeps the product inside 64 bits.
    v = std::clamp(v, -2147483648.0, 2147483648.0);
    return std::llround(v * kOne);
}

// Columns k of 0..n-1 where lo <= a + k*s < hi, widened by one at each end; the fixed-point
// test trims them exactly.
bool Candidates(double a, double s, double lo, double hi, std::int64_t n, std::int64_t& first, std::int64_t& last)
{
    double f = 0, l = static_cast<double>(n - 1);
    if (s == 0) {
        if (!(a >= lo && a < hi))
            return false;
    } else {
        double k0 = (lo - a) / s, k1 = (hi - a) / s;
        if (s < 0)
            std::swap(k0, k1);
        f = std::max(f, std::ceil(k0) - 1);
        l = std::min(l, std::floor(k1) + 1);
    }
    if (!(f <= l))
        return false;
    first = static_cast<std::int64_t>(f);
    last = static_cast<std::int64_t>(l);
    return true;
}

std::uint32_t Load(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// The four channels in 16-bit lanes.
std::uint64_t Spread(std::uint32_t p)
{
    const std::uint64_t v = p;
    return (v & 0xFF) | ((v & 0xFF00) << 8) | ((v & 0xFF0000) << 16) | ((v & 0xFF000000) << 24);
}

// Two-by-two weighted pixel, weights in 256ths (0..256, rounded to nearest) multiplied out to
// 65536ths and the sum rounded to nearest: a uniform neighbourhood comes back unchanged, and as
// every weight applies alike to colour and alpha, colour never exceeds alpha.
std::uint32_t Weighted(std::uint32_t p00, std::uint32_t p10, std::uint32_t p01, std::uint32_t p11, std::uint32_t wx,
                       std::uint32_t wy)
{
    constexpr std::uint64_t kEven = 0x0000FFFF0000FFFFull;
    const std::uint64_t lower = Spread(p00) * (256 - wx) + Spread(p10) * wx; // each lane <= 65280
    const std::uint64_t upper = Spread(p01) * (256 - wx) + Spread(p11) * wx;
    const std::uint64_t half = 0x0000800000008000ull;
    const std::uint64_t even = (lower & kEven) * (256 - wy) + (upper & kEven) * wy + half;
    const std::uint64_t odd = ((lower >> 16) & kEven) * (256 - wy) + ((upper >> 16) & kEven) * wy + half;
    const std::uint64_t b = (even >> 16) & 0xFF, r = (even >> 48) & 0xFF;
    const std::uint64_t g = (odd >> 16) & 0xFF, a = (odd >> 48) & 0xFF;
    return static_cast<std::uint32_t>(b | (g << 8) | (r << 16) | (a << 24));
}

} // namespace

int WholeDegrees(float angle)
{
    if (!std::isfinite(angle))
        return 0;
    return static_cast<int>(std::fmod(std::nearbyint(static_cast<double>(angle)), 360.0));
}

std::int64_t RotationSquareSide(std::int64_t destWidth, std::int64_t destHeight)
{
    if (destWidth < 1 || destHeight < 1 || destWidth > INT32_MAX || destHeight > INT32_MAX)
        return 0;
    const auto w = static_cast<std::uint64_t>(destWidth), h = static_cast<std::uint64_t>(destHeight);
    const std::uint64_t n = w * w + h * h; // below 2^63
    auto s = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    while (s * s > n)
        --s;
    while ((s + 1) * (s + 1) <= n)
        ++s;
    // A square root of a whole number is never a half, so nearest is above or below s + 1/2.
    return static_cast<std::int64_t>(n - s * s > s ? s + 1 : s);
}

bool RotateIntoSquare(const PixelView& source, RotationWindow window, std::int64_t destWidth,
                      std::int64_t destHeight, int degrees, bool weighted, const PixelView& square)
{
    if (window.width < 1 || window.height < 1 || window.x < 0 || window.y < 0 ||
        std::int64_t{window.x} + window.width > source.Width() ||
        std::int64_t{window.y} + window.height > source.Height())
        return false;
    const std::int64_t side = RotationSquareSide(destWidth, destHeight);
    if (side < 1 || square.Width() != side || square.Height() != side)
        return false;

    const Turn turn = TurnFor(degrees);
    const double xs = static_cast<double>(destWidth) / window.width;
    const double ys = static_cast<double>(destHeight) / window.height;
    const double cx1 = turn.cos / xs, sx1 = turn.sin / xs, cy1 = turn.cos / ys, sy1 = turn.sin / ys;

    // The square's middle maps to the window's middle, whatever the window's origin.
    const std::int64_t halfW = window.width / 2, halfH = window.height / 2;
    const double cxs = static_cast<double>(halfW + window.x), cys = static_cast<double>(halfH + window.y);
    const std::int64_t ox = (side - window.width) / 2, oy = (side - window.height) / 2;
    const double du0 = static_cast<double>(-ox - halfW);

    const double left = window.x, right = static_cast<double>(window.x) + window.width;
    const double bottom = window.y, top = static_cast<double>(window.y) + window.height;
    const std::int64_t loX = std::int64_t{window.x} << kFractionBits;
    const std::int64_t hiX = (std::int64_t{window.x} + window.width) << kFractionBits;
    const std::int64_t loY = std::int64_t{window.y} << kFractionBits;
    const std::int64_t hiY = (std::int64_t{window.y} + window.height) << kFractionBits;
    const int lastX = window.x + window.width - 1, lastY = window.y + window.height - 1;

    std::vector<const std::uint8_t*> rows(static_cast<std::size_t>(window.height));
    for (int r = 0; r < window.height; ++r)
        rows[static_cast<std::size_t>(r)] = source.Row(window.y + r).data();
    const auto pixel = [&](std::int64_t x, std::int64_t y) {
        return Load(rows[static_cast<std::size_t>(y - window.y)] + x * 4);
    };

    // Per column px grows by cx1 and py falls by sy1. A step wider than any window reaches at
    // most one column inside it.
    const double stepX = cx1, stepY = -sy1;
    const bool hugeStep = std::abs(stepX) >= 536870912.0 || std::abs(stepY) >= 536870912.0;
    const std::int64_t fixedStepX = hugeStep ? 0 : ToFixed(stepX), fixedStepY = hugeStep ? 0 : ToFixed(stepY);

    for (std::int64_t v = 0; v < side; ++v) {
        const double dv = static_cast<double>(v - oy - halfH);
        const double ax = du0 * cx1 + dv * sx1 + cxs;
        const double ay = dv * cy1 - du0 * sy1 + cys;
        std::int64_t fx, lx, fy, ly;
        if (!Candidates(ax, stepX, left, right, side, fx, lx) || !Candidates(ay, stepY, bottom, top, side, fy, ly))
            continue;
        std::int64_t first = std::max(fx, fy), last = std::min(lx, ly);
        if (hugeStep)
            last = std::min(last, first + 2);
        const auto inside = [&](std::int64_t px, std::int64_t py) {
            return px >= loX && px < hiX && py >= loY && py < hiY;
        };
        std::int64_t px = 0, py = 0;
        for (; first <= last; ++first) {
            px = ToFixed(ax + static_cast<double>(first) * stepX);
            py = ToFixed(ay + static_cast<double>(first) * stepY);
            if (inside(px, py))
                break;
        }
        if (first > last)
            continue;
        if (hugeStep)
            last = first;
        // The points are an affine run, so with both ends inside every point between is too.
        while (last > first && !inside(px + (last - first) * fixedStepX, py + (last - first) * fixedStepY))
            --last;

        std::uint8_t* out = square.Row(static_cast<int>(v)).data();
        for (std::int64_t u = first; u <= last; ++u, px += fixedStepX, py += fixedStepY) {
            const std::int64_t ix = px >> kFractionBits, iy = py >> kFractionBits;
            std::uint32_t value;
            if (!weighted) {
                value = pixel(ix, iy);
            } else {
                const auto wx = static_cast<std::uint32_t>(((px & 0xFFFFFFFF) + 0x800000) >> 24);
                const auto wy = static_cast<std::uint32_t>(((py & 0xFFFFFFFF) + 0x800000) >> 24);
                // At the window's last column or row the pixel stands alone.
                const std::int64_t ix1 = ix < lastX ? ix + 1 : ix, iy1 = iy < lastY ? iy + 1 : iy;
                value = Weighted(pixel(ix, iy), pixel(ix1, iy), pixel(ix, iy1), pixel(ix1, iy1), wx, wy);
            }
            std::memcpy(out + u * 4, &value, 4);
        }
    }
    return true;
}

} // namespace imaging
