// The one way the engine reads outside bytes (files, clipboard blocks, compressed streams): loads
// from spans whose size is part of their type, and a reader that walks a span front to back and
// answers "nothing" for every read the bytes left cannot satisfy. A parser holds a SpanReader and
// does no pointer arithmetic of its own:
//
//     SpanReader in(bytes);
//     const auto count = in.Le16();
//     const auto entries = count ? in.Take(std::uint64_t{*count} * 16) : std::nullopt;
//     if (!entries)
//         return std::nullopt; // the bytes end early
//
// Sizes are taken as 64 bits, so a length computed from a file cannot wrap on a 32-bit build
// before it is compared with what is left. A read that fails consumes nothing, and no answer may
// be ignored: a Skip that failed leaves the next read where it was.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <type_traits>

namespace imaging {

// Little- and big-endian numbers from exactly as many bytes as they need. A std::array or a
// fixed-size span (SpanReader::TakeFixed, span::first<N>()) converts to the parameter as it is.
constexpr std::uint16_t LoadLe16(std::span<const std::uint8_t, 2> b) noexcept
{
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}
constexpr std::uint16_t LoadBe16(std::span<const std::uint8_t, 2> b) noexcept
{
    return static_cast<std::uint16_t>(b[0] << 8 | b[1]);
}
constexpr std::uint32_t LoadLe32(std::span<const std::uint8_t, 4> b) noexcept
{
    return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24;
}
constexpr std::uint32_t LoadBe32(std::span<const std::uint8_t, 4> b) noexcept
{
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | std::uint32_t{b[3]};
}
constexpr std::uint64_t LoadLe64(std::span<const std::uint8_t, 8> b) noexcept
{
    if (!std::is_constant_evaluated() && std::endian::native == std::endian::little) {
        std::uint64_t v; // one load: inflate refills its bit buffer with this
        std::memcpy(&v, b.data(), sizeof v);
        return v;
    }
    std::uint64_t v = 0;
    for (std::size_t i = 8; i-- > 0;)
        v = v << 8 | b[i];
    return v;
}

class SpanReader {
public:
    constexpr explicit SpanReader(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}

    // Bytes not yet read, and bytes read (or skipped) since the start.
    constexpr std::size_t Remaining() const noexcept { return bytes_.size() - pos_; }
    constexpr std::size_t Consumed() const noexcept { return pos_; }
    // The bytes not yet read, not consumed: for a loop that proves its own reads stay inside
    // them (as inflate's refills do) and then Skips what it used.
    [[nodiscard]] constexpr std::span<const std::uint8_t> Rest() const noexcept { return bytes_.subspan(pos_); }

    // The next `n` bytes, consumed.
    [[nodiscard]] constexpr std::optional<std::span<const std::uint8_t>> Take(std::uint64_t n) noexcept
    {
        if (n > Remaining())
            return std::nullopt;
        const auto taken = bytes_.subspan(pos_, static_cast<std::size_t>(n));
        pos_ += taken.size();
        return taken;
    }
    // The next N bytes as a fixed-size span, for the loads above and for compile-time-checked
    // `subspan<Offset, Count>()` of a record's fields.
    template <std::size_t N>
    [[nodiscard]] constexpr std::optional<std::span<const std::uint8_t, N>> TakeFixed() noexcept
    {
        const auto taken = PeekFixed<N>();
        if (taken)
            pos_ += N;
        return taken;
    }
    // The next N bytes, not consumed: a look ahead before deciding how far to Skip.
    template <std::size_t N>
    [[nodiscard]] constexpr std::optional<std::span<const std::uint8_t, N>> PeekFixed() const noexcept
    {
        if (N > Remaining())
            return std::nullopt;
        return bytes_.subspan(pos_).first<N>();
    }

    // Passes over `n` bytes; false, and no move, when fewer remain.
    [[nodiscard]] constexpr bool Skip(std::uint64_t n) noexcept
    {
        if (n > Remaining())
            return false;
        pos_ += static_cast<std::size_t>(n);
        return true;
    }
    // Moves to `offset` bytes from the start, back or forth (an offset a file gives, or the bytes
    // a bit reader held but did not use); false, and no move, past the end.
    [[nodiscard]] constexpr bool Seek(std::uint64_t offset) noexcept
    {
        if (offset > bytes_.size())
            return false;
        pos_ = static_cast<std::size_t>(offset);
        return true;
    }

    // One byte, and numbers in the byte order their names give.
    [[nodiscard]] constexpr std::optional<std::uint8_t> U8() noexcept
    {
        if (pos_ == bytes_.size())
            return std::nullopt;
        return bytes_[pos_++];
    }
    [[nodiscard]] constexpr std::optional<std::uint16_t> Le16() noexcept
    {
        const auto b = TakeFixed<2>();
        return b ? std::optional(LoadLe16(*b)) : std::nullopt;
    }
    [[nodiscard]] constexpr std::optional<std::uint16_t> Be16() noexcept
    {
        const auto b = TakeFixed<2>();
        return b ? std::optional(LoadBe16(*b)) : std::nullopt;
    }
    [[nodiscard]] constexpr std::optional<std::uint32_t> Le32() noexcept
    {
        const auto b = TakeFixed<4>();
        return b ? std::optional(LoadLe32(*b)) : std::nullopt;
    }
    [[nodiscard]] constexpr std::optional<std::uint32_t> Be32() noexcept
    {
        const auto b = TakeFixed<4>();
        return b ? std::optional(LoadBe32(*b)) : std::nullopt;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

} // namespace imaging
