#include "runtime/Window.h"

#include "runtime/Runtime.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace rt {

namespace {
// Windows live on the one user-interface thread, so these maps need no lock.
std::unordered_map<HWND, Reflectable*>& Reflectors()
{
    static std::unordered_map<HWND, Reflectable*> map;
    return map;
}

struct SubclassEntry {
    SUBCLASSPROC proc = nullptr; // null once removed; the slot goes when no call is on the stack
    UINT_PTR id = 0;
    DWORD_PTR data = 0;
};

// One call of the chain on the stack: the entry it is running, so DefSubclass knows the next.
struct SubclassFrame {
    SubclassFrame* outer = nullptr;
    std::size_t pos = 0;
};

struct SubclassChain {
    HWND hwnd = nullptr;
    WNDPROC original = nullptr;
    std::vector<SubclassEntry> entries; // the last one runs first
    SubclassFrame* top = nullptr;
    int depth = 0;
    bool destroyed = false;
};

std::unordered_map<HWND, SubclassChain*>& Chains()
{
    static std::unordered_map<HWND, SubclassChain*> map;
    return map;
}
SubclassChain* g_lastChain = nullptr; // most messages in a row go to one window

SubclassChain* FindChain(HWND hwnd)
{
    if (g_lastChain && g_lastChain->hwnd == hwnd)
        return g_lastChain;
    auto& map = Chains();
    auto it = map.find(hwnd);
    if (it == map.end())
        return nullptr;
    g_lastChain = it->second;
    return it->second;
}

LRESULT CALLBACK ChainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Runs the next live entry below the frame's position, else the window's own procedure.
LRESULT CallNext(SubclassChain* c, SubclassFrame& f, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    for (std::size_t i = f.pos; i > 0; --i) {
        SubclassEntry e = c->entries[i - 1]; // a copy: the vector may grow during the call
        if (!e.proc)
            continue;
        std::size_t saved = f.pos;
        f.pos = i - 1;
        LRESULT r = e.proc(hwnd, msg, wp, lp, e.id, e.data);
        f.pos = saved;
        return r;
    }
    return CallWindowProcW(c->original, hwnd, msg, wp, lp);
}

void DropChain(SubclassChain* c)
{
    Chains().erase(c->hwnd);
    if (g_lastChain == c)
        g_lastChain = nullptr;
    delete c;
}

// With no call on the stack: removed slots go, and a chain without entries gives the window
// its own procedure back (unless someone subclassed it after us; then it stays a pass-through).
void Tidy(SubclassChain* c)
{
    if (c->depth > 0)
        return;
    if (c->destroyed) {
        DropChain(c);
        return;
    }
    std::erase_if(c->entries, [](const SubclassEntry& e) { return e.proc == nullptr; });
    if (!c->entries.empty())
        return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(c->hwnd, GWLP_WNDPROC)) != &ChainProc)
        return;
    SetWindowLongPtrW(c->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(c->original));
    DropChain(c);
}

LRESULT CALLBACK ChainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    SubclassChain* c = FindChain(hwnd);
    if (!c)
        return DefWindowProcW(hwnd, msg, wp, lp);
    ++c->depth;
    SubclassFrame f{c->top, c->entries.size()};
    c->top = &f;
    LRESULT r = CallNext(c, f, hwnd, msg, wp, lp);
    c->top = f.outer;
    --c->depth;
    if (msg == WM_NCDESTROY)
        c->destroyed = true; // the handle may be reused: the chain goes with the window
    Tidy(c);
    return r;
}

HWND NotifyingChild(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lp);
    case WM_NOTIFY:
        return lp ? reinterpret_cast<NMHDR*>(lp)->hwndFrom : nullptr;
    case WM_DRAWITEM:
        return lp ? reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem : nullptr;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<HWND>(lp);
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return reinterpret_cast<HWND>(lp);
    default:
        return nullptr;
    }
    (void)wp;
}
} // namespace

bool SetSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data)
{
    if (!proc || !IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId())
        return false;
    SubclassChain* c = FindChain(hwnd);
    if (!c) {
        auto fresh = std::make_unique<SubclassChain>();
        fresh->hwnd = hwnd;
        fresh->original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
        if (!fresh->original)
            return false;
        c = fresh.release();
        Chains()[hwnd] = c;
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChainProc));
    }
    for (SubclassEntry& e : c->entries) {
        if (e.proc == proc && e.id == id) {
            e.data = data;
            return true;
        }
    }
    c->entries.push_back({proc, id, data});
    return true;
}

bool RemoveSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id)
{
    SubclassChain* c = FindChain(hwnd);
    if (!c)
        return false;
    for (SubclassEntry& e : c->entries) {
        if (e.proc == proc && e.id == id) {
            e.proc = nullptr;
            Tidy(c);
            return true;
        }
    }
    return false;
}

LRESULT DefSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    SubclassChain* c = FindChain(hwnd);
    if (!c || !c->top)
        return DefWindowProcW(hwnd, msg, wp, lp);
    return CallNext(c, *c->top, hwnd, msg, wp, lp);
}

void Reflectable::Attach(HWND hwnd, Reflectable* target)
{
    if (hwnd)
        Reflectors()[hwnd] = target;
}
void Reflectable::Detach(HWND hwnd) { Reflectors().erase(hwnd); }

bool Reflectable::Reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    HWND child = NotifyingChild(msg, wp, lp);
    if (!child)
        return false;
    auto& map = Reflectors();
    auto it = map.find(child);
    return it != map.end() && it->second && it->second->OnReflect(msg, wp, lp, result);
}

Window::~Window()
{
    if (hwnd_) {
        // The derived part is gone: let the window die without calling back into it.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

HWND Window::CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, int x, int y, int w, int h,
                            HWND parent, const wchar_t* text, HMENU idOrMenu)
{
    return CreateWindowExW(exStyle, className, text, style, x, y, w, h, parent, idOrMenu, Instance(), this);
}

void Window::DestroyOwnWindow()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

LRESULT Window::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    if (Reflectable::Reflect(msg, wp, lp, result))
        return result;
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* self = static_cast<Window*>(cs->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self)
            self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, msg, wp, lp);
    HandlerScope scope;
    LRESULT r = self->WndProc(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnWindowGone();
    }
    return r;
}

} // namespace rt
