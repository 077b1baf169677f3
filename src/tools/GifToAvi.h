// GIF to AVI: an animated GIF written as an uncompressed AVI of 8-bit frames. Each frame
// is composed onto the logical screen as the GIF plays (disposal and transparency), so
// the video shows what a browser shows; every frame keeps its exact colours. One frame
// duration for the whole stream. Plain functions for the window, anivor-cli gif2avi and
// the tests.
#pragma once

#include "gif/GIFImage.h"

#include <cstdint>
#include <functional>
#include <string>

// Frames per second are Rate / duration: with 100 a delay of 10 plays at 10 frames a
// second, the GIF's own pace.
constexpr std::uint32_t kGifAviRate = 100;

// The frame duration in hundredths of a second (the stream's scale): walking the frames
// in order, each graphic control extension sets it to its delay; the walk stops after the
// first frame by which a local colour table was seen and the duration is above 0. A
// duration of 0 becomes 1.
std::uint32_t GifAviFrameDuration(const TGIFImage& image);

// The AVI file written for a GIF: the same path with the extension ".AVI".
std::string GifAviFileName(const std::string& gifPath);

struct TGifToAviView {
    // Frames to write.
    std::function<void(int count)> Begin;
    // Before frame `index`; returning false stops (Abort).
    std::function<bool(int index)> Step;
};

struct TGifToAviResult {
    std::uint32_t Frames = 0; // positions written, skipped empty frames included
    bool Aborted = false;
};

// Writes `image` to `path` (replacing the file as a whole). A frame without image data
// leaves its position empty; the following frames keep theirs. After an abort the file
// holds the frames written so far. Throws on failure, leaving any earlier file in place.
TGifToAviResult WriteGifAsAvi(const TGIFImage& image, const std::string& path, const TGifToAviView& view = {});
