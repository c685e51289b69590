#include "imaging/core/PngFilter.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace imaging {

namespace {

// The byte each filter subtracts from x, given left a, above b and upper left c (0 where they
// fall outside the picture).
inline int Prediction(std::uint8_t type, int a, int b, int c)
{
    switch (type) {
    case 1: return a;
    case 2: return b;
    case 3: return (a + b) / 2;
    case 4: return PaethPredictor(a, b, c);
    default: return 0;
    }
}

// The cost of a filter on a row, or more than `best` as soon as the running sum passes it.
std::uint64_t Cost(std::uint8_t type, std::span<const std::uint8_t> row, std::span<const std::uint8_t> above,
                   std::size_t unit, std::uint64_t best)
{
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const int a = i >= unit ? row[i - unit] : 0, b = above.empty() ? 0 : above[i];
        const int c = i >= unit && !above.empty() ? above[i - unit] : 0;
        const int d = row[i] - Prediction(type, a, b, c);
        sum += static_cast<std::uint64_t>(d < 0 ? -d : d);
        if (sum > best)
            break;
    }
    return sum;
}

// Paeth from byte `from` on, where every byte has a left neighbour.
void PaethBytes(std::span<const std::uint8_t> row, std::span<const std::uint8_t> above, std::size_t unit,
                       std::span<std::uint8_t> data, std::size_t from)
{
    std::size_t i = from;
#if defined(__SSE2__)
    // Sixteen bytes at a time, the predictor worked out in 16-bit lanes: the encoder's left and
    // upper-left bytes are the picture's own, so no byte waits for the one before it.
    const __m128i zero = _mm_setzero_si128();
    const auto load = [](std::span<const std::uint8_t> s, std::size_t at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.subspan(at, 16).data()));
    };
    const auto absolute = [&](__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(zero, v)); };
    const auto predict = [&](__m128i a, __m128i b, __m128i c) {
        const __m128i bc = _mm_sub_epi16(b, c), ac = _mm_sub_epi16(a, c);
        const __m128i pa = absolute(bc), pb = absolute(ac), pc = absolute(_mm_add_epi16(bc, ac));
        // a when pa <= pb and pa <= pc; else b when pb <= pc; else c.
        const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
        const __m128i notB = _mm_cmpgt_epi16(pb, pc);
        const __m128i bOrC = _mm_or_si128(_mm_and_si128(notB, c), _mm_andnot_si128(notB, b));
        return _mm_or_si128(_mm_and_si128(notA, bOrC), _mm_andnot_si128(notA, a));
    };
    for (; i + 16 <= row.size(); i += 16) {
        const __m128i a = load(row, i - unit), b = load(above, i), c = load(above, i - unit), x = load(row, i);
        const __m128i low = predict(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero));
        const __m128i high = predict(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(data.subspan(i, 16).data()),
                         _mm_sub_epi8(x, _mm_packus_epi16(low, high)));
    }
#endif
    for (; i < row.size(); ++i)
        data[i] = static_cast<std::uint8_t>(row[i] - PaethPredictor(row[i - unit], above[i], above[i - unit]));
}

} // namespace

int FilterTypeForSetting(int setting, std::uint8_t colourType)
{
    if (setting < 0 || setting > 6)
        setting = 0;
    if (setting == 0)
        setting = colourType == 2 || colourType == 6 ? 5 : 1;
    return setting == 6 ? -1 : setting - 1;
}

std::uint8_t ChooseFilter(std::span<const std::uint8_t> row, std::span<const std::uint8_t> above, std::size_t unit)
{
    std::uint8_t chosen = 0;
    std::uint64_t best = std::uint64_t{row.size()} * 254;
    for (std::uint8_t type = 0; type <= (above.empty() ? 1 : 4); ++type) {
        const std::uint64_t cost = Cost(type, row, above, unit, best);
        if (cost <= best) {
            best = std::max<std::uint64_t>(cost, 1);
            chosen = type;
        }
    }
    return chosen;
}

void FilterRow(std::uint8_t type, std::span<const std::uint8_t> row, std::span<const std::uint8_t> above,
               std::size_t unit, std::span<std::uint8_t> out)
{
    out[0] = type;
    const auto data = out.subspan(1, row.size());
    const std::size_t n = row.size(), lead = std::min(unit, n);
    if (type == 0 || (type == 2 && above.empty())) {
        std::memcpy(data.data(), row.data(), n);
        return;
    }
    // The first pixel has nothing on its left: a = c = 0.
    for (std::size_t i = 0; i < lead; ++i)
        data[i] = static_cast<std::uint8_t>(row[i] - Prediction(type, 0, above.empty() ? 0 : above[i], 0));
    if (above.empty()) { // b = c = 0: Paeth predicts a, as Sub does
        for (std::size_t i = lead; i < n; ++i)
            data[i] = static_cast<std::uint8_t>(row[i] - (type == 3 ? row[i - unit] / 2 : row[i - unit]));
        return;
    }
    switch (type) {
    case 1:
        for (std::size_t i = lead; i < n; ++i)
            data[i] = static_cast<std::uint8_t>(row[i] - row[i - unit]);
        break;
    case 2:
        for (std::size_t i = lead; i < n; ++i)
            data[i] = static_cast<std::uint8_t>(row[i] - above[i]);
        break;
    case 3:
        for (std::size_t i = lead; i < n; ++i)
            data[i] = static_cast<std::uint8_t>(row[i] - (row[i - unit] + above[i]) / 2);
        break;
    default: PaethBytes(row, above, unit, data, lead); break;
    }
}

} // namespace imaging
