#include "WebPWriter.h"

#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <memory>

namespace {

// Frames the animation encoder holds while it looks for the smallest way to store the
// next one (the previous canvas, candidates), and our RGBA frame.
constexpr int kHeldFrames = 8;

struct TEncoderDeleter {
    void operator()(WebPAnimEncoder* e) const { WebPAnimEncoderDelete(e); }
};

struct TPicture {
    WebPPicture Picture;
    TPicture() { WebPPictureInit(&Picture); }
    ~TPicture() { WebPPictureFree(&Picture); }
};

struct TData {
    WebPData Data;
    TData() { WebPDataInit(&Data); }
    ~TData() { WebPDataClear(&Data); }
};

[[noreturn]] void fail(const std::string& path, const std::string& why)
{
    throw Exception("Unable to export " + path + ": " + why);
}

} // namespace

void WriteWebPAnimation(const TExportAnimation& animation, const std::string& path, const TExportOptions& options,
                        const TExportProgress& progress)
{
    const int width = animation.Width, height = animation.Height;
    if (width > WEBP_MAX_DIMENSION || height > WEBP_MAX_DIMENSION)
        fail(path, "WebP pictures are at most " + std::to_string(WEBP_MAX_DIMENSION) + " pixels a side");
    const std::uint64_t rgbaBytes = static_cast<std::uint64_t>(width) * height * 4;
    TMemoryReservation held(rgbaBytes * (kHeldFrames + 1),
                            "exporting frames of " + std::to_string(width) + " x " + std::to_string(height));

    WebPAnimEncoderOptions encoderOptions;
    if (!WebPAnimEncoderOptionsInit(&encoderOptions))
        fail(path, "the WebP library is not the one Anivor was built with");
    encoderOptions.anim_params.loop_count = std::clamp(animation.Loops, 0, 65535);
    encoderOptions.anim_params.bgcolor = 0x00FFFFFF; // transparent white
    encoderOptions.allow_mixed = 0;
    const std::unique_ptr<WebPAnimEncoder, TEncoderDeleter> encoder(WebPAnimEncoderNew(width, height, &encoderOptions));
    if (!encoder)
        throw std::bad_alloc();

    WebPConfig config;
    if (!WebPConfigInit(&config))
        fail(path, "the WebP library is not the one Anivor was built with");
    config.lossless = options.Lossless ? 1 : 0;
    config.quality = static_cast<float>(options.Lossless ? 75 : options.Quality);
    config.method = 4;
    config.thread_level = 1;
    if (!WebPValidateConfig(&config))
        fail(path, "the WebP settings are not valid");

    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(rgbaBytes));
    const int count = static_cast<int>(animation.Frames.size());
    int timestamp = 0;
    for (int i = 0; i < count; ++i) {
        ReportExportProgress(progress, i, count);
        TExportPicture picture(animation, i);
        picture.ToRgba(rgba.data(), static_cast<std::ptrdiff_t>(width) * 4);
        TPicture frame;
        frame.Picture.width = width;
        frame.Picture.height = height;
        frame.Picture.use_argb = 1;
        if (!WebPPictureImportRGBA(&frame.Picture, rgba.data(), width * 4))
            throw std::bad_alloc();
        if (!WebPAnimEncoderAdd(encoder.get(), &frame.Picture, timestamp, &config))
            fail(path, std::string("the WebP encoder refused frame ") + std::to_string(i + 1) + " ("
                           + WebPAnimEncoderGetError(encoder.get()) + ")");
        const int delay = animation.Frames[static_cast<std::size_t>(i)].Delay;
        if (delay > (INT32_MAX - timestamp) / 10)
            fail(path, "the animation is too long for a WebP file");
        timestamp += delay * 10;
    }
    ReportExportProgress(progress, count, count);
    // The end time gives the last frame its delay.
    if (!WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr))
        fail(path, std::string("the WebP encoder failed (") + WebPAnimEncoderGetError(encoder.get()) + ")");
    TData data;
    if (!WebPAnimEncoderAssemble(encoder.get(), &data.Data))
        fail(path, std::string("the WebP encoder failed (") + WebPAnimEncoderGetError(encoder.get()) + ")");
    WriteFileAtomic(path, data.Data.bytes, data.Data.size);
}
