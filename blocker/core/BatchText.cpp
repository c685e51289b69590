#include "blocker/core/BatchText.h"

#include "common/core/TextHandling.h"

namespace vantorel::brennix {

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

std::optional<std::wstring> BuildBatchText(std::wstring_view version, const Ipv4& address,
                                           std::wstring_view programFolder)
{
    const std::wstring a = FormatIPv4(address);
    const std::wstring p = Quoted(kPolicyName);
    const std::wstring action = Quoted(kFilterActionName);
    std::wstring text;
    auto line = [&text](const std::wstring& l) {
        text += l;
        text += kLineEnd;
    };
    auto vs52 = CompareWindowsVersion(version, 5, 2);
    auto vs51 = CompareWindowsVersion(version, 5, 1);
    const bool netsh = vs52 && *vs52 >= 0;
    const bool ipseccmd = vs51 && *vs51 == 0;
    if (!netsh && !ipseccmd)
        return std::nullopt;
    line(L"@echo on");
    line(L"set path=%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\System32\\Wbem");

    if (netsh) {
        line(L"netsh ipsec static add filteraction name=" + action + L" description=" + action + L" action=block");
        line(L"netsh ipsec static add filter filterlist=" + p + L" srcaddr=" + a + L" dstaddr=any description=" +
             Quoted(L"Blocked " + a));
        line(L"netsh ipsec static add policy name=" + p + L" description=" + p +
             L" assign=yes activatedefaultrule=no");
        line(L"netsh ipsec static add rule name=" + p + L" policy=" + p + L" filterlist=" + p + L" filteraction=" +
             action + L" activate=yes");
        line(L"netsh ipsec static set policy name=" + p + L" assign=yes");
    }
    if (ipseccmd) {
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

bool IsPlainForCmd(std::wstring_view path)
{
    for (wchar_t c : path) {
        if (c < 0x20 || c == 0x7f || c == L'%' || c == L'!' || c == L'^' || c == L'"')
            return false;
    }
    return true;
}

std::wstring BatchFolder(std::wstring_view tempFolder, std::wstring_view programFolder)
{
    if (!tempFolder.empty() && IsPlainForCmd(tempFolder))
        return std::wstring(tempFolder);
    if (!programFolder.empty() && IsPlainForCmd(programFolder))
        return std::wstring(programFolder);
    return {};
}

namespace {
constexpr std::wstring_view kBatchPrefix = L"Brennix-";
constexpr std::wstring_view kBatchSuffix = L".bat";

// Consumes "<digits>" from the front of `s`; false when there are none.
bool TakeDigits(std::wstring_view& s)
{
    std::size_t n = 0;
    while (n < s.size() && n < 20 && s[n] >= L'0' && s[n] <= L'9')
        ++n;
    if (n == 0)
        return false;
    s.remove_prefix(n);
    return true;
}
} // namespace

std::wstring BatchFileName(std::uint32_t process, std::uint64_t tick, int attempt)
{
    std::wstring name = std::wstring(kBatchPrefix) + std::to_wstring(process) + L"-" + std::to_wstring(tick);
    if (attempt > 0)
        name += L"-" + std::to_wstring(attempt);
    return name + std::wstring(kBatchSuffix);
}

bool IsBatchFileName(std::wstring_view name)
{
    // The file system matches names without regard to case; so does this.
    if (name.size() < kBatchPrefix.size() + kBatchSuffix.size() ||
        ToLowerAscii(name.substr(0, kBatchPrefix.size())) != ToLowerAscii(kBatchPrefix) ||
        ToLowerAscii(name.substr(name.size() - kBatchSuffix.size())) != kBatchSuffix)
        return false;
    std::wstring_view s = name.substr(kBatchPrefix.size(), name.size() - kBatchPrefix.size() - kBatchSuffix.size());
    if (!TakeDigits(s) || s.empty() || s.front() != L'-')
        return false;
    s.remove_prefix(1);
    if (!TakeDigits(s))
        return false;
    if (s.empty())
        return true;
    if (s.front() != L'-')
        return false;
    s.remove_prefix(1);
    return TakeDigits(s) && s.empty();
}

} // namespace vantorel::brennix
