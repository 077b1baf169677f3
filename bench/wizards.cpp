// One full wizard run of every kind between two 640 x 480 frames with n = 10, the run the
// user waits for after picking a wizard. Each kind should finish well within a second.
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
    // An actor picture, so the actor kinds draw something.
    ctx.ActorPicture = TBitmap(64, 48);
    ctx.ActorPicture.Fill(0x3366CC);
    ctx.ActorPath = {{10, 10}, {50, 40}, {90, 70}, {130, 100}, {170, 130}};
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
