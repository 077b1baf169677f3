// The two effect windows at 640 x 480, the way the windows compute:
// - every node of the Painter Effects tree applied once through TPainterEffects
//   (PrepareEffect's copy of the source, the operation, the shown result), at the
//   middle of the node's bar range and, where the bar changes the work, at its maximum;
// - every QuickBack function on all three channels through TPainterQB::Generate.
#include "BenchFrame.h"
#include "effects/PainterEffects.h"
#include "effects/PainterQB.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void Node(benchmark::State& state, int node, int position)
{
    TPainterEffects fx;
    fx.Open(BenchFrame());
    fx.SetExtraPosition(20);
    fx.SelectNode(node);
    fx.SetEBarPosition(position);
    for (auto _ : state) {
        fx.Recompute();
        benchmark::DoNotOptimize(fx.Image().Bits());
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

void Backdrop(benchmark::State& state, int mode)
{
    TPainterQB qb("");
    TQuickBackSettings s;
    s.RedMode = s.GreenMode = s.BlueMode = mode;
    s.RedOffset = 10;
    s.GreenOffset = 20;
    s.BlueOffset = 30;
    s.Factor = 200;
    qb.SetSettings(s);
    qb.SetSourceSize(640, 480);
    for (auto _ : state) {
        qb.Generate();
        benchmark::DoNotOptimize(qb.Image().Bits());
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

// Three different functions, as a real backdrop has.
void MixedBackdrop(benchmark::State& state)
{
    TPainterQB qb("");
    qb.SetSettings(TQuickBackSettings{3, 28, 25, 10, 20, 30, 100});
    qb.SetSourceSize(640, 480);
    for (auto _ : state) {
        qb.Generate();
        benchmark::DoNotOptimize(qb.Image().Bits());
    }
}

const int registered = [] {
    const std::vector<TPainterEffectNode>& nodes = PainterEffectNodes();
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        const TPainterEffectNode& n = nodes[k];
        if (n.Index < 0)
            continue;
        const int middle = (n.Min + n.Max) / 2;
        const std::string name = "PainterEffect/" + PainterEffectNodePath(n);
        benchmark::RegisterBenchmark((name + "/" + std::to_string(middle)).c_str(), Node, static_cast<int>(k), middle)
            ->Unit(benchmark::kMillisecond);
        if (n.Max != middle)
            benchmark::RegisterBenchmark((name + "/" + std::to_string(n.Max)).c_str(), Node, static_cast<int>(k), n.Max)
                ->Unit(benchmark::kMillisecond);
    }
    for (int mode = 0; mode < kQuickBackFunctionCount; ++mode)
        benchmark::RegisterBenchmark((std::string("QuickBack/") + QuickBackFunctionName(mode)).c_str(), Backdrop, mode)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("QuickBack/Xor,ModMod,InModOut", MixedBackdrop)->Unit(benchmark::kMillisecond);
    return 0;
}();

} // namespace
