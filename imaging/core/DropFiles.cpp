#include "imaging/core/DropFiles.h"

namespace imaging {

namespace {

constexpr std::size_t kHeaderBytes = 20; // pFiles, pt.x, pt.y, fNC, fWide

std::uint32_t ReadU32(std::span<const std::uint8_t> b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

} // namespace

std::optional<DropFileList> CheckDropFiles(std::span<const std::uint8_t> block)
{
    if (block.size() < kHeaderBytes)
        return std::nullopt;
    const std::size_t offset = ReadU32(block, 0);
    DropFileList list;
    list.wide = ReadU32(block, 16) != 0;
    const std::size_t unit = list.wide ? 2 : 1;
    if (offset < kHeaderBytes || offset > block.size())
        return std::nullopt;
    std::size_t length = 0;
    for (std::size_t at = offset; at + unit <= block.size(); at += unit) {
        const bool nul = block[at] == 0 && (unit == 1 || block[at + 1] == 0);
        if (!nul) {
            ++length;
            continue;
        }
        if (length == 0)
            return list; // the empty name that ends the list
        ++list.count;
        length = 0;
    }
    return std::nullopt;
}

} // namespace imaging
