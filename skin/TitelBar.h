// The drawn title bar of a borderless form: the caption band, the minimise and close boxes,
// and dragging the form by the bar.
#pragma once

#include "runtime/UserControl.h"

#include <string>

class TitelBar : public rt::UserControl {
public:
    // What the close box does with the form that holds the bar: Ostrevi keeps running in the
    // notification area, so it only hides; Brennix unloads its form and ends.
    enum class CloseAction { HideForm, UnloadForm };

    TitelBar(std::wstring name, CloseAction closeAction);

    std::wstring Caption() const { return caption_; }
    void SetCaption(const std::wstring& text);

    // Box rectangles in the bar's client pixels, for hit tests and tests.
    RECT CloseBoxRect() const;
    RECT MinBoxRect() const;

protected:
    void InitProperties() override;
    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;
    void Paint(HDC dc, int w, int h) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    enum class Box { None, Min, Close };
    Box HitBox(POINT pt) const;
    void SetHover(Box box);
    void CloseForm();

    CloseAction closeAction_;
    std::wstring caption_;
    // The caption font's face ("Font"); empty keeps the system caption font's.
    std::wstring fontName_;
    Box hover_ = Box::None;
    bool tracking_ = false;
};
