// A window as an OLE drop target: the drag's enter, moves, leave and drop reach two handlers,
// with what the drop offers read into a plain description.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace rt {

// What a drop offers: its clipboard formats, its Unicode text, and its file names once a
// reader that knows file lists has put them there.
struct DropData {
    std::vector<CLIPFORMAT> formats;
    std::wstring text;
    std::vector<std::wstring> files;
    bool GetFormat(CLIPFORMAT format) const;
};

// The State of a drag-over event.
enum DragOverState : int { vbEnter = 0, vbLeave = 1, vbOver = 2 };

// Where and how a drag stands: `effect` comes in as the effects the source allows and goes back
// as the one the target takes; x, y in the target's client pixels.
struct DragStep {
    int effect = DROPEFFECT_NONE;
    int button = 0;
    int shift = 0;
    POINT client{};
};

class DropTarget {
public:
    using OverHandler = std::function<void(DropData&, DragStep&, int state)>;
    // The drop's object comes along for readers of formats the description leaves out.
    using DropHandler = std::function<void(IDataObject*, DropData&, DragStep&)>;

    DropTarget(OverHandler over, DropHandler drop);
    ~DropTarget();
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;

    // Makes `hwnd` a drop target, entering OLE on the calling thread; false when refused.
    bool Register(HWND hwnd);
    // Harmless when not registered; a drag still over the window sees no more events.
    void Revoke();
    bool Registered() const { return hwnd_ != nullptr; }

private:
    class Sink;
    OverHandler over_;
    DropHandler drop_;
    Sink* sink_ = nullptr;
    HWND hwnd_ = nullptr;
    bool oleEntered_ = false;
};

} // namespace rt
