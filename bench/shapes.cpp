// Smart shapes at 256 x 256: every figure with a gradient (the concentric ellipses, one of
// the heaviest fills), and every gradient direction on a rectangle and on a circle. Each
// iteration is one whole paint, as the frame editor's "Paint shape" does it.
#include "shapes/ShapePaint.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void PaintOnce(benchmark::State& state, TqorShapeType type, TqorFillDirection direction)
{
    TShapeModel shape;
    shape.SetSize(256, 256);
    shape.Shape = type;
    shape.Brush.SetColor(clBlue);
    shape.GradientColor = clWhite;
    shape.Gradient = true;
    shape.FillDirection = direction;
    shape.SetUserVectorString("usrStar=0.5,0,0.62,0.38,1,0.38,0.69,0.62,0.81,1,0.5,0.76,0.19,1,0.31,0.62,0,0.38,0.38,0.38");
    TBitmap picture(256, 256);
    picture.Fill(clWhite);
    TCanvas canvas(picture);
    for (auto _ : state) {
        PaintShape(shape, canvas, {});
        benchmark::DoNotOptimize(picture.Bits());
    }
}

void RegisterAll()
{
    for (int t = 0; t < kShapeTypeCount; ++t) {
        const auto type = static_cast<TqorShapeType>(t);
        benchmark::RegisterBenchmark((std::string("Figure/") + ShapeTypeName(type) + "/qgdCircOut").c_str(),
                                     [type](benchmark::State& s) { PaintOnce(s, type, TqorFillDirection::qgdCircOut); })
            ->Unit(benchmark::kMillisecond);
    }
    for (TqorShapeType type : {TqorShapeType::qstRectangle, TqorShapeType::qstCircle})
        for (int d = 0; d < kFillDirectionCount; ++d) {
            const auto direction = static_cast<TqorFillDirection>(d);
            benchmark::RegisterBenchmark(
                (std::string("Direction/") + ShapeTypeName(type) + "/" + FillDirectionName(direction)).c_str(),
                [type, direction](benchmark::State& s) { PaintOnce(s, type, direction); })
                ->Unit(benchmark::kMillisecond);
        }
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
