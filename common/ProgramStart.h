// The steps both programs' start-ups share: the entry's message loop around the main form, and
// the fixed, captionless border of a skinned main form.
#pragma once

#include "skin/CFormBorder.h"

#include <memory>

namespace rt {
class Form;
}

namespace vantorel {

// Common controls set up, `form` loaded and shown, then the message loop until the last form
// is gone; returns the loop's exit code.
int RunMainForm(rt::Form& form);

// The border of a main form that draws its own title bar: no system caption, no sizing, no
// maximize.
std::unique_ptr<CFormBorder> FixedFormBorder(rt::Form& form);

} // namespace vantorel
