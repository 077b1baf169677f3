// Animations written by other programs, opened as frames: APNG, animated WebP and the
// videos the video reader takes (AVI, MP4, MOV, MKV, WebM). Every frame comes whole (APNG
// and WebP frames composed with their dispose and blend operations), with its delay in
// hundredths of a second; rounding keeps the total time (a 60 frames a second video
// gives delays of 2, 2, 1, 2, 2, 1, ...).
//
// Frames come as the strip keeps them: 24-bit pictures with a transparency flag whose
// colour is the bottom-left pixel's. A pixel of alpha below 128 is a hole; the holes take
// one colour no other pixel of the frame has (the colour the file gives the first hole
// when it can), and the frame is transparent when its bottom-left pixel is a hole. In a
// frame whose bottom-left pixel is not a hole, holes are white; pixels of alpha from 128
// to 254 are drawn over white.
//
// Only regular files are read; the picture size and the frames are checked against the
// memory budget before a frame is decoded. Damaged files are refused with EInvalidGraphic
// ("<name>: the APNG file is damaged (frame 3 lies outside the picture)").
#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class TAnimationFileKind { None, Apng, WebP, Video };

struct TOpenedAnimation {
    int Width = 0;
    int Height = 0;
    int Loops = 0; // 0: forever (videos: 0)
    int Frames = 0;
};

using TOpenedFrameFn = std::function<void(TBitmap&& picture, int delay, bool transparent)>;

// What a file is by its first bytes: a PNG with an animation control chunk, a WebP (RIFF
// "WEBP"); a video by its extension (.avi, .mp4, .m4v, .mov, .mkv, .webm). A plain PNG is
// None.
TAnimationFileKind AnimationFileKind(const std::string& path);
// The path's extension in lower case, with its dot ("" without one).
std::string LowerExtension(const std::string& path);
// Whether Open lists the file by its extension: .apng, .png, .webp and the videos.
bool IsAnimationFileName(const std::string& path);
// The open dialog's filter: "Animations|*.gif;*.apng;..." and one entry a kind.
std::vector<std::string> AnimationFileFilters();

// Reads a file of any of the kinds; `name` is the path. Throws EInvalidGraphic for a file
// of none of them.
TOpenedAnimation ReadAnimationFile(const std::string& path, const TOpenedFrameFn& take);

TOpenedAnimation ReadApng(const std::vector<std::uint8_t>& bytes, const std::string& name, const TOpenedFrameFn& take);
TOpenedAnimation ReadAnimatedWebP(const std::vector<std::uint8_t>& bytes, const std::string& name,
                                  const TOpenedFrameFn& take);
TOpenedAnimation ReadVideoFrames(const std::string& path, const TOpenedFrameFn& take);

// --- shared by the readers ----------------------------------------------------------------

// A composed RGBA canvas (4 bytes a pixel, no padding) as a strip frame (see above).
TBitmap FrameFromRgba(const std::uint8_t* rgba, int width, int height, bool& transparent);

// Delays in hundredths from times in `unitsPerSecond` that keep the total: frame k lasts
// round(end_k) - round(end_{k-1}) hundredths, end_k being the time its display ends.
class TDelayClock {
public:
    explicit TDelayClock(double unitsPerSecond) : m_scale(100.0 / unitsPerSecond) {}
    // The delay of a frame that lasts `units`.
    int Next(double units);

private:
    double m_scale;
    double m_end = 0;
    std::int64_t m_shown = 0;
};
