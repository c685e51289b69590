#include "monitor/core/ScanRules.h"
#include "tests/monitor/core/TableBuilder.h"

#include <gtest/gtest.h>

using namespace vantorel;
using namespace vantorel::ostrevi;

using test::Addr;
using test::Conn;
using test::TableBytes;

namespace {

std::vector<ListedConnection> Select(const std::vector<TcpConnectionRow>& rows, std::wstring_view port)
{
    auto bytes = TableBytes(rows);
    std::vector<ListedConnection> out{{1, 2, 3, 4}}; // stale content must go
    SelectConnections(TcpTableView(bytes), port, out);
    return out;
}

const std::uint32_t kLocal = Addr(10, 0, 0, 1);
const std::uint32_t kRemote = Addr(10, 0, 0, 5);
const std::uint32_t kAny = Addr(0, 0, 0, 0);
const std::uint32_t kLoop = Addr(127, 0, 0, 1);

} // namespace

TEST(RowFilter, UnspecifiedAndLoopbackAddressesOnEitherSide)
{
    EXPECT_TRUE(RowIsListed(Conn(kLocal, 3389, kRemote, 50123), 3389));
    EXPECT_FALSE(RowIsListed(Conn(kLocal, 3389, kAny, 50123), 3389)) << "remote 0.0.0.0 (listening)";
    EXPECT_FALSE(RowIsListed(Conn(kLocal, 3389, kLoop, 50123), 3389)) << "remote 127.0.0.1";
    EXPECT_FALSE(RowIsListed(Conn(kAny, 3389, kRemote, 50123), 3389)) << "local 0.0.0.0";
    EXPECT_FALSE(RowIsListed(Conn(kLoop, 3389, kRemote, 50123), 3389)) << "local 127.0.0.1";
    EXPECT_TRUE(RowIsListed(Conn(Addr(127, 0, 0, 2), 3389, Addr(127, 0, 0, 3), 1), 3389))
        << "other loopback addresses are listed";
    EXPECT_FALSE(RowIsListed(Conn(kLocal, 3389, kRemote, 50123), 3390)) << "another port";
}

TEST(RowFilter, LocalPortZeroIsNeverListed)
{
    EXPECT_FALSE(RowIsListed(Conn(kLocal, 0, kRemote, 50123), 0));
    TcpConnectionRow highBits = Conn(kLocal, 0, kRemote, 1);
    highBits.localPort = 0x00010000; // a port of 0 with stray high bits is still port 0
    EXPECT_FALSE(RowIsListed(highBits, 3389));
}

TEST(SelectConnections, ListsMatchingRowsInTableOrder)
{
    auto rows = Select({Conn(kLocal, 3389, Addr(10, 0, 0, 9), 60000, 8), Conn(kLocal, 3389, kLoop, 1, 5),
                        Conn(kLocal, 80, kRemote, 2, 5), Conn(kLocal, 3389, kRemote, 50123, 5)},
                       L"3389");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].remoteAddr, Addr(10, 0, 0, 9));
    EXPECT_EQ(rows[0].remotePort, 60000);
    EXPECT_EQ(rows[0].state, 8u) << "every state is listed";
    EXPECT_EQ(rows[1].localPort, 3389);
    EXPECT_EQ(rows[1].remotePort, 50123);
}

TEST(SelectConnections, PortTextThatIsNotANumberListsNothing)
{
    std::vector<TcpConnectionRow> rows{Conn(kLocal, 3389, kRemote, 50123)};
    for (const wchar_t* port : {L"abc", L"33 89", L"3389x", L"0x0D3D", L"", L"99999999999"})
        EXPECT_TRUE(Select(rows, port).empty()) << testing::PrintToString(std::wstring(port));
    EXPECT_EQ(Select(rows, L"+3389").size(), 1u);
    EXPECT_TRUE(Select(rows, L"-3389").empty()) << "no port is negative";
    EXPECT_TRUE(Select(rows, L"69925").empty()) << "3389 + 65536 names no port";
    EXPECT_TRUE(Select({}, L"3389").empty()) << "zero rows";
}

TEST(ScanDue, IntervalBoxCases)
{
    EXPECT_TRUE(IsScanDue(L"0", 1));
    EXPECT_TRUE(IsScanDue(L"1", 1));
    EXPECT_TRUE(IsScanDue(L"", 1)) << "empty box: every tick";
    EXPECT_TRUE(IsScanDue(L"soon", 1)) << "not a number: every tick";
    EXPECT_TRUE(IsScanDue(L"99999999999", 1)) << "past the number range is not a number";
    EXPECT_FALSE(IsScanDue(L"5", 4));
    EXPECT_TRUE(IsScanDue(L"5", 5));
    EXPECT_TRUE(IsScanDue(L" 5 ", 5)) << "blanks around the number";
    EXPECT_TRUE(IsScanDue(L"-3", 1));
}

TEST(PortGuard, RefusesEmptyBlankAndZero)
{
    EXPECT_TRUE(PortGuardRefuses(L""));
    EXPECT_TRUE(PortGuardRefuses(L"   "));
    EXPECT_TRUE(PortGuardRefuses(L"0"));
    EXPECT_TRUE(PortGuardRefuses(L" 0 "));
    EXPECT_FALSE(PortGuardRefuses(L"00")) << "only the text 0 is refused; 00 scans and matches no row";
    EXPECT_FALSE(PortGuardRefuses(L"abc")) << "a scan that lists nothing";
    EXPECT_FALSE(PortGuardRefuses(L"3389"));
}

TEST(ReadDecimal, WholeNumbersOnly)
{
    EXPECT_EQ(ReadDecimal(L"2147483647"), 2147483647);
    EXPECT_EQ(ReadDecimal(L"-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(ReadDecimal(L"2147483648").has_value());
    EXPECT_FALSE(ReadDecimal(L"-").has_value());
    EXPECT_FALSE(ReadDecimal(L"1.5").has_value());
}
