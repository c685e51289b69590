// The PNG writer's platform-neutral part: a picture as the engine holds it in, the bytes of a PNG
// file out. The file holds the signature, IHDR, PLTE and tRNS as the picture's colour type needs
// them, one IDAT and IEND; text, time and background chunks only when the options ask. The
// caller hands in zlib's compress2 (the engine binds it at run time), as the reader is handed
// its own inflate.
#pragma once

#include "imaging/core/PngRoute.h"
#include "imaging/core/PngText.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace imaging {

struct PngTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Every option at its default writes just the picture.
struct PngWriteOptions {
    int filterSetting = 0;             // see FilterTypeForSetting
    std::uint32_t backgroundColor = 0; // bKGD: red, green and blue in bytes 0, 1 and 2
    std::vector<std::wstring> textSlots;
    std::uint32_t optionFlags = 0; // PngOption bits
};

// Stores `text`, cleaned, under `keyword`, cleaned: in the slot of one of the ten keywords or in
// the own-keyword slot of that keyword (a new one when there is none), and sets the option bit.
// False, and nothing stored, for a rejected keyword.
bool AddPngText(PngWriteOptions& options, std::wstring keyword, std::wstring_view text);

struct PngWriteServices {
    // zlib's compress2 at level 9 of `from` into `to`: the compressed size, none on failure.
    std::function<std::optional<std::size_t>(std::span<std::uint8_t> to, std::span<const std::uint8_t> from)> compress;
    // A text in the system's code page, one byte a character; Latin-1 when not given.
    std::function<std::string(std::wstring_view)> narrow;
    // A text read as a date the way the system reads dates; no tIME chunk when not given.
    std::function<std::optional<PngTime>(std::wstring_view)> readDate;
};

// The PNG file of `picture` into `png`. False, and `png` empty, for a picture without pixels or
// when the image data cannot be compressed. An optional chunk that cannot be written (a keyword
// no PNG can hold, a text that is no date) is left out and the rest is written.
bool WritePng(const DibPixels& picture, const PngWriteOptions& options, const PngWriteServices& services,
              std::vector<std::uint8_t>& png);

} // namespace imaging
