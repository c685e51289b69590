// Changes the frame of one top-level form at run time: its style bits, extended style bits
// and system-menu items. It keeps no copy of the style; every property reads or writes the
// live window.
#pragma once

#include <windows.h>

namespace rt {
class Form;
}

namespace skin {

class CFormBorder {
public:
    CFormBorder() = default;
    ~CFormBorder();
    CFormBorder(const CFormBorder&) = delete;
    CFormBorder& operator=(const CFormBorder&) = delete;

    bool AutoDrag() const { return autoDrag_; }
    void SetAutoDrag(bool value) { autoDrag_ = value; }
    bool AutoSysMenu() const { return autoSysMenu_; }
    void SetAutoSysMenu(bool value) { autoSysMenu_ = value; }

    // The form whose frame this instance manages. Null is not a form: the handle becomes 0
    // and the form set before stays the client.
    rt::Form* Client() const { return client_; }
    void SetClient(rt::Form* form);

    bool ControlBox() const;
    void SetControlBox(bool value);
    bool MaxButton() const;
    void SetMaxButton(bool value);
    bool MinButton() const;
    void SetMinButton(bool value);
    bool Moveable() const;
    void SetMoveable(bool value);
    bool Sizeable() const;
    void SetSizeable(bool value);
    bool ShowInTaskbar() const;
    void SetShowInTaskbar(bool value);
    bool Titlebar() const;
    void SetTitlebar(bool value);
    bool ToolWindow() const;
    void SetToolWindow(bool value);
    bool TopMost() const;
    void SetTopMost(bool value);
    bool WhatsThisButton() const;
    void SetWhatsThisButton(bool value);

    HWND hWnd() const { return hwnd_; }

    // Greys (and renumbers with bit 15 cleared) or restores one system-menu item.
    void EnableMenuItem(LONG menuItem, bool enabled);
    void Redraw();
    void RemoveMenuItem(LONG menuItem);
    // Opens the system menu at a screen point; false when a coordinate does not fit 16 bits.
    bool ShowSysMenu(LONG x, LONG y);

private:
    void SetStyleBit(LONG_PTR bits, bool on);
    void SetExStyleBit(LONG_PTR bits, bool on);
    LONG_PTR Style() const;
    LONG_PTR ExStyle() const;
    int FindMenuPosition(LONG id) const;
    void Detach();
    void OnMouseDown(int button);
    void OnMouseUp(int button);

    HWND hwnd_ = nullptr;
    bool autoSysMenu_ = false;
    bool autoDrag_ = false;
    rt::Form* client_ = nullptr;
    int downId_ = 0;
    int upId_ = 0;
};

} // namespace skin
