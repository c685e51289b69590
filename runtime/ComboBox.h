// The system's drop-down list: items with a number each (ItemData), the chosen one, and a
// Click when the choice changes, by the user or from code.
#pragma once

#include "runtime/Controls.h"
#include "runtime/Handles.h"

#include <string>

namespace rt {

class ComboBox : public IntrinsicControl {
public:
    using IntrinsicControl::IntrinsicControl;
    // `bounds.h` is the height of the closed box. With a face name the box takes that font at
    // `points`, else the message font; either at the container's DPI.
    void Create(Form& form, HWND container, Bounds bounds, const std::wstring& fontFace = L"", double points = 0);

    // Inserts at `index`, or at the end when it is -1.
    void AddItem(const std::wstring& text, int index = -1);
    void Clear();
    int ListCount() const;
    std::wstring List(int index) const;
    long ItemData(int index) const;
    void SetItemData(int index, long data);
    // The chosen item, -1 for none.
    int ListIndex() const;
    // Choosing another item raises Click, as the user's choice does.
    void SetListIndex(int index);
    Event<> Click;

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    Gdi<HFONT> font_;
};

} // namespace rt
