// The text of the batch file that blocks one address through the IP Security Policy.
// Platform-neutral: the caller converts it to the ANSI code page and writes it.
#pragma once

#include "blocker/core/AddressCheck.h"

#include <string>
#include <string_view>

namespace brennix {

// Names every block shares: the filter list, policy and rule, and the filter action.
inline constexpr std::wstring_view kPolicyName = L"Blocked IP's By Vantorel - Brennix";
inline constexpr std::wstring_view kFilterActionName = L"Blocked IP";

// The whole file, every line ended by CR LF: two header lines, then five netsh lines from
// Windows 5.2 on, or the one ipseccmd.exe line (looked for in `programFolder`) on 5.1.
// `version` is "major.minor" and is compared as numbers, so 10.0 takes the netsh lines.
// The address is typed, not text: only a checked address can reach the commands.
std::wstring BuildBatchText(std::wstring_view version, const Ipv4& address, std::wstring_view programFolder);

// The folder for the batch file: the temporary folder without one trailing backslash, or
// the program's folder when there is no temporary folder.
std::wstring BatchFolder(std::wstring_view tempPath, std::wstring_view programFolder);

} // namespace brennix
