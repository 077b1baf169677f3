// The frame editor's interactive costs at x4: one rubber-band step of a figure tool (take
// the last band off, draw the new one, repaint the changed area magnified as the picture
// widget does) and showing the whole viewport again (what a change of zoom costs).
#include "editor/DrawTools.h"
#include "editor/ui/DrawWidgets.h"
#include "platform/MemoryPolicy.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <sys/resource.h>

namespace {

constexpr int kFrameWidth = 640, kFrameHeight = 480;

// CPU time of the whole process (Qt may spread large image work over threads), in ms.
double ProcessCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Reports the process CPU time per iteration: on a shared machine the wall time says
// more about the neighbours than about the code.
class TProcessCpu {
public:
    explicit TProcessCpu(benchmark::State& state) : m_state(state), m_start(ProcessCpuMs()) {}
    ~TProcessCpu()
    {
        m_state.counters["process_cpu_ms"] =
            benchmark::Counter((ProcessCpuMs() - m_start) / static_cast<double>(m_state.iterations()));
    }

private:
    benchmark::State& m_state;
    double m_start;
};

TBitmap Scene(int w, int h)
{
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, RGB(x & 0xFF, y & 0xFF, (x + y) & 0xFF));
    return b;
}

// Range(0): the tool (0 rectangle with the default white brush, 1 rectangle with a black
// brush, 2 ellipse, 3 line); the band spans most of the picture and its corner moves by a
// pixel each step, as under the mouse at x4.
void BM_RubberBandStepX4(benchmark::State& state)
{
    static const char* tools[] = {"rectangle", "rectangle", "ellipse", "line"};
    constexpr int k = 4;
    TDrawPicture picture;
    picture.Load(Scene(kFrameWidth, kFrameHeight));
    if (state.range(0) == 1)
        picture.Canvas().Brush.SetColor(clBlack);
    // The window's backing store: a maximised editor on a 1280 x 1024 screen shows about
    // 1280 x 960 pixels of the picture, and a repaint covers what is shown of the area.
    const QRect viewport(0, 0, 1280, 960);
    QImage screen(viewport.size(), QImage::Format_RGB32);
    TRect dirty;
    picture.OnChanged = [&](const TRect& r) { dirty = r; };
    TDrawTools t(picture);
    t.ChooseTool(tools[state.range(0)]);
    t.MouseDown(10, 8);
    int i = 0;
    TProcessCpu cpu(state);
    for (auto _ : state) {
        const int d = i++ % 8;
        t.MouseMove(575 + d, 425 + d);
        QPainter p(&screen);
        const QRect area(dirty.Left * k, dirty.Top * k, dirty.Width() * k, dirty.Height() * k);
        PaintPictureArea(p, picture.Bitmap(), area & viewport, k);
    }
    t.MouseUp(575, 425, true);
}
BENCHMARK(BM_RubberBandStepX4)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// Showing all of the 1280 x 960 viewport again, Range(0) the zoom.
void BM_RepaintViewport(benchmark::State& state)
{
    const TBitmap picture = Scene(kFrameWidth, kFrameHeight);
    QImage screen(1280, 960, QImage::Format_RGB32);
    TProcessCpu cpu(state);
    for (auto _ : state) {
        QPainter p(&screen);
        PaintPictureArea(p, picture, QRect(0, 0, 1280, 960), static_cast<int>(state.range(0)));
    }
}
BENCHMARK(BM_RepaintViewport)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    // As the window program keeps its freed memory.
    KeepFreedPictureMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
