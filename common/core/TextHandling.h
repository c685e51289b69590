// Small text rules shared by both programs. Platform-neutral: no <windows.h>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel {

// Number of fields that splitting `text` at the one-character `delimiter` gives. A delimiter
// longer than one character never matches, so the count is then 1. Texts longer than 32767
// characters, or counts past 32767, overflow the 16-bit counter: no result.
std::optional<std::int16_t> CountFieldsCore(std::wstring_view text, std::wstring_view delimiter);

// As CountFieldsCore, with an empty delimiter replaced by a blank (also in the caller's
// variable), and the count narrowed to a byte: above 255 it overflows.
std::optional<std::uint8_t> CountFields(std::wstring_view text, std::wstring& delimiter);

// True when low <= value <= high (a key code within a range).
bool IsBetween(std::int16_t value, std::uint8_t low, std::uint8_t high);

std::wstring_view TrimBlanks(std::wstring_view text);
std::wstring ToLowerAscii(std::wstring_view text);

// Windows version as "major.minor" numbers, e.g. "10.0" or "6.1".
struct WindowsVersion {
    int major = 0;
    int minor = 0;
    friend bool operator==(const WindowsVersion&, const WindowsVersion&) = default;
};

// Reads "major.minor[.build...]" as WMI reports it; no result without two numeric fields.
std::optional<WindowsVersion> ParseWindowsVersion(std::wstring_view text);
std::wstring WindowsVersionText(WindowsVersion version);

// Compares the version text held by a program with major.minor as numbers: negative, 0 or
// positive like strcmp. No result when the text holds no version.
std::optional<int> CompareWindowsVersion(std::wstring_view versionText, int major, int minor);

} // namespace vantorel
