#include "blocker/core/BatchText.h"

#include <gtest/gtest.h>

using namespace brennix;

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
        EXPECT_EQ(BuildBatchText(version, kAddress, L"C:\\Prog"), kHeader + kNetsh) << version;
}

TEST(BuildBatchText, IpseccmdLineOn51)
{
    EXPECT_EQ(BuildBatchText(L"5.1", kAddress, L"C:\\Program Files\\Vantorel"),
              kHeader + L"\"C:\\Program Files\\Vantorel\\ipseccmd.exe\" -w REG -p \"Blocked IP's By Vantorel - "
                        L"Brennix\" -r \"Blocked IP 10.1.1.1\" -f 0=10.1.1.1 -n BLOCK -x\r\n");
}

TEST(BuildBatchText, PercentInTheProgramFolderIsNotExpanded)
{
    std::wstring text = BuildBatchText(L"5.1", kAddress, L"C:\\100%25 & co");
    EXPECT_NE(text.find(L"\"C:\\100%%25 & co\\ipseccmd.exe\""), std::wstring::npos);
}

TEST(BuildBatchText, OtherVersionsGetOnlyTheHeader)
{
    for (const wchar_t* version : {L"5.0", L"4.9", L"", L"0.0", L"garbage"})
        EXPECT_EQ(BuildBatchText(version, kAddress, L"C:\\Prog"), kHeader) << version;
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
