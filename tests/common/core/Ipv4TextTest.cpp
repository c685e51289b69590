#include "common/core/Ipv4Text.h"

#include <gtest/gtest.h>

using namespace vantorel;

using Bytes = std::array<std::uint8_t, 4>;

TEST(ParseIPv4, AcceptsDottedDecimalAfterTrimming)
{
    struct Case {
        const wchar_t* text;
        Bytes bytes;
    } cases[] = {
        {L"10.0.0.5", {10, 0, 0, 5}},
        {L"0.0.0.0", {0, 0, 0, 0}},
        {L"255.255.255.255", {255, 255, 255, 255}},
        {L"  192.168.1.20 ", {192, 168, 1, 20}},
        {L"010.001.000.099", {10, 1, 0, 99}},
    };
    for (const auto& c : cases) {
        auto got = ParseIPv4(c.text);
        ASSERT_TRUE(got.has_value()) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(*got, c.bytes);
    }
}

TEST(ParseIPv4, RefusesEverythingElse)
{
    const wchar_t* refused[] = {
        L"",          L"   ",          L"1.2.3",        L"1.2.3.4.5",      L"256.0.0.1",    L"1.2.3.256",
        L"1.2.3.0004", L"1..2.3",      L"1.2.3.",       L".1.2.3",         L"+1.2.3.4",     L"-1.2.3.4",
        L"1. 2.3.4",  L"1.2.3.4 x",    L"1.2.3.4;calc", L"1.2.3.4\r\nx",   L"Ip's 1.2.3.4", L"a.b.c.d",
        L"1,2,3,4",   L"\x0661.2.3.4", L"1.2.3.4\x00A0", L"\t1.2.3.4",      L"1.2.3.4\t",
    };
    for (const wchar_t* text : refused)
        EXPECT_FALSE(ParseIPv4(text).has_value()) << testing::PrintToString(std::wstring(text));
}

TEST(FormatIPv4, RoundTripsEveryOctetValue)
{
    for (int v = 0; v < 256; ++v) {
        Bytes b{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(v / 2), 7};
        std::wstring text = FormatIPv4(b);
        EXPECT_EQ(text, std::to_wstring(b[0]) + L"." + std::to_wstring(b[1]) + L"." + std::to_wstring(b[2]) + L".7");
        auto back = ParseIPv4(text);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, b);
    }
}
