// The PNG writer's optional chunks and the rules that prepare their keywords and texts: which
// option bit writes which chunk, where its text is kept, and how a keyword or a text is cleaned
// before it is stored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace imaging {

// Option bits: 1 to 512 a tEXt chunk under the keyword of that bit (1 and 2 before the palette,
// the rest after the image data), 1024 the own keywords' tEXt or zTXt chunks, 2048 tIME, 4096
// bKGD. 8192 is a valid bit that writes nothing.
enum PngOption : std::uint32_t {
    pngTitle = 1,
    pngAuthor = 2,
    pngDescription = 4,
    pngCopyright = 8,
    pngCreationTime = 16,
    pngSoftware = 32,
    pngDisclaimer = 64,
    pngWarning = 128,
    pngSource = 256,
    pngComment = 512,
    pngCustomText = 1024,
    pngTime = 2048,
    pngBackground = 4096,
};

// Text slots: 0 to 9 the texts of bits 1 to 512, 10 the time as a date text, 11 onwards one own
// keyword each, then a NUL, then its text.
inline constexpr std::size_t kTimeSlot = 10;
inline constexpr std::size_t kFirstCustomSlot = 11;
// A longer own text is compressed into a zTXt chunk.
inline constexpr std::size_t kLongestPlainText = 1024;

// The keyword of a bit from 1 to 512; empty for any other value.
std::wstring_view KeywordOfOption(std::uint32_t bit);

// The first 32,700 characters with CR LF and lone CR made LF; empty when a control character
// other than tab and LF remains.
std::wstring CleanText(std::wstring_view text);

// Cuts `keyword` to 79 characters, trims its spaces, folds runs of spaces and makes 160 a space.
// The result is its bit (KeywordToFlag), or 0 with `keyword` emptied when a character lies
// outside 32 to 126 and 161 to 255 or nothing is left.
std::int32_t CleanKeyword(std::wstring& keyword);

// The bit of one of the ten keywords, compared ignoring case; -1 for an own keyword.
std::int32_t KeywordToFlag(std::wstring_view keyword);

// True for the single bits 1 to 8192.
bool IsOptionFlag(std::int64_t value);

// The slot of a bit from 1 to 512; for 1024 the first own-keyword slot whose keyword equals
// `keyword` (case counts); -1 when there is none.
std::int32_t SlotForOption(std::uint32_t bit, std::wstring_view keyword, const std::vector<std::wstring>& slots);

// The keyword and its text of an own-keyword slot: the parts before and after its first NUL.
std::wstring_view SlotKeyword(std::wstring_view slot);
std::wstring_view SlotText(std::wstring_view slot);

} // namespace imaging
