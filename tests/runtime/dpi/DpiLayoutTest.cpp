// Both programs' forms at the DPI of the Wine prefix they run in (VANTOREL_DPI; ctest runs
// this at 96 in the shared prefix and through tools/with-dpi at 144, 168 and 192): every
// control sits where its 96-DPI layout (layout96.txt) puts it, scaled, and no label's text
// is wider or taller than its control.
#include "blocker/FrmMain.h"
#include "monitor/FrmMain.h"
#include "common/ModCommon.h"
#include "runtime/Runtime.h"
#include "tests/skin/button/Png.h"
#include "tests/support/ProgramFormsTest.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>

using namespace vantorel;
using namespace vantorel::ostrevi;

namespace {

// A window's rectangle in its container and its font's height (0 for drawn controls).
struct Placed {
    int x = 0, y = 0, w = 0, h = 0, font = 0;
};
using Layout = std::map<std::string, Placed>;

int ExpectedDpi()
{
    const char* v = std::getenv("VANTOREL_DPI");
    return v ? std::atoi(v) : 96;
}

Layout Measure(const std::string& program, rt::Form& form)
{
    Layout out;
    RECT fr{};
    GetWindowRect(form.hWnd(), &fr);
    out[program + " (form)"] = {0, 0, fr.right - fr.left, fr.bottom - fr.top, 0};
    for (rt::Control* c : form.Controls()) {
        HWND h = c->hWnd();
        // Hidden helpers (the date-separator box, the tray's message window) show nothing.
        if (!h || !(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT r{};
        GetWindowRect(h, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
        LOGFONTW lf{};
        if (auto font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)))
            GetObjectW(font, sizeof(lf), &lf);
        out[program + " " + test::Narrow(c->Name())] = {r.left, r.top, r.right - r.left, r.bottom - r.top,
                                                         std::abs(lf.lfHeight)};
    }
    return out;
}

std::string SourceFile(const char* name) { return std::string(VANTOREL_DPI_TEST_DIR "/") + name; }

Layout ReadLayout(const std::string& unixPath)
{
    Layout layout;
    std::istringstream in(test::ReadBytes(test::ToWindowsPath(unixPath)));
    std::string program, name;
    Placed p;
    while (in >> program >> name >> p.x >> p.y >> p.w >> p.h >> p.font)
        layout[program + " " + name] = p;
    return layout;
}

std::string Text(const Layout& layout)
{
    std::ostringstream out;
    for (const auto& [key, p] : layout)
        out << key << ' ' << p.x << ' ' << p.y << ' ' << p.w << ' ' << p.h << ' ' << p.font << '\n';
    return out.str();
}

// Where the wrapped text of a label (as the static control draws it) ends, beyond its client area.
std::string LabelOverflow(HWND label)
{
    RECT client{};
    GetClientRect(label, &client);
    std::wstring text = rt::WindowText(label);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT need{0, 0, client.right, 0};
    DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    if (need.right <= client.right && need.bottom <= client.bottom)
        return {};
    std::ostringstream why;
    why << '"' << test::Narrow(text) << "\" needs " << need.right << 'x' << need.bottom << " in "
        << client.right << 'x' << client.bottom;
    return why.str();
}

// The form as the screen shows it, for a look by eye (VANTOREL_DPI_SHOTS names the folder);
// the shots beside this file were taken so and looked at.
void SaveShot(HWND window, const std::string& name)
{
    const char* folder = std::getenv("VANTOREL_DPI_SHOTS");
    if (!folder)
        return;
    // Only the picture needs the paints to have landed; the measures above do not.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    test::PumpQueued();
    RECT r{};
    GetWindowRect(window, &r);
    test::Image img;
    img.width = r.right - r.left;
    img.height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), img.width, -img.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, img.width, img.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* px = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < img.width * img.height; ++i)
        img.rgba.insert(img.rgba.end(), {px[i * 4 + 2], px[i * 4 + 1], px[i * 4], 255});
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    test::WriteBytes(test::ToWindowsPath(std::string(folder) + "/" + name + "-" + std::to_string(ExpectedDpi()) +
                                         ".png"),
                     test::EncodePng(img));
}

class DpiLayout : public test::ProgramFormsTest {
protected:
    void Check(const std::string& program, rt::Form& form)
    {
        const int dpi = ExpectedDpi();
        ASSERT_EQ(rt::ScreenDpiY(), dpi) << "the prefix's LogPixels did not reach the process";
        ASSERT_EQ(rt::DpiOf(form.hWnd()), dpi) << "the process is not DPI aware";
        Layout now = Measure(program, form);
        SaveShot(form.hWnd(), program);

        Layout design = ReadLayout(SourceFile("layout96.txt"));
        int compared = 0;
        for (const auto& [key, d] : design) {
            if (key.rfind(program + " ", 0) != 0)
                continue;
            ++compared;
            auto it = now.find(key);
            ASSERT_NE(it, now.end()) << key << " is missing";
            const Placed& p = it->second;
            auto scaled = [&](int got, int at96) { return std::abs(got - MulDiv(at96, dpi, 96)) <= 1; };
            EXPECT_TRUE(scaled(p.x, d.x) && scaled(p.y, d.y) && scaled(p.w, d.w) && scaled(p.h, d.h))
                << key << " is at " << p.x << ',' << p.y << ' ' << p.w << 'x' << p.h << "; at 96 DPI "
                << d.x << ',' << d.y << ' ' << d.w << 'x' << d.h;
            EXPECT_TRUE(scaled(p.font, d.font)) << key << "'s font is " << p.font << " pixels, " << d.font << " at 96 DPI";
        }
        EXPECT_EQ(compared, static_cast<int>(std::count_if(now.begin(), now.end(), [&](const auto& kv) {
                      return kv.first.rfind(program + " ", 0) == 0;
                  }))) << "layout96.txt lacks controls; this layout:\n"
                       << Text(now);

        for (rt::Control* c : form.Controls()) {
            if (c->hWnd() && dynamic_cast<rt::Label*>(c)) {
                EXPECT_EQ(LabelOverflow(c->hWnd()), "") << program << ' ' << test::Narrow(c->Name());
            }
        }
    }
};

TEST_F(DpiLayout, OstreviControlsScaleWithTheDpiAndTheirTextsFit)
{
    test::WriteBytes(folder / L"Settings.ini", "[main]\r\nPort=3389\r\nTime=5\r\n");
    auto form = std::make_unique<FrmMain>(Seams{.commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    Check("Ostrevi", *form);
}

TEST_F(DpiLayout, BrennixControlsScaleWithTheDpiAndTheirTextsFit)
{
    auto form = std::make_unique<vantorel::brennix::FrmMain>(Seams{.commandLine = L""});
    form->Load();
    form->ShowAfterLoad();
    Check("Brennix", *form);
    form->Unload();
}

} // namespace
