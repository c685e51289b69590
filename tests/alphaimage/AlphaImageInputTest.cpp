// The control's keys once a real click gave it the focus, and real OLE drags from this test
// onto it: the events, the dropped names, the effect handed back, and no drop without a mode.
#include "tests/alphaimage/ImageHost.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

TEST(AlphaImageInput, KeysReachTheControlThatAClickGaveTheFocus)
{
    test::ImageHost host;
    host.Load();
    host.Show();
    auto& image = host.Add(nullptr);
    std::vector<std::pair<int, int>> downs;
    std::vector<int> ups;
    std::wstring typed;
    image.KeyDown.Connect([&](int& key, int& shift) { downs.emplace_back(key, shift); });
    image.KeyUp.Connect([&](int& key, int&) { ups.push_back(key); });
    image.KeyPress.Connect([](int& ch) { ch = ch == 'b' ? 0 : ch; });
    image.KeyPress.Connect([&](int& ch) { typed += ch ? std::wstring(1, static_cast<wchar_t>(ch)) : L"-"; });
    RECT r{};
    GetClientRect(image.hWnd(), &r);
    ASSERT_NE(GetFocus(), image.hWnd());
    ASSERT_TRUE(test::ClickAt(image.hWnd(), r.right / 2, r.bottom / 2));
    ASSERT_TRUE(test::WaitFor([&] { return GetFocus() == image.hWnd(); }, 5000, "the focus on the control"));
    test::PressKey('A');
    test::PressKey('B');
    test::PressKey('C', {VK_SHIFT});
    ASSERT_TRUE(test::PumpQueued());
    EXPECT_EQ(typed, L"a-C");
    EXPECT_EQ(downs, (std::vector<std::pair<int, int>>{{'A', 0}, {'B', 0}, {VK_SHIFT, 1}, {'C', 1}}));
    EXPECT_EQ(ups, (std::vector<int>{'A', 'B', 'C', VK_SHIFT}));
}

// A drag source offering a DROPFILES block and a text. It drops once the left button is up, and
// counts the feedback it is asked for while the cursor stands on `target`.
class Source final : public IDataObject, public IDropSource {
public:
    Source(std::string hdrop, std::wstring text)
        : hdrop_(std::move(hdrop)), text_(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2)
    {
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        *out = riid == IID_IDropSource ? static_cast<IDropSource*>(this)
               : riid == IID_IUnknown || riid == IID_IDataObject ? static_cast<void*>(static_cast<IDataObject*>(this))
                                                                  : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override
    {
        const std::string* bytes = Of(f);
        if (!bytes)
            return DV_E_FORMATETC;
        *m = STGMEDIUM{TYMED_HGLOBAL, {}, nullptr};
        m->hGlobal = GlobalAlloc(GMEM_MOVEABLE, bytes->size());
        std::memcpy(GlobalLock(m->hGlobal), bytes->data(), bytes->size());
        GlobalUnlock(m->hGlobal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override { return Of(f) ? S_OK : DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dir, IEnumFORMATETC** out) override
    {
        FORMATETC f[] = {{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
                         {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
        return dir == DATADIR_GET ? SHCreateStdEnumFmtEtc(2, f, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        return escape ? DRAGDROP_S_CANCEL : (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override
    {
        POINT at{};
        GetCursorPos(&at);
        onTarget += at.x == target.x && at.y == target.y;
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

    POINT target{};
    std::atomic<int> onTarget{0};

private:
    const std::string* Of(const FORMATETC* f) const
    {
        if (!f || !(f->tymed & TYMED_HGLOBAL))
            return nullptr;
        return f->cfFormat == CF_HDROP ? &hdrop_ : f->cfFormat == CF_UNICODETEXT ? &text_ : nullptr;
    }
    std::string hdrop_, text_;
};

std::string DropFiles(const std::vector<std::wstring>& names, DWORD listAt = sizeof(DROPFILES))
{
    DROPFILES head{};
    head.pFiles = listAt;
    head.fWide = TRUE;
    std::string block(reinterpret_cast<const char*>(&head), sizeof(head));
    for (const std::wstring& n : names)
        block.append(reinterpret_cast<const char*>(n.c_str()), (n.size() + 1) * 2);
    return block.append(2, '\0');
}

// Holds the left button down on the form beside `target`, then a helper thread moves the cursor
// across onto the target's centre as a hand does and lets go once the drag has stood there for
// two of its steps. The drag loop runs here; its effect is returned.
DWORD DragOnto(HWND form, HWND target, Source& source, std::string& failure)
{
    RECT r{};
    GetWindowRect(target, &r);
    source.target = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    POINT start{r.right + (r.right - r.left) / 2, source.target.y};
    ScreenToClient(form, &start);
    if (!test::MoveMouseTo(form, start.x, start.y) || !test::SendMouse(MOUSEEVENTF_LEFTDOWN)) {
        failure = "no press beside the control";
        return DROPEFFECT_NONE;
    }
    std::thread hand([&] {
        failure = test::MoveCursorTo(source.target);
        if (!test::PumpUntil([&] { return source.onTarget >= 2; }, 10000))
            failure += "the drag never stood on the control";
        INPUT up{};
        up.type = INPUT_MOUSE;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &up, sizeof(up));
    });
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(&source, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    hand.join();
    return effect;
}

TEST(AlphaImageInput, RealDragDeliversTheFullNamesAndTakesTheEffectTheHandlerChose)
{
    const std::vector<std::wstring> names = {L"C:\\pictures\\plain.png", L"C:\\bilder\\Grüße \u56fe\u7247 \u00e9t\u00e9.png"};
    struct Case {
        const char* name;
        int mode;
        std::string block;
        std::vector<std::wstring> files; // as the drop event sees them; no events when mode 0
    } cases[] = {
        {"file list", 1, DropFiles(names), names},
        {"list placed past its block", 1, DropFiles(names, 0x10000), {}},
        {"mode set back to none", 0, DropFiles(names), {}},
    };
    const struct Ole {
        Ole() { OleInitialize(nullptr); }
        ~Ole() { OleUninitialize(); }
    } ole;
    test::ImageHost host;
    host.Load();
    host.Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto& image = host.Add(nullptr);
        image.SetOLEDropMode(1);
        image.SetOLEDropMode(c.mode);
        std::vector<int> states;
        std::vector<rt::DropData> drops;
        POINT droppedAt{};
        image.OLEDragOver.Connect([&](rt::DropData&, int& effect, int&, int&, float, float, int& state) {
            states.push_back(state);
            effect = DROPEFFECT_COPY;
        });
        image.OLEDragDrop.Connect([&](rt::DropData& data, int& effect, int&, int&, float x, float y) {
            drops.push_back(data);
            droppedAt = POINT{static_cast<int>(x), static_cast<int>(y)};
            effect = DROPEFFECT_COPY;
        });
        Source source(c.block, L"dragged text");
        std::string failure;
        const DWORD effect = DragOnto(host.hWnd(), image.hWnd(), source, failure);
        RECT r{};
        GetClientRect(image.hWnd(), &r);
        image.Unload();
        ASSERT_EQ(failure, "");
        if (c.mode == 0) {
            EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
            EXPECT_TRUE(states.empty() && drops.empty());
            continue;
        }
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
        ASSERT_GE(states.size(), 2u);
        EXPECT_EQ(states[0], rt::vbEnter);
        EXPECT_EQ(states.back(), rt::vbOver);
        ASSERT_EQ(drops.size(), 1u);
        EXPECT_EQ(drops[0].files, c.files);
        EXPECT_EQ(drops[0].text, L"dragged text");
        EXPECT_TRUE(drops[0].GetFormat(CF_HDROP));
        EXPECT_EQ(droppedAt.x, r.right / 2);
        EXPECT_EQ(droppedAt.y, r.bottom / 2);
    }
}

} // namespace
