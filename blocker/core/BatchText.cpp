#include "blocker/core/BatchText.h"

#include "monitor/common/core/TextHandling.h"

namespace brennix {

namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

// cmd expands %...% inside quotes too; doubled, a per cent sign in a folder name stays one.
std::wstring EscapePercent(std::wstring_view text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'%')
            out += L'%';
        out += c;
    }
    return out;
}

} // namespace

std::wstring BuildBatchText(std::wstring_view version, const Ipv4& address, std::wstring_view programFolder)
{
    const std::wstring a = FormatIPv4(address);
    const std::wstring p = Quoted(kPolicyName);
    const std::wstring action = Quoted(kFilterActionName);
    std::wstring text;
    auto line = [&text](const std::wstring& l) {
        text += l;
        text += kLineEnd;
    };
    line(L"@echo on");
    line(L"set path=%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\System32\\Wbem");

    auto vs52 = CompareWindowsVersion(version, 5, 2);
    if (vs52 && *vs52 >= 0) {
        line(L"netsh ipsec static add filteraction name=" + action + L" description=" + action + L" action=block");
        line(L"netsh ipsec static add filter filterlist=" + p + L" srcaddr=" + a + L" dstaddr=any description=" +
             Quoted(L"Blocked " + a));
        line(L"netsh ipsec static add policy name=" + p + L" description=" + p +
             L" assign=yes activatedefaultrule=no");
        line(L"netsh ipsec static add rule name=" + p + L" policy=" + p + L" filterlist=" + p + L" filteraction=" +
             action + L" activate=yes");
        line(L"netsh ipsec static set policy name=" + p + L" assign=yes");
    }
    auto vs51 = CompareWindowsVersion(version, 5, 1);
    if (vs51 && *vs51 == 0) {
        line(Quoted(EscapePercent(programFolder) + L"\\ipseccmd.exe") + L" -w REG -p " + p + L" -r " +
             Quoted(L"Blocked IP " + a) + L" -f 0=" + a + L" -n BLOCK -x");
    }
    return text;
}

std::wstring TempFolderFromPath(std::wstring_view tempPath)
{
    if (!tempPath.empty() && tempPath.back() == L'\\')
        tempPath.remove_suffix(1);
    return std::wstring(tempPath);
}

std::wstring BatchFolder(std::wstring_view tempFolder, std::wstring_view programFolder)
{
    return std::wstring(tempFolder.empty() ? programFolder : tempFolder);
}

} // namespace brennix
