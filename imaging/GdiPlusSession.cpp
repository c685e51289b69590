#include "imaging/GdiPlusSession.h"

#include "imaging/cGDIPlus.h"

namespace imaging {

std::shared_ptr<const GdiPlusSession> GdiPlusSession::Start()
{
    ULONG_PTR token = 0;
    if (!cGDIPlus().StartStopGDIplus(token, false))
        return nullptr;
    return std::shared_ptr<const GdiPlusSession>(new GdiPlusSession(token));
}

GdiPlusSession::~GdiPlusSession() { cGDIPlus().StartStopGDIplus(token_, true); }

GdiPlusToken GdiPlusSession::TokenOf(std::shared_ptr<const GdiPlusSession> session)
{
    GdiPlusToken token;
    token.session = std::move(session);
    return token;
}

} // namespace imaging
