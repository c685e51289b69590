#include "runtime/Controls.h"

#include "runtime/Form.h"
#include "runtime/Runtime.h"

#include <commctrl.h>

#include <iterator>
#include <map>

namespace rt {

IntrinsicControl::~IntrinsicControl()
{
    if (hwnd_) {
        RemoveSubclass(hwnd_, &IntrinsicControl::SubclassProc, 0);
        Reflectable::Detach(hwnd_);
        DestroyWindow(hwnd_);
    }
}

HFONT IntrinsicControl::DefaultFont(int dpi)
{
    // One font a DPI for the process's life, as the stock fonts are.
    static std::map<int, HFONT> fonts;
    HFONT& font = fonts[dpi];
    if (!font) {
        LOGFONTW lf = MessageFontAt(dpi);
        font = CreateFontIndirectW(&lf);
    }
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void IntrinsicControl::CreateSystemControl(Form& form, HWND container, const wchar_t* className, DWORD style,
                                           DWORD exStyle, RECT design, const std::wstring& text)
{
    PlaceOn(form);
    const int dpi = DpiOf(container);
    hwnd_ = CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, ScaleDesign(design.left, dpi),
                            ScaleDesign(design.top, dpi), ScaleDesign(design.right - design.left, dpi),
                            ScaleDesign(design.bottom - design.top, dpi), container, nullptr, Instance(), nullptr);
    if (!hwnd_)
        return;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFont(dpi)), FALSE);
    Reflectable::Attach(hwnd_, this);
    SetSubclass(hwnd_, &IntrinsicControl::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

std::wstring IntrinsicControl::Text() const { return hwnd_ ? WindowText(hwnd_) : std::wstring(); }

void IntrinsicControl::SetText(const std::wstring& text)
{
    if (hwnd_)
        SetWindowTextW(hwnd_, text.c_str());
}

bool IntrinsicControl::OnReflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT IntrinsicControl::DefaultMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    return DefSubclass(hwnd_, msg, wp, lp);
}

LRESULT IntrinsicControl::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        LRESULT r = DefaultMessage(msg, wp, lp);
        MouseDown.Raise(ButtonFromMessage(msg), ShiftFromMouseFlags(wp), MouseX(lp), MouseY(lp));
        return r;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        LRESULT r = DefaultMessage(msg, wp, lp);
        MouseUp.Raise(ButtonFromMessage(msg), ShiftFromMouseFlags(wp), MouseX(lp), MouseY(lp));
        return r;
    }
    case WM_CHAR: {
        int key = static_cast<int>(wp);
        KeyPress.Raise(key);
        if (key == 0)
            return 0;
        return DefaultMessage(msg, static_cast<WPARAM>(key), lp);
    }
    case WM_SYSCHAR:
        if (Parent() && Parent()->RaiseAccessKey(static_cast<wchar_t>(wp)))
            return 0;
        return DefaultMessage(msg, wp, lp);
    case WM_KEYDOWN:
        KeyDown.Raise(static_cast<int>(wp), ShiftFromKeys());
        return DefaultMessage(msg, wp, lp);
    case WM_KEYUP: {
        LRESULT r = DefaultMessage(msg, wp, lp);
        KeyUp.Raise(static_cast<int>(wp), ShiftFromKeys());
        return r;
    }
    case WM_SETFOCUS: {
        LRESULT r = DefaultMessage(msg, wp, lp);
        GotFocus.Raise();
        return r;
    }
    case WM_KILLFOCUS: {
        LRESULT r = DefaultMessage(msg, wp, lp);
        LostFocus.Raise();
        return r;
    }
    case WM_CONTEXTMENU:
        // The mouse's request follows its release, which MouseUp has reported already.
        if (MenuFromKeyboard(lp)) {
            POINT at = MenuKeyPoint();
            MenuKey.Raise(at.x, at.y);
            return 0;
        }
        return DefaultMessage(msg, wp, lp);
    default:
        return DefaultMessage(msg, wp, lp);
    }
}

LRESULT CALLBACK IntrinsicControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<IntrinsicControl*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveSubclass(hwnd, &IntrinsicControl::SubclassProc, 0);
        Reflectable::Detach(hwnd);
        self->hwnd_ = nullptr;
        return DefSubclass(hwnd, msg, wp, lp);
    }
    HandlerScope scope;
    return self->OnMessage(msg, wp, lp);
}

// --- TextBox ---

void TextBox::Create(Form& form, HWND container, Bounds b, const std::wstring& text, bool visible)
{
    CreateSystemControl(form, container, L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP | (visible ? WS_VISIBLE : 0),
                        WS_EX_CLIENTEDGE, b.Rect(), text);
}

bool TextBox::OnReflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) {
        Change.Raise();
        result = 0;
        return true;
    }
    return false;
}

// --- Label ---

void Label::Create(Form& form, HWND container, Bounds b, const std::wstring& caption)
{
    // Without SS_NOTIFY a static control lets the mouse fall through to its container.
    CreateSystemControl(form, container, L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY | WS_VISIBLE, 0, b.Rect(),
                        caption);
}

// --- CheckBox ---

void CheckBox::Create(Form& form, HWND container, Bounds b, const std::wstring& caption)
{
    CreateSystemControl(form, container, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 0, b.Rect(), caption);
}

int CheckBox::Value() const
{
    return hWnd() && SendMessageW(hWnd(), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void CheckBox::SetValue(int value)
{
    if (!hWnd() || (value != 0 && value != 1) || value == Value())
        return;
    SendMessageW(hWnd(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    HandlerScope scope;
    Click.Raise();
}

bool CheckBox::OnReflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        Click.Raise();
        result = 0;
        return true;
    }
    return false;
}

// --- ListBox ---

void ListBox::Create(Form& form, HWND container, Bounds b, bool sorted, bool manyItems)
{
    manyItems_ = manyItems && !sorted;
    items_.clear();
    DWORD kind = manyItems_ ? LBS_NODATA | LBS_OWNERDRAWFIXED : (sorted ? LBS_SORT : 0);
    CreateSystemControl(form, container, L"LISTBOX",
                        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE | kind,
                        WS_EX_CLIENTEDGE, b.Rect(), L"");
    if (manyItems_ && hWnd()) {
        // The height a box of texts gives its items in the same font.
        HDC dc = GetDC(hWnd());
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hWnd(), WM_GETFONT, 0, 0)));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(hWnd(), dc);
        SendMessageW(hWnd(), LB_SETITEMHEIGHT, 0, tm.tmHeight);
    }
}

void ListBox::AddItem(const std::wstring& text) { AddItems({text}); }

void ListBox::AddItems(std::vector<std::wstring> texts)
{
    if (!hWnd() || texts.empty())
        return;
    if (manyItems_) {
        // The new count is one message; the selection and the scroll position stay.
        LRESULT selected = SendMessageW(hWnd(), LB_GETCURSEL, 0, 0);
        LRESULT top = SendMessageW(hWnd(), LB_GETTOPINDEX, 0, 0);
        if (items_.empty())
            items_.swap(texts);
        else
            items_.insert(items_.end(), std::make_move_iterator(texts.begin()), std::make_move_iterator(texts.end()));
        SendMessageW(hWnd(), LB_SETCOUNT, items_.size(), 0);
        if (SendMessageW(hWnd(), LB_GETCURSEL, 0, 0) != selected)
            SendMessageW(hWnd(), LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        SendMessageW(hWnd(), LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
        return;
    }
    bool many = texts.size() > 1;
    if (many)
        SendMessageW(hWnd(), WM_SETREDRAW, FALSE, 0);
    for (const auto& text : texts)
        SendMessageW(hWnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (many) {
        SendMessageW(hWnd(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hWnd(), nullptr, TRUE);
    }
}

void ListBox::Clear()
{
    items_.clear();
    if (hWnd())
        SendMessageW(hWnd(), LB_RESETCONTENT, 0, 0);
}

int ListBox::ListCount() const
{
    if (manyItems_)
        return static_cast<int>(items_.size());
    if (!hWnd())
        return 0;
    LRESULT n = SendMessageW(hWnd(), LB_GETCOUNT, 0, 0);
    return n == LB_ERR ? 0 : static_cast<int>(n);
}

std::wstring ListBox::List(int index) const
{
    if (manyItems_)
        return index >= 0 && static_cast<std::size_t>(index) < items_.size() ? items_[static_cast<std::size_t>(index)]
                                                                             : std::wstring();
    if (!hWnd())
        return {};
    LRESULT len = SendMessageW(hWnd(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == LB_ERR)
        return {};
    std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
    LRESULT n = SendMessageW(hWnd(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(n == LB_ERR ? 0 : static_cast<std::size_t>(n));
    return text;
}

int ListBox::ListIndex() const
{
    if (!hWnd())
        return -1;
    LRESULT i = SendMessageW(hWnd(), LB_GETCURSEL, 0, 0);
    return i == LB_ERR ? -1 : static_cast<int>(i);
}

void ListBox::SetListIndex(int index)
{
    if (hWnd())
        SendMessageW(hWnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::wstring ListBox::SelectedText() const
{
    int i = ListIndex();
    return i < 0 ? std::wstring() : List(i);
}

LRESULT ListBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_RBUTTONDOWN && hWnd()) {
        // The list box leaves its selection to the left button; a menu opened by the right
        // one must act on the row the user clicked, and a click below the rows selects none.
        LRESULT hit = SendMessageW(hWnd(), LB_ITEMFROMPOINT, 0, lp);
        int index = HIWORD(hit) ? -1 : static_cast<int>(LOWORD(hit));
        if (index != ListIndex()) {
            SetListIndex(index);
            Click.Raise();
        }
    }
    return IntrinsicControl::OnMessage(msg, wp, lp);
}

POINT ListBox::MenuKeyPoint() const
{
    RECT r{};
    int i = ListIndex();
    if (i < 0 || SendMessageW(hWnd(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
        return POINT{0, 0};
    return POINT{r.left, r.bottom};
}

void ListBox::DrawItem(const DRAWITEMSTRUCT& item) const
{
    RECT r = item.rcItem;
    if (item.itemID != static_cast<UINT>(-1) && item.itemID < items_.size()) {
        bool selected = (item.itemState & ODS_SELECTED) != 0;
        FillRect(item.hDC, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const std::wstring& text = items_[item.itemID];
        RECT t{r.left + 1, r.top, r.right, r.bottom};
        DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &t,
                  DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &r);
}

bool ListBox::OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    if (msg == WM_DRAWITEM && manyItems_) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        result = TRUE;
        return true;
    }
    if (msg == WM_COMMAND && HIWORD(wp) == LBN_SELCHANGE) {
        Click.Raise();
        result = 0;
        return true;
    }
    return false;
}

} // namespace rt
