#include "skin/WindowHook.h"

#include "runtime/Window.h"

#include <algorithm>

namespace skin {

void WindowHooks::MessageTable::Add(UINT msg)
{
    if (msg == kAllMessages) {
        all = true;
        messages.clear();
        return;
    }
    // A table that watched everything becomes a table of this one message.
    all = false;
    if (std::find(messages.begin(), messages.end(), msg) != messages.end())
        return;
    auto freeSlot = std::find(messages.begin(), messages.end(), 0u);
    if (freeSlot != messages.end())
        *freeSlot = msg;
    else
        messages.push_back(msg);
}

void WindowHooks::MessageTable::Remove(UINT msg)
{
    if (msg == kAllMessages) {
        all = false;
        messages.clear();
        return;
    }
    auto it = std::find(messages.begin(), messages.end(), msg);
    if (it != messages.end())
        *it = 0;
}

bool WindowHooks::MessageTable::Has(UINT msg) const
{
    return all || (msg != 0 && std::find(messages.begin(), messages.end(), msg) != messages.end());
}

WindowHooks::Record* WindowHooks::Find(HWND hwnd) const
{
    auto it = records_.find(hwnd);
    return it == records_.end() ? nullptr : it->second;
}

bool WindowHooks::Subclass(HWND hwnd, LONG_PTR userValue)
{
    if (!IsWindow(hwnd) || records_.count(hwnd))
        return false;
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || tid != GetCurrentThreadId())
        return false;
    auto* record = new Record;
    record->hooks = this;
    record->hwnd = hwnd;
    record->userValue = userValue;
    if (!rt::SetSubclass(hwnd, &HookProc, reinterpret_cast<UINT_PTR>(record), reinterpret_cast<DWORD_PTR>(record))) {
        delete record;
        return false;
    }
    records_[hwnd] = record;
    return true;
}

void WindowHooks::WatchMessage(HWND hwnd, UINT msg, int when)
{
    if (Record* r = Find(hwnd)) {
        if (when & kHookBefore)
            r->before.Add(msg);
        if (when & kHookAfter)
            r->after.Add(msg);
    }
}

void WindowHooks::UnwatchMessage(HWND hwnd, UINT msg, int when)
{
    if (Record* r = Find(hwnd)) {
        if (when & kHookBefore)
            r->before.Remove(msg);
        if (when & kHookAfter)
            r->after.Remove(msg);
    }
}

LONG_PTR WindowHooks::UserData(HWND hwnd) const
{
    Record* r = Find(hwnd);
    return r ? r->userValue : 0;
}

void WindowHooks::SetUserData(HWND hwnd, LONG_PTR value)
{
    if (Record* r = Find(hwnd))
        r->userValue = value;
}

void WindowHooks::Detach(Record* r)
{
    // The subclass chain unlinks this entry alone, so hooks installed later by
    // other owners stay in the chain. A record still on the stack is freed when it unwinds.
    rt::RemoveSubclass(r->hwnd, &HookProc, reinterpret_cast<UINT_PTR>(r));
    if (r->hooks)
        r->hooks->records_.erase(r->hwnd);
    r->hooks = nullptr;
    r->released = true;
    r->before = {};
    r->after = {};
    if (r->active == 0)
        delete r;
}

void WindowHooks::Release(HWND hwnd)
{
    if (Record* r = Find(hwnd))
        Detach(r);
}

void WindowHooks::ReleaseAll()
{
    while (!records_.empty())
        Detach(std::prev(records_.end())->second);
}

LRESULT CALLBACK WindowHooks::HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
{
    auto* r = reinterpret_cast<Record*>(ref);
    ++r->active;
    bool handled = false;
    LRESULT result = 0;
    if (!r->released && r->hooks && r->before.Has(msg))
        r->hooks->owner_.SubclassCallback(true, handled, result, hwnd, msg, wp, lp, r->userValue);
    if (!handled) {
        result = rt::DefSubclass(hwnd, msg, wp, lp);
        if (!r->released && r->hooks && r->after.Has(msg))
            r->hooks->owner_.SubclassCallback(false, handled, result, hwnd, msg, wp, lp, r->userValue);
    }
    --r->active;
    if (msg == WM_NCDESTROY && !r->released)
        Detach(r); // the window is gone: its hook goes with it
    else if (r->released && r->active == 0)
        delete r;
    return result;
}

} // namespace skin
