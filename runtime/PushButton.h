// The system's push button: a caption and a Click from the user's click or key.
#pragma once

#include "runtime/Controls.h"

#include <string>

namespace rt {

class PushButton : public IntrinsicControl {
public:
    using IntrinsicControl::IntrinsicControl;
    void Create(Form& form, HWND container, Bounds bounds, const std::wstring& caption);
    std::wstring Caption() const { return Text(); }
    void SetCaption(const std::wstring& text) { SetText(text); }
    Event<> Click;

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

} // namespace rt
