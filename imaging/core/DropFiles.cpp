#include "imaging/core/DropFiles.h"

#include "imaging/core/SpanReader.h"

namespace imaging {

namespace {

constexpr std::size_t kHeaderBytes = 20; // pFiles, pt.x, pt.y, fNC, fWide

} // namespace

std::optional<DropFileList> CheckDropFiles(std::span<const std::uint8_t> block)
{
    SpanReader header(block);
    const auto offset = header.Le32();
    const auto wide = header.Skip(12) ? header.Le32() : std::nullopt;
    if (!wide)
        return std::nullopt;
    DropFileList list;
    list.wide = *wide != 0;
    SpanReader names(block);
    if (*offset < kHeaderBytes || !names.Skip(*offset))
        return std::nullopt;
    std::size_t length = 0;
    for (;;) {
        const auto unit = list.wide ? names.Le16() : std::optional<std::uint16_t>(names.U8());
        if (!unit)
            return std::nullopt; // the list runs to the block's end
        if (*unit != 0) {
            ++length;
            continue;
        }
        if (length == 0)
            return list; // the empty name that ends the list
        ++list.count;
        length = 0;
    }
}

} // namespace imaging
