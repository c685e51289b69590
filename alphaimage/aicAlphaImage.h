// The alpha image control: one picture drawn with its alpha, the container's tool tip and
// mouse pointer, and Click when a button is pressed and released over the picture.
#pragma once

#include "alphaimage/GdiPlus.h"
#include "alphaimage/core/HitShape.h"
#include "runtime/Event.h"
#include "runtime/UserControl.h"

#include <cstdint>
#include <string>
#include <vector>

namespace aic {

class aicAlphaImage : public rt::UserControl {
public:
    explicit aicAlphaImage(std::wstring name);
    ~aicAlphaImage() override;

    // Mouse pointer value that shows MouseIcon.
    static constexpr int vbCustom = 99;

    // 0 every point of the control hits; 1 the picture's bounding box; 2 its row spans;
    // 3 its visible pixels. Other values are ignored.
    int HitTest() const { return hitTest_; }
    void SetHitTest(int value);

    // 0 the default pointer; vbCustom shows MouseIcon over the picture.
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int value);
    // A shared cursor (not destroyed by the control).
    HCURSOR MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(HCURSOR cursor);

    // Button (1 left, 2 right, 4 middle) of the release that completed the click.
    rt::Event<int> Click;

protected:
    void InitProperties() override;
    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;
    void Paint(HDC dc, int w, int h) override;
    void Resized() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    HCURSOR Cursor() const override;

private:
    void LoadImageBytes(std::vector<std::uint8_t> bytes);
    // Renders the picture at control size and rebuilds the hit shape from what was drawn.
    void UpdateRenderCache();
    bool HitsClientPoint(int x, int y) const;
    void PaintContainerBackground(HDC dc, int w, int h) const;
    void MouseDown(int button, int x, int y);
    void MouseUp(int button, int x, int y);

    std::vector<std::uint8_t> sourceBytes_;
    aic::PremultipliedImage image_;
    aic::PremultipliedImage cache_;
    aic::HitShape hitShape_;
    int hitTest_ = 0;
    int mousePointer_ = 0;
    HCURSOR mouseIcon_ = nullptr;
    // Bits 0-3: every button seen going down over the picture; bits 4-7: the button of the
    // last release when it had gone down there.
    int buttonWord_ = 0;
    // Buttons pressed over the picture and not yet released.
    int pressed_ = 0;
};

} // namespace aic
