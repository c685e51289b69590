#include "monitor/core/TcpTable.h"
#include "tests/monitor/core/TableBuilder.h"

#include <gtest/gtest.h>

using namespace vantorel;
using namespace vantorel::ostrevi;

using test::Addr;
using test::Conn;
using test::TableBytes;

TEST(TcpTableView, ReadsRowsFieldByField)
{
    auto bytes = TableBytes({Conn(Addr(10, 0, 0, 1), 3389, Addr(10, 0, 0, 5), 50123, 5),
                             {11, 1, 2, 3, 0xA1B2C3D4}});
    TcpTableView view(bytes);
    ASSERT_EQ(view.RowCount(), 2u);
    TcpConnectionRow r = view.Row(0);
    EXPECT_EQ(r.state, 5u);
    EXPECT_EQ(AddrToString(r.localAddr), L"10.0.0.1");
    EXPECT_EQ(PortToHost(r.localPort), 3389);
    EXPECT_EQ(AddrToString(r.remoteAddr), L"10.0.0.5");
    EXPECT_EQ(PortToHost(r.remotePort), 50123);
    TcpConnectionRow last = view.Row(1);
    EXPECT_EQ(last.state, 11u);
    EXPECT_EQ(last.remoteAddr, 3u);
    EXPECT_EQ(last.remotePort, 0xA1B2C3D4u) << "little-endian fields";
}

TEST(TcpTableView, ZeroRowsShortAndLyingBuffers)
{
    auto empty = TableBytes({});
    EXPECT_EQ(TcpTableView(empty).RowCount(), 0u);

    std::vector<std::uint8_t> none;
    EXPECT_EQ(TcpTableView(none).RowCount(), 0u) << "no count at all";
    std::vector<std::uint8_t> three{1, 0, 0};
    EXPECT_EQ(TcpTableView(three).RowCount(), 0u) << "shorter than the count field";

    auto one = TableBytes({Conn(Addr(1, 2, 3, 4), 80, Addr(5, 6, 7, 8), 9)});
    auto partial = one;
    partial.pop_back();
    EXPECT_EQ(TcpTableView(partial).RowCount(), 0u) << "a row cut short is not read";

    auto lying = TableBytes({Conn(Addr(1, 2, 3, 4), 80, Addr(5, 6, 7, 8), 9), Conn(Addr(1, 2, 3, 4), 81, Addr(5, 6, 7, 8), 9)},
                            0xFFFFFFFF);
    TcpTableView view(lying);
    EXPECT_EQ(view.ClaimedCount(), 0xFFFFFFFFu);
    EXPECT_EQ(view.RowCount(), 2u) << "a count larger than the buffer is cut to the rows present";
    EXPECT_EQ(PortToHost(view.Row(1).localPort), 81);
    EXPECT_EQ(view.Row(2).state, 0u) << "past the rows present reads nothing";

    auto fewer = TableBytes({Conn(Addr(1, 2, 3, 4), 80, Addr(5, 6, 7, 8), 9), Conn(Addr(1, 2, 3, 4), 81, Addr(5, 6, 7, 8), 9)}, 1);
    EXPECT_EQ(TcpTableView(fewer).RowCount(), 1u) << "a smaller count wins over trailing bytes";
}

TEST(TcpStateName, EveryStateNumber)
{
    const wchar_t* names[] = {L"UNKNOWN",   L"CLOSED",     L"LISTENING", L"SYN_SENT", L"SYN_RCVD",
                              L"ESTABLISHED", L"FIN_WAIT1", L"FIN_WAIT2", L"CLOSE_WAIT", L"CLOSING",
                              L"LAST_ACK",  L"TIME_WAIT",  L"DELETE_TCB"};
    for (std::uint32_t s = 0; s < 13; ++s)
        EXPECT_EQ(TcpStateName(s), names[s]) << s;
    EXPECT_EQ(TcpStateName(13), L"");
    EXPECT_EQ(TcpStateName(0xFFFFFFFF), L"");
}

TEST(PortToHost, SwapsTheLowTwoBytes)
{
    EXPECT_EQ(PortToHost(0x3D0D), 3389) << "3389 is 0x0D3D";
    EXPECT_EQ(PortToHost(test::PortField(50123)), 50123) << "above 32767 stays positive";
    EXPECT_EQ(PortToHost(test::PortField(65535)), 65535);
    EXPECT_EQ(PortToHost(test::PortField(32768)), 32768);
    EXPECT_EQ(PortToHost(0xFFFF0100), 1) << "the high 16 bits are not part of the port";
    EXPECT_EQ(PortToHost(0), 0);
}

TEST(AddrToString, BytesInMemoryOrder)
{
    EXPECT_EQ(AddrToString(Addr(10, 0, 0, 5)), L"10.0.0.5");
    EXPECT_EQ(AddrToString(Addr(127, 0, 0, 1)), L"127.0.0.1");
    EXPECT_EQ(AddrToString(Addr(255, 254, 100, 9)), L"255.254.100.9");
    EXPECT_EQ(AddrToString(0), L"0.0.0.0");
}

namespace {

// A table call that grows by `step` rows each time it is asked, `growths` times.
struct GrowingTable {
    std::vector<TcpConnectionRow> rows;
    int growths = 0;
    int step = 1;
    int calls = 0;
    std::uint32_t operator()(std::uint8_t* data, std::uint32_t& size)
    {
        ++calls;
        if (growths > 0) {
            --growths;
            for (int i = 0; i < step; ++i)
                rows.push_back(Conn(Addr(1, 1, 1, static_cast<int>(rows.size())), 3389, Addr(2, 2, 2, 2), 1000));
        }
        auto bytes = TableBytes(rows);
        if (size < bytes.size()) {
            size = static_cast<std::uint32_t>(bytes.size());
            return kTableBufferTooSmall;
        }
        std::copy(bytes.begin(), bytes.end(), data);
        size = static_cast<std::uint32_t>(bytes.size());
        return kTableOk;
    }
};

} // namespace

TEST(ReadGrowingTable, OneCallWhenTheLastBufferHoldsTheTable)
{
    GrowingTable table;
    table.rows.push_back(Conn(Addr(1, 1, 1, 1), 3389, Addr(2, 2, 2, 2), 1000));
    std::vector<std::uint8_t> buffer;
    ASSERT_TRUE(ReadGrowingTable(buffer, table, 5));
    EXPECT_EQ(table.calls, 2) << "the first read learns the size";
    for (int scan = 0; scan < 3; ++scan) {
        table.calls = 0;
        ASSERT_TRUE(ReadGrowingTable(buffer, table, 5));
        EXPECT_EQ(table.calls, 1) << "scan " << scan;
        EXPECT_EQ(TcpTableView(buffer).RowCount(), 1u);
    }
    table.rows.clear();
    ASSERT_TRUE(ReadGrowingTable(buffer, table, 5));
    EXPECT_EQ(TcpTableView(buffer).RowCount(), 0u) << "a smaller table's count hides the old rows";
}

TEST(ReadGrowingTable, ReadsAgainWhenTheTableGrew)
{
    GrowingTable table;
    table.rows.push_back(Conn(Addr(1, 1, 1, 1), 3389, Addr(2, 2, 2, 2), 1000));
    std::vector<std::uint8_t> buffer;
    ASSERT_TRUE(ReadGrowingTable(buffer, table, 5));
    table.calls = 0;
    table.growths = 2; // outgrows the buffer's spare room on two calls in a row
    ASSERT_TRUE(ReadGrowingTable(buffer, table, 5));
    EXPECT_EQ(TcpTableView(buffer).RowCount(), 3u) << "the latest table, not an empty round";
    EXPECT_EQ(table.calls, 3);
}

TEST(ReadGrowingTable, GivesUpAfterBoundedAttempts)
{
    GrowingTable table;
    table.growths = 1000;
    table.step = 100;
    std::vector<std::uint8_t> buffer{9, 9, 9, 9, 9};
    EXPECT_FALSE(ReadGrowingTable(buffer, table, 5));
    EXPECT_EQ(TcpTableView(buffer).RowCount(), 0u) << "a failed read lists nothing";
    EXPECT_EQ(table.calls, 6) << "the first call and five more";

    int calls = 0;
    auto failing = [&](std::uint8_t*, std::uint32_t&) -> std::uint32_t { return ++calls, 87u; };
    EXPECT_FALSE(ReadGrowingTable(buffer, failing, 5));
    EXPECT_EQ(calls, 1) << "another error is not retried";
}
