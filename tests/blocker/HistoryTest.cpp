// The block history: the file read at start-up, the list and title, and the file that each
// save only appends to.
#include "tests/blocker/BrennixFixture.h"

#include "blocker/ModMain.h"
#include "runtime/Handles.h"

using namespace vantorel;

using namespace vantorel::brennix;
using namespace vantorel::brennix::test;

TEST_F(BrennixTest, HistoryListShowsEachAddressOnceAndASaveOnlyAppends)
{
    const std::string before = std::string("192.0.2.1\r\n\r\n   \r\n  198.51.100.2 \r\nblocked on Monday\r\n\0\x01\r\n", 58) +
                               "010.000.000.007\r\n192.0.2.1\r\n203.0.113.9";
    ::test::WriteBytes(HistoryFile(), before);
    FrmMain& f = Start();
    ASSERT_EQ(f.List1.ListCount(), 4);
    EXPECT_EQ(f.List1.List(0), L"192.0.2.1");
    EXPECT_EQ(f.List1.List(1), L"198.51.100.2");
    EXPECT_EQ(f.List1.List(2), L"10.0.0.7");
    EXPECT_EQ(f.List1.List(3), L"203.0.113.9") << "a last line without a line end";
    EXPECT_EQ(f.PanelFx2.TitleCaption(), L"Block IP History (4)");

    f.AddToLog(L"10.0.0.7", f.List1);
    EXPECT_EQ(::test::ReadBytes(HistoryFile()), before) << "a listed address writes nothing";
    f.AddToLog(L"198.51.100.9", f.List1);
    EXPECT_EQ(::test::ReadBytes(HistoryFile()), before + "\r\n198.51.100.9\r\n") << "every byte stays; the new line ends the file";
    EXPECT_EQ(f.PanelFx2.TitleCaption(), L"Block IP History (5)");
}

TEST_F(BrennixTest, TwoCopiesBlockingDifferentAddressesKeepBothInTheHistory)
{
    ::test::WriteBytes(HistoryFile(), "192.0.2.1\r\n");
    FrmMain& f = Start();
    // Another copy started at the same time appends its block after this one loaded the file.
    std::string other = ::test::ReadBytes(HistoryFile()) + "198.51.100.2\r\n";
    ::test::WriteBytes(HistoryFile(), other);
    f.AddToLog(L"203.0.113.5", f.List1);
    EXPECT_EQ(::test::ReadBytes(HistoryFile()), "192.0.2.1\r\n198.51.100.2\r\n203.0.113.5\r\n");
    EXPECT_EQ(f.List1.ListCount(), 3) << "the other copy's address joins the list";
    EXPECT_EQ(f.PanelFx2.TitleCaption(), L"Block IP History (3)");
}

TEST_F(BrennixTest, NoHistoryFileStartsEmptyAndTheFirstBlockCreatesIt)
{
    FrmMain& f = Start();
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_EQ(f.PanelFx2.TitleCaption(), L"Block IP History (0)");
    f.TextIP.SetText(L"192.0.2.1");
    ClickBlock();
    EXPECT_EQ(::test::ReadBytes(HistoryFile()), "192.0.2.1\r\n");
    EXPECT_EQ(f.PanelFx2.TitleCaption(), L"Block IP History (1)");
}

TEST_F(BrennixTest, SameAddressTwiceKeepsOneLineAndTheCount)
{
    ::test::WriteBytes(HistoryFile(), "198.51.100.2\r\n");
    FrmMain& f = Start();
    for (int i = 0; i < 2; ++i) {
        f.TextIP.SetText(L"192.0.2.1");
        ClickBlock();
    }
    EXPECT_EQ(f.List1.ListCount(), 2);
    EXPECT_EQ(f.PanelFx2.TitleCaption(), L"Block IP History (2)");
    EXPECT_EQ(::test::ReadBytes(HistoryFile()), "198.51.100.2\r\n192.0.2.1\r\n") << "every item, in list order";
    EXPECT_EQ(BatchFiles(temp).size(), 2u) << "the second block still writes and runs its batch file";
}

TEST_F(BrennixTest, HistoryFileHeldByAnotherProgramGetsTheAddressAtTheNextBlockOrAtExit)
{
    ::test::WriteBytes(HistoryFile(), "198.51.100.2\r\n");
    for (bool atExit : {false, true}) {
        SCOPED_TRACE(atExit ? "at exit" : "at the next block");
        FrmMain& f = Start();
        const std::string before = ::test::ReadBytes(HistoryFile());
        const std::wstring address = atExit ? L"192.0.2.2" : L"192.0.2.1";
        {
            // Another program holds the file open and lets nobody write it.
            ::rt::UniqueFile held(CreateFileW(HistoryFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held);
            f.AddToLog(address, f.List1);
            EXPECT_EQ(::test::ReadBytes(HistoryFile()), before);
            EXPECT_EQ(f.List1.List(f.List1.ListCount() - 1), address) << "the list still shows the address";
        }
        if (atExit)
            f.Unload();
        else
            f.AddToLog(L"198.51.100.2", f.List1);
        EXPECT_EQ(::test::ReadBytes(HistoryFile()), before + ::test::Narrow(address) + "\r\n");
        form.reset();
    }
}
