// The counterpart of SpanReader for bytes the engine makes (PNG chunks): stores into spans whose
// size is part of their type, and a writer that fills a span front to back and refuses every
// store the room left cannot take. A chunk writer holds a SpanWriter and does no pointer
// arithmetic of its own:
//
//     SpanWriter out(chunk);
//     if (!out.Be32(length) || !out.Bytes(type) || !out.Bytes(data))
//         return false; // the chunk's room was measured wrong
//
// A store that fails writes nothing and moves nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace imaging {

constexpr void StoreBe16(std::span<std::uint8_t, 2> b, std::uint16_t v) noexcept
{
    b[0] = static_cast<std::uint8_t>(v >> 8);
    b[1] = static_cast<std::uint8_t>(v);
}
constexpr void StoreBe32(std::span<std::uint8_t, 4> b, std::uint32_t v) noexcept
{
    b[0] = static_cast<std::uint8_t>(v >> 24);
    b[1] = static_cast<std::uint8_t>(v >> 16);
    b[2] = static_cast<std::uint8_t>(v >> 8);
    b[3] = static_cast<std::uint8_t>(v);
}

class SpanWriter {
public:
    constexpr explicit SpanWriter(std::span<std::uint8_t> bytes) noexcept : bytes_(bytes) {}

    // Room not yet written, and bytes written since the start.
    constexpr std::size_t Remaining() const noexcept { return bytes_.size() - pos_; }
    constexpr std::size_t Written() const noexcept { return pos_; }
    // What has been written so far: the span a checksum covers.
    [[nodiscard]] constexpr std::span<std::uint8_t> Done() const noexcept { return bytes_.first(pos_); }

    // The next `n` bytes, handed out to be filled by the caller (a compressor's output), and
    // counted as written.
    [[nodiscard]] constexpr std::optional<std::span<std::uint8_t>> Take(std::uint64_t n) noexcept
    {
        if (n > Remaining())
            return std::nullopt;
        const auto taken = bytes_.subspan(pos_, static_cast<std::size_t>(n));
        pos_ += taken.size();
        return taken;
    }
    template <std::size_t N>
    [[nodiscard]] constexpr std::optional<std::span<std::uint8_t, N>> TakeFixed() noexcept
    {
        if (N > Remaining())
            return std::nullopt;
        const auto taken = bytes_.subspan(pos_).template first<N>();
        pos_ += N;
        return taken;
    }

    [[nodiscard]] constexpr bool U8(std::uint8_t v) noexcept
    {
        if (pos_ == bytes_.size())
            return false;
        bytes_[pos_++] = v;
        return true;
    }
    [[nodiscard]] constexpr bool Be16(std::uint16_t v) noexcept
    {
        const auto b = TakeFixed<2>();
        if (b)
            StoreBe16(*b, v);
        return b.has_value();
    }
    [[nodiscard]] constexpr bool Be32(std::uint32_t v) noexcept
    {
        const auto b = TakeFixed<4>();
        if (b)
            StoreBe32(*b, v);
        return b.has_value();
    }
    [[nodiscard]] bool Bytes(std::span<const std::uint8_t> v) noexcept
    {
        const auto b = Take(v.size());
        if (b && !v.empty())
            std::memcpy(b->data(), v.data(), v.size());
        return b.has_value();
    }

private:
    std::span<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace imaging
