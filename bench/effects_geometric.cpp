// Every geometric effect on a 640 x 480 frame, with arguments like the wizards pass
// halfway through a run.
#include "effects/GeometricEffects.h"
#include "graphics/Bitmap.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace qorFX;

namespace {

constexpr int kW = 640, kH = 480;

const TBitmap& Frame(unsigned seed)
{
    static std::vector<TBitmap> frames;
    if (frames.empty())
        for (unsigned s = 0; s < 2; ++s) {
            std::mt19937 gen(s + 1);
            TBitmap b(kW, kH);
            // Smooth gradients with some noise, like a photograph.
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    std::uint8_t* p = b.ScanLine(y) + 3 * x;
                    p[0] = static_cast<std::uint8_t>((x + (gen() & 15)) & 0xFF);
                    p[1] = static_cast<std::uint8_t>((y + (gen() & 15)) & 0xFF);
                    p[2] = static_cast<std::uint8_t>(((x ^ y) + s * 90) & 0xFF);
                }
            frames.push_back(b);
        }
    return frames[seed];
}

using SourceDest = std::function<void(const TBitmap& a, const TBitmap& b, TBitmap& dest)>;
using InPlace = std::function<void(TBitmap& bitmap)>;

void RunSourceDest(benchmark::State& state, const SourceDest& op)
{
    const TBitmap& a = Frame(0);
    const TBitmap& b = Frame(1);
    TBitmap dest(kW, kH);
    for (auto _ : state) {
        op(a, b, dest);
        benchmark::DoNotOptimize(dest.Bits());
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void RunInPlace(benchmark::State& state, const InPlace& op)
{
    TBitmap work(kW, kH);
    for (auto _ : state) {
        state.PauseTiming();
        work = Frame(0);
        state.ResumeTiming();
        op(work);
        benchmark::DoNotOptimize(work.Bits());
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

struct Registrar {
    Registrar()
    {
        const std::vector<std::pair<std::string, SourceDest>> sourceDest = {
            {"SmoothRotate", [](auto& a, auto&, auto& d) { SmoothRotate(a, d, kW / 2, kH / 2, 180.0); }},
            {"FishEye", [](auto& a, auto&, auto& d) { FishEye(a, d, 0.775); }},
            {"Twist", [](auto& a, auto&, auto& d) { Twist(a, d, 26); }},
            {"Squeeze/Horizontal", [](auto& a, auto&, auto& d) { Squeeze(a, d, 50, 7); }},
            {"Squeeze/Round Double", [](auto& a, auto&, auto& d) { Squeeze(a, d, 50, 13); }},
            {"SmoothResize", [](auto& a, auto&, auto& d) { SmoothResize(a, d); }},
            {"TileSmooth", [](auto& a, auto&, auto& d) { TileSmooth(a, d, 5); }},
            {"Resample/B-Spline half", [](auto& a, auto&, auto& d) {
                 TBitmap t(kW / 2, kH / 2);
                 Resample(a, t, TResampleFilter::BSpline, 2.0f);
                 benchmark::DoNotOptimize(t.Bits());
                 (void)d;
             }},
            {"Resample/Lanczos3 same size", [](auto& a, auto&, auto& d) { Resample(a, d, TResampleFilter::Lanczos3, 3.0f); }},
            {"Resample/Mitchell double", [](auto& a, auto&, auto& d) {
                 TBitmap t(kW * 2, kH * 2);
                 Resample(a, t, TResampleFilter::Mitchell, 2.0f);
                 benchmark::DoNotOptimize(t.Bits());
                 (void)d;
             }},
            {"ScaleOnto", [](auto& a, auto& b, auto& d) { ScaleOnto(a, b, d, 0.5, kW / 4, kH / 4); }},
            {"Fold", [](auto& a, auto& b, auto& d) { Fold(a, b, d, 0.5); }},
            {"ShakeHorizontal", [](auto& a, auto&, auto& d) { ShakeHorizontal(a, d, 0.25); }},
            {"ShakeVertical", [](auto& a, auto&, auto& d) { ShakeVertical(a, d, 0.25); }},
            {"Plasma", [](auto& a, auto& b, auto& d) { Plasma(a, b, d, (kH / 2) * 0.5, 64); }},
            {"WingsDeep", [](auto& a, auto&, auto& d) { WingsDeep(a, d, 100, 51); }},
            {"WingsDown", [](auto& a, auto&, auto& d) { WingsDown(a, d, 100, 51); }},
            {"WingsUp", [](auto& a, auto&, auto& d) { WingsUp(a, d, 100, 51); }},
            {"WingsFold", [](auto& a, auto&, auto& d) { WingsFold(a, d, 100, 51); }},
            {"WingsTouche", [](auto& a, auto&, auto& d) { WingsTouche(a, d, 100, 51); }},
            {"WingsFlyer", [](auto& a, auto&, auto& d) { WingsFlyer(a, d, 100, 51); }},
            {"WingsFlipover", [](auto& a, auto&, auto& d) { WingsFlipover(a, d, 100, 51); }},
            {"WingsWavy", [](auto& a, auto&, auto& d) { WingsWavy(a, d, 100, 51); }},
        };
        for (const auto& [name, op] : sourceDest)
            benchmark::RegisterBenchmark(name.c_str(), [op](benchmark::State& s) { RunSourceDest(s, op); })
                ->Unit(benchmark::kMillisecond);

        const std::vector<std::pair<std::string, InPlace>> inPlace = {
            {"Wave", [](TBitmap& b) { Wave(b, 15, 0, 0); }},
            {"Wave/Inference", [](TBitmap& b) { Wave(b, 15, 5, 2); }},
            {"FlipDown", [](TBitmap& b) { FlipDown(b); }},
            {"FlipRight", [](TBitmap& b) { FlipRight(b); }},
            {"MirrorDown", [](TBitmap& b) { MirrorDown(b); }},
            {"MirrorRight", [](TBitmap& b) { MirrorRight(b); }},
            {"Triangles", [](TBitmap& b) { Triangles(b, 245); }},
            {"Tile", [](TBitmap& b) { Tile(b, 123); }},
            {"TileOverlap", [](TBitmap& b) { TileOverlap(b, 123); }},
        };
        for (const auto& [name, op] : inPlace)
            benchmark::RegisterBenchmark(name.c_str(), [op](benchmark::State& s) { RunInPlace(s, op); })
                ->Unit(benchmark::kMillisecond);
    }
} registrar;

} // namespace
