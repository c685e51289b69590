#include "alphaimage/cCrossComm.h"

#include "imaging/GdiPlusSession.h"
#include "runtime/Runtime.h"

#include <cstdint>
#include <utility>

namespace aic {

namespace {

using Session = std::shared_ptr<const imaging::GdiPlusSession>;

constexpr wchar_t kSessionClass[] = L"VantorelGdiPlusSession";
constexpr wchar_t kSessionTitle[] = L"GDI+Safe Patch";

std::uintptr_t Key(const ICrossComm* control) { return reinterpret_cast<std::uintptr_t>(control); }

// The session window holds a share of its own from WM_NCCREATE to WM_NCDESTROY, which comes
// when its top-level window is destroyed.
LRESULT CALLBACK SessionWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        const auto* given = static_cast<const Session*>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Session(*given)));
    } else if (msg == WM_NCDESTROY) {
        delete reinterpret_cast<Session*>(SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0));
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

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
    if (HWND existing = FindWindowExW(top, nullptr, kSessionClass, kSessionTitle)) {
        if (const auto* held = reinterpret_cast<const Session*>(GetWindowLongPtrW(existing, GWLP_USERDATA))) {
            token_ = imaging::GdiPlusSession::TokenOf(*held);
            token_.startedElsewhere = true;
        }
        return;
    }
    Session session = imaging::GdiPlusSession::Start();
    if (!session)
        return;
    token_ = imaging::GdiPlusSession::TokenOf(session);
    // Without the window the session still ends, with the last image that holds it; only a
    // later shared object of the window starts one of its own.
    const wchar_t* cls = rt::RegisterClassOnce(kSessionClass, &SessionWindowProc, 0);
    CreateWindowExW(0, cls, kSessionTitle, WS_CHILD, 0, 0, 0, 0, top, nullptr, rt::Instance(), &session);
}

} // namespace aic
