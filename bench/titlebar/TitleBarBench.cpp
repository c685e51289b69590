// A full repaint of a 750-pixel title bar in each background style (background, caption,
// frame and boxes, into the backing bitmap), against one GradientFill of the same size.
#include "bench/common/BenchTiming.h"
#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "skin/TitelBar.h"

#include <cstdio>

namespace {

class BenchForm : public rt::Form {
public:
    BenchForm() : rt::Form(L"BenchForm", L"Title bar bench", 750 * 15, 1500) {}
    skin::TitelBar bar{L"TitelBar1", skin::TitelBar::CloseAction::HideForm};

protected:
    void CreateControls() override
    {
        rt::PropertyBag design = skin::TitelBar::NewInstanceDesign();
        design.Set(L"Caption", std::wstring(L"Vantorel - Ostrevi v1.0.0"));
        bar.Create(*this, hWnd(), {0, 0, 750, 28}, design);
    }
};

bool GradientOnce(HDC dc, int w, int h)
{
    TRIVERTEX v[2] = {{0, 0, 0xE600, 0xE600, 0xE600, 0}, {w, h, 0x2600, 0x3000, 0x4F00, 0}};
    GRADIENT_RECT r{0, 1};
    const bool ok = GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_V) != FALSE;
    GdiFlush();
    return ok;
}

} // namespace

int wmain()
{
    BenchForm form;
    form.Load();
    skin::TitelBar& bar = form.bar;
    const int w = bar.ScaleWidth(), h = bar.ScaleHeight();
    rt::UniqueDC dc(CreateCompatibleDC(nullptr));
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    rt::Gdi<HBITMAP> bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    rt::Selected sel(dc.get(), bmp.get());

    const auto* px = static_cast<const std::uint32_t*>(bits);
    if (!GradientOnce(dc.get(), w, h) || (px[0] & 0xFFFFFF) != 0xE6E6E6 || px[static_cast<std::size_t>(w) * h - 1] == 0) {
        std::printf("GradientFill did not fill the bitmap\n");
        return 1;
    }
    std::printf("bar %d x %d pixels, 31 runs of 20 repaints each\n", w, h);
    std::printf("| style | repaint min | median | GradientFill min | median | ratio min | median |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|\n");
    for (int style = 0; style <= 14; ++style) {
        std::vector<double> paint, fill;
        for (int run = 0; run < 31; ++run) {
            double t0 = bench::NowMs();
            for (int i = 0; i < 20; ++i)
                bar.SetStyle(style);
            GdiFlush();
            paint.push_back((bench::NowMs() - t0) / 20);
            t0 = bench::NowMs();
            for (int i = 0; i < 20; ++i)
                GradientOnce(dc.get(), w, h);
            fill.push_back((bench::NowMs() - t0) / 20);
        }
        const bench::Stats p = bench::Summarise(paint), f = bench::Summarise(fill),
                           r = bench::Summarise(bench::Ratios(paint, fill));
        std::printf("| %d | %.3f ms | %.3f ms | %.3f ms | %.3f ms | %.1f | %.1f |\n", style, p.min, p.median, f.min,
                    f.median, r.min, r.median);
    }
    form.Unload();
    return 0;
}
