// The block history: the file read at start-up, the list and title, and the file written
// through a replace after each new address.
#include "tests/blocker/BrennixFixture.h"

using namespace brennix;
using namespace brennix::test;

TEST_F(BrennixTest, HistoryFileLoadsNonBlankLinesUntrimmed)
{
    ::test::WriteBytes(HistoryFile(), "192.0.2.1\r\n\r\n   \r\n  198.51.100.2 \r\n203.0.113.9");
    FrmMain& f = Start();
    ASSERT_EQ(f.List1.ListCount(), 3);
    EXPECT_EQ(f.List1.List(0), L"192.0.2.1");
    EXPECT_EQ(f.List1.List(1), L"  198.51.100.2 ");
    EXPECT_EQ(f.List1.List(2), L"203.0.113.9") << "a last line without a line end";
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

TEST_F(BrennixTest, UnwritableHistoryFileKeepsItsOldContent)
{
    ::test::WriteBytes(HistoryFile(), "198.51.100.2\r\n");
    FrmMain& f = Start();
    {
        // Another program holds the file open and lets nobody replace it.
        HANDLE held = CreateFileW(HistoryFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        f.TextIP.SetText(L"192.0.2.1");
        ClickBlock();
        CloseHandle(held);
    }
    EXPECT_EQ(::test::ReadBytes(HistoryFile()), "198.51.100.2\r\n");
    ASSERT_EQ(f.List1.ListCount(), 2) << "the list still shows the address";
    EXPECT_EQ(f.List1.List(1), L"192.0.2.1");
    EXPECT_EQ(f.PanelFx2.TitleCaption(), L"Block IP History (2)");
}
