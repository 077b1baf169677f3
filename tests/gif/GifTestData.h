// Small builders shared by the codec tests.
#pragma once

#include "gif/GIFImage.h"

#include <functional>
#include <vector>

// An 8-bit bitmap with the given palette whose pixel (x, y) is index(x, y).
inline TBitmap PaletteBitmap(int w, int h, const std::vector<TColor>& palette, const std::function<int(int, int)>& index)
{
    TBitmap b(w, h, TPixelFormat::pf8bit);
    b.SetPalette(palette);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.ScanLine(y)[x] = static_cast<std::uint8_t>(index(x, y));
    return b;
}

// A palette of n distinct colours.
inline std::vector<TColor> DistinctPalette(int n)
{
    std::vector<TColor> p;
    for (int i = 0; i < n; ++i)
        p.push_back(RGB(i, 255 - i, (i * 37) & 0xFF));
    return p;
}

// Photo-like pixels: smooth gradients with some noise, over `colors` indices.
inline std::vector<std::uint8_t> PhotoPixels(int w, int h, int colors, unsigned seed = 1)
{
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h);
    unsigned s = seed;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1103515245u + 12345u;
            const int v = ((x * 3 + y * 2) / 5 + static_cast<int>((s >> 16) % 7)) % colors;
            px[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(v);
        }
    return px;
}
