#include "alphaimage/GdiPlus.h"

#include "runtime/Handles.h"
#include "runtime/SystemLibrary.h"

#include <objidl.h>

namespace aic {

namespace {

// GDI+ flat-API types, declared here so that no C++ wrapper header is needed.
using GpStatus = int;
struct GpImage;
struct GpGraphics;
struct StartupInput {
    UINT32 GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};
constexpr int kPixelFormat32bppPARGB = 0x000E200B;
constexpr int kInterpolationHighQualityBicubic = 7;
constexpr int kPixelOffsetHalf = 4; // PixelOffsetModeHalf: pixel centres, no half-pixel shift

struct Api {
    GpStatus(WINAPI* Startup)(ULONG_PTR*, const StartupInput*, void*) = nullptr;
    GpStatus(WINAPI* CreateBitmapFromStream)(IStream*, GpImage**) = nullptr;
    GpStatus(WINAPI* CreateBitmapFromScan0)(INT, INT, INT, INT, BYTE*, GpImage**) = nullptr;
    GpStatus(WINAPI* GetImageWidth)(GpImage*, UINT*) = nullptr;
    GpStatus(WINAPI* GetImageHeight)(GpImage*, UINT*) = nullptr;
    GpStatus(WINAPI* GetImageGraphicsContext)(GpImage*, GpGraphics**) = nullptr;
    GpStatus(WINAPI* CreateFromHDC)(HDC, GpGraphics**) = nullptr;
    GpStatus(WINAPI* SetInterpolationMode)(GpGraphics*, int) = nullptr;
    GpStatus(WINAPI* SetPixelOffsetMode)(GpGraphics*, int) = nullptr;
    GpStatus(WINAPI* DrawImageRectI)(GpGraphics*, GpImage*, INT, INT, INT, INT) = nullptr;
    GpStatus(WINAPI* DeleteGraphics)(GpGraphics*) = nullptr;
    GpStatus(WINAPI* DisposeImage)(GpImage*) = nullptr;
    bool ready = false;
};

const Api& Gdip()
{
    static Api api = [] {
        Api a;
        rt::UniqueModule module = rt::LoadSystemLibrary(L"gdiplus.dll");
        HMODULE lib = module.get();
        if (!lib)
            return a;
        using rt::Bind;
        bool ok = Bind(lib, a.Startup, "GdiplusStartup") && Bind(lib, a.CreateBitmapFromStream, "GdipCreateBitmapFromStream") &&
                  Bind(lib, a.CreateBitmapFromScan0, "GdipCreateBitmapFromScan0") &&
                  Bind(lib, a.GetImageWidth, "GdipGetImageWidth") && Bind(lib, a.GetImageHeight, "GdipGetImageHeight") &&
                  Bind(lib, a.GetImageGraphicsContext, "GdipGetImageGraphicsContext") &&
                  Bind(lib, a.CreateFromHDC, "GdipCreateFromHDC") &&
                  Bind(lib, a.SetInterpolationMode, "GdipSetInterpolationMode") &&
                  Bind(lib, a.SetPixelOffsetMode, "GdipSetPixelOffsetMode") &&
                  Bind(lib, a.DrawImageRectI, "GdipDrawImageRectI") && Bind(lib, a.DeleteGraphics, "GdipDeleteGraphics") &&
                  Bind(lib, a.DisposeImage, "GdipDisposeImage");
        // The library stays loaded and GDI+ started for the life of the process: images of
        // every form draw through it until the end.
        ULONG_PTR token = 0;
        StartupInput in;
        a.ready = ok && a.Startup(&token, &in, nullptr) == 0;
        if (a.ready)
            module.release();
        return a;
    }();
    return api;
}

// Owners of GDI+ objects for early returns.
struct ImageOwner {
    GpImage* p = nullptr;
    ~ImageOwner()
    {
        if (p)
            Gdip().DisposeImage(p);
    }
};
struct GraphicsOwner {
    GpGraphics* p = nullptr;
    ~GraphicsOwner()
    {
        if (p)
            Gdip().DeleteGraphics(p);
    }
};

// A GDI+ bitmap over the pixels of `img`, which must outlive it.
bool WrapPixels(const PremultipliedImage& img, ImageOwner& out)
{
    return !img.Empty() &&
           Gdip().CreateBitmapFromScan0(img.width, img.height, img.width * 4, kPixelFormat32bppPARGB,
                                        const_cast<BYTE*>(img.pixels.data()), &out.p) == 0;
}

} // namespace

bool GdiPlusReady() { return Gdip().ready; }

PremultipliedImage DecodeImage(std::span<const std::uint8_t> bytes)
{
    PremultipliedImage out;
    if (!GdiPlusReady() || bytes.empty())
        return out;
    rt::UniqueGlobal mem(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!mem)
        return out;
    void* p = GlobalLock(mem.get());
    if (!p)
        return out;
    memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(mem.get());
    rt::ComPtr<IStream> stream;
    // The stream frees the memory when it goes.
    if (FAILED(CreateStreamOnHGlobal(mem.get(), TRUE, stream.put())))
        return out;
    mem.release();
    ImageOwner decoded;
    if (Gdip().CreateBitmapFromStream(stream.get(), &decoded.p) != 0)
        return out;
    UINT w = 0, h = 0;
    Gdip().GetImageWidth(decoded.p, &w);
    Gdip().GetImageHeight(decoded.p, &h);
    // Pictures of link images are small; a bound keeps a hostile size from exhausting memory.
    if (w == 0 || h == 0 || w > 8192 || h > 8192)
        return out;
    PremultipliedImage img;
    img.width = static_cast<int>(w);
    img.height = static_cast<int>(h);
    img.pixels.assign(static_cast<std::size_t>(w) * h * 4, 0);
    ImageOwner target;
    if (!WrapPixels(img, target))
        return out;
    GraphicsOwner g;
    if (Gdip().GetImageGraphicsContext(target.p, &g.p) != 0)
        return out;
    if (Gdip().DrawImageRectI(g.p, decoded.p, 0, 0, img.width, img.height) != 0)
        return out;
    return img;
}

bool DrawScaled(PremultipliedImage& dst, const PremultipliedImage& src, int x, int y, int w, int h)
{
    if (!GdiPlusReady() || dst.Empty() || src.Empty() || w <= 0 || h <= 0)
        return false;
    ImageOwner target, source;
    if (!WrapPixels(dst, target) || !WrapPixels(src, source))
        return false;
    GraphicsOwner g;
    if (Gdip().GetImageGraphicsContext(target.p, &g.p) != 0)
        return false;
    Gdip().SetInterpolationMode(g.p, kInterpolationHighQualityBicubic);
    Gdip().SetPixelOffsetMode(g.p, kPixelOffsetHalf);
    return Gdip().DrawImageRectI(g.p, source.p, x, y, w, h) == 0;
}

bool DrawToDC(HDC dc, const PremultipliedImage& src)
{
    if (!GdiPlusReady() || !dc || src.Empty())
        return false;
    ImageOwner source;
    if (!WrapPixels(src, source))
        return false;
    GraphicsOwner g;
    if (Gdip().CreateFromHDC(dc, &g.p) != 0)
        return false;
    return Gdip().DrawImageRectI(g.p, source.p, 0, 0, src.width, src.height) == 0;
}

} // namespace aic
