// A GDI+ start-up token as the engine passes it around: the value GdiplusStartup returned, or
// a note that the owner keeps GDI+ running by other means.
#pragma once

#include <windows.h>

namespace imaging {

struct GdiPlusToken {
    ULONG_PTR value = 0;
    bool startedElsewhere = false;
    // GDI+ is running for the holder: operations use it and leave it running.
    bool Running() const { return value != 0 || startedElsewhere; }
};

} // namespace imaging
