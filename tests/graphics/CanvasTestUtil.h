// Small helpers shared by the canvas tests.
#pragma once

#include "graphics/canvas/Canvas.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

inline const std::vector<std::pair<char, TColor>> kCanvasLegend{
    {'.', clWhite}, {'#', clBlack}, {'r', clRed}, {'g', clLime}, {'b', clBlue}, {'y', clYellow}};

inline std::vector<std::string> Rows(const TBitmap& b) { return RowsFromBitmap(b, kCanvasLegend); }
inline TBitmap FromRows(const std::vector<std::string>& rows) { return BitmapFromRows(rows, kCanvasLegend); }

inline std::string Dump(const TBitmap& b)
{
    std::string s = "\n";
    for (const std::string& row : Rows(b))
        s += row + "\n";
    return s;
}

// Smallest rectangle holding every pixel of colour `ink` (or, when `ink` is clWhite,
// every pixel that is not white).
inline TRect InkBounds(const TBitmap& b, TColor ink = clWhite)
{
    TRect r(1 << 30, 1 << 30, -(1 << 30), -(1 << 30));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (ink == clWhite ? b.Pixel(x, y) != clWhite : b.Pixel(x, y) == ink)
                r = TRect(std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1));
    return r;
}

inline int Count(const TBitmap& b, TColor c)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.Pixel(x, y) == c;
    return n;
}
