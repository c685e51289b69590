// The logo and link images that both programs show: their design from the picture resources,
// with the hand pointer and tool tip of a link.
#pragma once

#include "alphaimage/aicAlphaImage.h"
#include "runtime/PropertyBag.h"

namespace vantorel {

// The design of an image control holding the PNG resource `resourceId`; a link takes clicks
// on its visible pixels only and shows the hand pointer.
rt::PropertyBag ImageDesign(int resourceId, bool link);

// Creates a link image on `container` with its picture, pointer and tool tip.
void CreateLinkImage(aic::aicAlphaImage& image, rt::Form& form, HWND container, rt::Bounds bounds, int resourceId);

} // namespace vantorel
