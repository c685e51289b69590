// A property page: a window of its own that holds the page's controls, the selection a host
// hands it, and the Changed flag that tells the host ApplyChanges is due.
#pragma once

#include "runtime/Controls.h"
#include "runtime/Selectable.h"
#include "runtime/Window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rt {

class Form;

// A design rectangle given in twips, as pages are laid out: left, top, width, height.
Bounds BoundsFromTwips(int left, int top, int width, int height);

class PropertyPage : public Window {
public:
    PropertyPage(std::wstring caption, int widthTwips, int heightTwips);

    const std::wstring& Caption() const { return caption_; }
    int WidthTwips() const { return widthTwips_; }
    int HeightTwips() const { return heightTwips_; }

    // The objects the page edits, as the host handed them; an entry expires when its object goes.
    const std::vector<std::weak_ptr<Selectable>>& SelectedControls() const { return selection_; }

    bool Changed() const { return changed_; }
    void SetChanged(bool changed);

protected:
    // Creates the page's controls on `frame`, with the page's own window, hWnd(), as their
    // container; their bounds (BoundsFromTwips) are scaled to the page's DPI as every control's are.
    virtual void CreateControls(Form& frame) = 0;
    // The host handed a new selection.
    virtual void SelectionChanged() {}
    // The user applied the page (Apply, or OK while Changed).
    virtual void ApplyChanges() {}

private:
    friend class PropertyPageHost;
    // Creates the page's window at `at` inside `container`, then its controls.
    void Open(Form& frame, HWND container, Bounds at);

    std::wstring caption_;
    int widthTwips_;
    int heightTwips_;
    std::vector<std::weak_ptr<Selectable>> selection_;
    bool changed_ = false;
    std::function<void(bool)> onChanged_;
};

} // namespace rt
