// The image control's costly repaints against AlphaBlend of the same picture at the same size
// onto the same backing bitmap, in the same runs: a repaint (Refresh) of a 256 x 256 picture at
// opacity 60 with its drop shadow, and one step of a running fade (its timer's message handled:
// the opacity set and the control repainted) of a 22 x 22 and a 256 x 256 picture.
#include "bench/alphaimage/ImageBenchHost.h"
#include "bench/common/BenchTiming.h"

#include <cstdio>
#include <functional>

namespace {

constexpr int kRuns = 31;

struct Line {
    const char* what;
    bench::Stats ours, theirs, ratio;
};

// `repeats` of `ours`, after an untimed `prepare`, and of `theirs` a run, alternating run by
// run; per call.
Line Compare(const char* what, int repeats, const std::function<void()>& prepare,
             const std::function<void(int)>& ours, const std::function<void(int)>& theirs)
{
    auto timed = [&](const std::function<void()>& before, const std::function<void(int)>& work) {
        return bench::Time(1, before, [&] {
                   for (int i = 0; i < repeats; ++i)
                       work(i);
                   GdiFlush();
               })[0] / repeats;
    };
    std::vector<double> a, b;
    for (int run = 0; run < kRuns; ++run) {
        a.push_back(timed(prepare, ours));
        b.push_back(timed([] {}, theirs));
    }
    return {what, bench::Summarise(a), bench::Summarise(b), bench::Summarise(bench::Ratios(a, b))};
}

// AlphaBlend of the control's picture as it was loaded, at its size, onto the control's
// backing bitmap at `percent` opacity.
class Reference {
public:
    explicit Reference(aic::aicAlphaImage& image)
        : back_(image.BackDC()), memory_(CreateCompatibleDC(back_)), selected_(memory_.get(), Copy(image))
    {
    }
    void Blend(int percent) const
    {
        const int w = same_.Width(), h = same_.Height();
        AlphaBlend(back_, 0, 0, w, h, memory_.get(), 0, 0, w, h,
                   {AC_SRC_OVER, 0, static_cast<BYTE>(percent * 255 / 100), AC_SRC_ALPHA});
    }

private:
    HBITMAP Copy(aic::aicAlphaImage& image)
    {
        image.SourceDIB()->CopyImageTo(same_, 0, 0, false);
        return same_.Handle();
    }
    HDC back_;
    rt::UniqueDC memory_;
    imaging::c32bppDIB same_;
    rt::Selected selected_;
};

bool Ready(bench::ImageForm& form, int side)
{
    const auto picture = form.Image.SourceDIB();
    if (form.Image.BackDC() && picture->Width() == side && form.Image.ScaleWidth() == side)
        return true;
    std::printf("no control or picture of %d x %d\n", side, side);
    return false;
}

// A fade from 100 to 0 by 1 whose own timer stays far off: the bench hands the control its
// timer's message, step by step, 99, 98 and on; fewer steps a run than the fade has.
constexpr int kFadeSteps = 90;
std::function<void()> StartFade(aic::aicAlphaImage& image)
{
    return [&image] {
        image.FadeInOut(100, 100, 10);
        image.FadeInOut(0, 1, 600000);
    };
}
std::function<void(int)> FadeStep(aic::aicAlphaImage& image)
{
    return [&image](int) { SendMessageW(image.hWnd(), WM_TIMER, bench::kFadeTimerId, 0); };
}
bool Stepped(const aic::aicAlphaImage& image)
{
    if (image.Opacity() == 99 - kFadeSteps)
        return true;
    std::printf("the fade stood at %d, not %d\n", image.Opacity(), 99 - kFadeSteps);
    return false;
}

} // namespace

int wmain()
{
    std::vector<Line> lines;
    {
        bench::ImageForm form(256);
        form.Load();
        form.Show();
        if (!Ready(form, 256))
            return 1;
        auto& image = form.Image;
        image.SetOpacity(60);
        image.SetShadowEnabled(true);
        const Reference reference(image);
        lines.push_back(Compare("repaint 256 x 256, opacity 60, drop shadow", 50, [] {},
                                [&](int) { image.Refresh(); }, [&](int) { reference.Blend(60); }));
        image.SetShadowEnabled(false);
        lines.push_back(Compare("fade step 256 x 256", kFadeSteps, StartFade(image), FadeStep(image),
                                [&](int i) { reference.Blend(98 - i); }));
        if (!Stepped(image))
            return 1;
    }
    for (const bool onBand : {false, true}) {
        bench::ImageForm form(22, onBand);
        form.Load();
        form.Show();
        if (!Ready(form, 22))
            return 1;
        const Reference reference(form.Image);
        lines.push_back(Compare(onBand ? "fade step 22 x 22 on a drawn band" : "fade step 22 x 22", kFadeSteps,
                                StartFade(form.Image), FadeStep(form.Image), [&](int i) { reference.Blend(98 - i); }));
        if (!Stepped(form.Image))
            return 1;
    }
    std::printf("%d runs; ms a call\n", kRuns);
    std::printf("| what | ours min / median | AlphaBlend min / median | ratio min / median |\n|---|---:|---:|---:|\n");
    for (const auto& l : lines)
        std::printf("| %s | %.4f / %.4f ms | %.4f / %.4f ms | %.2f / %.2f |\n", l.what, l.ours.min, l.ours.median,
                    l.theirs.min, l.theirs.median, l.ratio.min, l.ratio.median);
    return 0;
}
