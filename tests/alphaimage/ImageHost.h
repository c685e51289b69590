// A form that holds image controls made from designs, in run or design mode, and the small
// pictures the control tests load: opaque and wholly transparent pixels only, so that every
// encoding round trip is exact.
#pragma once

#include "alphaimage/aicAlphaImage.h"
#include "runtime/Form.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace test {

using Bytes = std::vector<std::uint8_t>;

class ImageHost : public rt::Form {
public:
    ImageHost() : rt::Form(L"ImageHost", L"image host", 4000, 3000) {}
    // A control on `container` (null: the form) from `design` (null: a new instance).
    aic::aicAlphaImage& Add(const rt::PropertyBag* design, bool runMode = true, HWND container = nullptr,
                            rt::Bounds bounds = {10, 10, 40, 30});

private:
    std::vector<std::unique_ptr<aic::aicAlphaImage>> images_;
};

// A w x h picture: colours from the position, the pixels where (x + y) % 3 == 0 transparent;
// all opaque when `opaque`.
void Picture(imaging::c32bppDIB& dib, int w, int h, bool opaque = false);
Bytes PictureBmp(int w, int h, bool opaque = false);
Bytes PicturePng(int w, int h);
// The premultiplied pixels, bottom row first; empty without a picture.
Bytes PixelsOf(const imaging::c32bppDIB& dib);

} // namespace test
