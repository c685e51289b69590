// Captions and button geometry come from form designs: the access-key search, the layout,
// the gradients and the outline must stay in bounds for any of them.
#include "skin/core/ButtonColors.h"
#include "skin/core/ButtonLayout.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {
int Take(const std::uint8_t*& p, std::size_t& n, int mod)
{
    if (n == 0)
        return 0;
    int v = *p++;
    --n;
    return v % mod;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint8_t* p = data;
    std::size_t n = size;
    skin::LayoutInput in;
    in.width = 15 + Take(p, n, 240);
    in.height = 15 + Take(p, n, 120);
    in.alignment = static_cast<skin::PictureAlignment>(Take(p, n, 11) - 1);
    in.hasPicture = Take(p, n, 2) != 0;
    in.pictureW = Take(p, n, 250);
    in.pictureH = Take(p, n, 250);
    in.hasCaption = Take(p, n, 2) != 0;
    if (in.hasCaption)
        in.measuredCaption = skin::Rect{0, 0, Take(p, n, 250), Take(p, n, 100)};
    skin::ButtonLayout l = skin::LayoutCaptionAndPicture(in);
    (void)l;

    float percent = static_cast<float>(Take(p, n, 256)) - 50.0f;
    auto rows = skin::VerticalGradientRows(0x123456, 0xFEDCBA, percent, 0, in.height - 1);
    if (rows.size() != static_cast<std::size_t>(in.height))
        __builtin_trap();

    const int ew = Take(p, n, 256), eh = Take(p, n, 256);
    const auto shape = static_cast<skin::ButtonShape>(Take(p, n, 5));
    const int w = in.width, h = in.height;
    auto pts = skin::BuildOutline(w, h, ew, eh, shape, [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && ((x + y) % 7 != 0);
    });
    if (pts.empty() || !(pts.front() == pts.back()))
        __builtin_trap();

    std::wstring caption;
    while (n >= 2) {
        caption.push_back(static_cast<wchar_t>(p[0] | (p[1] << 8)));
        p += 2;
        n -= 2;
    }
    std::wstring key = skin::AccessKeyOf(caption);
    if (key.size() > 1)
        __builtin_trap();
    return 0;
}
