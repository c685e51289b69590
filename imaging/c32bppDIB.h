// The engine's image: one picture as a bottom-up 32-bpp DIB section with premultiplied alpha
// (blue, green, red, alpha; rows of exactly Width × 4 bytes), with an optional memory DC.
#pragma once

#include "imaging/GdiPlusToken.h"
#include "imaging/core/AlphaAnalysis.h"
#include "imaging/core/Sizes.h"

#include <objidl.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace imaging {

class c32bppDIB {
public:
    // Flags of this system, read once a process.
    c32bppDIB();
    // An object that behaves as on a system with these capability flags (GDI+ probed only
    // when they allow it).
    explicit c32bppDIB(std::uint32_t capabilityFlags);
    ~c32bppDIB();
    c32bppDIB(const c32bppDIB&) = delete;
    c32bppDIB& operator=(const c32bppDIB&) = delete;

    bool InitializeDIB(std::int64_t width, std::int64_t height);
    void DestroyDIB();
    void EraseDIB();

    bool Alpha() const { return alpha_; }
    bool HighQualityInterpolation() const { return highQuality_; }
    void HighQualityInterpolation(bool value) { highQuality_ = value; }
    int ImageType() const { return imageType_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint8_t* BitsPointer() const { return bits_; }
    int scanWidth() const { return width_ * 4; }
    HBITMAP Handle() const { return dib_; }
    std::uint32_t CapabilityFlags() const { return flags_; }

    // Selects the DIB into the own DC (creating the DC when needed) and returns it; with false
    // puts the DC's previous bitmap back and, unless ManageOwnDC, deletes the DC.
    HDC LoadDIBinDC(bool load);
    bool ManageOwnDC() const { return manageOwnDC_; }
    void ManageOwnDC(bool manage);

    bool isAlphaBlendFriendly() const { return (flags_ & capUseAlphaBlend) != 0; }
    void isAlphaBlendFriendly(bool enabled);
    bool isGDIplusEnabled() const { return (flags_ & capGdiPlus) != 0; }
    void isGDIplusEnabled(bool enabled);
    bool isZlibEnabled() const;

    const GdiPlusToken& gdiToken() const { return gdiToken_; }
    void gdiToken(const GdiPlusToken& token) { gdiToken_ = token; }

    // Fills the picture with opaque cells of `checkerSize` pixels, first colour at the top left
    // (OLE colours); false without a picture or for a size below 1.
    bool CreateCheckerBoard(int checkerSize, std::uint32_t firstColor, std::uint32_t secondColor);

    // A region of the visible pixels (style 0 box, 1 a span a row, 2 exact), moved by the
    // offsets; the caller deletes it. 0 without a picture or for another style.
    HRGN CreateRegion(int style, int xOffset, int yOffset) const;

    // Puts the exact Unicode names of a file drop into `files`; false, and `files` untouched,
    // when the data holds no file list.
    bool GetDroppedFileNames(IDataObject* data, std::vector<std::wstring>& files) const;
    // The file names on the clipboard; 0 and `files` untouched when it holds none.
    std::size_t GetPastedFileNames(std::vector<std::wstring>& files) const;

    // Saving as PNG: the picture's PNG bytes, made by GDI+ when it is enabled and able, else by
    // the engine's own writer, which needs zlib. False when neither could.
    bool SaveToStream_PNG(std::vector<std::uint8_t>& outStream) const;

    // Engine-internal: set by the readers and the GDI+ loader.
    void SetAlphaState(bool alpha) { alpha_ = alpha; }
    void SetImageType(int type) { imageType_ = type; }
    void SetSourceBytes(std::span<const std::uint8_t> bytes) { sourceBytes_.assign(bytes.begin(), bytes.end()); }
    const std::vector<std::uint8_t>& SourceBytes() const { return sourceBytes_; }

private:
    bool highQuality_ = false;
    HBITMAP dib_ = nullptr;
    std::uint8_t* bits_ = nullptr;
    int height_ = 0;
    int width_ = 0;
    HDC ownDC_ = nullptr;
    HGDIOBJ prevBitmap_ = nullptr;
    std::uint32_t flags_ = 0;
    int imageType_ = imgBlank;
    bool manageOwnDC_ = false;
    bool alpha_ = false;
    GdiPlusToken gdiToken_;
    std::vector<std::uint8_t> sourceBytes_;
};

} // namespace imaging
