// AVI to GIF: every frame of a video's first stream reduced to the web palette with
// Floyd-Steinberg dithering, one delay for all frames from the stream's rate, looping
// forever; then, on Save, the frame optimiser. Plain functions: the converter window,
// anivor-cli avi2gif and the tests run the same code.
#pragma once

#include "gif/GIFImage.h"
#include "graphics/Bitmap.h"
#include "platform/avi/VideoReader.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct TAviToGifView {
    // The positions about to be converted: first .. end - 1.
    std::function<void(std::uint32_t first, std::uint32_t end)> Begin;
    // Before each position; returning false stops the conversion (Abort).
    std::function<bool(std::uint32_t position)> Step;
    // A frame as decoded, just added to the GIF.
    std::function<void(const TBitmap& frame)> ShowFrame;
};

// The delay in hundredths of a second for every frame: Scale * 100 / Rate rounded to
// the nearest (halves up), or Scale div 100 for a rate of 0; at most 65535.
int AviFrameDelay(const TAviStreamTiming& timing);

// Converts the positions Start .. Length - 1 of the reader's stream, every frame reduced
// with `palette` and Floyd-Steinberg dithering: the web palette (rmNetscape) as the
// converter always did, or any other method; rmBest reads the video twice, first to
// gather the colours of every frame for one palette, then to write the frames with it
// (Begin and Step come for each reading). Returns nullptr when Step stopped it (nothing
// of it is kept). Throws EVideoError for a file that cannot be converted (no frames, a
// frame that cannot be decoded) and EOutOfMemory when the frames would not fit, before
// any of them is decoded.
std::unique_ptr<TGIFImage> ConvertAviToGif(TVideoReader& reader, const TAviToGifView& view = {},
                                           TColorReduction palette = rmNetscape);
std::unique_ptr<TGIFImage> ConvertAviToGif(const std::string& path, const TAviToGifView& view = {},
                                           TColorReduction palette = rmNetscape);

// Save GIF: the frame optimiser with crop, merge, clean-up and colour maps, the colour
// tables merged, written whole to `path`. Changes `image`.
void SaveConvertedGif(TGIFImage& image, const std::string& path);
