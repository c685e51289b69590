#include "runtime/ListView.h"

#include <commctrl.h>

#include <algorithm>

namespace rt {

void ListView::Create(Form& form, HWND container, Bounds b)
{
    CreateSystemControl(form, container, WC_LISTVIEWW,
                        LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_VISIBLE,
                        WS_EX_CLIENTEDGE, b.Rect(), L"");
}

void ListView::AddColumn(const std::wstring& title, int widthPixels)
{
    if (!hWnd())
        return;
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<wchar_t*>(title.c_str());
    col.cx = widthPixels;
    col.iSubItem = ColumnCount();
    SendMessageW(hWnd(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(col.iSubItem), reinterpret_cast<LPARAM>(&col));
}

int ListView::ColumnCount() const
{
    if (!hWnd())
        return 0;
    HWND header = reinterpret_cast<HWND>(SendMessageW(hWnd(), LVM_GETHEADER, 0, 0));
    LRESULT n = header ? SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    return n < 0 ? 0 : static_cast<int>(n);
}

int ListView::ColumnWidth(int column) const
{
    return hWnd() ? static_cast<int>(SendMessageW(hWnd(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0)) : 0;
}

void ListView::AutoSizeColumn(int column)
{
    if (hWnd())
        SendMessageW(hWnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
}

void ListView::SyncCount()
{
    if (hWnd())
        SendMessageW(hWnd(), LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOSCROLL);
}

void ListView::Clear()
{
    rows_.clear();
    // Drops the selection with the items, as removing every item of a plain list view does.
    if (hWnd())
        SendMessageW(hWnd(), LVM_DELETEALLITEMS, 0, 0);
}

int ListView::AddItem(const std::wstring& text)
{
    Row row;
    row[0] = text;
    rows_.push_back(std::move(row));
    SyncCount();
    return static_cast<int>(rows_.size()) - 1;
}

void ListView::SetSubItem(int index, int subItem, const std::wstring& text)
{
    if (index < 0 || index >= ListCount() || subItem < 0 || subItem > kSubItems)
        return;
    rows_[static_cast<std::size_t>(index)][static_cast<std::size_t>(subItem)] = text;
    if (hWnd())
        SendMessageW(hWnd(), LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
}

void ListView::SetItems(std::vector<Row> rows)
{
    Clear();
    rows_ = std::move(rows);
    SyncCount();
    if (hWnd())
        InvalidateRect(hWnd(), nullptr, TRUE);
}

std::wstring ListView::ItemText(int index, int subItem) const
{
    if (index < 0 || index >= ListCount() || subItem < 0 || subItem > kSubItems)
        return {};
    return rows_[static_cast<std::size_t>(index)][static_cast<std::size_t>(subItem)];
}

int ListView::SelectedIndex() const
{
    if (!hWnd())
        return -1;
    LRESULT i = SendMessageW(hWnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    return i < 0 || i >= ListCount() ? -1 : static_cast<int>(i);
}

void ListView::SetSelectedIndex(int index)
{
    if (!hWnd())
        return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageW(hWnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (index < 0 || index >= ListCount())
        return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hWnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool ListView::OnReflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result)
{
    if (msg != WM_NOTIFY)
        return false;
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if (hdr->code != LVN_GETDISPINFOW)
        return false;
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(lp);
    LVITEMW& item = info->item;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        static const std::wstring empty;
        bool inRange = item.iItem >= 0 && item.iItem < ListCount() && item.iSubItem >= 0 && item.iSubItem <= kSubItems;
        const std::wstring& text =
            inRange ? rows_[static_cast<std::size_t>(item.iItem)][static_cast<std::size_t>(item.iSubItem)] : empty;
        std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        std::copy_n(text.data(), n, item.pszText);
        item.pszText[n] = L'\0';
    }
    result = 0;
    return true;
}

} // namespace rt
