// Fades of 20 steps (FadeInOut from opacity 100 to 0 by 5) on a form, run by the control's own
// timer: how late each step comes against its schedule (step k at the call plus k intervals),
// while another thread keeps sending WM_NULL to the form and records the longest wait for its
// answer. A 22 x 22 link picture and a 256 x 256 picture with its drop shadow, at 15 and 30 ms.
#include "bench/alphaimage/ImageBenchHost.h"
#include "bench/common/BenchTiming.h"

#include <atomic>
#include <cstdio>

namespace {

constexpr int kFades = 10, kSteps = 20;

struct Prober {
    HWND target = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<double> longest{0};
    std::atomic<int> answered{0};

    static DWORD WINAPI Run(void* p)
    {
        auto* self = static_cast<Prober*>(p);
        while (!self->stop) {
            const double start = bench::NowMs();
            DWORD_PTR r = 0;
            SendMessageTimeoutW(self->target, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &r);
            const double t = bench::NowMs() - start;
            double seen = self->longest;
            while (t > seen && !self->longest.compare_exchange_weak(seen, t)) {
            }
            ++self->answered;
            Sleep(1);
        }
        return 0;
    }
};

struct Result {
    int side;
    int interval;
    std::vector<double> late;      // every timer step's lateness, ms
    std::vector<double> lastLate;  // the last step's, one a fade
    std::vector<double> byStep[kSteps];
    double longestWait = 0;
    int answered = 0;
};

// One fade run to its end; the times each of its steps began, the first being the call's.
std::vector<double> OneFade(aic::aicAlphaImage& image, int interval)
{
    bool ended = false;
    const int id = image.FadeTerminated.Connect([&](int) { ended = true; });
    std::vector<double> steps{bench::NowMs()};
    image.FadeInOut(0, 5, interval);
    MSG msg;
    while (!ended) {
        // The quit an earlier form's unload posted is no reason to stop here.
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (msg.message == WM_TIMER && msg.hwnd == image.hWnd() && msg.wParam == bench::kFadeTimerId)
            steps.push_back(bench::NowMs());
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    image.FadeTerminated.Disconnect(id);
    return steps;
}

// The form's messages handled for `ms` with no fade: how long WM_NULL waits on this machine anyway.
void Idle(double ms)
{
    for (double now = bench::NowMs(), until = now + ms; now < until; now = bench::NowMs()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now) + 1, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT)
                DispatchMessageW(&msg);
    }
}

// Fades at `interval` ms; with an interval of 0, the form left idle as long as the slower fades take.
Result Measure(int side, bool shadow, int interval)
{
    bench::ImageForm form(side);
    form.Load();
    form.Show();
    form.Image.SetShadowEnabled(shadow);
    Result result{side, interval, {}, {}, {}, 0, 0};
    Prober prober;
    prober.target = form.hWnd();
    HANDLE thread = CreateThread(nullptr, 0, &Prober::Run, &prober, 0, nullptr);
    if (interval == 0)
        Idle(kFades * kSteps * 30.0);
    for (int fade = 0; interval > 0 && fade < kFades; ++fade) {
        form.Image.FadeInOut(100, 100, interval); // back to full at once
        const auto steps = OneFade(form.Image, interval);
        if (steps.size() != kSteps) {
            std::printf("a fade of %zu steps\n", steps.size());
            continue;
        }
        for (int k = 1; k < kSteps; ++k) {
            const double late = steps[k] - (steps[0] + k * interval);
            result.late.push_back(late);
            result.byStep[k].push_back(late);
        }
        result.lastLate.push_back(steps[kSteps - 1] - (steps[0] + (kSteps - 1) * interval));
    }
    prober.stop = true;
    // Its last WM_NULL may be waiting for this thread.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    CloseHandle(thread);
    result.longestWait = prober.longest;
    result.answered = prober.answered;
    form.Unload();
    return result;
}

} // namespace

int wmain()
{
    std::vector<Result> results{Measure(22, false, 0)};
    for (const int interval : {15, 30}) {
        results.push_back(Measure(22, false, interval));
        results.push_back(Measure(256, true, interval));
    }
    std::printf("%d fades of %d steps each; lateness of each step against the call plus k intervals\n", kFades, kSteps);
    std::printf("| picture | interval | step lateness median / max | last step median | steps over one interval "
                "| longest WM_NULL wait (answered) |\n|---|---:|---:|---:|---:|---:|\n");
    std::printf("| no fade, form idle | - | - | - | - | %.1f ms (%d) |\n", results[0].longestWait, results[0].answered);
    results.erase(results.begin());
    for (const auto& r : results) {
        const auto all = bench::Summarise(r.late);
        const double worst = r.late.empty() ? 0 : *std::max_element(r.late.begin(), r.late.end());
        const auto over = std::count_if(r.late.begin(), r.late.end(), [&](double l) { return l > r.interval; });
        std::printf("| %d x %d%s | %d ms | %.1f / %.1f ms | %.1f ms | %d of %zu | %.1f ms (%d) |\n", r.side, r.side,
                    r.side > 100 ? ", shadow" : "", r.interval, all.median, worst,
                    bench::Summarise(r.lastLate).median, static_cast<int>(over), r.late.size(), r.longestWait,
                    r.answered);
    }
    for (const auto& r : results) {
        std::printf("median lateness by step, %d x %d at %d ms:", r.side, r.side, r.interval);
        for (int k = 1; k < kSteps; ++k)
            std::printf(" %.1f", bench::Summarise(r.byStep[k]).median);
        std::printf("\n");
    }
    return 0;
}
