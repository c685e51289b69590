// A top-level form: its window, Load and Unload, Show and Hide, size in twips, the controls
// placed on it and the mouse events of its bare surface.
#pragma once

#include "runtime/Event.h"
#include "runtime/Window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rt {

class Control;

class Form : public Window {
public:
    Form(std::wstring name, std::wstring caption, int widthTwips, int heightTwips);
    ~Form() override;

    const std::wstring& Name() const { return name_; }

    // Creates the window (hidden), the controls of the design and runs Form_Load once.
    void Load();
    // Shows the form after Load unless the load handler hid it.
    void ShowAfterLoad();
    // Runs the unload handler once, then destroys the controls and the window. Called while
    // a handler is on the stack, the unload waits until that handler has returned.
    void Unload();
    bool IsLoaded() const { return loaded_; }
    // True while the design's controls are created and Form_Load runs.
    bool IsLoading() const { return loading_; }
    bool IsUnloading() const { return unloading_; }

    void Show();
    void Hide();
    bool Visible() const;

    // Runs `work` once, after the window has shown and painted (a timer message comes only when
    // no paint is pending): for start-up work the first paint doesn't need. Nothing runs if the
    // window goes first.
    void AfterFirstPaint(std::function<void()> work);

    // Size and position in twips.
    int Width() const;
    int Height() const;
    void SetWidth(int twips);
    void SetHeight(int twips);

    std::wstring Caption() const;
    void SetCaption(const std::wstring& text);

    const std::vector<Control*>& Controls() const { return controls_; }
    Control* FindControl(const std::wstring& name) const;

    // Mouse events of the form's bare surface: button, shift, x, y (pixels).
    Event<int, int, int, int> MouseDown;
    Event<int, int, int, int> MouseUp;
    // Alt plus a character pressed anywhere on the form; a listener that takes the key sets
    // the flag, and the key goes no further.
    Event<wchar_t, bool&> AccessKey;
    bool RaiseAccessKey(wchar_t ch);

    // The form's default control (drawn with the default look); drawn controls hear of the
    // change through their ambient-change notification.
    Control* DefaultControl() const { return defaultControl_; }
    void SetDefaultControl(Control* control);

    // Every form that is loaded, in load order.
    static const std::vector<Form*>& Forms();
    // Unloads every control of every loaded form, then the forms; a form already unloading
    // finishes on its own.
    static void UnloadAll();

    // Called by Control.
    void AddControl(Control* control);
    void RemoveControl(Control* control);

protected:
    virtual void CreateControls() {}
    virtual void Form_Load() {}
    virtual void Form_Unload() {}

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnWindowGone() override;

private:
    void UnloadNow();
    static void CALLBACK RunAfterFirstPaint(HWND hwnd, UINT, UINT_PTR id, DWORD);

    std::wstring name_;
    std::wstring caption_;
    int widthTwips_;
    int heightTwips_;
    std::vector<Control*> controls_;
    Control* defaultControl_ = nullptr;
    bool loaded_ = false;
    bool loading_ = false;
    bool unloading_ = false;
    bool unloadPending_ = false;
    // Held by the form alone: a deferred unload finds it expired once the form is gone.
    std::shared_ptr<Form*> lifeToken_ = std::make_shared<Form*>(this);
    bool hiddenDuringLoad_ = false;
    std::function<void()> afterFirstPaint_;
};

} // namespace rt
