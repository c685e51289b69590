// Pictures of every kind with pixels that differ from one another, and what the system
// reports of a picture's pixels, to tell whether a picture came back as it went.
#pragma once

#include "skin/Picture.h"

#include <cstdint>
#include <vector>

namespace test {

skin::PicturePtr SampleBitmap();
skin::PicturePtr SampleIcon();     // 32 bits a pixel with graded alpha
skin::PicturePtr SampleMonoIcon(); // 1 bit a pixel

// Kind, size and rows: a bitmap's 24-bit rows, an icon's 32-bit colour rows and 1-bit mask.
std::vector<std::uint8_t> PictureBits(const skin::Picture& picture);

} // namespace test
