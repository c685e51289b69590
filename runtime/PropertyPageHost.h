// The frame in which a property page is shown: the page above OK, Cancel and Apply, run
// modally. The page hears SelectionChanged when the frame opens; Apply is enabled while the
// page is Changed and calls ApplyChanges, as OK does before it closes the frame. Keys work as in
// a dialog box: Tab and Shift+Tab go through the page's controls and the buttons, Enter presses
// the focused button or else OK, Esc presses Cancel.
#pragma once

#include "runtime/Form.h"
#include "runtime/PropertyPage.h"
#include "runtime/PushButton.h"
#include "runtime/Selectable.h"

#include <memory>
#include <vector>

namespace rt {

class PropertyPageHost : public Form {
public:
    PropertyPageHost(std::unique_ptr<PropertyPage> page, std::vector<std::weak_ptr<Selectable>> selection);

    PropertyPage& Page() const { return *page_; }

    // Runs the frame modally over `owner` until OK, Cancel or the close box, then unloads it.
    void ShowPage(HWND owner = nullptr);

    PushButton OK{L"OK"};
    PushButton Cancel{L"Cancel"};
    PushButton Apply{L"Apply"};

protected:
    void CreateControls() override;
    void Form_Load() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ApplyPage();
    // Gives the default look to the focused push button, or to OK when none has the focus.
    void ShowDefault();
    HWND FirstTabStop() const;

    std::unique_ptr<PropertyPage> page_;
    std::vector<std::weak_ptr<Selectable>> selection_;
    HWND lastFocus_ = nullptr; // where the focus was when the frame was last deactivated
    std::vector<IntrinsicControl*> watched_; // controls whose focus ShowDefault follows
};

} // namespace rt
