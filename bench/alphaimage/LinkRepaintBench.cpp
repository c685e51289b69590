// A repaint of an image control holding a 110 x 22 link picture with alpha at opacity 100 (the
// container's background, then the picture, into the control's backing bitmap) against
// AlphaBlend of the same picture at the same size onto the same bitmap, in the same runs.
#include "bench/alphaimage/ImageBenchHost.h"
#include "bench/common/BenchTiming.h"

#include <cstdio>

namespace {

constexpr int kWidth = 110, kHeight = 22, kRepeats = 200;

// A rounded bar with soft ends, as a link picture is.
std::vector<std::uint8_t> LinkPicture()
{
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int edge = std::min({x, kWidth - 1 - x, y * 3, (kHeight - 1 - y) * 3});
            const auto a = static_cast<std::uint8_t>(std::min(255, edge * 40));
            rows.insert(rows.end(), {static_cast<std::uint8_t>(2 * x), static_cast<std::uint8_t>(9 * y), 0x80, a});
        }
    return bench::BmpOf(kWidth, kHeight, rows);
}

class Host : public rt::Form {
public:
    Host() : rt::Form(L"Host", L"link repaint", 3000, 1500) {}
    aic::aicAlphaImage Link{L"Link"};

protected:
    void CreateControls() override
    {
        rt::PropertyBag design;
        design.Set(L"Image", LinkPicture()).Set(L"HitTest", std::int64_t{3});
        Link.Create(*this, hWnd(), {10, 10, kWidth, kHeight}, &design);
    }
};

} // namespace

int wmain()
{
    Host host;
    host.Load();
    host.Show();
    const auto picture = host.Link.SourceDIB();
    HDC back = host.Link.BackDC();
    if (!back || picture->Width() != kWidth || host.Link.ScaleWidth() != kWidth) {
        std::printf("no control or picture\n");
        return 1;
    }
    imaging::c32bppDIB same;
    picture->CopyImageTo(same, 0, 0, false);
    const rt::UniqueDC memory(CreateCompatibleDC(back));
    const rt::Selected selected(memory.get(), same.Handle());
    auto repaint = [&] {
        for (int i = 0; i < kRepeats; ++i)
            host.Link.Refresh();
        GdiFlush();
    };
    auto system = [&] {
        for (int i = 0; i < kRepeats; ++i)
            AlphaBlend(back, 0, 0, kWidth, kHeight, memory.get(), 0, 0, kWidth, kHeight, {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
        GdiFlush();
    };
    std::vector<double> ours, theirs;
    for (int run = 0; run < 31; ++run) {
        ours.push_back(bench::Time(1, [] {}, repaint)[0] / kRepeats);
        theirs.push_back(bench::Time(1, [] {}, system)[0] / kRepeats);
    }
    const auto a = bench::Summarise(ours), b = bench::Summarise(theirs), r = bench::Summarise(bench::Ratios(ours, theirs));
    std::printf("%d repaints a run, 31 runs; ms a repaint\n", kRepeats);
    std::printf("| what | repaint min / median | AlphaBlend min / median | ratio min / median |\n|---|---:|---:|---:|\n");
    std::printf("| link picture 110 x 22, opacity 100 | %.4f / %.4f ms | %.4f / %.4f ms | %.2f / %.2f |\n", a.min,
                a.median, b.min, b.median, r.min, r.median);
    return 0;
}
