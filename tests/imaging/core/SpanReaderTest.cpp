#include "imaging/core/SpanReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace {

using imaging::SpanReader;
using Read = std::function<std::optional<std::uint64_t>(SpanReader&)>;

// A taken span as its size and first byte, so a test sees both where and how much was taken.
std::optional<std::uint64_t> Taken(std::optional<std::span<const std::uint8_t>> s)
{
    return s ? std::optional<std::uint64_t>(s->size() << 8 | (s->empty() ? 0 : s->front())) : std::nullopt;
}

TEST(SpanReader, ReadsAnswerNothingPastTheEndAndConsumeNothingThen)
{
    const std::uint64_t kWrapsOn32Bits = (std::uint64_t{1} << 32) + 1;
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        Read read;
        std::optional<std::uint64_t> value;
        std::size_t consumed;
    };
    const Case cases[] = {
        {"Le16 ending at the end", {0x34, 0x12}, [](SpanReader& r) { return r.Le16(); }, 0x1234, 2},
        {"Be32 ending at the end", {1, 2, 3, 4}, [](SpanReader& r) { return r.Be32(); }, 0x01020304, 4},
        {"Le32 after a byte", {9, 1, 2, 3, 4}, [](SpanReader& r) { return r.U8() ? r.Le32() : std::nullopt; }, 0x04030201, 5},
        {"Be16 one byte short", {1, 2, 3}, [](SpanReader& r) { return r.Skip(2) ? r.Be16() : std::nullopt; }, std::nullopt, 2},
        {"Le32 of three bytes", {1, 2, 3}, [](SpanReader& r) { return r.Le32(); }, std::nullopt, 0},
        {"U8 of nothing", {}, [](SpanReader& r) { return r.U8(); }, std::nullopt, 0},
        {"Take 0 of nothing", {}, [](SpanReader& r) { return Taken(r.Take(0)); }, 0, 0},
        {"Take all after a byte", {7, 8, 9}, [](SpanReader& r) { return r.U8() ? Taken(r.Take(2)) : std::nullopt; }, 0x208, 3},
        {"Take one past the end", {7, 8, 9}, [](SpanReader& r) { return Taken(r.Take(4)); }, std::nullopt, 0},
        {"Take a size that wraps 32 bits", {7, 8, 9}, [&](SpanReader& r) { return Taken(r.Take(kWrapsOn32Bits)); },
         std::nullopt, 0},
        {"Take the largest size", {7}, [](SpanReader& r) { return Taken(r.Take(UINT64_MAX)); }, std::nullopt, 0},
        {"Skip the largest size", {7, 8}, [](SpanReader& r) { return r.U8() && !r.Skip(UINT64_MAX) ? r.U8() : std::nullopt; },
         8, 2},
        {"TakeFixed one short", {1, 2, 3}, [](SpanReader& r) { return r.TakeFixed<4>() ? 1 : std::optional<std::uint64_t>(); },
         std::nullopt, 0},
        {"PeekFixed consumes nothing", {5, 6}, [](SpanReader& r) { return r.PeekFixed<2>() ? r.U8() : std::nullopt; }, 5, 1},
        {"Seek back over bytes taken", {5, 6, 7}, [](SpanReader& r) { return r.Take(3) && r.Seek(1) ? r.U8() : std::nullopt; }, 6, 2},
        {"Seek to the end, then read", {5, 6}, [](SpanReader& r) { return r.Seek(2) ? r.U8() : 1; }, std::nullopt, 2},
        {"Seek past the end", {5, 6}, [&](SpanReader& r) { return r.U8() && !r.Seek(kWrapsOn32Bits - 1) ? r.U8() : 1; },
         6, 2},
        {"Le64 load", {1, 2, 3, 4, 5, 6, 7, 0x88},
         [](SpanReader& r) { const auto b = r.TakeFixed<8>(); return b ? imaging::LoadLe64(*b) : 1; }, 0x8807060504030201, 8},
    };
    for (const auto& c : cases) {
        SpanReader reader(c.bytes);
        EXPECT_EQ(c.read(reader), c.value) << c.name;
        EXPECT_EQ(reader.Consumed(), c.consumed) << c.name;
        EXPECT_EQ(reader.Remaining(), c.bytes.size() - c.consumed) << c.name;
    }
}

} // namespace
