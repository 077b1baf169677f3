// Opening an animation of 2000 frames (160 x 120) in the GIF explorer: reading the file
// and building its tree, without and with the window. Previews are made only when a node
// is selected, so opening does not pay for them.
#include "gif/GIFImage.h"
#include "tools/ui/GIFExplorerForm.h"
#include "tools/GIFExplorerModel.h"

#include <QApplication>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kFrames = 2000, kW = 160, kH = 120;

// Written once: a moving pattern of 16 colours, each frame with a delay of 4.
const std::string& LongAnimation()
{
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "anivor-bench-2000.gif").string();
        TGIFImage gif;
        std::vector<TColor> palette;
        for (int i = 0; i < 16; ++i)
            palette.push_back(RGB(i * 16, 255 - i * 16, (i * 40) & 255));
        TBitmap b(kW, kH, TPixelFormat::pf8bit);
        b.SetPalette(palette);
        for (int f = 0; f < kFrames; ++f) {
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    b.ScanLine(y)[x] = static_cast<std::uint8_t>(((x + f) / 8 + (y / 8)) % 16);
            gif.Images[static_cast<std::size_t>(gif.Add(b))]->AddExtension<TGIFGraphicControlExtension>()->SetDelay(4);
        }
        gif.Images[0]->AddExtension<TGIFAppExtNSLoop>();
        gif.OptimizeColorMaps();
        gif.SaveToFile(file);
        return file;
    }();
    return path;
}

void StartQt()
{
    static int argc = 1;
    static char name[] = "bench_gif_explorer";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        new QApplication(argc, argv);
    }
}

void BM_ExplorerModel2000Frames(benchmark::State& state)
{
    const std::string& file = LongAnimation();
    for (auto _ : state) {
        TGIFImage gif;
        GIFExplorerLoad(gif, [&] { gif.LoadFromFile(file); });
        const TGIFExplorerNode tree = BuildGIFExplorerTree(gif, "anim.gif");
        benchmark::DoNotOptimize(tree.Children.size());
    }
}
BENCHMARK(BM_ExplorerModel2000Frames)->Unit(benchmark::kMillisecond);

void BM_ExplorerWindow2000Frames(benchmark::State& state)
{
    const std::string& file = LongAnimation();
    StartQt();
    TGIFExplorerF window;
    window.show();
    for (auto _ : state) {
        window.Load(file);
        QApplication::processEvents(); // the tree laid out and painted
        benchmark::DoNotOptimize(window.TreeViewGIF->topLevelItemCount());
    }
}
BENCHMARK(BM_ExplorerWindow2000Frames)->Unit(benchmark::kMillisecond);

} // namespace
