// A titled panel: a rounded box with a title band, holding other controls.
#pragma once

#include "runtime/UserControl.h"

#include <string>

class PanelFx : public rt::UserControl {
public:
    explicit PanelFx(std::wstring name);

    // Corner rounding in 96-DPI pixels.
    int RoundEdge() const { return roundEdge_; }
    void SetRoundEdge(int value);
    std::wstring TitleCaption() const { return title_; }
    void SetTitleCaption(const std::wstring& text);

    // Height of the title band in 96-DPI pixels; children are placed below it.
    static constexpr int kTitleHeight = 22;

protected:
    void InitProperties() override;
    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;
    void Paint(HDC dc, int w, int h) override;
    void Resized() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ApplyRegion();

    int roundEdge_ = 0;
    // Labels and check boxes on the panel share its body colour.
    rt::Gdi<HBRUSH> bodyBrush_;
    std::wstring title_;
};
