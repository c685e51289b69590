#include "runtime/ListView.h"

#include "runtime/Handles.h"
#include "runtime/Runtime.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>

namespace rt {

namespace {

constexpr DWORD kStyle = LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS;

const std::wstring& TextOf(const std::vector<ListView::Row>& rows, int index, int subItem)
{
    static const std::wstring empty;
    if (index < 0 || static_cast<std::size_t>(index) >= rows.size() || subItem < 0 || subItem > ListView::kSubItems)
        return empty;
    return rows[static_cast<std::size_t>(index)][static_cast<std::size_t>(subItem)];
}

void CopyText(LVITEMW& item, const std::wstring& text)
{
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0)
        return;
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::copy_n(text.data(), n, item.pszText);
    item.pszText[n] = L'\0';
}

} // namespace

ListView::~ListView() = default;

ListView::TextMeter::~TextMeter()
{
    if (dc) {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
}

void ListView::TextMeter::Use(HFONT f)
{
    if (!dc) {
        dc = CreateCompatibleDC(nullptr);
        if (!dc)
            return;
        old = GetCurrentObject(dc, OBJ_FONT);
    }
    if (f == font && haveTable)
        return;
    font = f;
    SelectObject(dc, f ? static_cast<HGDIOBJ>(f) : GetStockObject(SYSTEM_FONT));
    haveTable = GetCharWidth32W(dc, 0x20, 0x7E, ascii) != FALSE;
}

int ListView::TextMeter::Width(const std::wstring& text) const
{
    int sum = 0;
    for (wchar_t c : text) {
        if (!haveTable || c < 0x20 || c > 0x7E) {
            SIZE size{};
            if (dc)
                GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            return static_cast<int>(size.cx);
        }
        sum += ascii[c - 0x20];
    }
    return sum;
}

void ListView::Create(Form& form, HWND container, Bounds b)
{
    // The rows' paint stays off the header: a repaint of the rows alone would cover its titles.
    CreateSystemControl(form, container, WC_LISTVIEWW, kStyle | WS_CLIPCHILDREN | WS_TABSTOP | WS_VISIBLE,
                        WS_EX_CLIENTEDGE, b.Rect(), L"");
}

void ListView::AddColumn(const std::wstring& title, int widthPixels)
{
    if (!hWnd())
        return;
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<wchar_t*>(title.c_str());
    col.cx = ScaleDesign(widthPixels, DpiOf(hWnd()));
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

int ListView::WidestEntry(int column)
{
    int widest = 0;
    for (const Row& row : rows_)
        widest = std::max(widest, meter_.Width(row[static_cast<std::size_t>(column)]));
    return widest;
}

void ListView::AutoSizeColumn(int column)
{
    int columns = ColumnCount();
    if (!hWnd() || column < 0 || column >= columns || column > kSubItems)
        return;
    HWND header = reinterpret_cast<HWND>(SendMessageW(hWnd(), LVM_GETHEADER, 0, 0));
    wchar_t title[256] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = title;
    col.cchTextMax = static_cast<int>(std::size(title));
    SendMessageW(hWnd(), LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));

    // The header insets its text by three edges on each side, the items by the control's label
    // padding; both are pixels at 96 DPI. Two spare pixels keep a title from ever being cut.
    meter_.Use(header ? reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)) : nullptr);
    const int dpi = meter_.dc ? GetDeviceCaps(meter_.dc, LOGPIXELSX) : 96;
    int width = meter_.Width(title) + 6 * GetSystemMetrics(SM_CXEDGE) + MulDiv(2, dpi, 96);
    if (!rows_.empty()) {
        meter_.Use(reinterpret_cast<HFONT>(SendMessageW(hWnd(), WM_GETFONT, 0, 0)));
        width = std::max(width, WidestEntry(column) + MulDiv(12, dpi, 96));
    }
    if (column == columns - 1) {
        // The last column fills what the others leave of the view.
        RECT client{};
        GetClientRect(hWnd(), &client);
        int left = 0;
        for (int i = 0; i < column; ++i)
            left += ColumnWidth(i);
        width = std::max(width, static_cast<int>(client.right) - left);
    }
    if (sizedWidths_.size() < static_cast<std::size_t>(columns))
        sizedWidths_.resize(static_cast<std::size_t>(columns), -1);
    int& sized = sizedWidths_[static_cast<std::size_t>(column)];
    if (width == sized)
        return;
    sized = width;
    SendMessageW(hWnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

void ListView::SyncCount()
{
    // Setting the count makes the control lay out its scroll bars again: only on a change.
    if (hWnd() && static_cast<std::size_t>(SendMessageW(hWnd(), LVM_GETITEMCOUNT, 0, 0)) != rows_.size())
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

std::vector<ListView::Row> ListView::SetItems(std::vector<Row> rows)
{
    // The same rows as before (a quiet server, scan after scan) need no new paint.
    bool same = rows == rows_;
    rows_.swap(rows);
    if (!hWnd())
        return rows;
    // The rows are new: no selection or focus stays on them, and the view starts at the top.
    // Only the one selected and focused item are touched; deleting every item would make the
    // control lay itself out twice for each replacement.
    // Under Wine a new count repaints the header and the scroll bars at once, and the control's
    // own WM_SETREDRAW repaints them all again: the view is hidden at the window level instead,
    // so the control lays itself out unseen and one repaint below shows the result.
    const bool hold = !same && (GetWindowLongW(hWnd(), GWL_STYLE) & WS_VISIBLE) != 0;
    const int scrolledX = GetScrollPos(hWnd(), SB_HORZ);
    // Hiding drops what was waiting to be painted, such as a header after a column's new width.
    HWND header = reinterpret_cast<HWND>(SendMessageW(hWnd(), LVM_GETHEADER, 0, 0));
    const bool headerPending = hold && header && GetUpdateRect(header, nullptr, FALSE);
    RECT headerWas{};
    if (header)
        GetClientRect(header, &headerWas);
    if (hold)
        DefWindowProcW(hWnd(), WM_SETREDRAW, FALSE, 0);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    for (UINT flag : {LVNI_SELECTED, LVNI_FOCUSED}) {
        LRESULT i = SendMessageW(hWnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), flag);
        if (i >= 0)
            SendMessageW(hWnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    SyncCount();
    if (!rows_.empty())
        SendMessageW(hWnd(), LVM_ENSUREVISIBLE, 0, FALSE);
    if (hold)
        DefWindowProcW(hWnd(), WM_SETREDRAW, TRUE, 0);
    // The rows and the scroll bars; the header only when it waited for a paint, was resized
    // unseen (a scroll bar came or went) or the view moved sideways under it.
    UINT redraw = RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN;
    if (hold)
        redraw |= RDW_FRAME;
    RECT headerIs{};
    if (header)
        GetClientRect(header, &headerIs);
    if (headerPending || !EqualRect(&headerWas, &headerIs) || GetScrollPos(hWnd(), SB_HORZ) != scrolledX)
        redraw = (redraw & ~RDW_NOCHILDREN) | RDW_ALLCHILDREN;
    if (!same)
        RedrawWindow(hWnd(), nullptr, nullptr, redraw);
    return rows;
}

std::wstring ListView::ItemText(int index, int subItem) const { return TextOf(rows_, index, subItem); }

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
    for (UINT flag : {LVNI_SELECTED, LVNI_FOCUSED}) {
        LRESULT i = SendMessageW(hWnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), flag);
        if (i >= 0)
            SendMessageW(hWnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    if (index < 0 || index >= ListCount())
        return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hWnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

LRESULT ListView::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        // The control selects the row under the cursor and tracks the button until its release.
        int button = ButtonFromMessage(msg);
        trackedButton_ = button;
        release_ = Release{};
        LRESULT r = DefaultMessage(msg, wp, lp);
        trackedButton_ = 0;
        MouseDown.Raise(button, ShiftFromMouseFlags(wp), MouseX(lp), MouseY(lp));
        if (release_.button) {
            Release up = release_;
            release_ = Release{};
            MouseUp.Raise(up.button, up.shift, up.x, up.y);
        }
        return r;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        // Only the control's own click reports these buttons' release: one it did not see
        // pressed is no click.
        return DefaultMessage(msg, wp, lp);
    case WM_CONTEXTMENU:
        if (!MenuFromKeyboard(lp))
            return 0; // the mouse's request: its NM_RCLICK was raised as MouseUp
        break;
    }
    return IntrinsicControl::OnMessage(msg, wp, lp);
}

POINT ListView::MenuKeyPoint() const
{
    RECT r{LVIR_LABEL, 0, 0, 0};
    int i = SelectedIndex();
    if (i < 0 || !SendMessageW(hWnd(), LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)))
        return POINT{0, 0};
    return POINT{r.left, r.bottom};
}

bool ListView::OnReflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result)
{
    if (msg != WM_NOTIFY)
        return false;
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    if ((hdr->code == NM_CLICK || hdr->code == NM_RCLICK) && hdr->hwndFrom == hWnd()) {
        const POINT at = reinterpret_cast<NMITEMACTIVATE*>(lp)->ptAction;
        Release up{hdr->code == NM_CLICK ? vbLeftButton : vbRightButton, ShiftFromKeys(), at.x, at.y};
        // Raised once the press's handling has returned, so MouseDown comes first; a control
        // that reports the click from the release itself raises it at once.
        if (trackedButton_ == up.button)
            release_ = up;
        else
            MouseUp.Raise(up.button, up.shift, up.x, up.y);
        result = 0;
        return true;
    }
    if (hdr->code != LVN_GETDISPINFOW)
        return false;
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lp)->item;
    CopyText(item, TextOf(rows_, item.iItem, item.iSubItem));
    result = 0;
    return true;
}

} // namespace rt
