// The frame strip: Insert Wizard Frames of many large frames, and the undo history's
// record of a change (which copies only the pictures that changed).
#include "graphics/MemoryBudget.h"
#include "workspace/FrameStrip.h"
#include "workspace/StripHistory.h"

#include <benchmark/benchmark.h>

namespace {

TFrameStrip WizardStrip(int frames, int width, int height)
{
    TFrameStrip s;
    s.SetFrameSize(width, height);
    s.Append(TBitmap(width, height));
    s.Append(TBitmap(width, height));
    s.SelectOnly(0);
    s.ResetWizardList();
    for (int i = 0; i < frames; ++i) {
        TBitmap b(width, height);
        b.Fill(static_cast<TColor>(i * 0x010203));
        s.AddWizardImage(std::move(b));
    }
    return s;
}

// 31 frames of 1600 x 1200, as a user reported it slow.
void BM_InsertWizardFrames(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TFrameStrip s = WizardStrip(31, 1600, 1200);
        state.ResumeTiming();
        benchmark::DoNotOptimize(s.InsertWizardFrames());
    }
}
BENCHMARK(BM_InsertWizardFrames)->Unit(benchmark::kMillisecond);

// One changed frame among 100 of 640 x 480: the step copies one picture.
void BM_RecordOneChangedFrame(benchmark::State& state)
{
    TFrameStrip s;
    s.SetFrameSize(640, 480);
    for (int i = 0; i < 100; ++i)
        s.Append(TBitmap(640, 480));
    TStripHistory history(s);
    history.Reset();
    TBitmap changed(640, 480);
    for (auto _ : state) {
        changed.SetPixel(1, 1, clRed);
        s.SetPicture(7, changed);
        benchmark::DoNotOptimize(history.Record());
    }
}
BENCHMARK(BM_RecordOneChangedFrame)->Unit(benchmark::kMicrosecond);

} // namespace
