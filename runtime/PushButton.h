// The system's push button: a caption and a Click from the user's click or key.
#pragma once

#include "runtime/Controls.h"

#include <string>

namespace rt {

class PushButton : public IntrinsicControl {
public:
    using IntrinsicControl::IntrinsicControl;
    // `commandId` is what the dialog manager sends for Enter (IDOK) and Esc (IDCANCEL).
    void Create(Form& form, HWND container, Bounds bounds, const std::wstring& caption, int commandId = 0);
    std::wstring Caption() const { return Text(); }
    void SetCaption(const std::wstring& text) { SetText(text); }
    // The default look: the button that Enter presses, while it or no other button has the focus.
    void SetDefaultLook(bool on);
    Event<> Click;

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

} // namespace rt
