// The common controls' list view in report view: items of a text and three sub-items,
// columns with titles, the selected item and the mouse events of IntrinsicControl. The control
// tracks a pressed button in a loop of its own that takes the release from the queue, so a
// button's release is raised from the click that the control reports instead.
// The items live here and the control asks for their texts (a virtual list), so replacing
// thousands of rows is one message instead of thousands.
#pragma once

#include "runtime/Controls.h"

#include <array>
#include <string>
#include <vector>

namespace rt {

class ListView : public IntrinsicControl {
public:
    static constexpr int kSubItems = 3;
    // An item's text (index 0) and its sub-items 1..3.
    using Row = std::array<std::wstring, kSubItems + 1>;

    using IntrinsicControl::IntrinsicControl;
    ~ListView() override;
    void Create(Form& form, HWND container, Bounds bounds);

    // Appends a column with a title and a width in 96-DPI pixels.
    void AddColumn(const std::wstring& title, int widthPixels);
    int ColumnCount() const;
    int ColumnWidth(int column) const;
    // Sizes a column to the larger of its title and its widest entry (the last column also
    // fills the rest of the view). The control is told only when that width changes.
    void AutoSizeColumn(int column);

    void Clear();
    // Adds an item at the end; returns its index.
    int AddItem(const std::wstring& text);
    void SetSubItem(int index, int subItem, const std::wstring& text);
    // Replaces every item at once and returns the previous rows, whose strings the caller may
    // fill again for the next replacement without allocating.
    std::vector<Row> SetItems(std::vector<Row> rows);
    const std::vector<Row>& Items() const { return rows_; }

    int ListCount() const { return static_cast<int>(rows_.size()); }
    // Text of item `index` (sub-item 0) or of one of its sub-items; empty when out of range.
    std::wstring ItemText(int index, int subItem = 0) const;
    // Index of the selected item, -1 without one.
    int SelectedIndex() const;
    void SetSelectedIndex(int index);

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    POINT MenuKeyPoint() const override;

private:
    // A click the control reported (NM_CLICK, NM_RCLICK) while it tracked the press.
    struct Release {
        int button = 0, shift = 0, x = 0, y = 0;
    };
    int trackedButton_ = 0;
    Release release_;

    void SyncCount();
    // Pixel widths of texts in the control's font, measured in a DC of this process: a table
    // of the printable ASCII advances, so a column of thousands of entries costs no GDI call.
    struct TextMeter {
        HFONT font = nullptr;
        HDC dc = nullptr;
        HGDIOBJ old = nullptr;
        int ascii[0x7F - 0x20] = {};
        bool haveTable = false;
        ~TextMeter();
        void Use(HFONT f);
        int Width(const std::wstring& text) const;
    };
    int WidestEntry(int column);

    std::vector<Row> rows_;
    TextMeter meter_;
    std::vector<int> sizedWidths_; // the width each column was last given, -1 before any
};

} // namespace rt
