#include "runtime/Form.h"

#include "runtime/Control.h"
#include "runtime/Runtime.h"
#include "runtime/UserControl.h"

#include <algorithm>

namespace rt {

namespace {
std::vector<Form*>& OpenForms()
{
    static std::vector<Form*> forms;
    return forms;
}
} // namespace

Form::Form(std::wstring name, std::wstring caption, int widthTwips, int heightTwips)
    : name_(std::move(name)), caption_(std::move(caption)), widthTwips_(widthTwips), heightTwips_(heightTwips)
{
}

Form::~Form()
{
    auto& forms = OpenForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    for (Control* c : controls_)
        c->Unload();
}

const std::vector<Form*>& Form::Forms() { return OpenForms(); }

void Form::UnloadAll()
{
    auto forms = OpenForms();
    for (Form* f : forms) {
        auto controls = f->Controls();
        for (Control* c : controls)
            c->Unload();
        f->Unload();
    }
}

void Form::AddControl(Control* control) { controls_.push_back(control); }
void Form::RemoveControl(Control* control)
{
    if (defaultControl_ == control)
        defaultControl_ = nullptr;
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void Form::SetDefaultControl(Control* control)
{
    if (defaultControl_ == control)
        return;
    defaultControl_ = control;
    auto controls = controls_;
    for (Control* c : controls) {
        if (auto* uc = dynamic_cast<UserControl*>(c))
            uc->AmbientChanged(L"DisplayAsDefault");
    }
}

Control* Form::FindControl(const std::wstring& name) const
{
    for (Control* c : controls_) {
        if (c->Name() == name)
            return c;
    }
    return nullptr;
}

void Form::Load()
{
    if (loaded_ || hWnd())
        return;
    const wchar_t* cls = RegisterClassOnce(L"VantorelForm", &Window::StaticProc, CS_DBLCLKS,
                                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    // The design's frame: a caption, system menu, sizing border and boxes. CFormBorder
    // strips what the program does not want.
    CreateWindowOf(cls, WS_EX_APPWINDOW, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                   PixelsFromTwipsX(widthTwips_), PixelsFromTwipsY(heightTwips_), nullptr, caption_.c_str());
    if (!hWnd())
        return;
    loaded_ = true;
    unloading_ = false; // a form unloaded before may be loaded again
    OpenForms().push_back(this);
    loading_ = true;
    {
        HandlerScope scope;
        CreateControls();
        Form_Load();
    }
    loading_ = false;
}

void Form::ShowAfterLoad()
{
    if (loaded_ && !unloading_ && !hiddenDuringLoad_)
        Show();
}

void Form::Unload()
{
    if (!loaded_ || unloading_ || unloadPending_)
        return;
    if (HandlerDepth() > 0) {
        unloadPending_ = true;
        Defer([life = std::weak_ptr<Form*>(lifeToken_)] {
            if (const auto form = life.lock()) {
                (*form)->unloadPending_ = false;
                (*form)->UnloadNow();
            }
        });
        return;
    }
    UnloadNow();
}

void Form::UnloadNow()
{
    if (!loaded_ || unloading_)
        return;
    unloading_ = true;
    {
        HandlerScope scope;
        Form_Unload();
    }
    // Controls go first, then the form's own window.
    auto controls = controls_;
    for (Control* c : controls)
        c->Unload();
    DestroyOwnWindow();
}

void Form::OnWindowGone()
{
    loaded_ = false;
    auto& forms = OpenForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    // The process ends when its last form is gone.
    if (forms.empty())
        PostQuitMessage(0);
}

void Form::Show()
{
    if (!hWnd())
        return;
    hiddenDuringLoad_ = false;
    ShowWindow(hWnd(), SW_SHOW);
    SetForegroundWindow(hWnd());
}

void Form::Hide()
{
    if (loading_)
        hiddenDuringLoad_ = true;
    if (hWnd())
        ShowWindow(hWnd(), SW_HIDE);
}

bool Form::Visible() const { return hWnd() && IsWindowVisible(hWnd()); }

int Form::Width() const
{
    if (!hWnd())
        return widthTwips_;
    RECT r;
    GetWindowRect(hWnd(), &r);
    return TwipsFromPixelsX(r.right - r.left);
}

int Form::Height() const
{
    if (!hWnd())
        return heightTwips_;
    RECT r;
    GetWindowRect(hWnd(), &r);
    return TwipsFromPixelsY(r.bottom - r.top);
}

void Form::SetWidth(int twips)
{
    widthTwips_ = twips;
    if (hWnd())
        SetWindowPos(hWnd(), nullptr, 0, 0, PixelsFromTwipsX(twips), PixelsFromTwipsY(Height()),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetHeight(int twips)
{
    heightTwips_ = twips;
    if (hWnd())
        SetWindowPos(hWnd(), nullptr, 0, 0, PixelsFromTwipsX(Width()), PixelsFromTwipsY(twips),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring Form::Caption() const { return hWnd() ? WindowText(hWnd()) : caption_; }

void Form::SetCaption(const std::wstring& text)
{
    caption_ = text;
    if (hWnd())
        SetWindowTextW(hWnd(), text.c_str());
}

bool Form::RaiseAccessKey(wchar_t ch)
{
    bool handled = false;
    AccessKey.Raise(ch, handled);
    return handled;
}

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SYSCHAR:
        if (RaiseAccessKey(static_cast<wchar_t>(wp)))
            return 0;
        break;
    case WM_CLOSE:
        Unload();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        MouseDown.Raise(ButtonFromMessage(msg), ShiftFromMouseFlags(wp), MouseX(lp), MouseY(lp));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        MouseUp.Raise(ButtonFromMessage(msg), ShiftFromMouseFlags(wp), MouseX(lp), MouseY(lp));
        return 0;
    default:
        break;
    }
    return Window::WndProc(msg, wp, lp);
}

void Form::AfterFirstPaint(std::function<void()> work)
{
    afterFirstPaint_ = std::move(work);
    SetTimer(hWnd(), reinterpret_cast<UINT_PTR>(this), 0, &RunAfterFirstPaint);
}

// The timer goes with the window, and with it the only way here.
void CALLBACK Form::RunAfterFirstPaint(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    KillTimer(hwnd, id);
    std::function<void()> work = std::move(reinterpret_cast<Form*>(id)->afterFirstPaint_);
    if (work)
        work();
}

} // namespace rt
