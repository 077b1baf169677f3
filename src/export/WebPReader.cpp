// Animated (and still) WebP through libwebp's demuxer and animation decoder, which
// composes every frame onto the canvas with its blend and dispose methods.
#include "AnimationOpen.h"

#include "graphics/Exception.h"
#include "graphics/MemoryBudget.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <memory>

namespace {

struct TDemuxDeleter {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};
struct TDecoderDeleter {
    void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};

} // namespace

TOpenedAnimation ReadAnimatedWebP(const std::vector<std::uint8_t>& bytes, const std::string& name,
                                  const TOpenedFrameFn& take)
{
    const WebPData data{bytes.data(), bytes.size()};
    auto damaged = [&](const std::string& why) { return EInvalidGraphic(name + ": the WebP file is damaged (" + why + ")"); };
    if (bytes.size() < 12 || std::string(reinterpret_cast<const char*>(bytes.data()), 4) != "RIFF"
        || std::string(reinterpret_cast<const char*>(bytes.data() + 8), 4) != "WEBP")
        throw EInvalidGraphic(name + ": not a WebP file");

    // The canvas size and frame count first, from the container alone.
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    const std::unique_ptr<WebPDemuxer, TDemuxDeleter> demux(WebPDemuxPartial(&data, &state));
    if (!demux || state != WEBP_DEMUX_DONE)
        throw damaged(state == WEBP_DEMUX_PARSED_HEADER || state == WEBP_DEMUX_PARSING_HEADER ? "it is cut short"
                                                                                              : "its container cannot be read");
    const auto width = WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH);
    const auto height = WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT);
    const auto count = WebPDemuxGetI(demux.get(), WEBP_FF_FRAME_COUNT);
    if (width == 0 || height == 0)
        throw damaged("invalid size");
    if (count == 0)
        throw damaged("no frames");
    CheckBitmapSize(width, height, "WebP picture");
    // The frames the strip will hold, and the decoder's two canvases and frame.
    MemoryBudget::Check(MemoryBudget::PictureBytes(width, height, count) + MemoryBudget::PictureBytes(width, height, 3, 4),
                        "opening " + std::to_string(count) + " frames of " + std::to_string(width) + " x "
                            + std::to_string(height) + " from " + name);

    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        throw EInvalidGraphic("the WebP library is not the one Anivor was built with");
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    const std::unique_ptr<WebPAnimDecoder, TDecoderDeleter> decoder(WebPAnimDecoderNew(&data, &options));
    if (!decoder)
        throw damaged("its frames cannot be read");
    WebPAnimInfo info;
    if (!WebPAnimDecoderGetInfo(decoder.get(), &info))
        throw damaged("its frames cannot be read");

    TOpenedAnimation result{static_cast<int>(info.canvas_width), static_cast<int>(info.canvas_height),
                            static_cast<int>(info.loop_count), 0};
    TDelayClock clock(1000.0);
    int previous = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder.get())) {
        std::uint8_t* canvas = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp))
            throw damaged("frame " + std::to_string(result.Frames + 1) + " cannot be decoded");
        bool transparent = false;
        TBitmap frame = FrameFromRgba(canvas, result.Width, result.Height, transparent);
        // The timestamp is when the frame's display ends.
        take(std::move(frame), clock.Next(timestamp - previous), transparent);
        previous = timestamp;
        ++result.Frames;
    }
    return result;
}
