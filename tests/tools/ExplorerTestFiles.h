// GIF files for the explorer tests: hand-made bytes with every kind of block, small
// animations from our own writer, and the external programs that write GIFs too.
#pragma once

#include "gif/GIFImage.h"
#include "gif/GifBytes.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <string>

// Header "GIF89a" 3 x 2 with a 2-colour global table (background 1), then frame 0 with
// a loop extension (forever), a graphic control (delay 10, disposal 3, transparent 1,
// user input), a comment of two lines, a plain text extension, an application extension
// "XMP DataXMP" with one 20-byte block, an extension of unknown label 0x99, and a 2 x 1
// interlaced image with a 4-colour local table; then a comment before the trailer (an
// empty frame).
inline Bytes EveryBlockKindGif()
{
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 3, 0, 2, 0, 0x80, 1, 0, 0, 0, 0, 255, 255, 255};
    Append(b, {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
    Append(b, {0x21, 0xF9, 4, 0x0F, 10, 0, 1, 0});
    Append(b, {0x21, 0xFE, 2, 'h', 'i', 5, 't', 'h', 'e', 'r', 'e', 0});
    Append(b, {0x21, 0x01, 12, 0, 0, 0, 0, 3, 0, 2, 0, 1, 1, 0, 1, 4, 'T', 'e', 'x', 't', 0});
    Append(b, {0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P', 20});
    for (int i = 0; i < 20; ++i)
        b.push_back(static_cast<std::uint8_t>("Anivor[1]_{x}~\x01\xFF" "abcd"[i]));
    b.push_back(0);
    Append(b, {0x21, 0x99, 3, 1, 2, 3, 0});
    Append(b, GifFrameHead(1, 1, 2, 1, 2, true));
    b.push_back(2);
    Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {2, 3}, {5, 3}})));
    Append(b, {0x21, 0xFE, 3, 'e', 'n', 'd', 0});
    b.push_back(0x3B);
    return b;
}

// An animation of `frames` frames of w x h from our writer: a global table of 4 colours,
// delay 10, loop forever, each frame a different pattern.
inline Bytes SmallAnimation(int frames, int w = 8, int h = 6)
{
    TGIFImage gif;
    const std::vector<TColor> palette = {clBlack, clWhite, RGB(255, 0, 0), RGB(0, 0, 255)};
    for (int i = 0; i < frames; ++i) {
        TBitmap b(w, h, TPixelFormat::pf8bit);
        b.SetPalette(palette);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                b.ScanLine(y)[x] = static_cast<std::uint8_t>((x + y + i) % 4);
        const int k = gif.Add(b);
        TGIFSubImage& f = *gif.Images[static_cast<std::size_t>(k)];
        if (k == 0)
            f.AddExtension<TGIFAppExtNSLoop>()->SetLoops(0);
        f.AddExtension<TGIFGraphicControlExtension>()->SetDelay(10);
    }
    gif.OptimizeColorMaps();
    return gif.SaveToBytes();
}

// Runs a shell command with its output thrown away; true when it ended with exit code 0.
inline bool RunTool(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool HaveTool(const char* name)
{
    return RunTool(std::string("command -v ") + name);
}

// The ImageMagick program (the Debian package's own, found before any wrapper on PATH).
inline std::string ImageMagickConvert()
{
    return std::filesystem::exists("/usr/bin/convert") ? "/usr/bin/convert" : "convert";
}
