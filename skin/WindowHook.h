// Hooks on windows the owner does not create: its own control window's messages that the
// host does not pass on, and its form's activation. Each hook is an entry of the host layer's
// subclass chain whose reference data is the hook record, so several owners can hook one
// window and release their hooks in any order without cutting one another out of the chain.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

namespace skin {

// When a watched message reaches the owner: before the previous procedure, after it, or both.
enum HookWhen : int { kHookBefore = 1, kHookAfter = 2, kHookBoth = 3 };
// Watches or unwatches every message.
constexpr UINT kAllMessages = static_cast<UINT>(-1);

class WindowHookOwner {
public:
    // `handled` set in a before call returns `result` without calling the previous procedure;
    // in an after call `result` holds the previous procedure's value and may be replaced.
    virtual void SubclassCallback(bool before, bool& handled, LRESULT& result, HWND hwnd, UINT msg, WPARAM wp,
                                  LPARAM lp, LONG_PTR& userValue) = 0;

protected:
    ~WindowHookOwner() = default;
};

// The hooks of one owner, at most one per window.
class WindowHooks {
public:
    explicit WindowHooks(WindowHookOwner& owner) : owner_(owner) {}
    ~WindowHooks() { ReleaseAll(); }
    WindowHooks(const WindowHooks&) = delete;
    WindowHooks& operator=(const WindowHooks&) = delete;

    // False when `hwnd` is no window, belongs to another process or thread, or this owner
    // hooked it already (the first hook stays).
    bool Subclass(HWND hwnd, LONG_PTR userValue = 0);
    void WatchMessage(HWND hwnd, UINT msg, int when);
    void UnwatchMessage(HWND hwnd, UINT msg, int when);
    // The owner is not called for this window from now on; the hook is gone at once.
    void Release(HWND hwnd);
    void ReleaseAll();

    bool IsHooked(HWND hwnd) const { return records_.count(hwnd) != 0; }
    LONG_PTR UserData(HWND hwnd) const;
    void SetUserData(HWND hwnd, LONG_PTR value);

private:
    struct MessageTable {
        bool all = false;
        std::vector<UINT> messages;
        void Add(UINT msg);
        void Remove(UINT msg);
        bool Has(UINT msg) const;
    };
    struct Record {
        WindowHooks* hooks = nullptr;
        HWND hwnd = nullptr;
        LONG_PTR userValue = 0;
        MessageTable before;
        MessageTable after;
        int active = 0;      // calls of the hook procedure on the stack
        bool released = false;
    };

    static LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    static void Detach(Record* record);
    Record* Find(HWND hwnd) const;

    WindowHookOwner& owner_;
    std::map<HWND, Record*> records_;
};

} // namespace skin
