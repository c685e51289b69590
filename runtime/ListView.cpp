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

ListView::~ListView()
{
    if (twin_ && IsWindow(twin_)) {
        Reflectable::Detach(twin_);
        DestroyWindow(twin_);
    }
}

void ListView::Create(Form& form, HWND container, Bounds b)
{
    CreateSystemControl(form, container, WC_LISTVIEWW, kStyle | WS_TABSTOP | WS_VISIBLE, WS_EX_CLIENTEDGE, b.Rect(),
                        L"");
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

HWND ListView::SizingTwin()
{
    if (twin_ && IsWindow(twin_))
        return twin_;
    twin_ = CreateWindowExW(0, WC_LISTVIEWW, L"", kStyle | WS_CHILD, 0, 0, 0, 0, GetParent(hWnd()), nullptr,
                            Instance(), nullptr);
    if (twin_)
        Reflectable::Attach(twin_, this);
    return twin_;
}

std::wstring ListView::WidestEntry(int column) const
{
    std::wstring widest;
    if (rows_.empty() || column < 0 || column > kSubItems)
        return widest;
    WindowDC dc(hWnd());
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hWnd(), WM_GETFONT, 0, 0));
    Selected keep(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    // Advance widths of the printable ASCII characters: the entries are numbers, addresses and
    // state names, so a sum of table lookups measures almost every one exactly as GDI does.
    INT ascii[0x7F - 0x20] = {};
    bool haveTable = GetCharWidth32W(dc.get(), 0x20, 0x7E, ascii) != FALSE;
    auto width = [&](const std::wstring& text) {
        int sum = 0;
        for (wchar_t c : text) {
            if (!haveTable || c < 0x20 || c > 0x7E) {
                SIZE size{};
                GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
                return static_cast<int>(size.cx);
            }
            sum += ascii[c - 0x20];
        }
        return sum;
    };
    int best = -1;
    for (const Row& row : rows_) {
        const std::wstring& text = row[static_cast<std::size_t>(column)];
        int w = width(text);
        if (w > best) {
            best = w;
            widest = text;
        }
    }
    return widest;
}

void ListView::AutoSizeColumn(int column)
{
    if (!hWnd() || column < 0 || column >= ColumnCount())
        return;
    HWND twin = SizingTwin();
    if (!twin) {
        SendMessageW(hWnd(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
        return;
    }
    // Same font, the same client width (the last column fills it) and the same columns.
    SendMessageW(twin, WM_SETFONT, SendMessageW(hWnd(), WM_GETFONT, 0, 0), FALSE);
    RECT client{}, twinClient{};
    GetClientRect(hWnd(), &client);
    GetClientRect(twin, &twinClient);
    if (client.right != twinClient.right || client.bottom != twinClient.bottom)
        SetWindowPos(twin, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    HWND header = reinterpret_cast<HWND>(SendMessageW(twin, LVM_GETHEADER, 0, 0));
    int have = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    int columns = ColumnCount();
    for (int i = 0; i < columns; ++i) {
        wchar_t title[256] = {};
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        col.pszText = title;
        col.cchTextMax = static_cast<int>(std::size(title));
        SendMessageW(hWnd(), LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
        if (i < have) {
            // Each change makes the twin lay out its header again: only what differs.
            wchar_t twinTitle[256] = {};
            LVCOLUMNW now{};
            now.mask = col.mask;
            now.pszText = twinTitle;
            now.cchTextMax = static_cast<int>(std::size(twinTitle));
            SendMessageW(twin, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&now));
            if (now.cx != col.cx || now.fmt != col.fmt || std::wstring_view(twinTitle) != std::wstring_view(title))
                SendMessageW(twin, LVM_SETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
        } else {
            SendMessageW(twin, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
        }
    }
    // The twin's one row holds this column's widest entry; its other cells are empty.
    twinColumn_ = column;
    twinText_ = WidestEntry(column);
    std::size_t twinCount = rows_.empty() ? 0 : 1;
    if (static_cast<std::size_t>(SendMessageW(twin, LVM_GETITEMCOUNT, 0, 0)) != twinCount)
        SendMessageW(twin, LVM_SETITEMCOUNT, twinCount, LVSICF_NOSCROLL);
    SendMessageW(twin, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
    int width = static_cast<int>(SendMessageW(twin, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    if (width != ColumnWidth(column))
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
    rows_.swap(rows);
    if (!hWnd())
        return rows;
    // The rows are new: no selection or focus stays on them, and the view starts at the top.
    // Only the one selected and focused item are touched; deleting every item would make the
    // control lay itself out twice for each replacement.
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
    InvalidateRect(hWnd(), nullptr, TRUE);
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
    if (hdr->hwndFrom == twin_) {
        static const std::wstring empty;
        CopyText(item, item.iItem == 0 && item.iSubItem == twinColumn_ ? twinText_ : empty);
    } else {
        CopyText(item, TextOf(rows_, item.iItem, item.iSubItem));
    }
    result = 0;
    return true;
}

} // namespace rt
