#include "imaging/AlphaRegion.h"

#include "imaging/c32bppDIB.h"

#include <cstring>

namespace imaging {

HRGN RegionFromRectList(std::vector<RECT>& list, std::size_t first, std::size_t last, LONG boundLeft, LONG boundWidth)
{
    static_assert(sizeof(RGNDATAHEADER) == 2 * sizeof(RECT));
    if (first < 2 || last < first || last >= list.size())
        return nullptr;
    const std::size_t count = last - first + 1;
    if (count > (MAXDWORD - sizeof(RGNDATAHEADER)) / sizeof(RECT))
        return nullptr;
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(count);
    header.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    header.rcBound = {boundLeft, list[first].top, boundLeft + boundWidth, list[last].bottom};
    // The header goes into the list itself, in front of the slice, so no rectangle is copied.
    std::memcpy(&list[first - 2], &header, sizeof header);
    return ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof header + count * sizeof(RECT)),
                           reinterpret_cast<const RGNDATA*>(&list[first - 2]));
}

HRGN RegionFromRectChunks(std::vector<RECT>& list, std::size_t last, LONG boundLeft, LONG boundWidth)
{
    if (last < 2)
        return nullptr;
    HRGN result = nullptr;
    for (auto [first, end] : RectChunks(last - 1, kRegionChunk)) {
        // Each header overwrites two entries of the chunk before, which is already made.
        HRGN part = RegionFromRectList(list, first + 2, end + 2, boundLeft, boundWidth);
        if (!part) {
            if (result)
                DeleteObject(result);
            return nullptr;
        }
        if (!result) {
            result = part;
            continue;
        }
        const int combined = CombineRgn(result, result, part, RGN_OR);
        DeleteObject(part);
        if (combined == ERROR) {
            DeleteObject(result);
            return nullptr;
        }
    }
    return result;
}

HRGN BuildAlphaRegion(const c32bppDIB& dib, RegionStyle style)
{
    if (!dib.Alpha())
        return CreateRectRgn(0, 0, dib.Width(), dib.Height());
    if (dib.Width() < 1 || dib.Height() < 1 || !dib.BitsPointer())
        return nullptr;
    const auto view = PixelView::Packed(
        {dib.BitsPointer(), static_cast<std::size_t>(dib.scanWidth()) * static_cast<std::size_t>(dib.Height())},
        dib.Width(), dib.Height());
    if (!view)
        return nullptr;
    if (style == regionBoundingBox) {
        const auto box = AlphaBoundingBox(*view);
        return box ? CreateRectRgn(box->left, box->top, box->right, box->bottom) : nullptr;
    }
    const auto rects = AlphaRects(*view, style);
    if (rects.empty())
        return nullptr;
    std::vector<RECT> list(rects.size() + 2);
    for (std::size_t i = 0; i < rects.size(); ++i)
        list[i + 2] = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    const std::size_t last = list.size() - 1;
    if (HRGN whole = RegionFromRectList(list, 2, last, 0, dib.Width()))
        return whole;
    return rects.size() > kRegionChunk ? RegionFromRectChunks(list, last, 0, dib.Width()) : nullptr;
}

} // namespace imaging
