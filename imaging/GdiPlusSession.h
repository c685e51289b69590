// One start of GDI+ shared by whoever holds it: started when made, shut down when the last
// holder lets it go.
#pragma once

#include "imaging/GdiPlusToken.h"

#include <memory>

namespace imaging {

class GdiPlusSession {
public:
    // A running session; none when GDI+ is missing or does not start.
    static std::shared_ptr<const GdiPlusSession> Start();
    ~GdiPlusSession();
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;

    // The token of a share of `session` (an empty token for none).
    static GdiPlusToken TokenOf(std::shared_ptr<const GdiPlusSession> session);

private:
    explicit GdiPlusSession(ULONG_PTR token) : token_(token) {}
    ULONG_PTR token_;
};

} // namespace imaging
