// Helpers for the geometric effect tests: letter pictures and seeded noise pictures.
#pragma once

#include "graphics/Bitmap.h"
#include "support/TestSupport.h"

#include <random>
#include <string>
#include <utility>
#include <vector>

// Letters 'a'..'z' and digits '0'..'9' stand for distinct grey-free colours; '.' is white.
inline const std::vector<std::pair<char, TColor>>& Letters()
{
    static const std::vector<std::pair<char, TColor>> legend = [] {
        std::vector<std::pair<char, TColor>> l;
        int i = 0;
        for (char c = 'a'; c <= 'z'; ++c, ++i)
            l.push_back({c, RGB(10 + 9 * i, 200 - 7 * i, 30 + 5 * i)});
        for (char c = '0'; c <= '9'; ++c, ++i)
            l.push_back({c, RGB(7 * i, 3 * i, 250 - 6 * i)});
        l.push_back({'.', clWhite});
        return l;
    }();
    return legend;
}

inline TBitmap Pic(const std::vector<std::string>& rows) { return BitmapFromRows(rows, Letters()); }
inline std::vector<std::string> Rows(const TBitmap& b) { return RowsFromBitmap(b, Letters()); }

inline TBitmap Noise(int w, int h, unsigned seed)
{
    std::mt19937 gen(seed);
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            b.ScanLine(y)[x] = static_cast<std::uint8_t>(gen() & 0xFF);
    return b;
}

// Blue byte of pixel (x, y) of a 24-bit bitmap.
inline int Blue(const TBitmap& b, int x, int y) { return b.ScanLine(y)[3 * x]; }
