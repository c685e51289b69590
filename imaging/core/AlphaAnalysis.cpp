#include "imaging/core/AlphaAnalysis.h"

#include <cstdint>

namespace imaging {

namespace {

enum class Scan { Nothing, TransparentColour, Straight };

void SetOpaque(const PixelView& pixels)
{
    for (int y = 0; y < pixels.Height(); ++y) {
        auto row = pixels.Row(y);
        for (std::size_t i = 3; i < row.size(); i += 4)
            row[i] = 255;
    }
}

void Premultiply(const PixelView& pixels)
{
    for (int y = 0; y < pixels.Height(); ++y) {
        auto row = pixels.Row(y);
        for (std::size_t i = 0; i < row.size(); i += 4) {
            const unsigned a = row[i + 3];
            if (a == 255)
                continue;
            for (std::size_t c = 0; c < 3; ++c)
                row[i + c] = static_cast<std::uint8_t>(row[i + c] * a / 255);
        }
    }
}

} // namespace

AlphaAnalysis AnalyseAlphaChannel(const PixelView& pixels, bool premultiply, int imageTypeIn)
{
    AlphaAnalysis result;
    if (imageTypeIn == imgNone) {
        if (premultiply)
            SetOpaque(pixels);
        return result;
    }
    Scan state = Scan::Nothing;
    std::uint64_t zeros = 0, opaque = 0;
    for (int y = 0; y < pixels.Height() && state != Scan::Straight; ++y) {
        auto row = pixels.Row(y);
        for (std::size_t i = 0; i < row.size(); i += 4) {
            const std::uint8_t a = row[i + 3];
            if (a == 0) {
                if (state == Scan::Nothing && (row[i] | row[i + 1] | row[i + 2]) != 0)
                    state = Scan::TransparentColour;
                ++zeros;
            } else if (a == 255) {
                if (state == Scan::TransparentColour) {
                    state = Scan::Straight;
                    break;
                }
                ++opaque;
            } else if (state == Scan::TransparentColour || row[i] > a || row[i + 1] > a || row[i + 2] > a) {
                state = Scan::Straight;
                break;
            }
        }
    }
    const std::uint64_t count = static_cast<std::uint64_t>(pixels.Width()) * static_cast<std::uint64_t>(pixels.Height());
    if (zeros == count || opaque == count) {
        result.allTransparent = zeros == count && count != 0;
        if (premultiply)
            SetOpaque(pixels);
        return result;
    }
    result.hasAlpha = true;
    if (state == Scan::Nothing) {
        result.imageType = imgBitmapPremultiplied;
        return result;
    }
    result.imageType = imgBitmapStraightAlpha;
    if (premultiply)
        Premultiply(pixels);
    return result;
}

} // namespace imaging
