#include "alphaimage/core/page/SourceInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using aic::IconEntry;
using namespace std::string_literals;

TEST(SourceInfo, FormatLineNamesTheKindOfPicture)
{
    struct Case {
        int w, h, type;
        bool alpha;
        const wchar_t* line;
    };
    const Case cases[] = {
        {48, 48, 10, false, L"48 x 48 - PNG file"},
        {16, 9, 9, true, L"16 x 9 - Transparent GIF"},
        {16, 9, 9, false, L"16 x 9 - GIF file"},
        {0, 0, 0, false, L"0 x 0 - "}, // blank image
        {100, 50, 4, false, L"100 x 50 - Windows Meta File"},
        {32, 32, 7, true, L"32 x 32 - Alpha Bitmap"},
        {32, 32, 3, false, L"32 x 32 - "}, // an icon lists its entries instead
    };
    for (const Case& c : cases)
        EXPECT_EQ(aic::FormatLine(c.w, c.h, c.type, c.alpha), c.line) << c.type;
}

TEST(SourceInfo, EntryTextsAreReadBackByPosition)
{
    struct Case {
        IconEntry entry;
        const wchar_t* text;
        aic::IconChoice choice;
    };
    const Case cases[] = {
        {{32, 32, 32, -1}, L"032x032 {32 bit, True Color Alpha}", {32, 32, 32}},
        {{16, 16, 8, 256}, L"016x016 {8 bit, 256 colors}", {16, 16, 8}},
        {{48, 48, 24, static_cast<std::int32_t>(0xFF000000u)}, L"048x048 {24 bit, True Color}", {48, 48, 24}},
        {{16, 16, 16, 0xFFFF00}, L"016x016 {16 bit, High Color}", {16, 16, 16}},
        {{256, 128, 1, 2}, L"256x128 {1 bit, 2 colors}", {256, 128, 1}},
    };
    for (const Case& c : cases) {
        std::wstring text = aic::IconEntryText(c.entry);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(aic::ReadIconChoice(text), c.choice) << std::string(text.begin(), text.end());
    }
    // Texts that are no entry's read as zero where they hold no number, and never past their end.
    EXPECT_EQ(aic::ReadIconChoice(L""), (aic::IconChoice{0, 0, 0}));
    EXPECT_EQ(aic::ReadIconChoice(L"12"), (aic::IconChoice{12, 0, 0}));
    EXPECT_EQ(aic::ReadIconChoice(L"abcx7.5 {2.5"), (aic::IconChoice{0, 8, 2}));
}

TEST(SourceInfo, EntriesAreListedBySizeThenDepthKeepingFileOrderOfEqualKeys)
{
    struct Case {
        const char* name;
        std::vector<IconEntry> file;
        std::vector<aic::IconListItem> list;
    };
    const Case cases[] = {
        {"three entries",
         {{16, 16, 8, 256}, {32, 32, 32, -1}, {16, 16, 32, -1}},
         {{L"016x016 {8 bit, 256 colors}", 264},
          {L"016x016 {32 bit, True Color Alpha}", 288},
          {L"032x032 {32 bit, True Color Alpha}", 1056}}},
        {"one entry", {{48, 48, 4, 16}}, {{L"048x048 {4 bit, 16 colors}", 2308}}},
        // 8x8 at 8 bits and 4x4 at 56: the same key; the file's order stays.
        {"equal keys",
         {{32, 32, 32, -1}, {8, 8, 8, 256}, {4, 4, 56, -1}},
         {{L"008x008 {8 bit, 256 colors}", 72},
          {L"004x004 {56 bit, True Color Alpha}", 72},
          {L"032x032 {32 bit, True Color Alpha}", 1056}}},
        {"none", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(aic::IconEntryList(c.file), c.list) << c.name;
}

TEST(SourceInfo, FilterPairsEveryPatternWithItsPointAndOffersTiffOnlyWithGdiPlus)
{
    const std::wstring common = L"Bitmaps\0*.bmp\0GIFs\0*.gif\0Icons and Cursors\0*.ico;*.cur\0JPGs\0*.jpg;*.jpeg\0"
                                L"Meta Files\0*.wmf;*.emf\0PNGs\0*.png\0"s;
    const std::wstring images = L"Image Files\0*.gif;*.bmp;*.jpg;*.jpeg;*.ico;*.cur;*.wmf;*.emf;*.png"s;
    EXPECT_EQ(aic::ImageFileFilter(false), images + L'\0' + common + L"All Files\0*.*\0"s);
    EXPECT_EQ(aic::ImageFileFilter(true), images + L";*.tiff\0"s + common + L"Tiff\0*.tiff\0All Files\0*.*\0"s);
}

} // namespace
