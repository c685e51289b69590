// The engine's image: one picture as a bottom-up 32-bpp DIB section with premultiplied alpha
// (blue, green, red, alpha; rows of exactly Width × 4 bytes), with an optional memory DC.
#pragma once

#include "imaging/GdiPlusToken.h"
#include "imaging/core/AlphaAnalysis.h"
#include "imaging/core/PixelExport.h"
#include "imaging/core/RenderPlan.h"
#include "imaging/core/Resample.h"
#include "imaging/core/Sizes.h"
#include "runtime/Resources.h"

#include <objidl.h>
#include <ocidl.h>

#include <cstdint>
#include <memory>
#include <optional>
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

    // The colour of pixel (X, Y), rows from the top, as red + green × 256 + blue × 65536, straight
    // unless asPreMultiplied; its alpha in *AlphaValue (0 first). 0xFFFFFFFF (-1) outside the picture.
    std::uint32_t GetPixel(int X, int Y, std::uint8_t* AlphaValue, bool asPreMultiplied) const;
    // The rectangle (0 = to the picture's edge) in the layout the flags name, into outStream; false
    // and outStream untouched without a picture or when X or Y lies outside it.
    bool GetDIBbits(PixelArray& outStream, bool as2dArray, bool asBGRformat, bool as32bpp, bool asWordAligned,
                    bool asBottomUp, int X = 0, int Y = 0, int Width = 0, int Height = 0,
                    bool asPreMultiplied = true) const;
    // Rows of the layout the flags name into the rectangle; inStream holds at least the picture's
    // full height of rows. The alpha is analysed afterwards (straight alpha is premultiplied).
    bool SetDIBbits(std::span<const std::uint8_t> inStream, bool isBGRformat, bool is32bpp, bool isWordAligned,
                    bool isBottomUp, int dstX = 0, int dstY = 0, int dstWidth = 0, int dstHeight = 0);
    // The picture copied or scaled into the target (0 = this size, negative mirrors that axis).
    void CopyImageTo(c32bppDIB& target, int newWidth, int newHeight, bool CopyOriginalFormat);
    // The same into a new object made as this one's system would make it; none without a picture.
    std::unique_ptr<c32bppDIB> CopyImageTo(int newWidth, int newHeight, bool CopyOriginalFormat);
    // The picture as BMP file bytes: 32 bits as held when it has alpha, else 24 bits.
    bool SaveToStream(std::vector<std::uint8_t>& outStream) const;

    // The silhouette in Color (red in the low byte) blurred by a box of 2 × blurDepth + 1 (depth
    // 0 to 10) on a canvas larger by the depth on every side; the caller owns it.
    std::unique_ptr<c32bppDIB> CreateDropShadow(int blurDepth, std::uint32_t Color) const;
    // Such a shadow drawn at its own size with its top-left corner at X, Y, then dropped.
    bool RenderDropShadow_JIT(HDC hdc, int X, int Y, int blurDepth, std::uint32_t Color, int Opacity) const;

    // Puts the exact Unicode names of a file drop into `files`; false, and `files` untouched,
    // when the data holds no file list.
    bool GetDroppedFileNames(IDataObject* data, std::vector<std::wstring>& files) const;
    // The file names on the clipboard; 0 and `files` untouched when it holds none.
    std::size_t GetPastedFileNames(std::vector<std::wstring>& files) const;

    // Draws the source rectangle (rows counted from the top) onto a device context, or into the
    // pixels of `destHostDIB`: with opacity on top of each pixel's alpha, scaled, mirrored
    // (negative sizes), rotated, grey, lighter or darker, through AlphaBlend, the own pipeline
    // or GDI+. `Blend` is accepted and not used.
    bool Render(HDC destinationDC, int destX, int destY, int destWidth, int destHeight, int SrcX, int SrcY,
                int srcWidth, int srcHeight, int Opacity = 100, bool Blend = true, bool SetHalfTone = true,
                c32bppDIB* destHostDIB = nullptr, int grayScale = -1, float LightAdjustment = 0, float Angle = 0,
                bool CenterOnDestXY = false);
    // The same, the arguments named.
    bool Render(HDC destinationDC, const RenderRequest& request, c32bppDIB* destHostDIB = nullptr);

    // Effects in place; false without a picture.
    bool MakeImageInverse();
    // The colour (OLE order, red in the low byte) as an opaque pixel becomes transparent, or with
    // `revert` the transparent pixels take it back.
    bool MakeTransparent(std::uint32_t TransparentColor, bool revert);
    // False also when neither axis is asked for.
    bool MirrorImage(bool MirrorAxisX, bool MirrorAxisY);

    // Saving as PNG: the picture's PNG bytes, made by GDI+ when it is enabled and able, else by
    // the engine's own writer, which needs zlib. False when neither could.
    bool SaveToStream_PNG(std::vector<std::uint8_t>& outStream) const;

    // Engine-internal: set by the readers and the GDI+ loader.
    void SetAlphaState(bool alpha) { alpha_ = alpha; }
    void SetImageType(int type) { imageType_ = type; }
    void SetSourceBytes(std::span<const std::uint8_t> bytes) { sourceBytes_.assign(bytes.begin(), bytes.end()); }
    const std::vector<std::uint8_t>& SourceBytes() const { return sourceBytes_; }

private:
    // A copy of the source rectangle as it looks mirrored (negative destination sizes), into
    // `workingCopy` or into `target`'s pixels (cut to its size); then the source origin is 0, 0,
    // the sizes positive and the light applied. False when there was nothing to mirror.
    bool MirrorForRender(int& SrcX, int& SrcY, int srcWidth, int srcHeight, int& destWidth, int& destHeight,
                         c32bppDIB& workingCopy, c32bppDIB* target, float& LightAdjustment);
    // The source rectangle of `workingCopy` (or of this image when it holds none) scaled to the
    // destination size: into `target`'s pixels at its own size, or else as `scaledCopy`, computed
    // a row at a time while it is drawn and only for `visible`, the part of the destination
    // rectangle that the target shows. Afterwards the destination sizes are the visible ones.
    bool ResampleToSize(std::optional<Scaler>& scaledCopy, const c32bppDIB& workingCopy, c32bppDIB* target,
                        int SrcX, int SrcY, int srcWidth, int srcHeight, const PixelRect& visible, int& destWidth,
                        int& destHeight, float& LightAdjustment) const;
    // Blends the source (the scaled copy, or an unscaled rectangle) at destX, destY onto the
    // device context, through a 24-bit copy of that part of it, or into the host's pixels.
    bool BlendOntoTarget(HDC destinationDC, const Scaler& source, int destX, int destY, int opacityByte,
                         c32bppDIB* destHostDIB, int grayScale, float LightAdjustment) const;
    // Light applied to a copy of `source` made in `copy`, or to `copy` itself without a source.
    void AdjustLightness(const c32bppDIB* source, float LightAdjustment, c32bppDIB& copy) const;
    bool RenderRotated(HDC destinationDC, float Angle, int destX, int destY, int destWidth, int destHeight, int SrcX,
                       int SrcY, int srcWidth, int srcHeight, int opacity, c32bppDIB* destHostDIB, int grayScale,
                       float LightAdjustment);

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
