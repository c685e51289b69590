#include "monitor/Modini.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vantorel;
using namespace vantorel::ostrevi;

// Read at a bound that no value here comes near.
std::wstring ReadIni(const std::wstring& s, const std::wstring& k, const std::wstring& p)
{
    return ostrevi::ReadIni(s, k, p, 40000);
}
std::optional<std::wstring> ReadIniValue(const std::wstring& s, const std::wstring& k, const std::wstring& p)
{
    return ostrevi::ReadIniValue(s, k, p, 40000);
}

TEST(Settings, WrittenValuesReadBackAndMissingOnesAreEmpty)
{
    test::TempFolder folder;
    std::wstring ini = folder / L"Settings.ini";
    EXPECT_EQ(ReadIni(L"main", L"Port", ini), L"") << "no file";
    EXPECT_TRUE(WriteIni(L"main", L"Port", L"3389", ini));
    EXPECT_TRUE(WriteIni(L"main", L"StartWithWindows", 1, ini));
    EXPECT_TRUE(WriteIni(L"main", L"Time", L"", ini));
    EXPECT_EQ(ReadIni(L"main", L"Port", ini), L"3389");
    EXPECT_EQ(ReadIni(L"main", L"StartWithWindows", ini), L"1");
    EXPECT_EQ(ReadIni(L"main", L"Time", ini), L"") << "an empty box stores an empty value";
    EXPECT_EQ(ReadIni(L"other", L"Port", ini), L"");
    EXPECT_NE(test::ReadBytes(ini).find("Port=3389"), std::string::npos) << "a plain ANSI INI file";
}

TEST(Settings, LongValuesComeBackWholeAndMissingKeysAreTold)
{
    test::TempFolder folder;
    std::wstring ini = folder / L"Settings.ini";
    std::wstring longPath(5000, L'a');
    ASSERT_TRUE(WriteIni(L"main", L"LogLocation", longPath, ini));
    EXPECT_EQ(ReadIni(L"main", L"LogLocation", ini), longPath) << "a cut folder would be another folder";
    EXPECT_EQ(ReadIni(L"main", L"LogLocation", ini, 5000), longPath);
    // A cut folder or number would be another one: past its bound a value counts as missing.
    EXPECT_EQ(ReadIni(L"main", L"LogLocation", ini, 4999), L"");
    EXPECT_EQ(ReadIniValue(L"main", L"LogLocation", ini, 4999), std::nullopt);
    ASSERT_TRUE(WriteIni(L"main", L"Port", L"", ini));
    for (const wchar_t* value : {L"0", L"1", L""}) {
        ASSERT_TRUE(WriteIni(L"main", L"Time", value, ini));
        EXPECT_EQ(ReadIniValue(L"main", L"Time", ini), std::optional<std::wstring>(value));
    }
    EXPECT_EQ(ReadIniValue(L"main", L"Port", ini), std::optional<std::wstring>(L"")) << "stored empty";
    EXPECT_EQ(ReadIniValue(L"main", L"Other", ini), std::nullopt);
    EXPECT_EQ(ReadIniValue(L"main", L"Port", folder / L"none.ini"), std::nullopt);
}

TEST(Settings, ValueOutsideTheCodePageTurnsTheFileIntoUtf16KeepingTheRest)
{
    test::TempFolder folder;
    std::wstring ini = folder / L"Settings.ini";
    test::WriteBytes(ini, "[main]\r\nPort=3390\r\nLogLocation=C:\\caf\xE9\r\n");
    EXPECT_EQ(ReadIni(L"main", L"LogLocation", ini), L"C:\\caf\u00E9") << "an ANSI file reads as before";
    const std::wstring folderName = L"C:\\\u0416\u0443\u0440\u043d\u0430\u043b\\\u65e5\u5fd7\\";
    ASSERT_TRUE(WriteIni(L"main", L"LogLocation", folderName, ini));
    EXPECT_EQ(test::ReadBytes(ini).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(ReadIni(L"main", L"LogLocation", ini), folderName);
    EXPECT_EQ(ReadIni(L"main", L"Port", ini), L"3390");
    ASSERT_TRUE(WriteIni(L"main", L"Time", L"7", ini));
    EXPECT_EQ(ReadIni(L"main", L"Time", ini), L"7");
    EXPECT_EQ(ReadIni(L"main", L"LogLocation", ini), folderName);
}

TEST(Settings, RefusedWriteIsReportedAsFailure)
{
    test::TempFolder folder;
    std::wstring ini = folder.Path() + L"\\missing\\folder\\Settings.ini";
    EXPECT_FALSE(WriteIni(L"main", L"Port", L"3389", ini));
    EXPECT_FALSE(test::FileExists(ini));
}

TEST(Settings, NonAnsiFolderNamesWork)
{
    test::TempFolder folder;
    std::wstring dir = folder.Path() + L"\\\u0416\u0443\u0440\u043d\u0430\u043b";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    std::wstring ini = dir + L"\\Settings.ini";
    ASSERT_TRUE(WriteIni(L"main", L"Time", L"5", ini));
    EXPECT_EQ(ReadIni(L"main", L"Time", ini), L"5");
}
