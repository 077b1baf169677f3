// Frames for the wizard tests: solid A and B, and frames whose every pixel differs, so a
// block copied from the wrong place shows.
#pragma once

#include "support/TestSupport.h"
#include "graphics/Bitmap.h"

#include <string>
#include <utility>
#include <vector>

constexpr TColor kA = RGB(200, 0, 0);
constexpr TColor kB = RGB(0, 0, 200);

inline const std::vector<std::pair<char, TColor>>& AbLegend()
{
    static const std::vector<std::pair<char, TColor>> legend{{'a', kA}, {'b', kB}};
    return legend;
}

inline std::vector<std::string> AbRows(const TBitmap& bmp) { return RowsFromBitmap(bmp, AbLegend()); }

// Pixel (x, y) gets a colour of its own; `tag` keeps two such frames apart.
inline TBitmap PatternBitmap(int w, int h, int tag)
{
    TBitmap bmp(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.SetPixel(x, y, RGB(x * 10, y * 10, tag));
    return bmp;
}
