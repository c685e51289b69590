// The engine's image: one picture as a bottom-up 32-bpp DIB section with premultiplied alpha
// (blue, green, red, alpha; rows of exactly Width × 4 bytes), with an optional memory DC.
#pragma once

#include "imaging/GdiPlusToken.h"
#include "imaging/core/AlphaAnalysis.h"
#include "imaging/core/Sizes.h"
#include "runtime/Resources.h"

#include <objidl.h>
#include <ocidl.h>

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace imaging {

// What LoadPicture_Resource reads: a custom resource of the type a text names (read as bytes),
// or a picture resource of one of these kinds.
enum class ResourcePicture : short { Bitmap = 0, Icon = 1, Cursor = 2 };
using ResourceSection = std::variant<std::wstring, ResourcePicture>;

// One entry of the kept icon or cursor file, as SourceIconSizes lists them.
struct SourceIconSize {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    // Colours of the depth: 2 to 256 for a table; 0xFFFF00 below 24 bits, 0xFF000000 at 24 and
    // -1 (an entry with alpha) from 32.
    std::int32_t colorCount = 0;
    bool operator==(const SourceIconSize&) const = default;
};

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

    // ---- Loading (c32bppDIBLoad.cpp) ----
    // Each entry point answers whether it made a picture. iconCx and iconCy pick an icon
    // file's entry (below 1: 32), iconBitDepth its depth (outside 0 to 32: 32); saveFormat
    // keeps the source's bytes (a PNG encoding of what GDI+ decoded) as SourceBytes. Files
    // and slices of fewer than 57 bytes are refused before the current picture is touched.
    bool LoadPicture_File(const std::wstring& fileName, int iconCx = 0, int iconCy = 0, bool saveFormat = false,
                          int iconBitDepth = 32);
    // The slice of `inStream` from streamStart (below 0: 0) of streamLength bytes (0: the rest).
    bool LoadPicture_Stream(std::span<const std::uint8_t> inStream, int iconCx = 0, int iconCy = 0,
                            std::int64_t streamStart = 0, std::int64_t streamLength = 0, bool saveFormat = false,
                            int iconBitDepth = 32);
    // A resource of `module` (null: the executable): a custom one through LoadPicture_Stream, a
    // bitmap, icon or cursor through LoadPicture_ByHandle.
    bool LoadPicture_Resource(const rt::ResourceName& resIndex, const ResourceSection& resSection,
                              HMODULE module = nullptr, int iconCx = 0, int iconCy = 0, std::int64_t streamStart = 0,
                              std::int64_t streamLength = 0, int iconBitDepth = 32);
    // The picture stays the caller's.
    bool LoadPicture_StdPicture(IPicture* picture);
    // A bitmap, metafile, enhanced metafile, icon or cursor handle, which stays the caller's.
    bool LoadPicture_ByHandle(HANDLE handle);
    bool LoadPicture_ClipBoard();
    // SourceBytes again, at another icon size or depth; they are kept.
    bool LoadPicture_FromOrignalFormat(int iconCx = 0, int iconCy = 0, int iconBitDepth = 32);
    // A copy of SourceBytes; false when there are none.
    bool GetOrginalFormat(std::vector<std::uint8_t>& outStream) const;
    // The entries of an icon or cursor picture's source file, in directory order (one entry of
    // the picture's own size when there is no file); 0, and `sizes` untouched, for any other.
    int SourceIconSizes(std::vector<SourceIconSize>& sizes) const;

private:
    // The reader dispatcher: a file open for reading, or the bytes of a slice already checked.
    bool LoadFromSource(HANDLE file, const std::wstring& fileName, std::span<const std::uint8_t> bytes, int iconCx,
                        int iconCy, bool saveFormat, int iconBitDepth);

public:
    // ---- end of loading ----

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
