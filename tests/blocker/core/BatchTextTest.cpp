#include "blocker/core/BatchText.h"

#include <gtest/gtest.h>

using namespace vantorel;

using namespace vantorel::brennix;

namespace {

const std::wstring kHeader = L"@echo on\r\n"
                             L"set path=%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\System32\\Wbem\r\n";

const std::wstring kNetsh =
    L"netsh ipsec static add filteraction name=\"Blocked IP\" description=\"Blocked IP\" action=block\r\n"
    L"netsh ipsec static add filter filterlist=\"Blocked IP's By Vantorel - Brennix\" srcaddr=10.1.1.1 "
    L"dstaddr=any description=\"Blocked 10.1.1.1\"\r\n"
    L"netsh ipsec static add policy name=\"Blocked IP's By Vantorel - Brennix\" description=\"Blocked IP's By "
    L"Vantorel - Brennix\" assign=yes activatedefaultrule=no\r\n"
    L"netsh ipsec static add rule name=\"Blocked IP's By Vantorel - Brennix\" policy=\"Blocked IP's By Vantorel - "
    L"Brennix\" filterlist=\"Blocked IP's By Vantorel - Brennix\" filteraction=\"Blocked IP\" activate=yes\r\n"
    L"netsh ipsec static set policy name=\"Blocked IP's By Vantorel - Brennix\" assign=yes\r\n";

const Ipv4 kAddress{10, 1, 1, 1};

} // namespace

TEST(BuildBatchText, NetshLinesFrom52OnComparedAsNumbers)
{
    for (const wchar_t* version : {L"5.2", L"6.0", L"6.1", L"6.3", L"10.0", L"11.0"})
        EXPECT_EQ(BuildBatchText(version, kAddress, L"C:\\Prog").value_or(L""), kHeader + kNetsh) << version;
}

TEST(BuildBatchText, IpseccmdLineOn51)
{
    EXPECT_EQ(BuildBatchText(L"5.1", kAddress, L"C:\\Program Files\\Vantorel").value_or(L""),
              kHeader + L"\"C:\\Program Files\\Vantorel\\ipseccmd.exe\" -w REG -p \"Blocked IP's By Vantorel - "
                        L"Brennix\" -r \"Blocked IP 10.1.1.1\" -f 0=10.1.1.1 -n BLOCK -x\r\n");
}

TEST(BuildBatchText, PercentInTheProgramFolderIsNotExpanded)
{
    std::wstring text = BuildBatchText(L"5.1", kAddress, L"C:\\100%25 & co").value_or(L"");
    EXPECT_NE(text.find(L"\"C:\\100%%25 & co\\ipseccmd.exe\""), std::wstring::npos);
}

TEST(BuildBatchText, VersionsWithoutBlockCommandsGetNoText)
{
    for (const wchar_t* version : {L"5.0", L"4.9", L"", L"0.0", L"garbage"})
        EXPECT_FALSE(BuildBatchText(version, kAddress, L"C:\\Prog").has_value()) << version;
}

TEST(BatchFolder, TempPathLosesOneTrailingBackslashAndFallsBackToTheProgramFolder)
{
    EXPECT_EQ(TempFolderFromPath(L"C:\\Temp\\"), L"C:\\Temp");
    EXPECT_EQ(TempFolderFromPath(L"C:\\Temp\\\\"), L"C:\\Temp\\") << "only one backslash goes";
    EXPECT_EQ(TempFolderFromPath(L"C:\\Temp"), L"C:\\Temp");
    EXPECT_EQ(TempFolderFromPath(L""), L"");
    EXPECT_EQ(BatchFolder(TempFolderFromPath(L"C:\\Temp\\"), L"C:\\Prog") + L"\\Brennix-1.bat", L"C:\\Temp\\Brennix-1.bat");
    EXPECT_EQ(BatchFolder(L"", L"C:\\Prog"), L"C:\\Prog");
}

TEST(BatchFolder, NameThatCmdWouldExpandOrSplitIsPassedOver)
{
    struct Case {
        const wchar_t* temp;
        const wchar_t* program;
        const wchar_t* folder;
    } cases[] = {
        {L"C:\\a b & (c)", L"C:\\Prog", L"C:\\a b & (c)"},
        {L"C:\\t%OS%", L"C:\\Prog", L"C:\\Prog"},
        {L"C:\\t!x!", L"C:\\Prog", L"C:\\Prog"},
        {L"C:\\t^&", L"C:\\Prog", L"C:\\Prog"},
        {L"C:\\t\"", L"C:\\Prog", L"C:\\Prog"},
        {L"C:\\t\x01", L"C:\\Prog", L"C:\\Prog"},
        {L"C:\\t\n", L"C:\\Prog", L"C:\\Prog"},
        {L"C:\\t%OS%", L"C:\\100%", L""},
        {L"", L"C:\\P!", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BatchFolder(c.temp, c.program), c.folder) << ::testing::PrintToString(std::wstring(c.temp));
}

TEST(BatchFileName, OnlyTheProgramsOwnNamesMatch)
{
    EXPECT_EQ(BatchFileName(12, 345, 0), L"Brennix-12-345.bat");
    EXPECT_EQ(BatchFileName(12, 345, 2), L"Brennix-12-345-2.bat");
    EXPECT_TRUE(IsBatchFileName(BatchFileName(4294967295u, 18446744073709551615ull, 99)));
    for (const wchar_t* name : {L"Brennix-1-2.bat", L"BRENNIX-1-2.BAT", L"Brennix-1-2-3.bat"})
        EXPECT_TRUE(IsBatchFileName(name)) << ::testing::PrintToString(std::wstring(name));
    for (const wchar_t* name : {L"Brennix-mynotes.bat", L"Brennix-1.bat", L"Brennix-1-2-3-4.bat", L"Brennix--2.bat",
                                L"Brennix-1-.bat", L"Brennix-1-2.bat.txt", L"Brennix-1-2x.bat", L"BRENNI~1.BAT",
                                L"Brennix-1-2 .bat", L"Brennix.bat", L"Brennix-123456789012345678901-1.bat"})
        EXPECT_FALSE(IsBatchFileName(name)) << ::testing::PrintToString(std::wstring(name));
}
