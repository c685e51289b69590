// A bitmap object's own pixels as a view over its bits; none without a picture.
#pragma once

#include "imaging/c32bppDIB.h"
#include "imaging/core/PixelView.h"

#include <optional>

namespace imaging {

inline std::optional<PixelView> PixelsOf(const c32bppDIB& dib)
{
    if (!dib.BitsPointer())
        return std::nullopt;
    return PixelView::Packed(
        {dib.BitsPointer(), static_cast<std::size_t>(dib.scanWidth()) * static_cast<std::size_t>(dib.Height())},
        dib.Width(), dib.Height());
}

} // namespace imaging
