// The intrinsic controls: thin wrappers of real Win32 controls (EDIT, STATIC, BUTTON,
// LISTBOX) with the events the forms handle.
#pragma once

#include "runtime/Control.h"
#include "runtime/Event.h"
#include "runtime/Window.h"

#include <string>
#include <vector>

namespace rt {

// A wrapper of a system control class, subclassed for its mouse and key events.
class IntrinsicControl : public Control, public Reflectable {
public:
    using Control::Control;
    ~IntrinsicControl() override;
    HWND hWnd() const override { return hwnd_; }

    // Mouse events: button, shift, x, y (pixels).
    Event<int, int, int, int> MouseDown;
    Event<int, int, int, int> MouseUp;
    // KeyPress gets the character code by reference; setting it to 0 swallows the key.
    Event<int&> KeyPress;
    Event<int, int> KeyDown; // key code, shift
    Event<int, int> KeyUp;   // key code, shift
    Event<> GotFocus;
    Event<> LostFocus;
    // The user asked for a context menu from the keyboard (the menu key or Shift+F10): x, y in
    // pixels of the point where the menu belongs.
    Event<int, int> MenuKey;

    std::wstring Text() const;
    void SetText(const std::wstring& text);

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    // `design` is in 96-DPI pixels; the window gets it scaled to the container's DPI.
    void CreateSystemControl(Form& form, HWND container, const wchar_t* className, DWORD style, DWORD exStyle,
                             RECT design, const std::wstring& text);
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultMessage(UINT msg, WPARAM wp, LPARAM lp);
    // The system's message font at `dpi`, shared by the controls of one DPI.
    static HFONT DefaultFont(int dpi);
    // Where a menu asked for from the keyboard belongs: the control's top-left corner.
    virtual POINT MenuKeyPoint() const { return POINT{0, 0}; }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
    HWND hwnd_ = nullptr;
};

// A design rectangle inside the container in 96-DPI pixels: left, top, width, height.
struct Bounds {
    int x = 0, y = 0, w = 0, h = 0;
    RECT Rect() const { return RECT{x, y, x + w, y + h}; }
};

class TextBox : public IntrinsicControl {
public:
    using IntrinsicControl::IntrinsicControl;
    void Create(Form& form, HWND container, Bounds bounds, const std::wstring& text, bool visible = true);
    Event<> Change;

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

class Label : public IntrinsicControl {
public:
    using IntrinsicControl::IntrinsicControl;
    void Create(Form& form, HWND container, Bounds bounds, const std::wstring& caption);
    std::wstring Caption() const { return Text(); }
    void SetCaption(const std::wstring& text) { SetText(text); }
};

class CheckBox : public IntrinsicControl {
public:
    using IntrinsicControl::IntrinsicControl;
    void Create(Form& form, HWND container, Bounds bounds, const std::wstring& caption);
    // 0 unchecked, 1 checked. Setting a new value raises Click, as a user's click does.
    int Value() const;
    void SetValue(int value);
    Event<> Click;

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

class ListBox : public IntrinsicControl {
public:
    using IntrinsicControl::IntrinsicControl;
    // With `manyItems` the box keeps its texts itself and draws them, so that any number of
    // items arrive with one message (not with `sorted`).
    void Create(Form& form, HWND container, Bounds bounds, bool sorted = false, bool manyItems = false);
    void AddItem(const std::wstring& text);
    // Adds the texts at the end with the box's drawing held back.
    void AddItems(std::vector<std::wstring> texts);
    void Clear();
    int ListCount() const;
    std::wstring List(int index) const;
    int ListIndex() const;
    void SetListIndex(int index);
    // Text of the selected item, empty without a selection.
    std::wstring SelectedText() const;
    Event<> Click;

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    POINT MenuKeyPoint() const override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item) const;
    bool manyItems_ = false;
    std::vector<std::wstring> items_;
};

} // namespace rt
