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
    // Down: code/shift; press: the character, "-" once swallowed; up: code.
    std::string log;
    image.KeyDown.Connect([&](int& k, int& s) { log += "d" + std::to_string(k) + "/" + std::to_string(s) + " "; });
    image.KeyUp.Connect([&](int& key, int&) { log += "u" + std::to_string(key) + " "; });
    image.KeyPress.Connect([](int& ch) { ch = ch == 'b' ? 0 : ch; });
    image.KeyPress.Connect([&](int& ch) { log += ch ? std::string("p") + static_cast<char>(ch) + " " : "p- "; });
    RECT r{};
    GetClientRect(image.hWnd(), &r);
    ASSERT_NE(GetFocus(), image.hWnd());
    ASSERT_TRUE(test::ClickAt(image.hWnd(), r.right / 2, r.bottom / 2));
    ASSERT_TRUE(test::WaitFor([&] { return GetFocus() == image.hWnd(); }, 5000, "the focus on the control"));
    test::PressKey('A');
    test::PressKey('B');
    test::PressKey('C', {VK_SHIFT});
    ASSERT_TRUE(test::PumpQueued());
    EXPECT_EQ(log, "d65/0 pa u65 d66/0 p- u66 d16/1 d67/1 pC u67 u16 ");
}

// A drag source: it drops once the left button is up, and counts the feedback it is asked for
// while the cursor stands on `target`.
class Source final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        *out = riid == IID_IUnknown || riid == IID_IDropSource ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
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
};

// A DROPFILES block of `names` (their list at `listAt`) and a text put on the clipboard, and the
// clipboard's data object that offers them; null when the clipboard could not be had.
IDataObject* Offer(const std::vector<std::wstring>& names, DWORD listAt)
{
    const DROPFILES head{listAt, {}, FALSE, TRUE};
    std::string hdrop(reinterpret_cast<const char*>(&head), sizeof(head));
    for (const std::wstring& n : names)
        hdrop.append(reinterpret_cast<const char*>(n.c_str()), (n.size() + 1) * sizeof(wchar_t));
    test::SetClipboardText(L"dragged text");
    if (!OpenClipboard(nullptr))
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, hdrop.append(2, '\0').size());
    std::memcpy(GlobalLock(block), hdrop.data(), hdrop.size());
    GlobalUnlock(block);
    SetClipboardData(CF_HDROP, block);
    CloseClipboard();
    IDataObject* data = nullptr;
    return SUCCEEDED(OleGetClipboard(&data)) ? data : nullptr;
}

// With the button held beside `target`, a helper thread moves the cursor onto its centre as a hand
// does and lets go once the drag stood there twice; the drag loop runs here. Its effect is returned.
DWORD DragOnto(HWND form, HWND target, IDataObject* data, std::string& failure)
{
    Source source;
    RECT r{};
    GetWindowRect(target, &r);
    source.target = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    POINT start{r.right + (r.right - r.left) / 2, source.target.y};
    ScreenToClient(form, &start);
    if (!data || !test::MoveMouseTo(form, start.x, start.y) || !test::SendMouse(MOUSEEVENTF_LEFTDOWN)) {
        failure = "no data or no press beside the control";
        return DROPEFFECT_NONE;
    }
    std::thread hand([&] {
        failure = test::MoveCursorTo(source.target);
        if (!test::PumpUntil([&] { return source.onTarget >= 2; }, 10000))
            failure += "the drag never stood on the control";
        INPUT up{INPUT_MOUSE, {{0, 0, 0, MOUSEEVENTF_LEFTUP, 0, 0}}};
        SendInput(1, &up, sizeof(up));
    });
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    hand.join();
    return effect;
}

TEST(AlphaImageInput, RealDragDeliversTheFullNamesAndTakesTheEffectTheHandlerChose)
{
    const std::vector<std::wstring> names = {L"C:\\in\\plain.png", L"C:\\in\\Grüße \u56fe\u7247 \u00e9t\u00e9.png"};
    struct Case {
        const char* name;
        int mode;
        DWORD listAt;
        std::string states; // enter (0), then over (2), repeats left out
        std::vector<std::wstring> files; // as the drop event sees them
        DWORD effect;
    } cases[] = {
        {"file list", 1, sizeof(DROPFILES), "02", names, DROPEFFECT_COPY},
        {"list placed past its block", 1, 0x10000, "02", {}, DROPEFFECT_COPY},
        {"mode set back to none", 0, sizeof(DROPFILES), "", {}, DROPEFFECT_NONE},
    };
    OleInitialize(nullptr); // the drag's source and the clipboard's object need OLE here
    test::ImageHost host;
    host.Load();
    host.Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto& image = host.Add(nullptr);
        image.SetOLEDropMode(1);
        image.SetOLEDropMode(c.mode);
        std::string states;
        std::vector<rt::DropData> drops;
        POINT at{-1, -1};
        image.OLEDragOver.Connect([&](rt::DropData&, int& effect, int&, int&, float, float, int& state) {
            if (states.empty() || states.back() != '0' + state)
                states += static_cast<char>('0' + state);
            effect = DROPEFFECT_COPY;
        });
        image.OLEDragDrop.Connect([&](rt::DropData& data, int& effect, int&, int&, float x, float y) {
            drops.push_back(data);
            at = POINT{static_cast<int>(x), static_cast<int>(y)};
            effect = DROPEFFECT_COPY;
        });
        std::string failure;
        IDataObject* data = Offer(names, c.listAt);
        EXPECT_EQ(DragOnto(host.hWnd(), image.hWnd(), data, failure), c.effect);
        if (data)
            data->Release();
        EXPECT_EQ(failure, "");
        RECT r{};
        GetClientRect(image.hWnd(), &r);
        image.Unload();
        EXPECT_EQ(states, c.states);
        ASSERT_EQ(drops.size(), c.mode ? 1u : 0u);
        for (const rt::DropData& drop : drops) {
            EXPECT_EQ(drop.files, c.files);
            EXPECT_EQ(drop.text, L"dragged text");
            EXPECT_TRUE(drop.GetFormat(CF_HDROP));
            EXPECT_TRUE(at.x == r.right / 2 && at.y == r.bottom / 2);
        }
    }
    OleUninitialize();
}

} // namespace
