// GDI regions of a picture's visible pixels, built past the number of rectangles that one
// ExtCreateRegion call takes on some systems.
#pragma once

#include "imaging/core/AlphaRects.h"

#include <windows.h>

#include <vector>

namespace imaging {

class c32bppDIB;

// Rectangles per ExtCreateRegion call when one call for the whole list fails.
constexpr std::size_t kRegionChunk = 2000;

// The visible pixels of `dib` (the whole picture when it has no alpha); 0 when none is visible
// or a region call fails. The caller deletes the region.
HRGN BuildAlphaRegion(const c32bppDIB& dib, RegionStyle style);

// `list` holds two free entries for the RGNDATA header in front of rectangles 2 ... end.
// A region of entries [first, last] (first >= 2), bounded left and right by boundLeft and
// boundLeft + boundWidth; the header overwrites entries first - 2 and first - 1.
HRGN RegionFromRectList(std::vector<RECT>& list, std::size_t first, std::size_t last, LONG boundLeft, LONG boundWidth);
// The union of the list's entries [2, last] made chunk by chunk; 0 when any chunk fails.
HRGN RegionFromRectChunks(std::vector<RECT>& list, std::size_t last, LONG boundLeft, LONG boundWidth);

} // namespace imaging
