#include "imaging/c32bppDIB.h"

#include "imaging/AlphaRegion.h"
#include "imaging/Zlib.h"
#include "imaging/cGDIPlus.h"

#include "runtime/DibInfo.h"
#include "runtime/Handles.h"

#include <olectl.h>

#include <cstring>

namespace imaging {

namespace {

// The system's flags without the GDI+ bit; read once, since shadows and copies make objects on
// every paint.
std::uint32_t SystemFlags()
{
    static const std::uint32_t flags = [] {
        OSVERSIONINFOEXW ex{};
        ex.dwOSVersionInfoSize = sizeof ex;
        if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&ex)))
            return CapabilityFlagsFor(ex.dwPlatformId, ex.dwMajorVersion, ex.dwMinorVersion, ex.wServicePackMajor);
        OSVERSIONINFOW basic{};
        basic.dwOSVersionInfoSize = sizeof basic;
        if (!GetVersionExW(&basic))
            return std::uint32_t{0};
        return CapabilityFlagsFor(basic.dwPlatformId, basic.dwMajorVersion, basic.dwMinorVersion, 0);
    }();
    return flags;
}

HDC CreateScreenCompatibleDC()
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    return dc;
}

} // namespace

c32bppDIB::c32bppDIB() : c32bppDIB(SystemFlags()) {}

c32bppDIB::c32bppDIB(std::uint32_t capabilityFlags) : flags_(capabilityFlags & ~std::uint32_t{capGdiPlus})
{
    isGDIplusEnabled(true);
    if (isGDIplusEnabled())
        highQuality_ = true;
}

c32bppDIB::~c32bppDIB() { DestroyDIB(); }

bool c32bppDIB::InitializeDIB(std::int64_t width, std::int64_t height)
{
    DestroyDIB();
    // Sizes are checked before anything is created or written: a wrapped size would give a
    // section smaller than the rows later written into it.
    const auto bytes = DibByteSize(width, height);
    if (!bytes)
        return false;
    const int w = static_cast<int>(width), h = static_cast<int>(height < 0 ? -height : height);
    BITMAPINFO info = rt::DibInfo(w, h, 32); // positive: bottom row first
    info.bmiHeader.biSizeImage = static_cast<DWORD>(*bytes);
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && manageOwnDC_ && !ownDC_)
        ownDC_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!dib || !bits) {
        if (dib)
            DeleteObject(dib);
        return false;
    }
    dib_ = dib;
    bits_ = static_cast<std::uint8_t*>(bits);
    width_ = w;
    height_ = h;
    alpha_ = true;
    imageType_ = imgBlank;
    return true;
}

void c32bppDIB::DestroyDIB()
{
    if (ownDC_) {
        if (prevBitmap_)
            SelectObject(ownDC_, prevBitmap_);
        DeleteDC(ownDC_);
        ownDC_ = nullptr;
    }
    if (dib_) {
        DeleteObject(dib_);
        sourceBytes_.clear();
    }
    width_ = height_ = 0;
    dib_ = nullptr;
    bits_ = nullptr;
    prevBitmap_ = nullptr;
    alpha_ = false;
    imageType_ = imgNone;
}

void c32bppDIB::EraseDIB()
{
    if (!dib_)
        return;
    std::memset(bits_, 0, static_cast<std::size_t>(scanWidth()) * static_cast<std::size_t>(height_));
    imageType_ = imgBlank;
    alpha_ = true;
}

HDC c32bppDIB::LoadDIBinDC(bool load)
{
    if (load) {
        if (!dib_)
            return nullptr;
        if (!ownDC_)
            ownDC_ = CreateScreenCompatibleDC();
        if (ownDC_ && !prevBitmap_)
            prevBitmap_ = SelectObject(ownDC_, dib_);
        return ownDC_;
    }
    if (prevBitmap_) {
        SelectObject(ownDC_, prevBitmap_);
        if (!manageOwnDC_) {
            DeleteDC(ownDC_);
            ownDC_ = nullptr;
        }
    }
    prevBitmap_ = nullptr;
    return nullptr;
}

void c32bppDIB::ManageOwnDC(bool manage)
{
    if (!manage) {
        if (ownDC_) {
            if (dib_ && prevBitmap_)
                SelectObject(ownDC_, prevBitmap_);
            prevBitmap_ = nullptr;
            DeleteDC(ownDC_);
            ownDC_ = nullptr;
        }
    } else if (!ownDC_ && dib_) {
        ownDC_ = CreateScreenCompatibleDC();
    }
    manageOwnDC_ = manage;
}

void c32bppDIB::isAlphaBlendFriendly(bool enabled)
{
    if (!enabled)
        flags_ &= ~std::uint32_t{capUseAlphaBlend};
    else if (flags_ & capHasAlphaBlend)
        flags_ |= capUseAlphaBlend;
}

void c32bppDIB::isGDIplusEnabled(bool enabled)
{
    if (enabled == isGDIplusEnabled())
        return;
    flags_ &= ~std::uint32_t{capGdiPlus};
    if (enabled && !(flags_ & capNoAlphaBlendNoGdiPlus) && GdiPlusUsable())
        flags_ |= capGdiPlus;
}

bool c32bppDIB::isZlibEnabled() const { return ProcessZlib().Available(); }

bool c32bppDIB::CreateCheckerBoard(int checkerSize, std::uint32_t firstColor, std::uint32_t secondColor)
{
    // A size below 1 would never move the cell on.
    if (!dib_ || checkerSize < 1)
        return false;
    COLORREF colours[2] = {};
    if (OleTranslateColor(firstColor, nullptr, &colours[0]) != S_OK ||
        OleTranslateColor(secondColor, nullptr, &colours[1]) != S_OK)
        return false;
    const bool wasSelected = prevBitmap_ != nullptr;
    HDC dc = LoadDIBinDC(true);
    if (!dc)
        return false;
    {
        rt::Gdi<HBRUSH> brushes[2] = {rt::Gdi<HBRUSH>(CreateSolidBrush(colours[0])),
                                      rt::Gdi<HBRUSH>(CreateSolidBrush(colours[1]))};
        bool rowStartsSecond = false;
        for (int top = 0; top < height_; top += checkerSize, rowStartsSecond = !rowStartsSecond) {
            int brush = rowStartsSecond ? 1 : 0;
            for (int left = 0; left < width_; left += checkerSize, brush ^= 1) {
                const RECT cell{left, top, left + checkerSize, top + checkerSize};
                FillRect(dc, &cell, brushes[brush].get());
            }
        }
        GdiFlush();
    }
    if (!wasSelected)
        LoadDIBinDC(false);
    for (std::size_t i = 3; i < static_cast<std::size_t>(scanWidth()) * static_cast<std::size_t>(height_); i += 4)
        bits_[i] = 255;
    alpha_ = false;
    imageType_ = imgCheckerBoard;
    return true;
}

HRGN c32bppDIB::CreateRegion(int style, int xOffset, int yOffset) const
{
    if (!dib_ || style < regionBoundingBox || style > regionExactRuns)
        return nullptr;
    HRGN region = BuildAlphaRegion(*this, static_cast<RegionStyle>(style));
    if (region && (xOffset || yOffset))
        OffsetRgn(region, xOffset, yOffset);
    return region;
}

} // namespace imaging
