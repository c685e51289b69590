// The key filter of the settings panel's port and interval boxes. Platform-neutral.
#pragma once

#include <string_view>

namespace vantorel::ostrevi {

// The character code that reaches a number box when `key` is typed into a box holding
// `text`: the key itself, or 0 to drop it. Digits and the control codes of Backspace,
// Ctrl+C, Ctrl+W and Ctrl+X get through; anything else, Ctrl+V included, is dropped.
int FilterNumberKey(int key, std::wstring_view text);

} // namespace vantorel::ostrevi
