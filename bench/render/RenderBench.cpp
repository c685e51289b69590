// Render of a 256 x 256 picture with alpha to a window's DC at 1.5 times its size, through the
// own pipeline (nearest and weighted), against AlphaBlend with HALFTONE stretching of the same
// picture to the same place, in the same runs. Each draw is flushed before the clock stops. The
// last column reads the same rectangle back from the window into a 24-bit DIB section with BitBlt,
// as the own pipeline does before it blends: the part of its time that is the system's.
#include "bench/common/BenchTiming.h"
#include "imaging/c32bppDIB.h"
#include "runtime/Handles.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kSide = 256, kDrawn = 384, kRepeats = 20;

// An opaque disc with a soft rim, transparent around it.
void Paint(imaging::c32bppDIB& dib)
{
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double r = std::hypot(x - kSide / 2.0, y - kSide / 2.0);
            const int a = std::max(0, std::min(255, static_cast<int>((128 - r) * 255 / 28)));
            std::uint8_t* p = dib.BitsPointer() + (static_cast<std::size_t>(y) * kSide + x) * 4;
            p[0] = static_cast<std::uint8_t>(x * a / 255), p[1] = static_cast<std::uint8_t>(y * a / 255);
            p[2] = static_cast<std::uint8_t>((x + y) / 2 * a / 255), p[3] = static_cast<std::uint8_t>(a);
        }
}

} // namespace

int wmain()
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, kDrawn + 16, kDrawn + 16, nullptr,
                                  nullptr, nullptr, nullptr);
    imaging::c32bppDIB picture;
    picture.isGDIplusEnabled(false);
    picture.isAlphaBlendFriendly(false);
    if (!window || !picture.InitializeDIB(kSide, kSide)) {
        std::printf("no window or picture\n");
        return 1;
    }
    Paint(picture);
    picture.SetAlphaState(true);
    const rt::WindowDC dc(window);
    rt::UniqueDC memory(CreateCompatibleDC(dc.get()));
    const rt::Selected selected(memory.get(), picture.Handle());
    auto own = [&] {
        for (int i = 0; i < kRepeats; ++i)
            if (!picture.Render(dc.get(), 8, 8, kDrawn, kDrawn, 0, 0, kSide, kSide))
                std::printf("Render failed\n");
        GdiFlush();
    };
    auto system = [&] {
        const int old = SetStretchBltMode(dc.get(), HALFTONE);
        SetBrushOrgEx(dc.get(), 0, 0, nullptr);
        for (int i = 0; i < kRepeats; ++i)
            AlphaBlend(dc.get(), 8, 8, kDrawn, kDrawn, memory.get(), 0, 0, kSide, kSide, {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
        SetStretchBltMode(dc.get(), old);
        GdiFlush();
    };
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kDrawn, kDrawn, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const rt::Gdi<HBITMAP> buffer(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    rt::UniqueDC readDC(CreateCompatibleDC(dc.get()));
    const rt::Selected readSelected(readDC.get(), buffer.get());
    auto readBack = [&] {
        for (int i = 0; i < kRepeats; ++i)
            BitBlt(readDC.get(), 0, 0, kDrawn, kDrawn, dc.get(), 8, 8, SRCCOPY);
        GdiFlush();
    };
    std::printf("%d draws a run, 31 runs; ms a draw\n", kRepeats);
    std::printf("| what | Render min | median | AlphaBlend min | median | ratio min | median | BitBlt read-back min | median |\n"
                "|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const bool weighted : {false, true}) {
        picture.HighQualityInterpolation(weighted);
        std::vector<double> ours, theirs, read;
        for (int run = 0; run < 31; ++run) {
            ours.push_back(bench::Time(1, [] {}, own)[0] / kRepeats);
            theirs.push_back(bench::Time(1, [] {}, system)[0] / kRepeats);
            read.push_back(bench::Time(1, [] {}, readBack)[0] / kRepeats);
        }
        const auto a = bench::Summarise(ours), b = bench::Summarise(theirs), r = bench::Summarise(bench::Ratios(ours, theirs));
        const auto c = bench::Summarise(read);
        std::printf("| %s, 256² to 384² | %.3f | %.3f | %.3f | %.3f | %.2f | %.2f | %.3f | %.3f |\n",
                    weighted ? "weighted" : "nearest", a.min, a.median, b.min, b.median, r.min, r.median, c.min, c.median);
    }
    DestroyWindow(window);
    return 0;
}
