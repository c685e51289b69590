// A GDI+ start-up token as the engine passes it around: the value GdiplusStartup returned, a
// note that the owner keeps GDI+ running by other means, or a share of a session that runs for
// as long as anything holds it.
#pragma once

#include <windows.h>

#include <memory>

namespace imaging {

class GdiPlusSession;

struct GdiPlusToken {
    ULONG_PTR value = 0;
    bool startedElsewhere = false;
    // Every image that copies the token keeps the session running, so it ends only after the
    // last of them has gone, whatever outlives the window that started it.
    std::shared_ptr<const GdiPlusSession> session;
    // GDI+ is running for the holder: operations use it and leave it running.
    bool Running() const { return value != 0 || startedElsewhere || session != nullptr; }
};

} // namespace imaging
