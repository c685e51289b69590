// A modal run of a form ("Show vbModal"): the form shows above its owner and the thread's
// messages run here until the form is hidden or unloaded; meanwhile the thread's other windows
// take no input.
#pragma once

#include <windows.h>

namespace rt {

class Form;

// Loads `form` when it is not loaded yet. The form stays loaded when it was only hidden.
void ShowModal(Form& form, HWND owner = nullptr);

} // namespace rt
