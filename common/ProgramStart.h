// The steps both programs' start-ups share: the entry's message loop around the main form, the
// fixed, captionless border of a skinned main form, and the design of its title bar.
#pragma once

#include "runtime/PropertyBag.h"
#include "skin/CFormBorder.h"

#include <memory>
#include <string>

namespace rt {
class Form;
}

namespace vantorel {

// Common controls set up, `form` loaded and shown, then the message loop until the last form
// is gone; returns the loop's exit code.
int RunMainForm(rt::Form& form);

// The border of a main form that draws its own title bar: no system caption, no sizing, no
// maximize.
std::unique_ptr<skin::CFormBorder> FixedFormBorder(rt::Form& form);

// A main form's title bar: a new bar's values with the programs' band, `caption` and a bold
// 9-point `fontFace`.
rt::PropertyBag TitleBarDesign(const std::wstring& caption, const std::wstring& fontFace);

} // namespace vantorel
