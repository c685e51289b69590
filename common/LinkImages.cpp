#include "common/LinkImages.h"

#include "runtime/Resources.h"

namespace vantorel {

rt::PropertyBag ImageDesign(int resourceId, bool link)
{
    rt::PropertyBag bag;
    auto bytes = rt::ResourceBytes(resourceId);
    bag.Set(L"Image", rt::PropertyBag::Bytes(bytes.begin(), bytes.end()));
    if (link) {
        // Only the visible pixels of a link image take clicks.
        bag.Set(L"HitTest", std::int64_t{3});
        bag.Set(L"MPointer", std::int64_t{aic::aicAlphaImage::vbCustom});
    }
    return bag;
}

void CreateLinkImage(aic::aicAlphaImage& image, rt::Form& form, HWND container, rt::Bounds bounds, int resourceId)
{
    rt::PropertyBag bag = ImageDesign(resourceId, true);
    image.Create(form, container, bounds, &bag);
    image.SetMouseIcon(LoadCursorW(nullptr, IDC_HAND));
    image.SetToolTipText(L"Click Once To Open");
}

} // namespace vantorel
