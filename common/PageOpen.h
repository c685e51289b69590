// Opening a web page in the user's browser, and the pages this program opens.
#pragma once

#include <windows.h>

#include <string>

namespace vantorel {

// The outside IP-location page: the address follows this text.
inline constexpr const wchar_t* kIpLocationPage = L"https://iplocation.vantorel.example/ip/index.php?ip=";
// The maker's pages behind the link images and the donation image.
inline constexpr const wchar_t* kMakerHomePage = L"https://www.vantorel.example/";
inline constexpr const wchar_t* kMakerIpSecGuidePage = L"https://www.vantorel.example/guides/ip-security-policy";
inline constexpr const wchar_t* kMakerHelpPage = L"https://www.vantorel.example/ostrevi/help";
inline constexpr const wchar_t* kMakerDonatePage = L"https://www.vantorel.example/donate";
// The page that explains how to take blocked addresses out of the IP Security Policy again.
inline constexpr const wchar_t* kGuidePage = L"https://www.vantorel.example/brennix/unblock-guide";

// The shell's open with ShellExecuteW's arguments.
using ShellOpenFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

// "Open" of `url` with empty parameters and directory, shown normally, through `open` (the
// shell's when null); the result is not looked at.
void OpenPage(HWND owner, const std::wstring& url, ShellOpenFunction open = nullptr);

} // namespace vantorel
