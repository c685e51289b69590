// The text of the batch file that blocks one address through the IP Security Policy.
// Platform-neutral: the caller converts it to the ANSI code page and writes it.
#pragma once

#include "blocker/core/AddressCheck.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel::brennix {

// Names every block shares: the filter list, policy and rule, and the filter action.
inline constexpr std::wstring_view kPolicyName = L"Blocked IP's By Vantorel - Brennix";
inline constexpr std::wstring_view kFilterActionName = L"Blocked IP";

// The whole file, every line ended by CR LF: two header lines, then five netsh lines from
// Windows 5.2 on, or the one ipseccmd.exe line (looked for in `programFolder`) on 5.1.
// `version` is "major.minor" and is compared as numbers, so 10.0 takes the netsh lines.
// Nothing for any other or an unknown version: a file of headers alone blocks nothing.
// The address is typed, not text: only a checked address can reach the commands.
std::optional<std::wstring> BuildBatchText(std::wstring_view version, const Ipv4& address,
                                           std::wstring_view programFolder);

// The temporary folder as the system's temporary path gives it, without one trailing
// backslash (only one: the batch file's name follows after a single backslash).
std::wstring TempFolderFromPath(std::wstring_view tempPath);

// True when cmd takes `path` inside quotes as it stands: no character that it expands
// ("%", "!") or that ends or escapes the quoted text ('"', "^", control characters).
bool IsPlainForCmd(std::wstring_view path);

// The folder for the batch file: the temporary folder, or the program's folder when there
// is none or cmd would not read its name as it stands; empty when neither can be used.
std::wstring BatchFolder(std::wstring_view tempFolder, std::wstring_view programFolder);

// "Brennix-<process>-<tick>.bat", or "Brennix-<process>-<tick>-<attempt>.bat" from the
// second attempt on: the only names that this program writes, and so the only ones that
// its clean-up removes.
std::wstring BatchFileName(std::uint32_t process, std::uint64_t tick, int attempt);
bool IsBatchFileName(std::wstring_view name);

} // namespace vantorel::brennix
