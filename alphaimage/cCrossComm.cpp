#include "alphaimage/cCrossComm.h"

#include "imaging/GdiPlusSession.h"
#include "runtime/Runtime.h"
#include "runtime/Window.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace aic {

namespace {

using Session = std::shared_ptr<const imaging::GdiPlusSession>;

constexpr wchar_t kSessionClass[] = L"VantorelGdiPlusSession";
constexpr wchar_t kSessionTitle[] = L"GDI+Safe Patch";

std::uintptr_t Key(const ICrossComm* control) { return reinterpret_cast<std::uintptr_t>(control); }

// A hidden child of the top-level window that holds a share of the session from its creation
// until the window is destroyed, and goes with it.
class SessionWindow : public rt::Window {
public:
    static void Create(HWND top, Session session)
    {
        auto window = std::unique_ptr<SessionWindow>(new SessionWindow(std::move(session)));
        const wchar_t* cls = rt::RegisterClassOnce(kSessionClass, &Window::StaticProc, 0);
        if (window->CreateWindowOf(cls, 0, WS_CHILD, 0, 0, 0, 0, top, kSessionTitle))
            window.release()->created_ = true;
    }
    // The session window among the children of `top`, or null.
    static const SessionWindow* Find(HWND top)
    {
        HWND found = FindWindowExW(top, nullptr, kSessionClass, kSessionTitle);
        return found ? static_cast<const SessionWindow*>(
                           reinterpret_cast<rt::Window*>(GetWindowLongPtrW(found, GWLP_USERDATA)))
                     : nullptr;
    }
    const Session& session() const { return session_; }

private:
    explicit SessionWindow(Session session) : session_(std::move(session)) {}
    // A window destroyed while it was being made leaves its object to the maker.
    void OnWindowGone() override
    {
        if (created_)
            delete this;
    }

    Session session_;
    bool created_ = false;
};

HWND TopLevelOf(HWND hwnd)
{
    while (HWND parent = GetParent(hwnd))
        hwnd = parent;
    while (HWND owner = GetWindow(hwnd, GW_OWNER))
        hwnd = owner;
    return hwnd;
}

} // namespace

void cCrossComm::CapturedControl(ICrossComm* ucPointer)
{
    // The holder changes before the old one hears of it, so that what it does then cannot
    // find itself still holding the mouse.
    ICrossComm* previous = std::exchange(captured_, ucPointer);
    if (previous && previous != ucPointer)
        previous->ReleaseMouseCapture();
}

void cCrossComm::AddRef(ICrossComm* ucPointer) { instances_.Add(Key(ucPointer)); }

void cCrossComm::RemoveRef(ICrossComm* ucPointer)
{
    instances_.Remove(Key(ucPointer));
    if (captured_ == ucPointer)
        captured_ = nullptr;
}

bool cCrossComm::IsRegistered(const ICrossComm* ucPointer) const { return instances_.Contains(Key(ucPointer)); }

void cCrossComm::ManageGDIToken(HWND containerHwnd)
{
    if (!containerHwnd)
        return;
    const HWND top = TopLevelOf(containerHwnd);
    if (const SessionWindow* existing = SessionWindow::Find(top)) {
        token_ = imaging::GdiPlusSession::TokenOf(existing->session());
        token_.startedElsewhere = true;
        return;
    }
    Session session = imaging::GdiPlusSession::Start();
    if (!session)
        return;
    token_ = imaging::GdiPlusSession::TokenOf(session);
    // Without the window the session still ends, with the last image that holds it; only a
    // later shared object of the window starts one of its own.
    SessionWindow::Create(top, std::move(session));
}

} // namespace aic
