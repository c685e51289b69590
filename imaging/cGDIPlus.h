// The engine's door to GDI+: probe, draw a bitmap, decode into one and encode one as PNG.
// GDI+ is bound at run time; without it every operation reports failure.
#pragma once

#include "imaging/GdiPlusToken.h"
#include "runtime/Handles.h"

#include <objidl.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace imaging {

class c32bppDIB;

// Whether GDI+ is present and starts; probed once a process.
bool GdiPlusUsable();

class cGDIPlus {
public:
    // Starts GDI+ into `token`; unless keepToken, shuts it down again at once.
    bool isGDIplusOk(GdiPlusToken& token, bool keepToken);
    // Encodes the host as PNG into `fileName`, or into `outStream` when the name is empty.
    // The host's pixels are only read.
    bool SaveToPNG(const std::wstring& fileName, std::vector<std::uint8_t>& outStream, const c32bppDIB& host,
                   const GdiPlusToken& globalToken);

    // Draws the host's source rectangle (top-down coordinates) into the destination; a
    // negative width or height mirrors, `angle` turns about the destination's centre,
    // `opacity` is 0 to 100, `grayScale` -1 for none, `lightness` -100 to 100.
    bool RenderThroughGDIplus(const c32bppDIB& host, HDC destination, float angle, int opacity, int destX, int destY,
                              int destWidth, int destHeight, int srcX, int srcY, int srcWidth, int srcHeight,
                              bool highQuality, int grayScale, const GdiPlusToken& token, float lightness);
    // Decodes a file (when `fileName` is not empty) or bytes into the host. GDI+ takes a header at
    // its word: the caller hands over only data it has checked, the PNG reader its own, the
    // dispatcher what MayGoToSystemDecoders lets through.
    bool LoadThroughGDIplus(const std::wstring& fileName, std::span<const std::uint8_t> inStream, c32bppDIB& host,
                            const GdiPlusToken& token);

    // The stream's content (its own size, not its memory block's).
    static bool StreamToBytes(IStream* stream, std::vector<std::uint8_t>& out);
    // A stream that owns a copy of the bytes; a new growable one for no bytes.
    static rt::ComPtr<IStream> BytesToStream(std::span<const std::uint8_t> bytes);
    bool StartStopGDIplus(ULONG_PTR& token, bool shutDown);
    // The 1-based position of the first encoder of this MIME type, its class id in `clsid`; -1
    // when there is none.
    int FindEncoderForMime(const std::wstring& mimeType, CLSID& clsid);
};

} // namespace imaging
