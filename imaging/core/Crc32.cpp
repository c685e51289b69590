#include "imaging/core/Crc32.h"

#include "imaging/core/SpanReader.h"

#include <array>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VANTOREL_CLMUL 1
#if defined(__x86_64__)
#define VANTOREL_TARGET_CLMUL __attribute__((target("sse2,pclmul")))
#else
// 32-bit Windows keeps the stack aligned to 4 bytes only: the loop realigns it for its spills.
#define VANTOREL_TARGET_CLMUL __attribute__((target("sse2,pclmul"), force_align_arg_pointer))
#endif
#endif

namespace imaging {

namespace {

// Eight tables: slicing by eight bytes keeps large IDAT checks off the per-byte path.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables MakeTables()
{
    CrcTables t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (std::size_t n = 0; n < 256; ++n)
        for (std::size_t k = 1; k < 8; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    return t;
}

constexpr CrcTables kTables = MakeTables();

// The register (the CRC before its final inversion) carried over `data`.
std::uint32_t BySlices(std::span<const std::uint8_t> data, std::uint32_t c)
{
    SpanReader in(data);
    while (const auto words = in.TakeFixed<8>()) {
        c ^= LoadLe32(words->first<4>());
        const std::uint32_t d = LoadLe32(words->last<4>());
        c = kTables[7][c & 0xFF] ^ kTables[6][(c >> 8) & 0xFF] ^ kTables[5][(c >> 16) & 0xFF] ^ kTables[4][c >> 24] ^
            kTables[3][d & 0xFF] ^ kTables[2][(d >> 8) & 0xFF] ^ kTables[1][(d >> 16) & 0xFF] ^ kTables[0][d >> 24];
    }
    while (const auto byte = in.U8())
        c = kTables[0][(c ^ *byte) & 0xFF] ^ (c >> 8);
    return c;
}

#if defined(VANTOREL_CLMUL)
// x^n mod P for the generator P = 0x104C11DB7, its coefficient of x^i at bit 63 - i: the order in
// which the reflected CRC's bytes, loaded little-endian, hold their bits.
constexpr std::uint64_t PowerModP(unsigned n)
{
    std::uint32_t r = 1;
    for (unsigned i = 0; i < n; ++i)
        r = (r << 1) ^ ((r & 0x80000000u) ? 0x04C11DB7u : 0u);
    std::uint64_t out = 0;
    for (unsigned i = 0; i < 32; ++i)
        out |= std::uint64_t{(r >> i) & 1} << (63 - i);
    return out;
}

// Sixteen bytes moved `bits` further on are congruent to their first eight bytes times
// x^(bits + 64) plus their last eight times x^bits. A carry-less product of two such reflected
// halves comes out one place short (x times the product), hence one power less in each constant.
struct Fold {
    std::uint64_t first, last;
};
constexpr Fold FoldBy(unsigned bits) { return {PowerModP(bits + 63), PowerModP(bits - 1)}; }
constexpr Fold kBy512 = FoldBy(512), kBy128 = FoldBy(128);

VANTOREL_TARGET_CLMUL inline __m128i Load16(std::span<const std::uint8_t> data, std::size_t at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data.subspan(at, 16).data()));
}

VANTOREL_TARGET_CLMUL inline __m128i FoldOnto(__m128i block, __m128i constants, __m128i onto)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(block, constants, 0x00),
                                       _mm_clmulepi64_si128(block, constants, 0x11)),
                         onto);
}

// The register over `data`, a multiple of 16 bytes and at least 64: four lanes of 16 bytes are
// folded 64 bytes at a time, then into one, whose bytes the tables finish.
VANTOREL_TARGET_CLMUL std::uint32_t ByFolding(std::span<const std::uint8_t> data, std::uint32_t c)
{
    const __m128i by512 = _mm_set_epi64x(static_cast<long long>(kBy512.last), static_cast<long long>(kBy512.first));
    const __m128i by128 = _mm_set_epi64x(static_cast<long long>(kBy128.last), static_cast<long long>(kBy128.first));
    // A register carried in equals its bits added to the first four bytes.
    __m128i x0 = _mm_xor_si128(Load16(data, 0), _mm_cvtsi32_si128(static_cast<int>(c)));
    __m128i x1 = Load16(data, 16), x2 = Load16(data, 32), x3 = Load16(data, 48);
    std::size_t at = 64;
    for (; at + 64 <= data.size(); at += 64) {
        x0 = FoldOnto(x0, by512, Load16(data, at));
        x1 = FoldOnto(x1, by512, Load16(data, at + 16));
        x2 = FoldOnto(x2, by512, Load16(data, at + 32));
        x3 = FoldOnto(x3, by512, Load16(data, at + 48));
    }
    __m128i x = FoldOnto(FoldOnto(FoldOnto(x0, by128, x1), by128, x2), by128, x3);
    for (; at < data.size(); at += 16)
        x = FoldOnto(x, by128, Load16(data, at));
    std::array<std::uint8_t, 16> rest;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest.data()), x);
    return BySlices(rest, 0);
}

bool ClmulPresent()
{
    static const bool present = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    }();
    return present;
}
#endif

} // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc)
{
    std::uint32_t c = ~crc;
#if defined(VANTOREL_CLMUL)
    // Below a few hundred bytes the tables are as quick.
    if (data.size() >= 256 && ClmulPresent()) {
        const std::size_t folded = data.size() & ~std::size_t{15};
        c = ByFolding(data.first(folded), c);
        data = data.subspan(folded);
    }
#endif
    return ~BySlices(data, c);
}

std::uint32_t Crc32BySlices(std::span<const std::uint8_t> data, std::uint32_t crc) { return ~BySlices(data, ~crc); }

} // namespace imaging
