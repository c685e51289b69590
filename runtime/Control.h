// Base of everything placed on a form: a name, the extender's position and size in twips,
// Enabled, Visible and the form that holds it.
#pragma once

#include <windows.h>

#include <string>

namespace rt {

class Form;

// Mouse buttons and shift state as the form events pass them.
enum MouseButton : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftState : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
int ShiftFromKeys();
int ButtonFromMessage(UINT msg);
int ShiftFromMouseFlags(WPARAM wp);
// The buttons held down, from a mouse message's MK_ flags.
int ButtonsFromMouseFlags(WPARAM wp);
inline int MouseX(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
inline int MouseY(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }
// WM_CONTEXTMENU asked for from the keyboard (the menu key, Shift+F10) carries the point -1,-1.
inline bool MenuFromKeyboard(LPARAM lp) { return MouseX(lp) == -1 && MouseY(lp) == -1; }

class Control {
public:
    explicit Control(std::wstring name) : name_(std::move(name)) {}
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::wstring& Name() const { return name_; }
    virtual HWND hWnd() const = 0;
    Form* Parent() const { return form_; }

    // Extender position and size, in twips, relative to the control's container.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void Move(int left, int top, int width, int height);
    void SetWidth(int twips);
    void SetHeight(int twips);

    bool Enabled() const;
    virtual void SetEnabled(bool enabled);
    bool Visible() const;
    virtual void SetVisible(bool visible);
    void SetFocus();

    // Destroys the control's window ("Unload" of a control).
    virtual void Unload();

protected:
    // Records the form that holds this control; called by the creating code.
    void PlaceOn(Form& form);
    RECT RectInContainer() const;

private:
    std::wstring name_;
    Form* form_ = nullptr;
};

} // namespace rt
