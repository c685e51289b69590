// The ways a picture gets into the bitmap object: files and byte slices go through one
// dispatcher that offers them to the engine's own readers in a fixed order (PNG, GIF, icon and
// cursor, BMP) and then to GDI+; resources, picture objects, handles and the clipboard are drawn
// in. The source's bytes can be kept, to load again at another icon size. Failures are quiet.
#include "imaging/c32bppDIB.h"

#include "imaging/Files.h"
#include "imaging/cBMPparser.h"
#include "imaging/cGDIPlus.h"
#include "imaging/cGIFparser.h"
#include "imaging/cICOparser.h"
#include "imaging/cPNGparser.h"
#include "imaging/core/MetafileExtent.h"
#include "imaging/core/SourceSlice.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <functional>
#include <new>

namespace imaging {

namespace {

// The colour count SourceIconSizes gives an entry of `bitDepth` bits.
std::int32_t IconColourCount(int bitDepth)
{
    switch (bitDepth) {
    case 1: return 2;
    case 2: return 4;
    case 4: return 16;
    case 8: return 256;
    case 24: return static_cast<std::int32_t>(0xFF000000u);
    default: return bitDepth > 24 ? -1 : 0xFFFF00;
    }
}

bool IsIconType(int type)
{
    return type == imgIcon || type == imgCursor || type == imgIconAlpha || type == imgPNGicon ||
           type == imgCursorAlpha;
}

// Whether `part` lies in the memory of `whole`.
bool Within(std::span<const std::uint8_t> part, const std::vector<std::uint8_t>& whole)
{
    const std::less<const std::uint8_t*> before;
    return !part.empty() && !whole.empty() && !before(part.data(), whole.data()) &&
           before(part.data(), whole.data() + whole.size());
}

std::optional<std::uint64_t> FileSize(HANDLE file)
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

// The whole of a file a load may read; none for one it refuses or cannot read.
std::optional<std::vector<std::uint8_t>> ReadSourceFile(HANDLE file)
{
    const auto size = FileSize(file);
    const auto bytes = size ? FileSourceSize(*size) : std::nullopt;
    return bytes ? ReadFileStart(file, *bytes) : std::nullopt;
}

// HIMETRIC (hundredths of a millimetre) of a size in pixels at the display's pixels per inch.
SIZE PixelsToHimetric(int width, int height)
{
    const rt::WindowDC screen(nullptr);
    return {MulDiv(width, 2540, GetDeviceCaps(screen.get(), LOGPIXELSX)),
            MulDiv(height, 2540, GetDeviceCaps(screen.get(), LOGPIXELSY))};
}

// The size of a metafile without one of its own: the window extent its records set, taken as
// the display's pixels. None when they set none.
std::optional<SIZE> MetafileRecordsExtent(HMETAFILE metafile)
{
    std::vector<std::uint8_t> bits;
    try {
        bits.resize(GetMetaFileBitsEx(metafile, 0, nullptr));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (bits.empty() || GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data()) != bits.size())
        return std::nullopt;
    const auto extent = WmfWindowExtent(bits);
    if (!extent)
        return std::nullopt;
    return PixelsToHimetric(extent->width, extent->height);
}

// Picture objects of copies of the caller's metafiles: a picture owns the handle it is made of,
// and the caller's stays the caller's.
rt::ComPtr<IPicture> EnhMetafilePicture(HENHMETAFILE metafile)
{
    const HENHMETAFILE copy = CopyEnhMetaFileW(metafile, nullptr);
    if (!copy)
        return {};
    rt::ComPtr<IPicture> picture = PictureObjectFromHandle(copy, PICTYPE_ENHMETAFILE);
    if (!picture)
        DeleteEnhMetaFile(copy);
    return picture;
}

rt::ComPtr<IPicture> MetafilePicture(HMETAFILE metafile)
{
    const auto himetric = MetafileRecordsExtent(metafile);
    const HMETAFILE copy = himetric ? CopyMetaFileW(metafile, nullptr) : nullptr;
    if (!copy)
        return {};
    rt::ComPtr<IPicture> picture = PictureObjectFromHandle(copy, PICTYPE_METAFILE, *himetric);
    if (!picture)
        DeleteMetaFile(copy);
    return picture;
}

// The clipboard's picture as a picture object of its own: a bitmap (the system makes one of a
// device-independent bitmap), else an enhanced metafile (which it makes of a metafile picture).
rt::ComPtr<IPicture> ClipboardPicture()
{
    if (!OpenClipboard(nullptr))
        return {};
    rt::ComPtr<IPicture> picture;
    if (const HANDLE bitmap = GetClipboardData(CF_BITMAP)) {
        if (const HANDLE copy = CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)) {
            picture = PictureObjectFromHandle(copy, PICTYPE_BITMAP);
            if (!picture)
                DeleteObject(copy);
        }
    } else if (const HANDLE emf = GetClipboardData(CF_ENHMETAFILE)) {
        picture = EnhMetafilePicture(static_cast<HENHMETAFILE>(emf));
    }
    CloseClipboard();
    return picture;
}

HANDLE FromOleHandle(OLE_HANDLE handle) { return LongToHandle(static_cast<LONG>(handle)); }

} // namespace

bool c32bppDIB::LoadPicture_File(const std::wstring& fileName, int iconCx, int iconCy, bool saveFormat,
                                 int iconBitDepth)
{
    const rt::UniqueFile file(OpenImageFile(fileName, true));
    if (!file)
        return false;
    // The size in 64 bits: a file of 4 GiB and a few bytes is not a small one.
    const auto size = FileSize(file.get());
    if (!size || !FileSourceSize(*size))
        return false;
    return LoadFromSource(file.get(), fileName, {}, iconCx, iconCy, saveFormat, iconBitDepth);
}

bool c32bppDIB::LoadPicture_Stream(std::span<const std::uint8_t> inStream, int iconCx, int iconCy,
                                   std::int64_t streamStart, std::int64_t streamLength, bool saveFormat,
                                   int iconBitDepth)
{
    // The slice is checked here, once, before any reader sees it.
    const auto slice = SliceOfArray(inStream.size(), streamStart, streamLength);
    if (!slice)
        return false;
    // The bytes may be our own SourceBytes, which the load frees before it reads them.
    std::vector<std::uint8_t> own;
    if (Within(inStream, sourceBytes_))
        own = std::move(sourceBytes_);
    return LoadFromSource(nullptr, L"", inStream.subspan(slice->offset, slice->length), iconCx, iconCy, saveFormat,
                          iconBitDepth);
}

bool c32bppDIB::LoadFromSource(HANDLE file, const std::wstring& fileName, std::span<const std::uint8_t> bytes,
                               int iconCx, int iconCy, bool saveFormat, int iconBitDepth)
{
    DestroyDIB();
    iconCx = std::max(iconCx, 0);
    iconCy = std::max(iconCy, 0);
    if (iconBitDepth < 0 || iconBitDepth > 32)
        iconBitDepth = 32;

    const bool png = file ? cPNGparser().LoadFile(file, fileName, *this, gdiToken_)
                          : cPNGparser().LoadStream(bytes, *this, 0, bytes.size(), gdiToken_);
    std::optional<std::vector<std::uint8_t>> fileBytes;
    std::vector<std::uint8_t> reencoded;
    // A PNG the PNG reader took is not offered to GDI+ again: that reader asks GDI+ itself, and
    // only for chunks that are sound, so that a damaged file fails whichever GDI+ is installed.
    if (!png) {
        if (file) {
            fileBytes = ReadSourceFile(file);
            bytes = fileBytes ? std::span<const std::uint8_t>(*fileBytes) : std::span<const std::uint8_t>();
        }
        // The first reader that takes the data as its own ends the walk, picture or not. What an
        // own reader refused goes on to neither the picture loader nor GDI+, nor do data whose
        // size no one has read: the BMP reader, and this dispatcher for GDI+, ask
        // MayGoToSystemDecoders before they hand data over. A file goes by its bytes read here.
        if (!bytes.empty()) {
            (void)(cGIFparser().LoadStream(bytes, *this, 0, bytes.size()) ||
                   cICOparser().LoadStream(bytes, iconCx, iconCy, this, 0, bytes.size(), iconBitDepth, gdiToken_) ||
                   cBMPparser().LoadStream(bytes, *this, 0, bytes.size()));
        }
        if (!dib_ && isGDIplusEnabled() && MayGoToSystemDecoders(bytes, rt::ScreenDpiX(), rt::ScreenDpiY()) &&
            cGDIPlus().LoadThroughGDIplus(file ? fileName : std::wstring(), bytes, *this, gdiToken_) && saveFormat)
            cGDIPlus().SaveToPNG(L"", reencoded, *this, gdiToken_);
    }
    if (!dib_)
        return false;
    if (saveFormat) {
        try {
            if (!reencoded.empty()) {
                sourceBytes_ = std::move(reencoded);
            } else if (fileBytes) {
                sourceBytes_ = std::move(*fileBytes);
            } else if (!bytes.empty()) {
                sourceBytes_.assign(bytes.begin(), bytes.end());
            } else if (file) {
                if (auto whole = ReadSourceFile(file))
                    sourceBytes_ = std::move(*whole);
            }
        } catch (const std::bad_alloc&) {
            // the picture stands without its source's bytes
        }
    }
    return true;
}

bool c32bppDIB::LoadPicture_Resource(const rt::ResourceName& resIndex, const ResourceSection& resSection,
                                     HMODULE module, int iconCx, int iconCy, std::int64_t streamStart,
                                     std::int64_t streamLength, int iconBitDepth)
{
    if (const auto* type = std::get_if<std::wstring>(&resSection)) {
        const auto bytes = rt::ResourceData(module, *type, resIndex);
        return LoadPicture_Stream(bytes, iconCx, iconCy, streamStart, streamLength, false, iconBitDepth);
    }
    UINT kind = 0;
    switch (std::get<ResourcePicture>(resSection)) {
    case ResourcePicture::Bitmap: kind = IMAGE_BITMAP; break;
    case ResourcePicture::Icon: kind = IMAGE_ICON; break;
    case ResourcePicture::Cursor: kind = IMAGE_CURSOR; break;
    default: return false;
    }
    if (!resIndex.get())
        return false;
    // A bitmap stays a section of its own depth, so 32 bits keep their alpha; icons and cursors
    // come at the system's size.
    const HANDLE image = LoadImageW(module ? module : rt::Instance(), resIndex.get(), kind, 0, 0,
                                    kind == IMAGE_BITMAP ? LR_CREATEDIBSECTION : LR_DEFAULTSIZE);
    if (!image)
        return false;
    const bool loaded = LoadPicture_ByHandle(image);
    if (kind == IMAGE_BITMAP)
        DeleteObject(image);
    else if (kind == IMAGE_ICON)
        DestroyIcon(static_cast<HICON>(image));
    else
        DestroyCursor(static_cast<HCURSOR>(image));
    return loaded;
}

bool c32bppDIB::LoadPicture_StdPicture(IPicture* picture)
{
    DestroyDIB();
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (!picture || FAILED(picture->get_Type(&type)) || type == PICTYPE_NONE)
        return false;
    switch (type) {
    case PICTYPE_ICON:
        if (SUCCEEDED(picture->get_Handle(&handle)))
            cICOparser().ConvertstdPicTo32bpp(static_cast<HICON>(FromOleHandle(handle)), *this);
        break;
    case PICTYPE_BITMAP:
        if (SUCCEEDED(picture->get_Handle(&handle)))
            cBMPparser().ConvertstdPicTo32bpp(nullptr, static_cast<HBITMAP>(FromOleHandle(handle)), *this, 0);
        break;
    default: cBMPparser().ConvertstdPicTo32bpp(picture, nullptr, *this, 0); break;
    }
    return dib_ != nullptr;
}

bool c32bppDIB::LoadPicture_ByHandle(HANDLE handle)
{
    DestroyDIB();
    if (!handle)
        return false;
    switch (GetObjectType(handle)) {
    case OBJ_BITMAP: return cBMPparser().ConvertstdPicTo32bpp(nullptr, static_cast<HBITMAP>(handle), *this, 0);
    case OBJ_METAFILE:
    case OBJ_ENHMETAFILE: {
        const rt::ComPtr<IPicture> picture = GetObjectType(handle) == OBJ_METAFILE
                                                 ? MetafilePicture(static_cast<HMETAFILE>(handle))
                                                 : EnhMetafilePicture(static_cast<HENHMETAFILE>(handle));
        return picture && LoadPicture_StdPicture(picture.get());
    }
    default: return cICOparser().ConvertstdPicTo32bpp(static_cast<HICON>(handle), *this);
    }
}

bool c32bppDIB::LoadPicture_ClipBoard()
{
    const UINT formats[] = {CF_BITMAP, CF_DIB, CF_ENHMETAFILE, CF_METAFILEPICT};
    if (std::ranges::none_of(formats, [](UINT f) { return IsClipboardFormatAvailable(f) != FALSE; }))
        return false;
    const rt::ComPtr<IPicture> picture = ClipboardPicture();
    return picture && LoadPicture_StdPicture(picture.get());
}

bool c32bppDIB::LoadPicture_FromOrignalFormat(int iconCx, int iconCy, int iconBitDepth)
{
    return !sourceBytes_.empty() && LoadPicture_Stream(sourceBytes_, iconCx, iconCy, 0, 0, true, iconBitDepth);
}

bool c32bppDIB::GetOrginalFormat(std::vector<std::uint8_t>& outStream) const
{
    try {
        outStream = sourceBytes_;
    } catch (const std::bad_alloc&) {
        outStream.clear();
        return false;
    }
    return !outStream.empty();
}

int c32bppDIB::SourceIconSizes(std::vector<SourceIconSize>& sizes) const
{
    if (!dib_ || !IsIconType(imageType_))
        return 0;
    if (sourceBytes_.empty()) {
        sizes.assign(1, {width_, height_, 32, -1});
        return 1;
    }
    cICOparser reader;
    if (!reader.LoadStream(sourceBytes_, 32, 32, nullptr, 0, sourceBytes_.size(), 32, {}))
        return 0;
    std::vector<SourceIconSize> entries;
    for (int k = 1; k <= reader.IconCount(); ++k)
        entries.push_back({reader.Width(k), reader.Height(k), reader.bitDepth(k), IconColourCount(reader.bitDepth(k))});
    sizes = std::move(entries);
    return reader.IconCount();
}

} // namespace imaging
