// Project files: Save Project and Open Project of 100 frames of 640 x 480, and what an
// autosave costs the window (the request) and its own thread (one changed frame).
#include "graphics/MemoryBudget.h"
#include "workspace/Autosave.h"
#include "workspace/ProjectFile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace {

// Photo-like frames: smooth colour fields with fine detail, different in every frame.
TBitmap PhotoFrame(int i, int width, int height)
{
    TBitmap b(width, height, TPixelFormat::pf24bit);
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<std::uint8_t*>(b.ScanLine(y));
        for (int x = 0; x < width; ++x) {
            const double v = std::sin(x * 0.031 + i * 0.2) + std::cos(y * 0.027 - i * 0.1) + std::sin((x + y) * 0.11);
            row[3 * x] = static_cast<std::uint8_t>(128 + 40 * v + ((x * 7 + y * 13 + i) & 15));
            row[3 * x + 1] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(x + i * 3) ^ static_cast<std::uint8_t>(y));
            row[3 * x + 2] = static_cast<std::uint8_t>(128 + 60 * std::sin(v + y * 0.01));
        }
    }
    return b;
}

TProject HundredFrames()
{
    TProject p;
    p.Document.FrameWidth = 640;
    p.Document.FrameHeight = 480;
    for (int i = 0; i < 100; ++i) {
        TFrameRecord f;
        f.Name = "Frame" + std::to_string(i + 1);
        f.DelayText = "10";
        f.Picture = std::make_shared<const TBitmap>(PhotoFrame(i, 640, 480));
        f.Version = NewPictureVersion();
        p.Document.Frames.push_back(std::move(f));
    }
    p.Document.FrameCounter = 101;
    return p;
}

const TProject& Project()
{
    static const TProject p = HundredFrames();
    return p;
}

// CPU time of the whole process (every thread), in milliseconds: on a shared machine the
// wall time says little, and this divided by the cores is what an idle machine takes.
double ProcessCpuMs()
{
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

std::string BenchPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(::getpid()) + ".anivor"))
        .string();
}

// Save Project: every picture encoded (a fresh writer, as the first save of a session).
void BM_SaveProject100(benchmark::State& state)
{
    const std::string path = BenchPath("anivor-bench-save-");
    Project(); // made before the clock starts
    const double cpu = ProcessCpuMs();
    for (auto _ : state) {
        TProjectWriter writer;
        writer.Save(path, Project());
    }
    state.counters["all_threads_cpu_ms"] = (ProcessCpuMs() - cpu) / static_cast<double>(state.iterations());
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveProject100)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenProject100(benchmark::State& state)
{
    const std::string path = BenchPath("anivor-bench-open-");
    TProjectWriter().Save(path, Project());
    const double cpu = ProcessCpuMs();
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadProject(path));
    state.counters["all_threads_cpu_ms"] = (ProcessCpuMs() - cpu) / static_cast<double>(state.iterations());
    std::filesystem::remove(path);
}
BENCHMARK(BM_OpenProject100)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the window pays for an autosave: comparing the marks and handing a copy of the
// document to the autosaver's thread.
void BM_AutosaveRequest(benchmark::State& state)
{
    TAutosaver saver(BenchPath("anivor-bench-auto-"));
    TProject p = Project();
    saver.Request(p);
    saver.Flush();
    const TDocumentMark saved(p.Document);
    for (auto _ : state) {
        state.PauseTiming();
        p.Document.Frames[7].Picture = std::make_shared<const TBitmap>(PhotoFrame(500, 640, 480));
        p.Document.Frames[7].Version = NewPictureVersion();
        state.ResumeTiming();
        if (!(TDocumentMark(p.Document) == saved))
            saver.Request(p);
        state.PauseTiming();
        saver.Flush();
        state.ResumeTiming();
    }
    saver.Remove();
}
BENCHMARK(BM_AutosaveRequest)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The autosave's own thread after one changed frame: one picture encoded, the archive
// written and replaced.
void BM_AutosaveWriteOneChangedFrame(benchmark::State& state)
{
    TAutosaver saver(BenchPath("anivor-bench-write-"));
    TProject p = Project();
    saver.Request(p);
    saver.Flush();
    for (auto _ : state) {
        state.PauseTiming();
        p.Document.Frames[7].Picture = std::make_shared<const TBitmap>(PhotoFrame(state.iterations() % 50, 640, 480));
        p.Document.Frames[7].Version = NewPictureVersion();
        state.ResumeTiming();
        saver.Request(p);
        saver.Flush();
    }
    saver.Remove();
}
BENCHMARK(BM_AutosaveWriteOneChangedFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
