#include "common/ProgramStart.h"

#include "runtime/Form.h"
#include "runtime/Runtime.h"
#include "skin/TitelBar.h"

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

std::unique_ptr<skin::CFormBorder> FixedFormBorder(rt::Form& form)
{
    auto border = std::make_unique<skin::CFormBorder>();
    border->SetClient(&form);
    border->SetTitlebar(false);
    border->SetSizeable(false);
    border->SetMaxButton(false);
    return border;
}

rt::PropertyBag TitleBarDesign(const std::wstring& caption, const std::wstring& fontFace)
{
    rt::PropertyBag bar = skin::TitelBar::NewInstanceDesign();
    bar.Set(L"Caption", caption)
        .Set(L"Style", std::int64_t{0})
        .Set(L"BorderNormal", std::int64_t{0})
        .Set(L"BackColorV1Begin", std::int64_t{RGB(70, 104, 160)})
        .Set(L"BackColorV1End", std::int64_t{RGB(38, 64, 112)})
        .Set(L"Caption3DWidth", std::int64_t{0})
        .Set(L"CaptionPosY", std::int64_t{0})
        .Set(L"Font", fontFace + L";9;1");
    return bar;
}

} // namespace vantorel
