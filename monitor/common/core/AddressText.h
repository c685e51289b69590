// Address text rules shared by the commands that hand an address on.
#pragma once

#include <string_view>

// True for a dotted IPv4 address: four decimal parts of one to three digits, each 0-255,
// and nothing else (no blanks, signs or empty parts).
bool IsDottedIPv4(std::wstring_view text);
