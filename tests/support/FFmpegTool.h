// The ffmpeg and ffprobe programs as the independent side of the AVI tests: they make
// videos in every codec we read and decode every AVI we write.
#pragma once

#include "TestSupport.h"

#include "graphics/Bitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <vector>

inline int RunShell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs ffmpeg quietly; throws when it fails, so a broken tool never passes for a result.
inline void FFmpeg(const std::string& args)
{
    const std::string command = "timeout 60 ffmpeg -nostdin -hide_banner -v error -y " + args + " 2>/dev/null";
    if (RunShell(command) != 0)
        throw std::runtime_error("ffmpeg failed: " + command);
}

// A test pattern video: `frames` frames of w x h at `rate` frames a second, written with
// the codec arguments given (e.g. "-c:v rawvideo -pix_fmt bgr24", "-c:v mjpeg").
inline void MakeVideo(const std::string& path, const std::string& codec, int w, int h, const std::string& rate, int frames)
{
    FFmpeg("-f lavfi -i testsrc=size=" + std::to_string(w) + "x" + std::to_string(h) + ":rate=" + rate + " -frames:v "
           + std::to_string(frames) + " " + codec + " '" + path + "'");
}

// What ffprobe says about the first video stream, e.g. FFprobe(f, "r_frame_rate").
inline std::string FFprobe(const std::string& path, const std::string& entry)
{
    const std::string command = "ffprobe -v error -select_streams v:0 -show_entries stream=" + entry
        + " -of default=noprint_wrappers=1:nokey=1 '" + path + "'";
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// Every frame ffmpeg decodes from the file, as 24-bit bitmaps of w x h, without any frame
// dropped or repeated for timing.
inline std::vector<TBitmap> DecodeWithFFmpeg(const TempDir& dir, const std::string& path, int w, int h)
{
    const std::string raw = dir.file("ffmpeg-frames.raw");
    FFmpeg("-i '" + path + "' -f rawvideo -pix_fmt bgr24 -fps_mode passthrough '" + raw + "'");
    std::ifstream in(raw, std::ios::binary);
    std::vector<TBitmap> frames;
    const std::size_t frameBytes = static_cast<std::size_t>(w) * h * 3;
    std::vector<char> buf(frameBytes);
    while (in.read(buf.data(), static_cast<std::streamsize>(frameBytes))) {
        TBitmap b(w, h, TPixelFormat::pf24bit);
        for (int y = 0; y < h; ++y)
            std::copy_n(buf.data() + static_cast<std::size_t>(y) * w * 3, static_cast<std::size_t>(w) * 3, b.ScanLine(y));
        frames.push_back(std::move(b));
    }
    return frames;
}

// The 24-bit pixels of any bitmap (8-bit ones through their palette), for comparisons.
inline TBitmap As24Bit(const TBitmap& b)
{
    TBitmap c = b;
    c.SetPixelFormat(TPixelFormat::pf24bit);
    c.SetTransparent(false);
    return c;
}

// Little-endian patching of a file's bytes: the 32-bit field `offset` bytes into the
// body of the first chunk with id `chunk` (e.g. "strh", "strf", "avih").
inline void PatchChunkField(std::vector<unsigned char>& bytes, const std::string& chunk, std::size_t offset, std::uint32_t value)
{
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t at = text.find(chunk);
    if (at == std::string::npos || at + 8 + offset + 4 > bytes.size())
        throw std::runtime_error("no chunk " + chunk);
    for (int i = 0; i < 4; ++i)
        bytes[at + 8 + offset + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}
