#include "common/core/AddressLog.h"

#include <gtest/gtest.h>

using namespace vantorel;

namespace {

std::vector<AddressValue> Values(std::initializer_list<const wchar_t*> texts)
{
    std::vector<AddressValue> out;
    for (auto t : texts)
        out.push_back(*AddressValueOf(t));
    return out;
}

} // namespace

TEST(AddressLines, OnlyDottedIPv4LinesAfterTrimmingInAnyPieces)
{
    const std::string file = "Ip's Connected to 3389 Date: 12/7/2026\r\n"
                             "\r\n"
                             "10.0.0.5\r\n"
                             "  192.168.1.20 \r\n"
                             "IP's Connected to 3389 Date: again\r\n"
                             "1.2.3.4 & calc.exe\r\n"
                             "5.6.7.8 # note\r\n"
                             "\"1.2.3.4\"\r\n"
                             "300.1.1.1\r\n" +
                             std::string(100, ' ') + "9.9.9.9\r\n" + std::string("1.1.1.1\0x\r\n", 11) +
                             "010.000.000.007\n"
                             "2.2.2.2\r3.3.3.3\r\n"
                             "8.8.8.8";
    const auto expected = Values({L"10.0.0.5", L"192.168.1.20", L"10.0.0.7", L"2.2.2.2", L"3.3.3.3", L"8.8.8.8"});
    EXPECT_EQ(ParseAddressLines(file), expected);
    // A save reads the file's new tail in pieces that may split a line anywhere.
    for (std::size_t cut : {std::size_t{1}, std::size_t{7}, std::size_t{45}, file.size() - 3}) {
        AddressLineReader reader;
        std::vector<AddressValue> got;
        reader.Feed(std::string_view(file).substr(0, cut), got);
        reader.Feed(std::string_view(file).substr(cut), got);
        reader.Finish(got);
        EXPECT_EQ(got, expected) << "cut at " << cut;
    }
    EXPECT_TRUE(ParseAddressLines("").empty());
    EXPECT_TRUE(ParseAddressLines("1.1.1.1\xA0").empty()) << "a code-page blank is not trimmed";
}

TEST(AddressLines, TextRoundTripsAndLinesEndInCrLf)
{
    for (const wchar_t* text : {L"0.0.0.0", L"10.0.0.5", L"255.255.255.255", L"192.0.2.1"})
        EXPECT_EQ(AddressText(*AddressValueOf(text)), text);
    EXPECT_EQ(AddressValueOf(L"1.2.3.4"), 0x01020304u);
    EXPECT_FALSE(AddressValueOf(L"host"));
    std::string out = "h\r\n";
    AppendAddressLines(out, Values({L"10.0.0.5", L"1.2.3.4"}));
    EXPECT_EQ(out, "h\r\n10.0.0.5\r\n1.2.3.4\r\n");
}

TEST(AddressLog, ListsEachValueOnceAndTracksWhatTheFileHolds)
{
    AddressLog log;
    const auto a = Values({L"10.0.0.1", L"10.0.0.2", L"10.0.0.3"});
    EXPECT_TRUE(log.AddSaved(a[0])) << "read from the file";
    EXPECT_TRUE(log.Add(a[1]));
    EXPECT_FALSE(log.Add(a[1]));
    EXPECT_FALSE(log.Add(*AddressValueOf(L"010.0.0.2"))) << "the same value in another text";
    EXPECT_TRUE(log.Add(a[2]));
    EXPECT_EQ(log.Unsaved(), Values({L"10.0.0.2", L"10.0.0.3"}));

    // Another writer appended 10.0.0.3 first: only 10.0.0.2 is still missing from the file.
    EXPECT_FALSE(log.AddSaved(a[2]));
    EXPECT_EQ(log.Unsaved(), Values({L"10.0.0.2"}));
    log.MarkSaved(log.Unsaved());
    EXPECT_FALSE(log.HasUnsaved());
    EXPECT_EQ(log.Items(), a);

    // A new file (another folder) holds none of them until it has been read.
    log.ForgetFile();
    EXPECT_EQ(log.Unsaved(), a);
    log.Clear();
    EXPECT_EQ(log.Count(), 0u);
    EXPECT_FALSE(log.Contains(a[0]));
    EXPECT_FALSE(log.HasUnsaved());
}
