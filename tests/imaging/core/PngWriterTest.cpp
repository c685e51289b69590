// The PNG writer against the host's zlib and libpng: the colour type each census leads to, files
// that read back through our reader and libpng, filters that undo, image data that is compress2
// of rows filtered here, and the optional chunks with their keyword and text rules.
#include "PngTestFiles.h"

#include "imaging/core/PngFilter.h"
#include "imaging/core/PngReader.h"
#include "imaging/core/PngUnfilter.h"
#include "imaging/core/PngWriter.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <map>

using namespace pngtest;
using imaging::PngWriteOptions;

namespace {

// A picture as the engine holds it, built top row first from 0xAARRGGBB values (premultiplied).
struct Pic {
    int width = 0, height = 0;
    bool alpha = true;
    std::vector<std::uint32_t> argb;
    Bytes Bgra() const
    {
        Bytes b;
        for (int y = height - 1; y >= 0; --y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = argb[static_cast<std::size_t>(y * width + x)];
                b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
            }
        return b;
    }
};

Pic Row(std::vector<std::uint32_t> argb, bool alpha = true) { return {static_cast<int>(argb.size()), 1, alpha, argb}; }

// `count` distinct colours from `make(i)`, in a picture 64 wide.
template <typename Make> Pic Many(int count, Make make, bool alpha = true)
{
    Pic p{64, (count + 63) / 64, alpha, {}};
    for (int i = 0; i < p.width * p.height; ++i)
        p.argb.push_back(make(i < count ? i : 0));
    return p;
}

std::optional<std::size_t> HostCompress(std::span<std::uint8_t> to, std::span<const std::uint8_t> from)
{
    uLongf size = to.size();
    if (compress2(to.data(), &size, from.data(), from.size(), 9) != Z_OK)
        return std::nullopt;
    return size;
}

const imaging::PngWriteServices kServices{HostCompress, nullptr, [](std::wstring_view text) {
    return text == L"2024-02-29 13:14:15" ? std::optional(imaging::PngTime{2024, 2, 29, 13, 14, 15}) : std::nullopt;
}};

Bytes Write(const Pic& p, const PngWriteOptions& options = {})
{
    const Bytes bgra = p.Bgra();
    Bytes png;
    EXPECT_TRUE(imaging::WritePng({bgra, p.width, p.height, p.alpha}, options, kServices, png));
    return png;
}

std::map<std::string, Bytes> ChunkData(const Bytes& png)
{
    std::map<std::string, Bytes> data;
    for (const ChunkAt& c : Chunks(png))
        data[c.type] = Bytes(png.begin() + c.offset + 8, png.begin() + c.offset + 8 + c.length);
    return data;
}

std::string Order(const Bytes& png)
{
    std::string order;
    for (const ChunkAt& c : Chunks(png))
        order += (order.empty() ? "" : " ") + c.type;
    return order;
}

// libpng's pixels, bottom row first, premultiplied as the engine holds them or as stored.
Bytes LibpngBgra(const Bytes& png, bool premultiply = true)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return {};
    image.format = PNG_FORMAT_BGRA;
    Bytes rgba(PNG_IMAGE_SIZE(image)), bgra;
    // Bottom row first, as the engine's rows run.
    if (!png_image_finish_read(&image, nullptr, rgba.data(), -static_cast<png_int_32>(image.width * 4), nullptr))
        return {};
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        for (int k = 0; k < 4; ++k)
            bgra.push_back(k == 3 || !premultiply ? rgba[i + std::size_t(k)]
                                                  : std::uint8_t(rgba[i + std::size_t(k)] * rgba[i + 3] / 255));
    return bgra;
}

TEST(PngWriter, EachCensusTakesItsRoute)
{
    const auto grey = [](int v) { return 0xFF000000u | std::uint32_t(v) * 0x010101u; };
    // Values in signed order put alpha 128 to 254 before 0 to 127.
    Bytes alphas;
    for (int a = 128; a < 128 + 255; ++a)
        alphas.push_back(std::uint8_t(a < 255 ? a : a - 255));
    const struct {
        const char* name;
        Pic picture;
        int colourType;
        std::string chunks;
        Bytes trns, plte; // plte compared when not empty
    } cases[] = {
        {"one opaque grey pixel without alpha", Row({grey(7)}, false), 0, "IHDR IDAT IEND", {}, {}},
        {"one colour without alpha", Row({0xFF102030}, false), 3, "IHDR PLTE IDAT IEND", {}, {0x10, 0x20, 0x30}},
        {"greys and transparent black: the lowest free level is the key", Row({grey(0), grey(1), 0, grey(3)}), 0,
         "IHDR tRNS IDAT IEND", {0, 2}, {}},
        {"opaque greys with alpha: a free level below the count is a key", Row({grey(0), grey(1), grey(3)}), 0,
         "IHDR tRNS IDAT IEND", {0, 2}, {}},
        {"opaque greys using every level below the count", Row({grey(0), grey(1), grey(2)}), 0, "IHDR IDAT IEND", {}, {}},
        {"a grey partly transparent keeps its alpha in a palette", Row({grey(9), 0x80404040}), 3,
         "IHDR PLTE tRNS IDAT IEND", {0x80}, {0x7F, 0x7F, 0x7F, 9, 9, 9}},
        {"a transparent grey with a colour keeps it in a palette", Row({grey(9), 0x00050505}), 3,
         "IHDR PLTE tRNS IDAT IEND", {0}, {5, 5, 5, 9, 9, 9}},
        {"see-through entries first, opaque ones from the end", Row({0xFF0000FF, 0x80400000, 0xFF00FF00, 0x40002000}),
         3, "IHDR PLTE tRNS IDAT IEND", {0x80, 0x40}, {0x7F, 0, 0, 0, 0x7F, 0, 0, 0xFF, 0, 0, 0, 0xFF}},
        {"a colour above its alpha is clamped", Row({0x80FF0000, 0xFF000000}), 3, "IHDR PLTE tRNS IDAT IEND", {0x80},
         {0xFF, 0, 0, 0, 0, 0}},
        {"256 values with alpha: a palette", Many(256, [](int i) { return std::uint32_t(i) << 24; }), 3,
         "IHDR PLTE tRNS IDAT IEND", alphas, {}},
        {"257 opaque colours without alpha: RGB", Many(257, [](int i) { return 0xFF000000u | std::uint32_t(i) * 0x10001u; }, false),
         2, "IHDR IDAT IEND", {}, {}},
        {"two-level alpha: a key from the lowest blue value no pixel takes",
         Many(300, [](int i) { return i == 0 ? 0u : 0xFF000000u | std::uint32_t(i % 255) | std::uint32_t(i) << 8; }),
         2, "IHDR tRNS IDAT IEND", {0, 255, 0, 255, 0, 255}, {}},
        {"blue takes every value: the key comes from green",
         Many(300, [](int i) { return i == 0 ? 0u : 0xFF000000u | std::uint32_t(i % 256) | std::uint32_t(i % 7) << 8; }),
         2, "IHDR tRNS IDAT IEND", {0, 7, 0, 7, 0, 7}, {}},
        {"every channel takes every value: RGBA", Many(300, [](int i) { return i == 0 ? 0u : 0xFF000000u | (std::uint32_t(i % 256) * 0x10101u ^ std::uint32_t(i / 256)); }),
         6, "IHDR IDAT IEND", {}, {}},
        {"partial alpha among many colours: RGBA", Many(300, [](int i) { return i == 5 ? 0x80010101u : 0xFF000000u | std::uint32_t(i); }),
         6, "IHDR IDAT IEND", {}, {}},
        {"a transparent pixel with a colour among many: RGBA, the colour kept",
         Many(300, [](int i) { return i == 0 ? 0x00030201u : 0xFF000000u | std::uint32_t(i); }), 6, "IHDR IDAT IEND", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes png = Write(c.picture);
        auto data = ChunkData(png);
        EXPECT_EQ(Order(png), c.chunks);
        EXPECT_EQ(data["IHDR"][9], c.colourType);
        EXPECT_EQ(data["tRNS"], c.trns);
        EXPECT_TRUE(c.plte.empty() || data["PLTE"] == c.plte);
        // A transparent pixel keeps the colour it holds where the colour type can hold one.
        const std::size_t topLeft = std::size_t(c.picture.height - 1) * std::size_t(c.picture.width) * 4;
        const Bytes in = c.picture.Bgra(), stored = LibpngBgra(png, false);
        if (in[topLeft + 3] == 0 && (c.colourType == 3 || c.colourType == 6)) {
            EXPECT_EQ(Bytes(stored.begin() + std::ptrdiff_t(topLeft), stored.begin() + std::ptrdiff_t(topLeft + 3)),
                      Bytes(in.begin() + std::ptrdiff_t(topLeft), in.begin() + std::ptrdiff_t(topLeft + 3)));
        }
    }
}

// Opaque and transparent pixels come back exactly; a partly transparent colour within one below
// what it was, or its alpha where it was above it. Without alpha every pixel is opaque as stored.
::testing::AssertionResult WithinAlphaRule(const Pic& p, const Bytes& got)
{
    const Bytes in = p.Bgra();
    if (got.size() != in.size())
        return ::testing::AssertionFailure() << "size " << got.size();
    for (std::size_t i = 0; i < in.size(); i += 4) {
        const int a = p.alpha ? in[i + 3] : 255;
        for (std::size_t k = 0; k < 4; ++k) {
            const int c = k == 3 ? a : a == 0 ? 0 : std::min<int>(in[i + k], a);
            const int lowest = a == 0 || a == 255 || k == 3 ? c : c - 1;
            if (got[i + k] < lowest || got[i + k] > c)
                return ::testing::AssertionFailure() << "byte " << i + k << ": " << +got[i + k] << " for " << c;
        }
    }
    return ::testing::AssertionSuccess();
}

// The census seeds itself from every 32nd row: a colour met only in the others still takes its
// place in the palette's order, and every row its index.
TEST(PngWriter, ColoursOutsideTheSeedingRowsKeepThePaletteOrder)
{
    // Top row 5 of 70 is the bottom-up row 64, which seeds; row 10 is not.
    const auto tall = [](std::uint32_t left, std::uint32_t right, std::uint32_t once, int at) {
        Pic p{2, 70, true, {}};
        for (int y = 0; y < p.height; ++y)
            p.argb.insert(p.argb.end(), {left, y == at ? once : right});
        return p;
    };
    const Bytes opaque = {0, 0, 1, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60}, table = {0x7F, 0, 0, 0, 0x7F, 0, 0, 0, 0xFF};
    const struct {
        const char* name;
        Pic picture;
        Bytes plte, trns;
    } cases[] = {
        {"opaque, the colour met once seeds", tall(0xFF102030, 0xFF405060, 0xFF000001, 5), opaque, {}},
        {"opaque, the colour met once does not seed", tall(0xFF102030, 0xFF405060, 0xFF000001, 10), opaque, {}},
        {"alpha table, seeding", tall(0xFF0000FF, 0x80400000, 0x40002000, 5), table, {0x80, 0x40}},
        {"alpha table, not seeding", tall(0xFF0000FF, 0x80400000, 0x40002000, 10), table, {0x80, 0x40}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes png = Write(c.picture);
        EXPECT_EQ(ChunkData(png)["PLTE"], c.plte);
        EXPECT_EQ(ChunkData(png)["tRNS"], c.trns);
        EXPECT_TRUE(WithinAlphaRule(c.picture, LibpngBgra(png)));
    }
}

TEST(PngWriter, FilesReadBackThroughOurReaderAndLibpng)
{
    std::mt19937 rng(190);
    for (int trial = 0; trial < 120; ++trial) {
        Pic p{int(rng() % 40 + 1), int(rng() % 12 + 1), rng() % 4 != 0, {}};
        // Few colours or many, grey or not, alphas of every kind, some colours above their alpha.
        const int colours = trial % 3 == 0 ? 4 : trial % 3 == 1 ? 300 : 60;
        const bool grey = rng() % 3 == 0;
        std::vector<std::uint32_t> palette;
        for (int i = 0; i < colours; ++i) {
            const std::uint32_t a = rng() % 3 == 0 ? rng() % 256 : rng() % 2 ? 255 : 0;
            const std::uint32_t rgb = grey ? (rng() % 256) * 0x010101u : rng() & 0xFFFFFF;
            std::uint32_t premultiplied = 0;
            for (int shift = 0; shift < 24; shift += 8)
                premultiplied |= ((rgb >> shift & 0xFF) * a / 255) << shift;
            palette.push_back(a << 24 | (rng() % 8 ? premultiplied : rgb));
        }
        for (int i = 0; i < p.width * p.height; ++i)
            p.argb.push_back(palette[rng() % palette.size()]);
        PngWriteOptions options;
        options.filterSetting = static_cast<int>(rng() % 9) - 1;
        SCOPED_TRACE("trial " + std::to_string(trial));
        const Bytes png = Write(p, options);
        imaging::PngPicture ours;
        ASSERT_EQ(imaging::DecodePng(png, ours), imaging::PngLoad::Decoded);
        EXPECT_TRUE(WithinAlphaRule(p, ours.pixels));
        EXPECT_TRUE(WithinAlphaRule(p, LibpngBgra(png)));
    }
}

// The filters as the format defines them, byte by byte: what each filter subtracts.
int Predicted(int type, const Bytes& row, const Bytes* above, std::size_t i, std::size_t unit)
{
    const int a = i >= unit ? row[i - unit] : 0, b = above ? (*above)[i] : 0, c = above && i >= unit ? (*above)[i - unit] : 0;
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    const int predictions[5] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
    return predictions[type];
}

// The choice per row as a whole sum each, the lowest winning and a later one winning a tie.
std::uint8_t ModelChoice(const Bytes& row, const Bytes* above, std::size_t unit)
{
    std::uint8_t chosen = 0;
    std::uint64_t best = row.size() * 254;
    for (int type = 0; type <= (above ? 4 : 1); ++type) {
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < row.size(); ++i)
            sum += std::uint64_t(std::abs(row[i] - Predicted(type, row, above, i, unit)));
        if (sum <= best)
            best = std::max<std::uint64_t>(sum, 1), chosen = std::uint8_t(type);
    }
    return chosen;
}

TEST(PngWriter, FiltersUndoAndTheChoicePerRowFollowsItsModel)
{
    std::mt19937 rng(192);
    for (int trial = 0; trial < 6000; ++trial) {
        const std::size_t units[] = {1, 3, 4};
        const std::size_t unit = units[rng() % 3];
        const std::size_t n = unit * (rng() % 30 + 1);
        Bytes row(n), above(n);
        for (std::size_t i = 0; i < n; ++i) { // zeros, runs and noise, so that ties are met
            row[i] = trial % 7 == 0 ? 0 : std::uint8_t(rng() % 3 ? rng() : 0);
            above[i] = trial % 7 == 0 ? 0 : std::uint8_t(rng() % 2 ? rng() : row[i]);
        }
        const bool top = rng() % 4 == 0;
        const std::span<const std::uint8_t> prior = top ? std::span<const std::uint8_t>() : above;
        ASSERT_EQ(imaging::ChooseFilter(row, prior, unit), ModelChoice(row, top ? nullptr : &above, unit)) << trial;
        const auto type = std::uint8_t(rng() % 5);
        Bytes out(n + 1);
        imaging::FilterRow(type, row, prior, unit, out);
        ASSERT_EQ(out[0], type);
        Bytes back(out.begin() + 1, out.end());
        ASSERT_TRUE(imaging::UnfilterPngRow(type, back.data(), top ? nullptr : above.data(), n, unit));
        ASSERT_EQ(back, row) << "type " << +type << " unit " << unit << " top " << top;
    }
}

// The image data is compress2 at level 9 of the stored rows, each filtered here by the model
// with the setting's filter.
TEST(PngWriter, ImageDataIsCompress2OfTheFilteredRows)
{
    std::mt19937 rng(193);
    const Pic pictures[] = {
        Many(200, [](int i) { return 0xFF000000u | std::uint32_t(i * 77); }, false),
        Many(900, [&](int i) { return std::uint32_t(i % 255 + 1) << 24 | std::uint32_t(i % 7); }),
        Many(900, [](int i) { return 0xFF000000u | std::uint32_t(i * 2654435761u) >> 8; }, false),
        Many(900, [](int i) { return i % 3 ? 0xFF000000u | std::uint32_t(i) * 0x010101u : 0u; }),
    };
    for (const Pic& p : pictures)
        for (int setting : {0, 1, 2, 3, 4, 5, 6, 9}) {
            PngWriteOptions options;
            options.filterSetting = setting;
            const Bytes png = Write(p, options);
            const int type = ChunkData(png)["IHDR"][9];
            const std::size_t unit = type == 6 ? 4 : type == 2 ? 3 : 1;
            // The stored rows, unfiltered by the reader's code.
            Bytes raw(std::size_t(p.height) * (std::size_t(p.width) * unit + 1));
            uLongf size = raw.size();
            const Bytes z = ChunkData(png)["IDAT"];
            ASSERT_EQ(uncompress(raw.data(), &size, z.data(), z.size()), Z_OK);
            const std::size_t n = std::size_t(p.width) * unit;
            Bytes filtered, previous;
            for (int y = 0; y < p.height; ++y) {
                Bytes row(n);
                std::copy_n(raw.begin() + std::ptrdiff_t(y * (n + 1) + 1), n, row.begin());
                ASSERT_TRUE(imaging::UnfilterPngRow(raw[y * (n + 1)], row.data(), y ? previous.data() : nullptr, n, unit));
                const int fixed = setting >= 1 && setting <= 5 ? setting - 1 : type == 2 || type == 6 ? 4 : 0;
                const int f = setting == 6 ? ModelChoice(row, y ? &previous : nullptr, unit) : fixed;
                filtered.push_back(std::uint8_t(f));
                for (std::size_t i = 0; i < n; ++i)
                    filtered.push_back(std::uint8_t(row[i] - Predicted(f, row, y ? &previous : nullptr, i, unit)));
                previous = row;
            }
            Bytes expected(compressBound(filtered.size()));
            uLongf length = expected.size();
            ASSERT_EQ(compress2(expected.data(), &length, filtered.data(), filtered.size(), 9), Z_OK);
            expected.resize(length);
            EXPECT_EQ(z, expected) << "colour type " << type << " setting " << setting;
        }
}

TEST(PngWriter, KeywordsAndTextsAreCleaned)
{
    const struct {
        std::wstring keyword, cleaned;
        std::int32_t flag;
    } keywords[] = {
        {L"", L"", 0},
        {std::wstring(80, L'k'), std::wstring(79, L'k'), -1},
        {L"  a  b  ", L"a b", -1},
        {L"a\tb", L"", 0},
        {L"   ", L"", 0},
        {L"x\u00A0y\u00E9", L"x y\u00E9", -1},
        {L"cOPYRIGHT", L"cOPYRIGHT", imaging::pngCopyright},
        {L"Creation  Time", L"Creation Time", imaging::pngCreationTime},
    };
    for (const auto& k : keywords) {
        std::wstring keyword = k.keyword;
        EXPECT_EQ(imaging::CleanKeyword(keyword), k.flag) << keyword.size();
        EXPECT_TRUE(keyword == k.cleaned) << k.cleaned.size();
    }
    EXPECT_EQ(imaging::CleanText(L"a\r\nb\rc\td"), L"a\nb\nc\td");
    EXPECT_EQ(imaging::CleanText(L"a\x07"), L"");
    EXPECT_EQ(imaging::CleanText(std::wstring(40000, L'z')).size(), 32700u);
    EXPECT_TRUE(imaging::IsOptionFlag(8192));
    EXPECT_FALSE(imaging::IsOptionFlag(16384) || imaging::IsOptionFlag(3) || imaging::IsOptionFlag(0));
}

TEST(PngWriter, OptionalChunksTakeTheirPlaces)
{
    // 255 colours: the background is added as the 256th palette entry.
    const Pic p = Many(255, [](int i) { return 0xFF000000u | std::uint32_t(i) * 0x10001u; });
    PngWriteOptions options;
    EXPECT_TRUE(imaging::AddPngText(options, L"Title", L""));
    EXPECT_TRUE(imaging::AddPngText(options, L"comment", L"line\r\nnext"));
    EXPECT_TRUE(imaging::AddPngText(options, L"Short", std::wstring(1024, L's')));
    EXPECT_TRUE(imaging::AddPngText(options, L"Long", std::wstring(1025, L'l')));
    EXPECT_FALSE(imaging::AddPngText(options, L"bad\x01", L"never"));
    options.textSlots.push_back(std::wstring(L"no\0keyword here", 15)); // the keyword "no" and a text
    options.textSlots.push_back(std::wstring(L"\0text without a keyword", 23));
    options.textSlots[imaging::kTimeSlot] = L"2024-02-29 13:14:15";
    options.optionFlags |= imaging::pngTime | imaging::pngBackground;
    options.backgroundColor = 0x0000FF;
    Bytes png = Write(p, options);
    EXPECT_EQ(Order(png), "IHDR tEXt PLTE bKGD IDAT tIME tEXt tEXt zTXt tEXt IEND");
    auto data = ChunkData(png);
    EXPECT_EQ(data["PLTE"].size(), 256u * 3);
    EXPECT_EQ(data["bKGD"], Bytes{255});
    EXPECT_EQ(data["tIME"], (Bytes{0x07, 0xE8, 2, 29, 13, 14, 15}));
    const auto texts = Chunks(png);
    EXPECT_EQ(texts[1].length, 6u) << "Title and its NUL";
    EXPECT_EQ(Bytes(png.begin() + std::ptrdiff_t(texts[6].offset + 8), png.begin() + std::ptrdiff_t(texts[6].offset + 21)),
              (Bytes{'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'l', 'i', 'n', 'e', '\n'}));
    EXPECT_EQ(texts[7].length, 6u + 1024u) << "1,024 characters stay plain";
    // A full palette has no room for the background; a text that is no date leaves tIME out, and
    // the rest is written.
    options.textSlots[imaging::kTimeSlot] = L"no date";
    png = Write(Many(256, [](int i) { return 0xFF000000u | std::uint32_t(i); }), options);
    EXPECT_EQ(Order(png), "IHDR tEXt PLTE IDAT tEXt tEXt zTXt tEXt IEND");
    // Grey and RGB backgrounds.
    EXPECT_EQ(ChunkData(Write(Row({0xFF0A0A0A}, false), options))["bKGD"], (Bytes{0, 0xFF}));
    EXPECT_EQ(ChunkData(Write(Many(300, [](int i) { return 0xFF000000u | std::uint32_t(i); }, false), options))["bKGD"],
              (Bytes{0, 0xFF, 0, 0, 0, 0}));
}

TEST(PngWriter, LayoutAndFailures)
{
    const Bytes png = Write(Row({0xFF123456, 0xFF654321}, false));
    std::size_t total = 8;
    for (const ChunkAt& c : Chunks(png))
        total += 12 + c.length;
    EXPECT_EQ(total, png.size());
    EXPECT_EQ(Bytes(png.end() - 12, png.end()), (Bytes{0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82}));
    const Bytes bgra = Row({0xFF000000}).Bgra();
    Bytes out{1, 2, 3};
    const imaging::PngWriteServices failing{[](std::span<std::uint8_t>, std::span<const std::uint8_t>) {
        return std::optional<std::size_t>();
    }, nullptr, nullptr};
    EXPECT_FALSE(imaging::WritePng({bgra, 1, 1, true}, {}, failing, out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(imaging::WritePng({bgra, 2, 1, true}, {}, kServices, out)) << "fewer bytes than the picture needs";
}

} // namespace
