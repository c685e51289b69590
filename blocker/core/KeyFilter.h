// The address box's key filter: which typed key may reach the box. Platform-neutral.
#pragma once

#include <string_view>

namespace vantorel::brennix {

// What the filter sees of the box when a key arrives.
struct AddressBoxState {
    std::wstring_view text; // before the key is inserted
    int caret = 0;          // characters before the caret
    bool hasSelection = false;
};

// The key code the box may insert: `key` itself, or 0 to drop it. The number boxes' rule with
// "." taken; then, without a selection, a digit only while the field at the caret stays within
// three digits and 255.
int FilterAddressKey(const AddressBoxState& box, int key);

} // namespace vantorel::brennix
