// gifsicle and ImageMagick's convert as the independent side of the tests of opened GIFs:
// gifsicle optimises animations as the web serves them (frames cut to what changes,
// disposal methods, transparency), `convert -coalesce` shows their frames as a browser does.
#pragma once

#include "FFmpegTool.h"

#include "gif/GiflibHelpers.h"
#include "graphics/Bitmap.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

// Whether a program is on the path; tests that need it skip without it.
inline bool HaveProgram(const std::string& name)
{
    return RunShell("command -v " + name + " >/dev/null 2>&1") == 0;
}

// Runs gifsicle quietly; throws when it fails.
inline void Gifsicle(const std::string& args)
{
    const std::string command = "timeout 60 gifsicle " + args + " 2>/dev/null";
    if (RunShell(command) != 0)
        throw std::runtime_error("gifsicle failed: " + command);
}

// The frames of a GIF as `convert -coalesce` makes them: screen-sized, 4 bytes a pixel in
// the order red, green, blue, alpha, rows from the top.
inline std::vector<std::vector<std::uint8_t>> CoalesceWithImageMagick(const TempDir& dir, const std::string& gif,
                                                                      int width, int height)
{
    const std::string raw = dir.file("coalesced.rgba");
    const std::string command = "timeout 60 convert '" + gif + "' -coalesce -depth 8 'rgba:" + raw + "' 2>/dev/null";
    if (RunShell(command) != 0)
        throw std::runtime_error("convert failed: " + command);
    std::ifstream in(raw, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::size_t frameBytes = static_cast<std::size_t>(width) * height * 4;
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::size_t at = 0; at + frameBytes <= bytes.size(); at += frameBytes)
        frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + frameBytes));
    return frames;
}

// A composed frame against ImageMagick's: every pixel ImageMagick shows opaque has its
// colour; every pixel it leaves see-through (a hole) has one and the same colour, which no
// shown pixel has; the frame is transparent exactly when its bottom-left pixel is a hole.
// "" when all holds, else the first difference.
inline std::string CompareWithCoalesced(const TBitmap& frame, bool transparent, const std::vector<std::uint8_t>& rgba)
{
    const int w = frame.Width(), h = frame.Height();
    if (rgba.size() != static_cast<std::size_t>(w) * h * 4)
        return "ImageMagick's frame has another size";
    const auto at = [&](int x, int y) { return rgba.data() + (static_cast<std::size_t>(y) * w + x) * 4; };
    const auto where = [](int x, int y) { return " at " + std::to_string(x) + ", " + std::to_string(y); };
    bool anyHole = false;
    TColor hole = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = at(x, y);
            const TColor ours = frame.Pixel(x, y);
            if (p[3] == 0) {
                if (anyHole && ours != hole)
                    return "holes of two colours" + where(x, y);
                anyHole = true;
                hole = ours;
            } else if (p[3] != 255) {
                return "ImageMagick shows a half-transparent pixel" + where(x, y);
            } else if (ours != RGB(p[0], p[1], p[2])) {
                return "another colour" + where(x, y);
            }
        }
    if (anyHole)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (at(x, y)[3] == 255 && frame.Pixel(x, y) == hole)
                    return "a shown pixel has the hole colour" + where(x, y);
    if (transparent != (at(0, h - 1)[3] == 0))
        return transparent ? "transparent, but the bottom-left pixel is shown" : "opaque, but the bottom-left pixel is a hole";
    return "";
}

// Ten frames on a 64 x 48 screen, written by giflib: every disposal method, transparent
// pixels, frames that cover and uncover the bottom-left pixel, white in the table; the
// delays are 3 to 12.
inline std::vector<std::uint8_t> DisposalTestGif()
{
    constexpr int kSee = 7; // the transparent index
    GLFile file;
    file.Width = 64;
    file.Height = 48;
    file.Global = {{0, 0, 0}, {255, 0, 0}, {0, 160, 0}, {0, 0, 255}, {255, 255, 0}, {255, 255, 255}, {255, 0, 255}, {128, 128, 128}};
    file.Loops = 0;
    const auto frame = [&](int left, int top, int w, int h, int disposal, bool transparent, auto index) {
        GLFrame f;
        f.Left = left;
        f.Top = top;
        f.Width = w;
        f.Height = h;
        f.Disposal = disposal;
        f.Transparent = transparent ? kSee : -1;
        f.Delay = 3 + static_cast<int>(file.Frames.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                f.Pixels.push_back(static_cast<std::uint8_t>(index(x, y)));
        file.Frames.push_back(f);
    };
    frame(0, 0, 64, 48, 1, true, [](int x, int) { return x < 32 ? kSee : 2; });
    frame(4, 4, 16, 16, 2, false, [](int, int) { return 1; });
    frame(30, 30, 20, 10, 3, true, [](int x, int y) { return (x + y) % 2 ? 3 : kSee; });
    frame(50, 0, 10, 10, 0, false, [](int, int) { return 4; });
    frame(0, 0, 64, 48, 1, true, [](int x, int y) { return x == y ? 5 : kSee; });
    frame(0, 40, 8, 8, 3, false, [](int, int) { return 6; });
    frame(10, 38, 8, 8, 2, true, [](int x, int y) { return x == 0 || y == 0 ? kSee : 6; });
    frame(20, 38, 8, 8, 1, false, [](int, int) { return 0; });
    frame(0, 44, 12, 4, 2, false, [](int, int) { return 1; });
    frame(40, 20, 8, 8, 0, true, [](int x, int y) { return (x == 0 || x == 7) && (y == 0 || y == 7) ? kSee : 5; });
    return GiflibEncode(file);
}
