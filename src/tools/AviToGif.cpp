#include "AviToGif.h"

#include "gif/ColorReduction.h"
#include "gif/GIFOptimize.h"
#include "graphics/MemoryBudget.h"
#include "workspace/Assembly.h"

#include <algorithm>
#include <future>

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

std::unique_ptr<TGIFImage> ConvertAviToGif(TVideoReader& reader, const TAviToGifView& view)
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
    image->ColorReduction = rmNetscape;
    image->DitherMode = dmFloydSteinberg;
    if (view.Begin)
        view.Begin(t.Start, t.Length);
    // The web palette with Floyd-Steinberg dithering, reduced on a second thread while
    // the next frame is decoded; the reduced frame goes into the document as it is.
    std::future<TBitmap> reduced;
    TBitmap decoded, previous;
    auto addReduced = [&] {
        // Frame 0 gets the loop extension (forever), every frame the same delay.
        AddAnimationFrame(*image, reduced.get(), false, delay, 0);
        if (view.ShowFrame)
            view.ShowFrame(previous);
    };
    for (std::uint32_t position = t.Start; position < t.Length; ++position) {
        if (view.Step && !view.Step(position))
            return nullptr;
        reader.ReadFrame(position, decoded);
        if (reduced.valid())
            addReduced();
        previous = decoded;
        reduced = std::async(std::launch::async, [frame = decoded] { return ReduceColors(frame, rmNetscape, dmFloydSteinberg, 8); });
    }
    if (reduced.valid())
        addReduced();
    return image;
}

std::unique_ptr<TGIFImage> ConvertAviToGif(const std::string& path, const TAviToGifView& view)
{
    TVideoReader reader(path);
    return ConvertAviToGif(reader, view);
}

void SaveConvertedGif(TGIFImage& image, const std::string& path)
{
    Optimize(image, ooCrop | ooMerge | ooCleanup | ooColorMap, rmNone, dmNearest, 8);
    image.OptimizeColorMaps();
    image.SaveToFile(path);
}
