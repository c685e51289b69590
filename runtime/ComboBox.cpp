#include "runtime/ComboBox.h"

#include "runtime/Runtime.h"

#include <cmath>

namespace rt {

namespace {
// Rows the list shows when it drops down.
constexpr int kDroppedRows = 8;
} // namespace

void ComboBox::Create(Form& form, HWND container, Bounds b, const std::wstring& fontFace, double points)
{
    // The window's height at creation is the dropped list's; the closed box is sized below.
    Bounds dropped = b;
    dropped.h = b.h * (kDroppedRows + 1);
    CreateSystemControl(form, container, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE, 0,
                        dropped.Rect(), L"");
    HWND h = hWnd();
    if (!h)
        return;
    const int dpi = DpiOf(container);
    if (!fontFace.empty() && points > 0) {
        LOGFONTW lf{};
        lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(lf.lfFaceName, fontFace.c_str(), LF_FACESIZE);
        font_.reset(CreateFontIndirectW(&lf));
        if (font_)
            SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    // The closed box is its selection field and a frame around it, whose size the system
    // decides. Wine reports a field height other than the one set, so the frame is measured
    // around a field of a height set here.
    LRESULT field = SendMessageW(h, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (field == CB_ERR || field <= 0)
        return;
    SendMessageW(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    RECT r{};
    GetWindowRect(h, &r);
    const int wanted = ScaleDesign(b.h, dpi) - ((r.bottom - r.top) - static_cast<int>(field));
    if (wanted > 0)
        SendMessageW(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
}

void ComboBox::AddItem(const std::wstring& text, int index)
{
    if (hWnd())
        SendMessageW(hWnd(), CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboBox::Clear()
{
    if (hWnd())
        SendMessageW(hWnd(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::ListCount() const
{
    LRESULT n = hWnd() ? SendMessageW(hWnd(), CB_GETCOUNT, 0, 0) : 0;
    return n == CB_ERR ? 0 : static_cast<int>(n);
}

std::wstring ComboBox::List(int index) const
{
    if (!hWnd())
        return {};
    LRESULT len = SendMessageW(hWnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (len == CB_ERR)
        return {};
    std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
    LRESULT n =
        SendMessageW(hWnd(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(n == CB_ERR ? 0 : static_cast<std::size_t>(n));
    return text;
}

long ComboBox::ItemData(int index) const
{
    LRESULT d = hWnd() ? SendMessageW(hWnd(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0) : 0;
    return d == CB_ERR ? 0 : static_cast<long>(d);
}

void ComboBox::SetItemData(int index, long data)
{
    if (hWnd())
        SendMessageW(hWnd(), CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

int ComboBox::ListIndex() const
{
    LRESULT i = hWnd() ? SendMessageW(hWnd(), CB_GETCURSEL, 0, 0) : CB_ERR;
    return i == CB_ERR ? -1 : static_cast<int>(i);
}

void ComboBox::SetListIndex(int index)
{
    if (!hWnd() || index < -1 || index >= ListCount() || index == ListIndex())
        return;
    SendMessageW(hWnd(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    HandlerScope scope;
    Click.Raise();
}

bool ComboBox::OnReflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wp) == CBN_SELCHANGE) {
        Click.Raise();
        result = 0;
        return true;
    }
    return false;
}

} // namespace rt
