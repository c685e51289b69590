// c32bppDIB's PNG save: GDI+ first, the engine's own writer when GDI+ is off or fails.
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cPNGwriter.h"

namespace imaging {

bool c32bppDIB::SaveToStream_PNG(std::vector<std::uint8_t>& outStream) const
{
    if (!dib_)
        return false;
    if (isGDIplusEnabled() && cGDIPlus().SaveToPNG(L"", outStream, *this, gdiToken_))
        return true;
    return cPNGwriter().WritePNG(*this, L"", outStream);
}

} // namespace imaging
