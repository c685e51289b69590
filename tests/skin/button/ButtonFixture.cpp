#include <gtest/gtest.h>

#include "ButtonFixture.h"

#include "runtime/Runtime.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace test {

void ButtonForm::Open()
{
    Load();
    SetWindowPos(hWnd(), HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
    Show();
    Activate();
}

void ButtonForm::Activate()
{
    // Not awaited: the repaint tests run beside others that may hold the foreground; the
    // input tests run alone, and MoveMouseTo waits for the foreground before any input.
    SetForegroundWindow(hWnd());
    SetActiveWindow(hWnd());
    EXPECT_TRUE(PumpQueued());
}

ButtonForm& SharedForm()
{
    static ButtonForm* form = [] {
        auto* f = new ButtonForm;
        f->Open();
        return f;
    }();
    if (GetActiveWindow() != form->hWnd())
        form->Activate();
    return *form;
}

Placed::~Placed()
{
    buttons.clear();
    rt::RunDeferred();
}

skin::dcButton& Placed::Add(const std::wstring& name, rt::Bounds bounds, rt::PropertyBag bag)
{
    buttons.push_back(std::make_unique<skin::dcButton>(name));
    buttons.back()->Create(form, form.hWnd(), bounds, &bag);
    return *buttons.back();
}

rt::PropertyBag StyleBag(long style, const std::wstring& caption, std::uint32_t back, std::uint32_t fore)
{
    rt::PropertyBag bag;
    bag.Set(L"ButtonStyle", std::int64_t{style});
    bag.Set(L"Caption", caption);
    bag.Set(L"BackColor", std::int64_t{back});
    bag.Set(L"ForeColor", std::int64_t{fore});
    return bag;
}

Image Capture(const skin::dcButton& b)
{
    Image img;
    img.width = b.ScaleWidth();
    img.height = b.ScaleHeight();
    img.rgba.resize(static_cast<std::size_t>(img.width) * static_cast<std::size_t>(img.height) * 4);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            COLORREF c = GetPixel(b.BackDC(), x, y);
            std::uint8_t* p = &img.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(img.width) + static_cast<std::size_t>(x)) * 4];
            p[0] = GetRValue(c);
            p[1] = GetGValue(c);
            p[2] = GetBValue(c);
            p[3] = 255;
        }
    }
    return img;
}

std::uint32_t PixelRgb(const skin::dcButton& b, int x, int y) { return GetPixel(b.BackDC(), x, y) & 0xFFFFFF; }

void MouseLeft(bool down) { EXPECT_TRUE(SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP)); }
void MouseRight(bool down) { EXPECT_TRUE(SendMouse(down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)); }

void Key(WORD vk, bool down) { EXPECT_TRUE(SendKey(vk, down)); }

void Tap(WORD vk)
{
    Key(vk, true);
    Key(vk, false);
}

std::wstring ReferenceDir() { return ToWindowsPath(VANTOREL_BUTTON_REFERENCE_DIR); }
std::wstring ArtefactDir() { return BuildDir() + L"\\button-artefacts"; }

Image Beside(const std::vector<Image>& images, int gap)
{
    Image out;
    for (auto& i : images) {
        out.width += i.width + (out.width ? gap : 0);
        out.height = std::max(out.height, i.height);
    }
    out.rgba.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * 4, 128);
    int left = 0;
    for (auto& i : images) {
        for (int y = 0; y < i.height; ++y)
            std::copy_n(&i.rgba[static_cast<std::size_t>(y * i.width) * 4], static_cast<std::size_t>(i.width) * 4,
                        &out.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(left)) * 4]);
        left += i.width + gap;
    }
    return out;
}

::testing::AssertionResult MatchesReference(const Image& actual, const std::wstring& name)
{
    const std::wstring path = ReferenceDir() + L"\\" + name + L".png";
    Image expected;
    if (!FileExists(path)) {
        if (std::getenv("VANTOREL_UPDATE_REFERENCES")) {
            WriteBytes(path, EncodePng(actual));
            return ::testing::AssertionSuccess() << "written";
        }
        return ::testing::AssertionFailure() << "no reference " << Narrow(path);
    }
    if (!DecodePng(ReadBytes(path), expected))
        return ::testing::AssertionFailure() << "unreadable reference " << Narrow(path);
    int differing = 0;
    Image diff = actual;
    if (expected.width == actual.width && expected.height == actual.height) {
        for (int y = 0; y < actual.height; ++y) {
            for (int x = 0; x < actual.width; ++x) {
                bool same = expected.Pixel(x, y) == actual.Pixel(x, y);
                differing += same ? 0 : 1;
                std::uint8_t* p = &diff.rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(diff.width) + static_cast<std::size_t>(x)) * 4];
                if (same) {
                    p[0] = p[1] = p[2] = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 12 + 170);
                } else {
                    p[0] = 255;
                    p[1] = p[2] = 0;
                }
            }
        }
        if (differing == 0)
            return ::testing::AssertionSuccess();
    } else {
        differing = -1;
    }
    CreateDirectoryW(ArtefactDir().c_str(), nullptr);
    WriteBytes(ArtefactDir() + L"\\" + name + L".actual.png", EncodePng(actual));
    if (differing > 0)
        WriteBytes(ArtefactDir() + L"\\" + name + L".diff.png", EncodePng(diff));
    return ::testing::AssertionFailure() << Narrow(name) << ": " << differing
                                         << " pixels differ (-1: size); see " << Narrow(ArtefactDir());
}

} // namespace test
