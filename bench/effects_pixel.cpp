// Every pixel and colour operation on a 640 x 480 frame. Each benchmark restores the
// frame outside the timed region, so every iteration starts from the same picture.
#include "BenchFrame.h"
#include "effects/PixelEffects.h"

#include "graphics/Random.h"

#include <benchmark/benchmark.h>

#include <functional>

using namespace qorFX;

namespace {

void Run(benchmark::State& state, const std::function<void(TBitmap&)>& op)
{
    const TBitmap frame = BenchFrame();
    TBitmap work = frame;
    for (auto _ : state) {
        state.PauseTiming();
        work = frame;
        state.ResumeTiming();
        op(work);
        benchmark::DoNotOptimize(work.Bits());
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

// Source-to-destination operations write a second bitmap of the same size.
void RunOnto(benchmark::State& state, const std::function<void(const TBitmap&, TBitmap&)>& op)
{
    const TBitmap frame = BenchFrame();
    TBitmap dest = frame;
    for (auto _ : state) {
        op(frame, dest);
        benchmark::DoNotOptimize(dest.Bits());
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

#define PIXEL_BENCH(name, call) \
    void BM_##name(benchmark::State& state) { Run(state, [](TBitmap& b) { call; }); } \
    BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)

PIXEL_BENCH(Contrast, Contrast(b, 60));
PIXEL_BENCH(Lightness, Lightness(b, 60));
PIXEL_BENCH(Darkness, Darkness(b, 60));
PIXEL_BENCH(Saturation, Saturation(b, 180));
PIXEL_BENCH(Grayscale, Grayscale(b));
PIXEL_BENCH(Invert, Invert(b));
PIXEL_BENCH(Soften, Soften(b, 10));
PIXEL_BENCH(AddColorNoise, AddColorNoise(b, 100));
PIXEL_BENCH(AddMonoNoise, AddMonoNoise(b, 100));
PIXEL_BENCH(SplitBlur, SplitBlur(b, 5));
PIXEL_BENCH(GaussianBlur, GaussianBlur(b, 2));
PIXEL_BENCH(AntiAlias, AntiAlias(b));
PIXEL_BENCH(Emboss, Emboss(b));
PIXEL_BENCH(Mosaic, Mosaic(b, 15));
PIXEL_BENCH(SplitLight, SplitLight(b, 5));
PIXEL_BENCH(FilterRed, FilterRed(b, 50, 200));
PIXEL_BENCH(FilterGreen, FilterGreen(b, 50, 200));
PIXEL_BENCH(FilterBlue, FilterBlue(b, 50, 200));
PIXEL_BENCH(KeepRed, KeepRed(b, 0.6));
PIXEL_BENCH(KeepGreen, KeepGreen(b, 0.6));
PIXEL_BENCH(KeepBlue, KeepBlue(b, 0.6));
PIXEL_BENCH(Spotlight, Spotlight(b, 80, TRect(100, 80, 420, 400)));
PIXEL_BENCH(MandelbrotMask, MandelbrotMask(b, 20));
PIXEL_BENCH(MaskMandelbrot, MaskMandelbrot(b, 20));
PIXEL_BENCH(MandelbrotRender, MandelbrotRender(b, 16, true, -2.25, -1.5, 0.75, 1.5));
PIXEL_BENCH(Buttonize, Buttonize(b, 40, 60));
PIXEL_BENCH(Seamless, Seamless(b, 5));
PIXEL_BENCH(Trace, Trace(b, 2, clBlack));
PIXEL_BENCH(ShadowUpLeft, ShadowUpLeft(b));
PIXEL_BENCH(ShadowUpRight, ShadowUpRight(b));
PIXEL_BENCH(ShadowDownLeft, ShadowDownLeft(b));
PIXEL_BENCH(ShadowDownRight, ShadowDownRight(b));

void BM_Solarize(benchmark::State& s) { RunOnto(s, [](const TBitmap& a, TBitmap& d) { Solarize(a, d, 128); }); }
BENCHMARK(BM_Solarize)->Unit(benchmark::kMillisecond);
void BM_Posterize(benchmark::State& s) { RunOnto(s, [](const TBitmap& a, TBitmap& d) { Posterize(a, d, 40); }); }
BENCHMARK(BM_Posterize)->Unit(benchmark::kMillisecond);
void BM_Overlay50(benchmark::State& s) { RunOnto(s, [](const TBitmap& a, TBitmap& d) { Overlay50(a, d); }); }
BENCHMARK(BM_Overlay50)->Unit(benchmark::kMillisecond);
void BM_Overlay25(benchmark::State& s) { RunOnto(s, [](const TBitmap& a, TBitmap& d) { Overlay25(a, d); }); }
BENCHMARK(BM_Overlay25)->Unit(benchmark::kMillisecond);

} // namespace
