#include "imaging/cICOparser.h"

#include "imaging/DibRows.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "imaging/core/AlphaAnalysis.h"

#include "runtime/Handles.h"

#include <new>
#include <vector>

namespace imaging {

namespace {

int TypeFor(IcoKind kind, bool ownAlpha)
{
    if (kind == IcoKind::Icon)
        return ownAlpha ? imgIconAlpha : imgIcon;
    return ownAlpha ? imgCursorAlpha : imgCursor;
}

std::span<std::uint8_t> Pixels(const c32bppDIB& host)
{
    return {host.BitsPointer(), static_cast<std::size_t>(host.scanWidth()) * static_cast<std::size_t>(host.Height())};
}

} // namespace

const IcoEntry& cICOparser::Entry(int index) const
{
    static const IcoEntry none;
    if (index < 1 || index > IconCount())
        return none;
    return directory_.entries[static_cast<std::size_t>(index - 1)];
}

bool cICOparser::LoadStream(std::span<const std::uint8_t> inStream, int desiredWidth, int desiredHeight,
                            c32bppDIB* cHost, std::size_t streamOffset, std::size_t streamLength, int icoBitDepth,
                            const GdiPlusToken& globalToken)
{
    directory_ = {};
    loaded_ = 0;
    if (streamOffset > inStream.size())
        return false;
    if (streamLength == 0)
        streamLength = inStream.size() - streamOffset;
    // A slice that leaves the array is not data we were given.
    if (streamLength > inStream.size() - streamOffset)
        return false;
    const auto stream = inStream.subspan(streamOffset, streamLength);
    try {
        auto directory = ReadIcoDirectory(stream);
        if (!directory)
            return false;
        directory_ = std::move(*directory);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!cHost)
        return true; // only the directory was wanted
    const int best = FindBestEntry(directory_.entries, desiredWidth < 1 ? 32 : desiredWidth,
                                   desiredHeight < 1 ? 32 : desiredHeight, icoBitDepth);
    if (best == 0)
        return true;
    loaded_ = best;
    const IcoEntry& entry = Entry(best);
    if (entry.png) {
        const bool read =
            cPNGparser().LoadStream(inStream, *cHost, streamOffset + entry.imageOffset, entry.bytesInRes, globalToken);
        if (cHost->Handle())
            cHost->SetImageType(imgPNGicon);
        return read;
    }
    DecodeBitmapEntry(stream, entry, *cHost);
    return true;
}

void cICOparser::DecodeBitmapEntry(std::span<const std::uint8_t> stream, const IcoEntry& entry, c32bppDIB& host) const
{
    const auto bitmap = ReadIcoBitmap(stream, entry);
    const auto pixels = bitmap && host.InitializeDIB(bitmap->width, bitmap->height)
                            ? DecodeIcoBitmap(*bitmap, Pixels(host))
                            : std::nullopt;
    if (!pixels) {
        host.DestroyDIB();
        return;
    }
    host.SetAlphaState(pixels->alpha);
    host.SetImageType(TypeFor(directory_.kind, pixels->ownAlpha));
}

bool cICOparser::ReadColour(HDC dc, HBITMAP colour, c32bppDIB& host)
{
    BITMAP bm{};
    return GetObjectW(colour, sizeof bm, &bm) && host.InitializeDIB(bm.bmWidth, bm.bmHeight) &&
           ReadDibRows(dc, colour, host.Width(), host.Height(), 32, host.BitsPointer());
}

bool cICOparser::ConvertstdPicTo32bpp(HICON handle, c32bppDIB& cHost)
{
    directory_ = {};
    loaded_ = 0;
    ICONINFO info{};
    if (!handle || !GetIconInfo(handle, &info))
        return false;
    const rt::Gdi<HBITMAP> mask(info.hbmMask), colour(info.hbmColor);
    const IcoKind kind = info.fIcon ? IcoKind::Icon : IcoKind::Cursor;
    const rt::WindowDC dc(nullptr);
    IcoEntry entry;
    entry.bitCount = 1;
    try {
        if (colour) {
            if (!ReadColour(dc.get(), colour.get(), cHost)) {
                cHost.DestroyDIB();
                return false;
            }
            const auto pixels = Pixels(cHost);
            for (std::size_t i = 3; entry.bitCount == 1 && i < pixels.size(); i += 4)
                entry.bitCount = pixels[i] != 0 ? 32 : 1;
            if (entry.bitCount == 32) {
                // The colour bitmap holds straight alpha as a rule; the analysis tells.
                AnalyseAlphaChannel(*PixelView::Packed(pixels, cHost.Width(), cHost.Height()), true, imgBlank);
                cHost.SetImageType(TypeFor(kind, true));
                cHost.SetAlphaState(true);
            }
        }
        if (entry.bitCount == 1) {
            // Without alpha the mask decides; a monochrome icon's mask holds its AND rows above its XOR rows.
            BITMAP bm{};
            if (!GetObjectW(mask.get(), sizeof bm, &bm) || bm.bmWidth < 1 || bm.bmHeight < (colour ? 1 : 2)) {
                cHost.DestroyDIB();
                return false;
            }
            const int width = colour ? cHost.Width() : bm.bmWidth;
            const int height = colour ? cHost.Height() : bm.bmHeight / 2;
            const int maskRows = colour ? height : 2 * height;
            if (!colour) {
                if (!cHost.InitializeDIB(width, height))
                    return false;
                DrawIconEx(cHost.LoadDIBinDC(true), 0, 0, handle, width, height, 0, nullptr, DI_NORMAL);
                cHost.LoadDIBinDC(false);
            }
            const std::size_t maskRow = static_cast<std::size_t>(RowBytesForDepth(1, width));
            std::vector<std::uint8_t> rows(maskRow * static_cast<std::size_t>(maskRows));
            const auto anySet = ReadDibRows(dc.get(), mask.get(), width, maskRows, 1, rows.data())
                                    ? ApplyMaskToAlpha(std::span(rows).last(maskRow * static_cast<std::size_t>(height)),
                                                   width, height, Pixels(cHost))
                                    : std::nullopt;
            if (!anySet) {
                cHost.DestroyDIB();
                return false;
            }
            cHost.SetImageType(TypeFor(kind, false));
            cHost.SetAlphaState(*anySet);
        }
    } catch (const std::bad_alloc&) {
        cHost.DestroyDIB();
        return false;
    }
    entry.width = cHost.Width();
    entry.height = cHost.Height();
    directory_.kind = kind;
    directory_.entries.assign(1, entry);
    return true;
}

} // namespace imaging
