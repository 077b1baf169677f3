// One full wizard run of every kind between two 640 x 480 frames with n = 10, the run the
// user waits for after picking a wizard. Each kind should finish well within a second (the
// actor kinds, with a 64 x 64 actor, within 100 ms).
#include "wizards/WizardDriver.h"
#include "wizards/WizardKinds.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Two different, busy frames: gradients with a few white pixels (which the mask
// transitions treat specially).
TBitmap frame(int tag)
{
    TBitmap b(640, 480);
    for (int y = 0; y < 480; ++y) {
        std::uint8_t* row = b.ScanLine(y);
        for (int x = 0; x < 640; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(x + tag * 40);
            row[3 * x + 1] = static_cast<std::uint8_t>(y + tag * 90);
            row[3 * x + 2] = static_cast<std::uint8_t>((x ^ y) + tag);
            if ((x * 7 + y * 13) % 97 == 0)
                row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 0xFF;
        }
    }
    return b;
}

void runKind(benchmark::State& state, int kind)
{
    static const TBitmap A = frame(1), B = frame(2);
    TWizardContext ctx;
    // A 64 x 64 actor as a PNG with alpha brings it: a disc with a soft edge, so the
    // actor kinds draw, skip and blend pixels; the path has a point for every step.
    static const TActorPicture actor = [] {
        TBitmap colours(64, 64);
        colours.Fill(0x3366CC);
        std::vector<std::uint8_t> alpha(64 * 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const int d2 = (x - 32) * (x - 32) + (y - 32) * (y - 32);
                alpha[static_cast<std::size_t>(y * 64 + x)] = d2 < 28 * 28 ? 255 : d2 < 32 * 32 ? 128 : 0;
            }
        return TActorPicture(colours, alpha.data());
    }();
    ctx.ActorPicture = actor;
    for (int i = 0; i < 10; ++i)
        ctx.ActorPath.push_back(TPoint(60 * i, 45 * i));
    TBitmap work;
    for (auto _ : state) {
        std::vector<TBitmap> images;
        RunWizardSteps(kind, A, B, 10, work, ctx, images);
        benchmark::DoNotOptimize(images.data());
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Text kinds need fonts, which need a GUI application; no display is used.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    for (const TWizardKind& k : WizardKinds()) {
        const std::string name = "WizardRun/" + std::to_string(k.Kind) + ":" + k.MenuPath;
        benchmark::RegisterBenchmark(name.c_str(), runKind, k.Kind)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
