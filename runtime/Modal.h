// A modal run of a form ("Show vbModal"): the form shows above its owner and the thread's
// messages run here until the form is hidden or unloaded; meanwhile the thread's other windows
// take no input.
#pragma once

#include <windows.h>

namespace rt {

class Form;

// How the run hands keys to the form: as they come, or as a dialog box takes them (Tab and
// Shift+Tab move the focus, Enter presses the default button, Esc the button with IDCANCEL).
enum class ModalKeys { AsSent, Dialog };

// Loads `form` when it is not loaded yet. The form stays loaded when it was only hidden.
void ShowModal(Form& form, HWND owner = nullptr, ModalKeys keys = ModalKeys::AsSent);

} // namespace rt
