// How the image controls of one form and the object they share reach each other.
#pragma once

#include <memory>

namespace aic {

class cCrossComm;

class ICrossComm {
public:
    // The shared object the control holds; none before it has found one.
    virtual std::shared_ptr<cCrossComm> CrossTalkClass() const = 0;
    // The control no longer holds the mouse.
    virtual void ReleaseMouseCapture() = 0;

protected:
    ~ICrossComm() = default;
};

} // namespace aic
