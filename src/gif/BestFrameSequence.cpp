#include "BestFrameSequence.h"

#include "BestPalette.h"
#include "BestReduction.h"
#include "OrderedParallel.h"

#include <algorithm>
#include <memory>

namespace {

bool passes(const TBitmap& frame) { return frame.Empty() || frame.PixelFormat() == TPixelFormat::pf8bit; }

} // namespace

void ReduceBestFramesInOrder(int count, const TFrameSource& source, int bits, TDitherMode dither,
                             bool onePalette, const std::function<void(int, TBitmap&)>& take, int threads,
                             const std::function<void(int, TBitmap&)>& finish)
{
    if (count <= 0)
        return;
    const int colors = 1 << std::clamp(bits, 3, 8);
    // Gathering: each frame's colours on the workers; in order on this thread, the
    // palette (per frame: from the previous frame's) or the sum of all frames.
    std::vector<std::vector<TColor>> palettes(onePalette ? 1 : static_cast<std::size_t>(count));
    TColorBins all(colors);
    std::vector<TColor> previous;
    double previousError = 0;
    ForEachInOrder(
        count, threads,
        [&](int i) {
            auto bins = std::make_unique<TColorBins>(colors);
            if (const std::shared_ptr<const TBitmap> frame = source(i); !passes(*frame))
                bins->Add(*frame);
            return bins;
        },
        [&](int i, std::unique_ptr<TColorBins>& bins) {
            if (onePalette) {
                all.Add(*bins);
                return;
            }
            if (bins->Pixels() == 0)
                return;
            TBestPaletteOptions options;
            options.MaxColors = colors;
            options.Start = previous.empty() ? nullptr : &previous;
            options.StartError = previousError;
            options.Passes = 3; // from a near palette three passes come close to where more would end
            previous = BestPalette(*bins, options, &previousError);
            palettes[static_cast<std::size_t>(i)] = previous;
        });
    std::unique_ptr<TNearestColorLookup> shared;
    if (onePalette) {
        TBestPaletteOptions options;
        options.MaxColors = colors;
        options.Passes = 8;
        palettes[0] = BestPalette(all, options);
        shared = std::make_unique<TNearestColorLookup>(palettes[0]);
        shared->BuildAll();
    }
    // Writing: every frame on the workers with its palette, taken in order.
    ForEachInOrder(
        count, threads,
        [&](int i) {
            const std::shared_ptr<const TBitmap> held = source(i);
            const TBitmap& frame = *held;
            TBitmap reduced;
            if (passes(frame)) {
                reduced = frame;
            } else {
                const std::vector<TColor>& palette = palettes[onePalette ? 0 : static_cast<std::size_t>(i)];
                // One palette is kept as it is; a frame's own palette takes the means of the
                // pixels written with each colour.
                reduced = MapToPalette(frame, palette, shared.get(), dither, !onePalette);
                reduced.SetTransparent(frame.Transparent());
            }
            if (finish)
                finish(i, reduced);
            return reduced;
        },
        take);
}
