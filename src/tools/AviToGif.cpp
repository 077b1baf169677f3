#include "AviToGif.h"

#include "gif/BestPalette.h"
#include "gif/BestReduction.h"
#include "gif/ColorReduction.h"
#include "gif/GIFOptimize.h"
#include "graphics/MemoryBudget.h"
#include "workspace/Assembly.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <future>
#include <thread>

namespace {

// What a frame of the document costs besides its pixels: the frame object, its colour
// table and extensions. Counted so that a stream claiming a billion tiny frames is
// refused as surely as one of huge frames.
constexpr std::uint64_t kFrameOverhead = 2048;

} // namespace

int AviFrameDelay(const TAviStreamTiming& timing)
{
    std::uint64_t delay;
    if (timing.Rate != 0)
        delay = (std::uint64_t(timing.Scale) * 100 + timing.Rate / 2) / timing.Rate;
    else
        delay = timing.Scale / 100;
    return static_cast<int>(std::min<std::uint64_t>(delay, 65535));
}

std::unique_ptr<TGIFImage> ConvertAviToGif(TVideoReader& reader, const TAviToGifView& view, TColorReduction palette)
{
    const TVideoStreamInfo& info = reader.Info();
    const TAviStreamTiming& t = info.Timing;
    if (t.Length <= t.Start)
        throw EVideoError("The video holds no frames to convert");
    // What the file can give: a header may claim more frames than there are.
    std::uint64_t count = t.Length - t.Start;
    if (info.FramesInFile > 0)
        count = std::min<std::uint64_t>(count, info.FramesInFile);
    const std::string what = std::to_string(count) + " GIF frames of " + std::to_string(info.Width) + " x "
        + std::to_string(info.Height) + " pixels";
    const std::uint64_t pixels = static_cast<std::uint64_t>(info.Width) * static_cast<std::uint64_t>(info.Height);
    if (count > static_cast<std::uint64_t>(kMaxGIFDocumentPixels) / pixels)
        throw EVideoError("The video is too long for one GIF: " + what + " pass the limit of "
                          + std::to_string(kMaxGIFDocumentPixels) + " pixels");
    // Frames are reduced on other threads while the next ones are decoded: `ahead` of them
    // in flight, each a 24-bit picture and its reduced copies, besides the reader's own.
    const std::uint64_t frame24 = MemoryBudget::PictureBytes(info.Width, info.Height);
    // Large frames: fewer in flight, so that they take at most a quarter of the budget.
    std::size_t ahead = std::max(2u, std::thread::hardware_concurrency());
    while (ahead > 1 && (ahead + 1) * frame24 > MemoryBudget::Limit() / 4)
        --ahead;
    const std::uint64_t frame8 = MemoryBudget::PictureBytes(info.Width, info.Height, 1, 1);
    const std::uint64_t working = (ahead + 3) * frame24 + 3 * ahead * frame8;
    MemoryBudget::Check(count * (pixels + kFrameOverhead) + working, what);

    const int delay = AviFrameDelay(t);
    auto image = std::make_unique<TGIFImage>();
    image->Reduction = {palette, 8, dmFloydSteinberg};
    // Best: one palette from the colours of every frame, each frame written with it.
    std::vector<TColor> best;
    std::shared_ptr<TNearestColorLookup> lookup;
    if (palette == rmBest) {
        if (view.Begin)
            view.Begin(t.Start, t.Length);
        // The colours of each frame are gathered on another thread while the next one is
        // decoded, in order (the palette depends on the order the colours come in).
        TColorBins bins;
        TBitmap frames[2];
        int next = 0;
        std::future<void> gathering;
        auto gathered = [&] {
            if (gathering.valid())
                gathering.get();
        };
        for (std::uint32_t position = t.Start; position < t.Length; ++position) {
            if (view.Step && !view.Step(position)) {
                gathered();
                return nullptr;
            }
            try {
                reader.ReadFrame(position, frames[next]);
            } catch (const EVideoError&) {
                gathered();
                // The frames before it make the palette; the writing pass says what ended it.
                if (position == t.Start)
                    throw;
                break;
            }
            gathered();
            gathering = std::async(std::launch::async, [&bins, &frame = frames[next]] { bins.Add(frame); });
            next ^= 1;
        }
        gathered();
        TBestPaletteOptions options;
        options.Passes = 8;
        best = BestPalette(bins, options);
        lookup = std::make_shared<TNearestColorLookup>(best);
        lookup->BuildAll();
    }
    auto reduce = [&best, lookup, palette](const TBitmap& frame) {
        if (palette == rmBest)
            return MapToPalette(frame, best, lookup.get(), dmFloydSteinberg, false);
        return ReduceColors(frame, palette, dmFloydSteinberg, 8);
    };
    if (view.Begin)
        view.Begin(t.Start, t.Length);
    // Frames are reduced on other threads while the next ones are decoded, and go into
    // the document in order, as they are. A decoded picture is shared with its
    // reduction, not copied, and its pixels serve a later frame once it is done.
    struct TPending {
        std::shared_ptr<TBitmap> Decoded;
        std::future<TBitmap> Reduced;
    };
    std::deque<TPending> pending;
    std::vector<std::shared_ptr<TBitmap>> spare;
    auto addFirst = [&] {
        // Frame 0 gets the loop extension (forever), every frame the same delay.
        AddAnimationFrame(*image, pending.front().Reduced.get(), false, delay, 0);
        if (view.ShowFrame)
            view.ShowFrame(*pending.front().Decoded);
        spare.push_back(std::move(pending.front().Decoded));
        pending.pop_front();
    };
    for (std::uint32_t position = t.Start; position < t.Length; ++position) {
        if (view.Step && !view.Step(position)) {
            // Stopped: the frame reached last stays on show; nothing else is kept.
            if (view.ShowFrame && !pending.empty())
                view.ShowFrame(*pending.back().Decoded);
            return nullptr;
        }
        std::shared_ptr<TBitmap> decoded;
        if (spare.empty()) {
            decoded = std::make_shared<TBitmap>();
        } else {
            decoded = std::move(spare.back());
            spare.pop_back();
        }
        try {
            reader.ReadFrame(position, *decoded);
        } catch (const EVideoError& e) {
            // The frames before it are kept, as a cut GIF keeps its frames.
            if (position == t.Start)
                throw;
            if (view.Warning)
                view.Warning(e.what());
            break;
        }
        if (pending.size() >= ahead)
            addFirst();
        pending.push_back({decoded, std::async(std::launch::async, [decoded, &reduce] { return reduce(*decoded); })});
    }
    while (!pending.empty())
        addFirst();
    return image;
}

std::unique_ptr<TGIFImage> ConvertAviToGif(const std::string& path, const TAviToGifView& view, TColorReduction palette)
{
    TVideoReader reader(path);
    return ConvertAviToGif(reader, view, palette);
}

void SaveConvertedGif(TGIFImage& image, const std::string& path)
{
    Optimize(image, ooCrop | ooMerge | ooCleanup | ooColorMap, rmNone, dmNearest, 8);
    image.OptimizeColorMaps();
    image.SaveToFile(path);
}
