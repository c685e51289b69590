// The drawn command button: caption, enabled look, and Click on a left click, a Space
// release or its access key.
#pragma once

#include "runtime/Event.h"
#include "runtime/UserControl.h"

#include <string>

class dcButton : public rt::UserControl {
public:
    explicit dcButton(std::wstring name);
    ~dcButton() override;

    std::wstring Caption() const { return caption_; }
    void SetCaption(const std::wstring& text);
    void SetEnabled(bool enabled) override;

    // Never raised while the button is disabled.
    rt::Event<> Click;

    // The access key of the caption: the character after a single '&', upper-cased; 0 if none.
    wchar_t AccessKeyChar() const;

protected:
    void InitProperties() override;
    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;
    void Paint(HDC dc, int w, int h) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    DWORD WindowStyle() const override { return rt::UserControl::WindowStyle() | WS_TABSTOP; }

private:
    void HookForm();
    void RaiseClick();
    void SetPressed(bool pressed);

    std::wstring caption_;
    bool pressed_ = false;
    bool mouseDown_ = false;
    bool spaceDown_ = false;
    bool focused_ = false;
    int accessKeyId_ = 0;
};
