#include "imaging/core/Adler32.h"
#include "imaging/core/Simd.h"

#include "imaging/core/SpanReader.h"

#include <algorithm>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VANTOREL_ADLER_AVX2 1
#endif

namespace imaging {

namespace {

constexpr std::uint32_t kBase = 65521;
// Data up to this size is taken to be in the cache.
constexpr std::size_t kCached = 256 * 1024;

#if defined(VANTOREL_ADLER_AVX2)
// Adds the eight 32-bit lanes (at most 2^32 - 1 together).
__attribute__((target("avx2"))) std::uint32_t Total(__m256i v)
{
    __m128i x = _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    x = _mm_add_epi32(x, _mm_shuffle_epi32(x, 0x4E));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_add_epi32(x, _mm_shuffle_epi32(x, 0xB1))));
}

// The sums over whole 64-byte blocks of `data`, for processors with AVX2; returns the bytes taken.
// Over a run of n blocks the second sum grows by the first sum before it times the run's length,
// 64 times the sum over blocks of the bytes of all blocks before them, and each block's bytes
// weighted 64 down to 1. A block's two halves go side by side, so the sums of earlier blocks are
// added once a block. In a run of 512 blocks those sums, each of the four lanes below 4,080 * 512 *
// 511 / 2, stay below 2^32 summed; so do the weighted sums.
__attribute__((target("avx2"))) std::size_t Adler32Blocks(std::span<const std::uint8_t> data, std::uint32_t& a, std::uint32_t& b)
{
    constexpr std::size_t kBlock = 64, kMaxBlocks = 512;
    const __m256i zero = _mm256_setzero_si256(), ones = _mm256_set1_epi16(1);
    const __m256i high = _mm256_set_epi8(33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54,
                                         55, 56, 57, 58, 59, 60, 61, 62, 63, 64);
    const __m256i low = _mm256_set_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                                        25, 26, 27, 28, 29, 30, 31, 32);
    SpanReader in(data);
    for (;;) {
        const std::size_t blocks = std::min(in.Remaining() / kBlock, kMaxBlocks);
        const auto run = in.Take(blocks * kBlock);
        if (!run || blocks == 0)
            break;
        __m256i sums = zero, earlier = zero, weighted = zero;
        for (std::size_t k = 0; k < blocks; ++k) {
            const auto block = run->subspan(k * kBlock).first<kBlock>();
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block.data()));
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block.subspan<32>().data()));
            earlier = _mm256_add_epi32(earlier, sums);
            sums = _mm256_add_epi32(sums, _mm256_add_epi32(_mm256_sad_epu8(v, zero), _mm256_sad_epu8(w, zero)));
            weighted = _mm256_add_epi32(weighted, _mm256_add_epi32(_mm256_madd_epi16(_mm256_maddubs_epi16(v, high), ones),
                                                                   _mm256_madd_epi16(_mm256_maddubs_epi16(w, low), ones)));
        }
        const std::uint64_t grown = std::uint64_t{a} * blocks * kBlock + std::uint64_t{Total(earlier)} * kBlock + Total(weighted);
        b = static_cast<std::uint32_t>((b + grown) % kBase);
        a = static_cast<std::uint32_t>((a + Total(sums)) % kBase);
    }
    return in.Consumed();
}

// The same over 256-byte groups of four blocks, for processors with AVX-512 and its byte dot
// product: a block's weighted bytes are one instruction, and the four blocks of a group keep
// sums of their own, so that no block waits for the one before. The sums of earlier blocks are
// eight 64-bit lanes; in a run of 128 groups each weighted lane stays below 128 * 4 * 64 * 255.
__attribute__((target("avx512f,avx512bw,avx512vnni"))) std::size_t Adler32Groups(std::span<const std::uint8_t> data,
                                                                                   std::uint32_t& a, std::uint32_t& b)
{
    constexpr std::size_t kBlock = 64, kGroup = 4 * kBlock, kMaxGroups = 128;
    const __m512i zero = _mm512_setzero_si512();
    const __m512i weights = _mm512_set_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                                            25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46,
                                            47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64);
    SpanReader in(data);
    for (;;) {
        const std::size_t groups = std::min(in.Remaining() / kGroup, kMaxGroups);
        const auto run = in.Take(groups * kGroup);
        if (!run || groups == 0)
            break;
        __m512i sums = zero, earlier = zero, w0 = zero, w1 = zero, w2 = zero, w3 = zero;
        for (std::size_t k = 0; k < groups; ++k) {
            const auto group = run->subspan(k * kGroup).first<kGroup>();
            const __m512i v0 = _mm512_loadu_si512(group.data());
            const __m512i v1 = _mm512_loadu_si512(group.subspan<kBlock>().data());
            const __m512i v2 = _mm512_loadu_si512(group.subspan<2 * kBlock>().data());
            const __m512i v3 = _mm512_loadu_si512(group.subspan<3 * kBlock>().data());
            const __m512i s0 = _mm512_sad_epu8(v0, zero), s1 = _mm512_sad_epu8(v1, zero);
            const __m512i s2 = _mm512_sad_epu8(v2, zero), s3 = _mm512_sad_epu8(v3, zero);
            // Before the group's blocks: 4 * the sums so far, 3 * the first block, 2 * the second, the third.
            const __m512i twice = _mm512_add_epi64(sums, sums);
            earlier = _mm512_add_epi64(earlier, _mm512_add_epi64(twice, twice));
            earlier = _mm512_add_epi64(earlier, _mm512_add_epi64(_mm512_add_epi64(s0, s0), _mm512_add_epi64(s0, s1)));
            earlier = _mm512_add_epi64(earlier, _mm512_add_epi64(s1, s2));
            sums = _mm512_add_epi64(sums, _mm512_add_epi64(_mm512_add_epi64(s0, s1), _mm512_add_epi64(s2, s3)));
            w0 = _mm512_dpbusd_epi32(w0, v0, weights);
            w1 = _mm512_dpbusd_epi32(w1, v1, weights);
            w2 = _mm512_dpbusd_epi32(w2, v2, weights);
            w3 = _mm512_dpbusd_epi32(w3, v3, weights);
        }
        // Added up through memory: GCC 12's AVX-512 shifts and reductions warn of their own
        // undefined operands.
        std::uint64_t wide[2][8];
        std::uint32_t weighted[16];
        _mm512_storeu_si512(wide[0], earlier);
        _mm512_storeu_si512(wide[1], sums);
        _mm512_storeu_si512(weighted, _mm512_add_epi32(_mm512_add_epi32(w0, w1), _mm512_add_epi32(w2, w3)));
        std::uint64_t grown = std::uint64_t{a} * groups * kGroup, sum = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            grown += wide[0][i] * kBlock + weighted[i] + weighted[i + 8];
            sum += wide[1][i];
        }
        b = static_cast<std::uint32_t>((b + grown) % kBase);
        a = static_cast<std::uint32_t>((a + sum) % kBase);
    }
    return in.Consumed();
}

bool HasAvx512Dot()
{
    static const bool has = __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vnni");
    return has;
}
#endif

} // namespace

std::uint32_t Adler32(std::span<const std::uint8_t> data, std::uint32_t adler)
{
    // Runs of 16-byte blocks. Each of the 16 columns sums its bytes and, block by block, those
    // sums: the second sum follows from them, since a byte adds itself once for every byte from it
    // to the run's end. The columns are independent, so they go side by side. In a run of at most
    // 4096 blocks a column's running sum stays below 255 * 4096 * 4097 / 2 < 2^31.
    constexpr std::size_t kBlock = 16, kMaxBlocks = 4096;
    std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
    SpanReader in(data);
#if defined(VANTOREL_ADLER_AVX2)
    // The taken blocks lie inside the data, so the skips cannot fail. The 64-byte loads are the
    // faster from the cache (inflate sums its output in chunks while they are there) but stall
    // on data that streams in from memory: measured 82 against AVX2's 60 GB/s, and 20 against 34.
    if (HasAvx512Dot() && data.size() <= kCached && !in.Skip(Adler32Groups(data, a, b)))
        return 0;
    if (simd::Avx2Present() && !in.Skip(Adler32Blocks(in.Rest(), a, b)))
        return 0;
#endif
    for (;;) {
        const std::size_t blocks = std::min(in.Remaining() / kBlock, kMaxBlocks);
        const auto run = in.Take(blocks * kBlock);
        if (!run || blocks == 0)
            break;
        std::uint32_t column[kBlock] = {}, running[kBlock] = {};
        for (std::size_t k = 0; k < blocks; ++k) {
            // Blocks of the run by count, not by a reader: an optional per block keeps GCC from
            // holding the sums in registers.
            const auto block = run->subspan(k * kBlock).first<kBlock>();
            for (std::size_t j = 0; j < kBlock; ++j) {
                column[j] += block[j];
                running[j] += column[j];
            }
        }
        std::uint64_t sum = 0, sums = 0, weighted = 0;
        for (std::size_t j = 0; j < kBlock; ++j) {
            sum += column[j];
            sums += running[j];
            weighted += j * std::uint64_t{column[j]};
        }
        b = static_cast<std::uint32_t>((b + std::uint64_t{a} * blocks * kBlock + sums * kBlock - weighted) % kBase);
        a = static_cast<std::uint32_t>((a + sum) % kBase);
    }
    while (const auto byte = in.U8()) // fewer than 16 bytes
        b += a += *byte;
    return b % kBase << 16 | a % kBase;
}

} // namespace imaging
