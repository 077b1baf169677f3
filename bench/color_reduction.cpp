// Colour reduction of a 640 x 480 photo-like frame: every palette method, every dithering
// engine, and giflib's own quantizer for comparison where the installed giflib has it.
#include "gif/ColorReduction.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#ifdef HAVE_GIFLIB
#include <gif_lib.h>
// GifQuantizeBuffer came back in giflib 5.2.
#if GIFLIB_MAJOR > 5 || (GIFLIB_MAJOR == 5 && GIFLIB_MINOR >= 2)
#define HAVE_GIF_QUANTIZE 1
#endif
#endif

namespace {

// Smooth gradients and soft shapes with a little sensor noise: many distinct colours,
// large coherent areas, like a photograph.
const TBitmap& photo()
{
    static const TBitmap bitmap = [] {
        TBitmap b(640, 480);
        std::uint32_t state = 12345;
        for (int y = 0; y < 480; ++y) {
            std::uint8_t* row = b.ScanLine(y);
            for (int x = 0; x < 640; ++x) {
                state = state * 1664525u + 1013904223u;
                const int noise = static_cast<int>(state >> 29) - 4;
                const double dx = x - 420.0, dy = y - 180.0;
                const double sun = std::exp(-(dx * dx + dy * dy) / 9000.0);
                const double hill = y > 300 + 40 * std::sin(x / 60.0) ? 1.0 : 0.0;
                const int r = static_cast<int>(90 + 120 * sun + 60 * y / 480.0 - 40 * hill) + noise;
                const int g = static_cast<int>(140 + 80 * sun - 50 * y / 480.0 + 50 * hill) + noise;
                const int bl = static_cast<int>(230 - 60 * y / 480.0 - 150 * hill + 20 * std::sin(x / 17.0)) + noise;
                row[3 * x] = static_cast<std::uint8_t>(std::clamp(bl, 0, 255));
                row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
                row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
            }
        }
        return b;
    }();
    return bitmap;
}

void BM_ReduceColors(benchmark::State& state)
{
    const auto method = static_cast<TColorReduction>(state.range(0));
    const auto dither = static_cast<TDitherMode>(state.range(1));
    const TBitmap& source = photo();
    for (auto _ : state) {
        TBitmap out = ReduceColors(source, method, dither, 8);
        benchmark::DoNotOptimize(out.Bits());
    }
    state.SetItemsProcessed(state.iterations() * source.Width() * source.Height());
}
BENCHMARK(BM_ReduceColors)
    ->ArgNames({"method", "dither"})
    ->ArgsProduct({{1, 2, 3, 4, 5, 6, 7, 8}, {0, 1, 2, 3, 4, 5, 6}})
    ->Unit(benchmark::kMillisecond);

#ifdef HAVE_GIF_QUANTIZE
// giflib's median-cut quantizer to 256 colours (no dithering) on the same frame.
void BM_GifQuantizeBuffer(benchmark::State& state)
{
    const TBitmap& source = photo();
    const int n = source.Width() * source.Height();
    std::vector<GifByteType> red(n), green(n), blue(n), out(n);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* row = source.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x) {
            const int i = y * source.Width() + x;
            blue[i] = row[3 * x];
            green[i] = row[3 * x + 1];
            red[i] = row[3 * x + 2];
        }
    }
    std::vector<GifColorType> map(256);
    for (auto _ : state) {
        int size = 256;
        if (GifQuantizeBuffer(source.Width(), source.Height(), &size, red.data(), green.data(), blue.data(),
                              out.data(), map.data()) != GIF_OK)
            state.SkipWithError("GifQuantizeBuffer failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_GifQuantizeBuffer)->Unit(benchmark::kMillisecond);
#endif

} // namespace
