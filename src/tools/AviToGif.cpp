#include "AviToGif.h"

#include "gif/BestPalette.h"
#include "gif/BestReduction.h"
#include "gif/ColorReduction.h"
#include "gif/GIFOptimize.h"
#include "graphics/MemoryBudget.h"
#include "workspace/Assembly.h"

#include <algorithm>
#include <deque>
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
    const std::uint64_t count = t.Length - t.Start;
    const std::string what = std::to_string(count) + " GIF frames of " + std::to_string(info.Width) + " x "
        + std::to_string(info.Height) + " pixels";
    const std::uint64_t pixels = static_cast<std::uint64_t>(info.Width) * static_cast<std::uint64_t>(info.Height);
    if (count > static_cast<std::uint64_t>(kMaxGIFDocumentPixels) / pixels)
        throw EVideoError("The video is too long for one GIF: " + what + " pass the limit of "
                          + std::to_string(kMaxGIFDocumentPixels) + " pixels");
    MemoryBudget::Check(count * (pixels + kFrameOverhead), what);

    const int delay = AviFrameDelay(t);
    auto image = std::make_unique<TGIFImage>();
    image->Reduction = {palette, 8, dmFloydSteinberg};
    TBitmap decoded;
    // Best: one palette from the colours of every frame, each frame written with it.
    std::vector<TColor> best;
    std::shared_ptr<TNearestColorLookup> lookup;
    if (palette == rmBest) {
        if (view.Begin)
            view.Begin(t.Start, t.Length);
        TColorBins bins;
        for (std::uint32_t position = t.Start; position < t.Length; ++position) {
            if (view.Step && !view.Step(position))
                return nullptr;
            reader.ReadFrame(position, decoded);
            bins.Add(decoded);
        }
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
    // the document in order, as they are.
    struct TPending {
        TBitmap Decoded;
        std::future<TBitmap> Reduced;
    };
    std::deque<TPending> pending;
    const std::size_t ahead = std::max(2u, std::thread::hardware_concurrency());
    auto addFirst = [&] {
        // Frame 0 gets the loop extension (forever), every frame the same delay.
        AddAnimationFrame(*image, pending.front().Reduced.get(), false, delay, 0);
        if (view.ShowFrame)
            view.ShowFrame(pending.front().Decoded);
        pending.pop_front();
    };
    for (std::uint32_t position = t.Start; position < t.Length; ++position) {
        if (view.Step && !view.Step(position)) {
            // Stopped: the frame reached last stays on show; nothing else is kept.
            if (view.ShowFrame && !pending.empty())
                view.ShowFrame(pending.back().Decoded);
            return nullptr;
        }
        reader.ReadFrame(position, decoded);
        if (pending.size() >= ahead)
            addFirst();
        pending.push_back({decoded, std::async(std::launch::async, [frame = decoded, &reduce] { return reduce(frame); })});
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
