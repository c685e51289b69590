#include "common/core/Ipv4Text.h"

#include <gtest/gtest.h>

using namespace vantorel;

namespace {

struct Case {
    const wchar_t* text;
    bool ok;
};

TEST(AddressText, OnlyDottedIPv4AddressesPass)
{
    const Case cases[] = {
        {L"203.0.113.7", true},      {L"0.0.0.0", true},          {L"255.255.255.255", true},
        {L"010.001.000.009", true},  {L"", false},                {L"203.0.113", false},
        {L"203.0.113.7.", false},    {L"203.0.113.7.1", false},   {L"256.0.0.1", false},
        {L"1.2.3.1000", false},      {L"1.2.3.0001", false},      {L" 1.2.3.4", false},
        {L"1.2.3.4 ", false},        {L"1..3.4", false},          {L"+1.2.3.4", false},
        {L"1.2.3.-4", false},        {L"a.b.c.d", false},         {L"1.2.3.4\r\n", false},
        {L"1.2.3.4 /c calc", false}, {L"\"1.2.3.4\"", false},     {L"１.2.3.4", false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(IsDottedIPv4(cases[i].text), cases[i].ok) << "case " << i;
}

} // namespace
