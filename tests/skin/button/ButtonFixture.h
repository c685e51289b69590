// A real form with drawn buttons for the button tests, pixel capture from a button's
// backing bitmap, and real input through SendInput.
#pragma once

#include "Png.h"
#include "runtime/Form.h"
#include "skin/dcButton.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace test {

class ButtonForm : public rt::Form {
public:
    ButtonForm() : rt::Form(L"ButtonForm", L"Buttons", 9000, 6000) {}
    // Loads, shows and activates the form.
    void Open();
    void Activate();
};

// One form for the whole test program: hiding a top-level window under Xvfb without a window
// manager costs Wine two seconds, so tests place their buttons on this form and remove them.
ButtonForm& SharedForm();

// Buttons of one test on the shared form, destroyed with this object.
class Placed {
public:
    ~Placed();
    skin::dcButton& Add(const std::wstring& name, rt::Bounds bounds, rt::PropertyBag bag = {});
    ButtonForm& form = SharedForm();
    std::vector<std::unique_ptr<skin::dcButton>> buttons;
};

rt::PropertyBag StyleBag(long style, const std::wstring& caption, std::uint32_t back = 0xC0C0C0,
                         std::uint32_t fore = 0x000000);

Image Capture(const skin::dcButton& b);
std::uint32_t PixelRgb(const skin::dcButton& b, int x, int y); // 0x00BBGGRR like the button's colours

// Real input, as a user gives it (the cursor goes with test::MoveMouseTo): buttons, keys.
void MouseLeft(bool down);
void MouseRight(bool down);
void Key(WORD vk, bool down);
void Tap(WORD vk);

std::wstring ReferenceDir();
std::wstring ArtefactDir();
// Compares with the reference PNG `name`; writes it when missing and VANTOREL_UPDATE_REFERENCES
// is set. On a difference it writes the actual image and a difference image beside the build.
::testing::AssertionResult MatchesReference(const Image& actual, const std::wstring& name);

// Images side by side, left to right, with a gap of `gap` pixels of grey.
Image Beside(const std::vector<Image>& images, int gap = 4);

} // namespace test
