#include "BestFrameSequence.h"

#include "BestPalette.h"
#include "BestReduction.h"
#include "OrderedParallel.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

bool passes(const TBitmap& frame) { return frame.Empty() || frame.PixelFormat() == TPixelFormat::pf8bit; }

} // namespace

namespace {

// A palette per frame in one pass: each worker gathers its frame's colours, waits for the
// palette of the frame before (the chain of palettes runs in frame order, one frame at a
// time), chooses its own from it and writes the frame. Workers take frames in order, so
// the frame a worker waits for is always held by another that is running.
void reduceWithFramePalettes(int count, const TFrameSource& source, int colors, TDitherMode dither,
                             const std::function<void(int, TBitmap&)>& take, int threads,
                             const std::function<void(int, TBitmap&)>& finish)
{
    std::mutex mutex;
    std::condition_variable chained;
    int ready = 0;              // palettes chosen for frames 0..ready-1
    int brokenAt = count;       // the first frame that failed before passing its palette on
    std::vector<TColor> previous;
    double previousError = 0;
    ForEachInOrder(
        count, threads,
        [&](int i) {
            // Whatever happens to this frame, the next one is not left waiting.
            struct TPassOn {
                std::mutex& Mutex;
                std::condition_variable& Chained;
                int& Ready;
                int& BrokenAt;
                int Frame;
                bool Done = false;
                ~TPassOn()
                {
                    if (Done)
                        return;
                    {
                        std::lock_guard lock(Mutex);
                        BrokenAt = std::min(BrokenAt, Frame);
                    }
                    Chained.notify_all();
                }
                void Passed()
                {
                    {
                        std::lock_guard lock(Mutex);
                        Ready = Frame + 1;
                    }
                    Done = true;
                    Chained.notify_all();
                }
            } passOn{mutex, chained, ready, brokenAt, i};
            const std::shared_ptr<const TBitmap> held = source(i);
            const TBitmap& frame = *held;
            TColorBins bins(colors);
            if (!passes(frame))
                bins.Add(frame);
            std::vector<TColor> palette;
            {
                std::unique_lock lock(mutex);
                // A frame before this one failed: its error is the one reported, at its turn.
                chained.wait(lock, [&] { return brokenAt < i || ready == i; });
                if (ready != i)
                    throw EColorReductionAborted();
                if (bins.Pixels() > 0) {
                    TBestPaletteOptions options;
                    options.MaxColors = colors;
                    options.Start = previous.empty() ? nullptr : &previous;
                    options.StartError = previousError;
                    options.Passes = 3; // from a near palette three passes come close to where more would end
                    // Chosen under the lock: the next frame waits for it in any case.
                    previous = BestPalette(bins, options, &previousError);
                    palette = previous;
                }
            }
            passOn.Passed();
            TBitmap reduced;
            if (passes(frame)) {
                reduced = frame;
            } else {
                // A frame's own palette takes the means of the pixels written with each colour.
                reduced = MapToPalette(frame, palette, nullptr, dither, true);
                reduced.SetTransparent(frame.Transparent());
            }
            if (finish)
                finish(i, reduced);
            return reduced;
        },
        take);
}

} // namespace

void ReduceBestFramesInOrder(int count, const TFrameSource& source, int bits, TDitherMode dither,
                             bool onePalette, const std::function<void(int, TBitmap&)>& take, int threads,
                             const std::function<void(int, TBitmap&)>& finish)
{
    if (count <= 0)
        return;
    const int colors = 1 << std::clamp(bits, 3, 8);
    if (!onePalette)
        return reduceWithFramePalettes(count, source, colors, dither, take, threads, finish);
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
