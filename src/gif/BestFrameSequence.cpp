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
    // One palette: every frame's colours gathered on the workers and summed in order,
    // then every frame written with the palette chosen from the sum.
    TColorBins all(colors);
    ForEachInOrder(
        count, threads,
        [&](int i) {
            auto bins = std::make_unique<TColorBins>(colors);
            if (const std::shared_ptr<const TBitmap> frame = source(i); !passes(*frame))
                bins->Add(*frame);
            return bins;
        },
        [&](int, std::unique_ptr<TColorBins>& bins) { all.Add(*bins); });
    TBestPaletteOptions options;
    options.MaxColors = colors;
    options.Passes = 8;
    const std::vector<TColor> palette = BestPalette(all, options);
    TNearestColorLookup shared(palette);
    shared.BuildAll();
    ForEachInOrder(
        count, threads,
        [&](int i) {
            const std::shared_ptr<const TBitmap> held = source(i);
            const TBitmap& frame = *held;
            TBitmap reduced;
            if (passes(frame)) {
                reduced = frame;
            } else {
                // The palette is kept as it is.
                reduced = MapToPalette(frame, palette, &shared, dither, false);
                reduced.SetTransparent(frame.Transparent());
            }
            if (finish)
                finish(i, reduced);
            return reduced;
        },
        take);
}
