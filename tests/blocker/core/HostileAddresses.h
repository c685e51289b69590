// Texts that must never reach a batch file or the history: shared by the core test of the
// address check and the test of the real block button.
#pragma once

#include <string>
#include <vector>

namespace vantorel::brennix::test {

inline std::vector<std::wstring> HostileAddresses()
{
    return {
        L"",
        L"   ",
        L"0.0.0.0",
        L"127.0.0.1",
        L" 127.0.0.1 ",
        L"127.000.0.1",
        L"127.0.0.01",
        L"000.00.0.0",
        L"1.2.3.4 & calc",
        L"1.2.3.4&calc",
        L"1.2.3.4|calc",
        L"1.2.3.4 | del *",
        L"1.2.3.4\"",
        L"\"1.2.3.4\"",
        L"1.2.3.4 %PATH%",
        L"%1.2.3.4",
        L"1.2.3.4^",
        L"1.2.3.4\r\nnetsh ipsec static delete all",
        L"1.2.3.4\n",
        L"1.2.3.4 any",
        L"1.2.3.4 srcmask=0",
        L"any",
        L"1.2.3.4 dstaddr=me",
        L"256.1.1.1",
        L"1.2.3.999",
        L"1.2.3",
        L"1.2.3.4.5",
        L"1..2.3",
        L"1.2.3.",
        L".1.2.3",
        L"1.2.3.0004",
        L"1.2.3.4/24",
        L"-1.2.3.4",
        L"+1.2.3.4",
        L"0x7f.0.0.1",
        L"1.2.3.4\t",
        L"\t1.2.3.4",
        L"1 .2.3.4",
        L"\x0661.2.3.4",
        std::wstring(L"1.2.3.4\0", 8),
        L"\xFF11.2.3.4",
        L"1.2.3.4;shutdown",
        L"1.2.3.4 > C:\\x",
        L"localhost",
    };
}

} // namespace vantorel::brennix::test
