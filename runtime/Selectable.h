// What a property page edits. The page host holds each selected object by a weak reference,
// so an object destroyed while its page is open only drops out of the selection.
#pragma once

#include <memory>

namespace rt {

class Selectable {
public:
    Selectable() = default;
    virtual ~Selectable() = default;
    Selectable(const Selectable&) = delete;
    Selectable& operator=(const Selectable&) = delete;

    std::weak_ptr<Selectable> WeakRef() const { return anchor_; }

protected:
    // Expires the references now; a destructor that still runs code calls it first.
    void LeaveSelections() { anchor_.reset(); }

private:
    // Owns nothing: it lives as long as the object, and its references expire with it.
    std::shared_ptr<Selectable> anchor_{this, [](Selectable*) {}};
};

} // namespace rt
