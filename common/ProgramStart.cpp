#include "common/ProgramStart.h"

#include "runtime/Form.h"
#include "runtime/Runtime.h"

#include <commctrl.h>

namespace vantorel {

int RunMainForm(rt::Form& form)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    form.Load();
    form.ShowAfterLoad();
    return rt::RunMessageLoop();
}

std::unique_ptr<CFormBorder> FixedFormBorder(rt::Form& form)
{
    auto border = std::make_unique<CFormBorder>();
    border->SetClient(&form);
    border->SetTitlebar(false);
    border->SetSizeable(false);
    border->SetMaxButton(false);
    return border;
}

} // namespace vantorel
