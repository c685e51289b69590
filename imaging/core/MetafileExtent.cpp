#include "imaging/core/MetafileExtent.h"

#include "imaging/core/SpanReader.h"

namespace imaging {

namespace {

constexpr std::uint16_t kSetWindowExt = 0x020C;
constexpr std::uint16_t kEndOfFile = 0x0000;
constexpr std::uint32_t kRecordHeadWords = 3; // its size in words and its function

int Side(std::uint16_t word)
{
    const int v = static_cast<std::int16_t>(word);
    return v < 0 ? -v : v;
}

} // namespace

std::optional<MetafileExtent> WmfWindowExtent(std::span<const std::uint8_t> metafile)
{
    SpanReader in(metafile);
    const auto type = in.Le16();
    const auto headerWords = in.Le16();
    // In memory (1) or on disk (2); the header is 9 words.
    if (!type || (*type != 1 && *type != 2) || !headerWords || *headerWords < 9 ||
        !in.Seek(std::uint64_t{*headerWords} * 2))
        return std::nullopt;
    for (;;) {
        const auto words = in.Le32();
        const auto function = in.Le16();
        if (!words || !function || *words < kRecordHeadWords || *function == kEndOfFile)
            return std::nullopt;
        const std::uint64_t parameterBytes = (std::uint64_t{*words} - kRecordHeadWords) * 2;
        if (*function == kSetWindowExt && parameterBytes >= 4) {
            // Its parameters come in reverse order: the height, then the width.
            const auto height = in.Le16();
            const auto width = in.Le16();
            if (!height || !width)
                return std::nullopt;
            if (Side(*width) != 0 && Side(*height) != 0)
                return MetafileExtent{Side(*width), Side(*height)};
            if (!in.Skip(parameterBytes - 4))
                return std::nullopt;
        } else if (!in.Skip(parameterBytes)) {
            return std::nullopt;
        }
    }
}

} // namespace imaging
