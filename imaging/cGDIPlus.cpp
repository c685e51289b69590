#include "imaging/cGDIPlus.h"

#include "imaging/Zlib.h"
#include "imaging/c32bppDIB.h"
#include "imaging/core/GrayWeights.h"
#include "imaging/core/PixelLimit.h"
#include "runtime/Runtime.h"
#include "runtime/SystemLibrary.h"

#include <gdiplus.h>

#include <cmath>
#include <cstring>
#include <optional>

namespace imaging {

namespace {

namespace gp = Gdiplus;
namespace flat = Gdiplus::DllExports;

#define GDIP_FN(name) decltype(&flat::name) name = nullptr

// The flat API with GDI+'s own prototypes, bound once; all or nothing.
struct Api {
    decltype(&gp::GdiplusStartup) Startup = nullptr;
    decltype(&gp::GdiplusShutdown) Shutdown = nullptr;
    GDIP_FN(GdipCreateBitmapFromScan0);
    GDIP_FN(GdipGetImageGraphicsContext);
    GDIP_FN(GdipCreateFromHDC);
    GDIP_FN(GdipDeleteGraphics);
    GDIP_FN(GdipDisposeImage);
    GDIP_FN(GdipSetInterpolationMode);
    GDIP_FN(GdipCloneBitmapAreaI);
    GDIP_FN(GdipImageRotateFlip);
    GDIP_FN(GdipCreateImageAttributes);
    GDIP_FN(GdipDisposeImageAttributes);
    GDIP_FN(GdipSetImageAttributesColorMatrix);
    GDIP_FN(GdipDrawImageRectRectI);
    GDIP_FN(GdipDrawImagePointsRect);
    GDIP_FN(GdipLoadImageFromFile);
    GDIP_FN(GdipLoadImageFromStream);
    GDIP_FN(GdipGetImageBounds);
    GDIP_FN(GdipGetImageEncodersSize);
    GDIP_FN(GdipGetImageEncoders);
    GDIP_FN(GdipSaveImageToFile);
    GDIP_FN(GdipSaveImageToStream);
    bool ready = false;
};

#define BIND(name) rt::Bind(lib, a.name, #name)

const Api& Gdip()
{
    static const Api api = [] {
        Api a;
        rt::UniqueModule module = rt::LoadSystemLibrary(L"gdiplus.dll");
        HMODULE lib = module.get();
        if (!lib)
            return a;
        a.ready = rt::Bind(lib, a.Startup, "GdiplusStartup") && rt::Bind(lib, a.Shutdown, "GdiplusShutdown") &&
                  BIND(GdipCreateBitmapFromScan0) && BIND(GdipGetImageGraphicsContext) && BIND(GdipCreateFromHDC) &&
                  BIND(GdipDeleteGraphics) && BIND(GdipDisposeImage) && BIND(GdipSetInterpolationMode) && BIND(GdipCloneBitmapAreaI) && BIND(GdipImageRotateFlip) &&
                  BIND(GdipCreateImageAttributes) && BIND(GdipDisposeImageAttributes) &&
                  BIND(GdipSetImageAttributesColorMatrix) && BIND(GdipDrawImageRectRectI) && BIND(GdipDrawImagePointsRect) &&
                  BIND(GdipLoadImageFromFile) &&
                  BIND(GdipLoadImageFromStream) && BIND(GdipGetImageBounds) && BIND(GdipGetImageEncodersSize) &&
                  BIND(GdipGetImageEncoders) && BIND(GdipSaveImageToFile) && BIND(GdipSaveImageToStream);
        // The library stays loaded for the process: the bound functions point into it.
        if (a.ready)
            module.release();
        return a;
    }();
    return api;
}

#undef BIND
#undef GDIP_FN

// GDI+ running for one operation: the caller's token, or one of its own shut down at the end.
class Running {
public:
    Running(cGDIPlus& owner, const GdiPlusToken& given) : owner_(owner)
    {
        ok_ = given.Running() ? Gdip().ready : owner_.StartStopGDIplus(own_, false);
    }
    ~Running()
    {
        if (own_)
            owner_.StartStopGDIplus(own_, true);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    bool Ok() const { return ok_; }

private:
    cGDIPlus& owner_;
    ULONG_PTR own_ = 0;
    bool ok_ = false;
};

struct ImageOwner {
    gp::GpImage* p = nullptr;
    ~ImageOwner()
    {
        if (p)
            Gdip().GdipDisposeImage(p);
    }
};
struct GraphicsOwner {
    gp::GpGraphics* p = nullptr;
    ~GraphicsOwner()
    {
        if (p)
            Gdip().GdipDeleteGraphics(p);
    }
};
struct AttributesOwner {
    gp::GpImageAttributes* p = nullptr;
    void Reset()
    {
        if (p)
            Gdip().GdipDisposeImageAttributes(std::exchange(p, nullptr));
    }
    ~AttributesOwner() { Reset(); }
};

// The host seen by GDI+ upright, without a copy and without touching its bits: the top row
// is the last in memory, so the bitmap starts there and steps backwards.
ImageOwner HostBitmap(const c32bppDIB& host)
{
    ImageOwner image;
    if (!host.Handle())
        return image;
    GdiFlush(); // GDI may still hold drawing meant for these bits
    const int stride = host.scanWidth();
    BYTE* top = host.BitsPointer() + static_cast<std::size_t>(stride) * static_cast<std::size_t>(host.Height() - 1);
    gp::GpBitmap* bitmap = nullptr;
    if (Gdip().GdipCreateBitmapFromScan0(host.Width(), host.Height(), -stride, PixelFormat32bppPARGB, top, &bitmap) ==
        gp::Ok)
        image.p = bitmap;
    return image;
}

bool SetMatrix(gp::GpImageAttributes* attributes, const gp::ColorMatrix& matrix)
{
    return Gdip().GdipSetImageAttributesColorMatrix(attributes, gp::ColorAdjustTypeBitmap, TRUE, &matrix, &matrix,
                                                    gp::ColorMatrixFlagsDefault) == gp::Ok;
}

} // namespace

bool GdiPlusUsable()
{
    static const bool usable = [] {
        GdiPlusToken token;
        return cGDIPlus().isGDIplusOk(token, false);
    }();
    return usable;
}

bool cGDIPlus::StartStopGDIplus(ULONG_PTR& token, bool shutDown)
{
    if (!Gdip().ready) {
        if (!shutDown)
            token = 0;
        return false;
    }
    if (shutDown) {
        if (token)
            Gdip().Shutdown(token);
        return false;
    }
    gp::GdiplusStartupInput input; // version 1, no callback, background thread, external codecs
    if (Gdip().Startup(&token, &input, nullptr) == gp::Ok)
        return true;
    token = 0;
    return false;
}

bool cGDIPlus::isGDIplusOk(GdiPlusToken& token, bool keepToken)
{
    if (!Gdip().ready)
        return false;
    token.startedElsewhere = false;
    const bool ok = StartStopGDIplus(token.value, false);
    if (ok && !keepToken) {
        StartStopGDIplus(token.value, true);
        token.value = 0;
    }
    return ok;
}

int cGDIPlus::FindEncoderForMime(const std::wstring& mimeType, CLSID& clsid)
{
    UINT count = 0, bytes = 0;
    if (Gdip().GdipGetImageEncodersSize(&count, &bytes) != gp::Ok || bytes == 0 || count == 0)
        return -1;
    // The records are the SDK's own, whose size differs between pointer sizes.
    if (static_cast<std::uint64_t>(count) * sizeof(gp::ImageCodecInfo) > bytes)
        return -1;
    std::vector<std::uint64_t> buffer((bytes + 7) / 8);
    auto* codecs = reinterpret_cast<gp::ImageCodecInfo*>(buffer.data());
    if (Gdip().GdipGetImageEncoders(count, bytes, codecs) != gp::Ok)
        return -1;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && lstrcmpiW(codecs[i].MimeType, mimeType.c_str()) == 0) {
            clsid = codecs[i].Clsid;
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

rt::ComPtr<IStream> cGDIPlus::BytesToStream(std::span<const std::uint8_t> bytes)
{
    rt::ComPtr<IStream> stream;
    if (bytes.empty()) {
        if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())))
            stream.reset();
        return stream;
    }
    rt::UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    void* at = memory ? GlobalLock(memory.get()) : nullptr;
    if (!at)
        return stream;
    std::memcpy(at, bytes.data(), bytes.size());
    GlobalUnlock(memory.get());
    if (SUCCEEDED(CreateStreamOnHGlobal(memory.get(), TRUE, stream.put())))
        memory.release(); // the stream frees it on its last release
    else
        stream.reset();
    return stream;
}

bool cGDIPlus::StreamToBytes(IStream* stream, std::vector<std::uint8_t>& out)
{
    if (!stream)
        return false;
    HGLOBAL memory = nullptr;
    STATSTG stat{};
    if (FAILED(GetHGlobalFromStream(stream, &memory)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return false;
    // The block may be larger than what was written into it.
    const std::uint64_t size = stat.cbSize.QuadPart;
    if (size == 0 || size > GlobalSize(memory))
        return false;
    const void* at = GlobalLock(memory);
    if (!at)
        return false;
    out.assign(static_cast<const std::uint8_t*>(at), static_cast<const std::uint8_t*>(at) + size);
    GlobalUnlock(memory);
    return true;
}

bool cGDIPlus::SaveToPNG(const std::wstring& fileName, std::vector<std::uint8_t>& outStream, const c32bppDIB& host,
                         const GdiPlusToken& globalToken)
{
    if (!host.Handle())
        return false;
    Running running(*this, globalToken);
    if (!running.Ok())
        return false;
    ImageOwner bitmap = HostBitmap(host);
    if (!bitmap.p)
        return false;
    CLSID png{};
    if (FindEncoderForMime(L"image/png", png) < 0)
        return false;
    if (!fileName.empty())
        return Gdip().GdipSaveImageToFile(bitmap.p, fileName.c_str(), &png, nullptr) == gp::Ok;
    rt::ComPtr<IStream> stream = BytesToStream({});
    std::vector<std::uint8_t> bytes;
    if (!stream || Gdip().GdipSaveImageToStream(bitmap.p, stream.get(), &png, nullptr) != gp::Ok ||
        !StreamToBytes(stream.get(), bytes))
        return false;
    outStream = std::move(bytes);
    return true;
}

bool cGDIPlus::RenderThroughGDIplus(const c32bppDIB& host, HDC destination, float angle, int opacity, int destX,
                                    int destY, int destWidth, int destHeight, int srcX, int srcY, int srcWidth,
                                    int srcHeight, bool highQuality, int grayScale, const GdiPlusToken& token,
                                    float lightness)
{
    if (opacity == 0)
        return true;
    Running running(*this, token);
    if (!running.Ok())
        return false;
    ImageOwner bitmap = HostBitmap(host);
    GraphicsOwner graphics;
    if (!bitmap.p || Gdip().GdipCreateFromHDC(destination, &graphics.p) != gp::Ok)
        return false;
    Gdip().GdipSetInterpolationMode(graphics.p, highQuality ? gp::InterpolationModeHighQualityBicubic
                                                            : gp::InterpolationModeNearestNeighbor);
    // A mirrored picture is drawn from a flipped copy of its source rectangle, so the host's
    // bits are never rewritten. The source rectangle counts in the mirrored picture.
    const int xSign = destWidth < 0 ? -1 : 1, ySign = destHeight < 0 ? -1 : 1;
    const int width = std::abs(destWidth), height = std::abs(destHeight);
    ImageOwner mirrored;
    gp::GpImage* source = bitmap.p;
    if (xSign < 0 || ySign < 0) {
        const int x = xSign < 0 ? host.Width() - srcX - srcWidth : srcX;
        const int y = ySign < 0 ? host.Height() - srcY - srcHeight : srcY;
        gp::GpBitmap* copy = nullptr;
        if (Gdip().GdipCloneBitmapAreaI(x, y, srcWidth, srcHeight, PixelFormat32bppPARGB,
                                        static_cast<gp::GpBitmap*>(bitmap.p), &copy) != gp::Ok)
            return false;
        mirrored.p = copy;
        const auto flip = xSign < 0 && ySign < 0 ? gp::RotateNoneFlipXY : xSign < 0 ? gp::RotateNoneFlipX : gp::RotateNoneFlipY;
        if (Gdip().GdipImageRotateFlip(mirrored.p, flip) != gp::Ok)
            return false;
        source = mirrored.p;
        srcX = srcY = 0;
    }

    AttributesOwner attributes;
    gp::ColorMatrix matrix{};
    const float shift = lightness / 100.0f;
    if (grayScale != -1 || lightness != 0) {
        if (Gdip().GdipCreateImageAttributes(&attributes.p) != gp::Ok)
            attributes.p = nullptr;
        if (grayScale == -1) {
            matrix.m[0][0] = matrix.m[1][1] = matrix.m[2][2] = 1;
        } else {
            const GrayWeights w = GrayWeightsForMode(grayScale);
            for (int c = 0; c < 3; ++c) {
                matrix.m[0][c] = w.red;
                matrix.m[1][c] = w.green;
                matrix.m[2][c] = w.blue;
            }
        }
        matrix.m[3][3] = matrix.m[4][4] = 1;
        if (lightness != 0)
            matrix.m[4][0] = matrix.m[4][1] = matrix.m[4][2] = shift;
        // Without the matrix the picture is still drawn, only without grey scale and light.
        if (attributes.p && !SetMatrix(attributes.p, matrix))
            attributes.Reset();
    }
    auto draw = [&](int x, int y, int w, int h) {
        return Gdip().GdipDrawImageRectRectI(graphics.p, source, x, y, w, h, srcX, srcY, srcWidth, srcHeight,
                                             gp::UnitPixel, attributes.p, nullptr, nullptr) == gp::Ok;
    };
    if (angle == 0 && opacity == 100)
        return draw(destX, destY, width, height);

    if (!attributes.p) {
        if (Gdip().GdipCreateImageAttributes(&attributes.p) != gp::Ok)
            return false;
        matrix = gp::ColorMatrix{};
        matrix.m[0][0] = matrix.m[1][1] = matrix.m[2][2] = matrix.m[4][4] = 1;
        if (lightness != 0)
            matrix.m[4][0] = matrix.m[4][1] = matrix.m[4][2] = shift;
    }
    matrix.m[3][3] = static_cast<float>(opacity) / 100.0f;
    if (!SetMatrix(attributes.p, matrix))
        return false;
    if (angle == 0)
        return draw(destX, destY, width, height);
    // The picture's corners turned about the destination's centre; exact half sizes keep odd
    // sizes on their pixels.
    const double halfW = width / 2.0, halfH = height / 2.0, radians = angle * 3.14159265358979323846 / 180.0;
    const double cx = destX + xSign * halfW, cy = destY + ySign * halfH, c = std::cos(radians), s = std::sin(radians);
    auto corner = [&](double x, double y) {
        return gp::PointF(static_cast<float>(cx + x * c - y * s), static_cast<float>(cy + x * s + y * c));
    };
    const gp::PointF points[3] = {corner(-halfW, -halfH), corner(halfW, -halfH), corner(-halfW, halfH)};
    return Gdip().GdipDrawImagePointsRect(graphics.p, source, points, 3, static_cast<float>(srcX),
                                          static_cast<float>(srcY), static_cast<float>(srcWidth),
                                          static_cast<float>(srcHeight), gp::UnitPixel, attributes.p, nullptr,
                                          nullptr) == gp::Ok;
}

bool cGDIPlus::LoadThroughGDIplus(const std::wstring& fileName, std::span<const std::uint8_t> inStream,
                                  c32bppDIB& host, const GdiPlusToken& token)
{
    Running running(*this, token);
    if (!running.Ok())
        return false;
    ImageOwner image;
    rt::ComPtr<IStream> stream;
    if (!fileName.empty()) {
        if (Gdip().GdipLoadImageFromFile(fileName.c_str(), &image.p) != gp::Ok)
            image.p = nullptr;
    } else if (!inStream.empty() && (stream = BytesToStream(inStream))) {
        if (Gdip().GdipLoadImageFromStream(stream.get(), &image.p) != gp::Ok)
            image.p = nullptr;
    }
    if (!image.p)
        return false;
    gp::GpRectF bounds{};
    gp::Unit unit = gp::UnitPixel;
    if (Gdip().GdipGetImageBounds(image.p, &bounds, &unit) != gp::Ok)
        return false;
    // The bounds come from the header, before GDI+ decodes the pixels into a bitmap of its own; a
    // value past any picture (or not a number) would not even convert to an integer.
    const auto number = [](float v) {
        return v > -1e9f && v < 1e9f ? std::optional(static_cast<int>(std::nearbyint(v))) : std::nullopt;
    };
    const auto x = number(bounds.X), y = number(bounds.Y), width = number(bounds.Width), height = number(bounds.Height);
    if (!x || !y || !width || !height || !FitsPixelLimit(*width, *height) || !host.InitializeDIB(*width, *height))
        return false;
    // Drawn through a premultiplied view of the host's own bits, so the alpha channel arrives
    // as decoded (a GDI+ graphics on a DC drops it).
    bool drawn = false;
    {
        ImageOwner target = HostBitmap(host);
        GraphicsOwner graphics;
        if (target.p && Gdip().GdipGetImageGraphicsContext(target.p, &graphics.p) == gp::Ok)
            drawn = Gdip().GdipDrawImageRectRectI(graphics.p, image.p, 0, 0, host.Width(), host.Height(), *x, *y,
                                                  host.Width(), host.Height(), gp::UnitPixel, nullptr, nullptr,
                                                  nullptr) == gp::Ok;
    }
    if (!drawn) {
        host.DestroyDIB();
        return false;
    }
    const auto view = PixelView::Packed(
        {host.BitsPointer(), static_cast<std::size_t>(host.scanWidth()) * static_cast<std::size_t>(host.Height())},
        host.Width(), host.Height());
    const AlphaAnalysis analysis = AnalyseAlphaChannel(*view, false, imgBlank);
    // A wholly transparent picture is still one with transparency, not an opaque one.
    host.SetAlphaState(analysis.hasAlpha || analysis.allTransparent);
    host.SetImageType(imgPNG);
    return true;
}

} // namespace imaging
