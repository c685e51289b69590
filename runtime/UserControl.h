// Base of the drawn controls: a child window of its own with a persistent backing bitmap to
// paint into, the ambient user mode, property-bag loading and the extender's members.
#pragma once

#include "runtime/Control.h"
#include "runtime/Controls.h"
#include "runtime/Handles.h"
#include "runtime/PropertyBag.h"
#include "runtime/Runtime.h"
#include "runtime/Window.h"

#include <set>
#include <string>

namespace rt {

class UserControl : public Control, public Window {
public:
    UserControl(std::wstring name, std::wstring typeName);
    ~UserControl() override;

    HWND hWnd() const override { return Window::hWnd(); }
    const std::wstring& TypeName() const { return typeName_; }
    // The drawn control whose window `hwnd` is; null for any other window.
    static UserControl* FromWindow(HWND hwnd);

    // Creates the window on `container` at `bounds` (96-DPI pixels, scaled to the container's
    // DPI) and loads the properties: from `design` when the form's design holds an entry for
    // this control, else as a new instance.
    void Create(Form& form, HWND container, Bounds bounds, const PropertyBag* design = nullptr);
    void Create(Form& form, HWND container, Bounds bounds, const PropertyBag& design)
    {
        Create(form, container, bounds, &design);
    }

    // The container's ambient user mode: true (run mode) unless the control was put in design
    // mode before its Create. There is no designer in this layer; tests and the property page
    // set design mode on the controls they hold.
    bool AmbientUserMode() const { return userMode_; }
    void SetAmbientUserMode(bool runMode) { userMode_ = runMode; }
    // The container's ambient DisplayAsDefault: this control is its form's default control.
    bool AmbientDisplayAsDefault() const;
    // The container tells the control that the ambient property `name` changed.
    virtual void AmbientChanged(const std::wstring& /*name*/) {}

    std::wstring ToolTipText() const { return toolTip_; }
    void SetToolTipText(const std::wstring& text);

    // Client size in pixels.
    int ScaleWidth() const;
    int ScaleHeight() const;

    // Repaints the backing bitmap now and shows it.
    void Refresh();
    // The backing bitmap's DC and bitmap, for drawing and for reading pixels back.
    HDC BackDC() const { return backDC_.get(); }
    HBITMAP BackBitmap() const { return backBitmap_.get(); }
    // The backing bitmap's pixels: 32-bit rows of ScaleWidth pixels, top row first.
    void* BackBits() const { return backBits_; }

    // Names the host was told about through PropertyChanged, in the order told.
    const std::set<std::wstring>& ChangedProperties() const { return changed_; }

    void WriteTo(PropertyBag& bag) const { WriteProperties(bag); }

protected:
    // Logical pixels per inch of the control's window, fixed at its creation.
    int Dpi() const { return dpi_; }
    // A length of the control's own drawing, designed in 96-DPI pixels, at the control's DPI.
    int Scaled(int designPixels) const { return ScaleDesign(designPixels, dpi_); }

    virtual void InitProperties() {}
    virtual void ReadProperties(const PropertyBag&) {}
    virtual void WriteProperties(PropertyBag&) const {}
    void PropertyChanged(const std::wstring& name) { changed_.insert(name); }

    // Draws the whole control into `dc` (the backing bitmap), `w` by `h` pixels.
    virtual void Paint(HDC dc, int w, int h) = 0;
    // The window got its size; the backing bitmap already matches it.
    virtual void Resized() {}

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Window styles of the control's window.
    virtual DWORD WindowStyle() const { return WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS; }
    virtual HCURSOR Cursor() const { return LoadCursorW(nullptr, IDC_ARROW); }
    // The tip's window is owned by the control's and went with it.
    void OnWindowGone() override { toolTipWnd_ = nullptr; }

private:
    void EnsureBacking();

    std::wstring typeName_;
    int dpi_ = 96;
    bool userMode_ = true;
    std::wstring toolTip_;
    HWND toolTipWnd_ = nullptr;
    // Creates the tip's window once, and gives it the control's tip text.
    void UpdateToolTip();
    UniqueDC backDC_;
    Gdi<HBITMAP> backBitmap_;
    HGDIOBJ backOld_ = nullptr;
    SIZE backSize_{};
    void* backBits_ = nullptr;
    // The window was invalidated and has not painted since: another Refresh needs no new
    // invalidation (under Wine each is a round trip to the server).
    bool paintPending_ = false;
    std::set<std::wstring> changed_;
};

} // namespace rt
