#include "imaging/cPNGwriter.h"

#include "imaging/c32bppDIB.h"
#include "runtime/Files.h"

#include <oleauto.h>

#include <limits>

namespace imaging {

namespace {

// zlib's compress2 at level 9. A stream that does not open as zlib's (a library that answers
// success and writes nothing) counts as a failure, not as image data.
std::optional<std::size_t> CompressBuffer(const Zlib& zlib, std::span<std::uint8_t> to, std::span<const std::uint8_t> from)
{
    constexpr std::size_t most = std::numeric_limits<std::uint32_t>::max();
    if (from.size() > most)
        return std::nullopt;
    std::uint32_t size = static_cast<std::uint32_t>(to.size() < most ? to.size() : most);
    const auto result = zlib.Compress2(to.data(), size, from.data(), static_cast<std::uint32_t>(from.size()), 9);
    if (!result || *result != 0 || size < 6 || size > to.size() || (to[0] & 0x0F) != 8 ||
        (std::uint32_t{to[0]} << 8 | to[1]) % 31 != 0)
        return std::nullopt;
    return size;
}

std::string ToCodePage(std::wstring_view text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// The text read as a date by the system's own conversion, in the user's locale.
std::optional<PngTime> ReadDate(std::wstring_view text)
{
    std::wstring owned(text);
    DATE date = 0;
    SYSTEMTIME t{};
    if (FAILED(VarDateFromStr(owned.data(), LOCALE_USER_DEFAULT, 0, &date)) || !VariantTimeToSystemTime(date, &t))
        return std::nullopt;
    return PngTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

} // namespace

cPNGwriter::cPNGwriter(const Zlib& zlib, PngWriteOptions options) : zlib_(zlib), options_(std::move(options)) {}

bool cPNGwriter::WritePNG(const c32bppDIB& cDIB, const std::wstring& FileName, std::vector<std::uint8_t>& outArray) const
{
    if (!cDIB.Handle() || !zlib_.Available())
        return false;
    const PngWriteServices services{
        [this](std::span<std::uint8_t> to, std::span<const std::uint8_t> from) { return CompressBuffer(zlib_, to, from); },
        ToCodePage, ReadDate};
    const DibPixels pixels{{cDIB.BitsPointer(), std::size_t(cDIB.scanWidth()) * std::size_t(cDIB.Height())},
                           cDIB.Width(), cDIB.Height(), cDIB.Alpha()};
    std::vector<std::uint8_t> png;
    const bool made = WritePng(pixels, options_, services, png);
    if (!FileName.empty())
        return made && rt::ReplaceFileContents(FileName, {reinterpret_cast<const char*>(png.data()), png.size()});
    outArray = made ? std::move(png) : std::vector<std::uint8_t>();
    return made;
}

} // namespace imaging
