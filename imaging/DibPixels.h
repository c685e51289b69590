// The pixels of a bitmap object as a view for the platform-neutral loops.
#pragma once

#include "imaging/c32bppDIB.h"
#include "imaging/core/PixelView.h"

#include <optional>

namespace imaging {

// None without a picture.
inline std::optional<PixelView> PixelsOf(const c32bppDIB& dib)
{
    if (!dib.BitsPointer())
        return std::nullopt;
    const auto bytes = static_cast<std::size_t>(dib.scanWidth()) * static_cast<std::size_t>(dib.Height());
    return PixelView::Packed({dib.BitsPointer(), bytes}, dib.Width(), dib.Height());
}

} // namespace imaging
