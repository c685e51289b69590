#include "blocker/core/AddressCheck.h"

#include "tests/blocker/core/HostileAddresses.h"

#include <gtest/gtest.h>

using namespace vantorel;

using namespace vantorel::brennix;

TEST(CheckBlockAddress, RefusesEveryHostileText)
{
    auto hostile = vantorel::brennix::test::HostileAddresses();
    ASSERT_GE(hostile.size(), 30u);
    for (const auto& text : hostile)
        EXPECT_FALSE(CheckBlockAddress(text).has_value()) << "accepted: [" << std::string(text.begin(), text.end()) << "]";
}

TEST(CheckBlockAddress, AcceptsAddressesInCanonicalForm)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* canonical;
    } cases[] = {
        {L"192.0.2.1", L"192.0.2.1"},
        {L"010.1.1.1", L"10.1.1.1"},
        {L"  198.51.100.2  ", L"198.51.100.2"},
        {L"255.255.255.255", L"255.255.255.255"},
        {L"000.0.0.1", L"0.0.0.1"},
        {L"127.0.0.2", L"127.0.0.2"},
        {L"1.0.0.0", L"1.0.0.0"},
        {L"001.002.003.004", L"1.2.3.4"},
    };
    for (const auto& c : cases)
    {
        auto address = CheckBlockAddress(c.text);
        ASSERT_TRUE(address.has_value()) << c.canonical;
        EXPECT_EQ(FormatIPv4(*address), c.canonical);
    }
}

