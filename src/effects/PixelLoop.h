// Row loops shared by the pixel operations: one pass over the rows, three bytes per pixel
// (blue, green, red), no per-pixel calls through pointers.
#pragma once

#include "graphics/Bitmap.h"

#include <array>
#include <cstdint>

namespace qorFX::detail {

using Lut = std::array<std::uint8_t, 256>;

inline void Ensure24(TBitmap& bitmap)
{
    if (bitmap.PixelFormat() != TPixelFormat::pf24bit)
        bitmap.SetPixelFormat(TPixelFormat::pf24bit);
}

inline std::uint8_t ClampToByte(std::int64_t v)
{
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Calls f(pixel) with a pointer to the blue byte of every pixel, rows from the top.
template <class F>
void ForEachPixel(TBitmap& bitmap, F&& f)
{
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 3)
            f(p);
    }
}

// Maps every channel through its own table.
inline void ApplyLuts(TBitmap& bitmap, const Lut& blue, const Lut& green, const Lut& red)
{
    ForEachPixel(bitmap, [&](std::uint8_t* p) {
        p[0] = blue[p[0]];
        p[1] = green[p[1]];
        p[2] = red[p[2]];
    });
}

inline void ApplyLut(TBitmap& bitmap, const Lut& lut) { ApplyLuts(bitmap, lut, lut, lut); }

template <class F>
Lut MakeLut(F&& f)
{
    Lut lut{};
    for (int c = 0; c < 256; ++c)
        lut[c] = ClampToByte(f(c));
    return lut;
}

// Pixels at (x, y) of a 24-bit bitmap.
inline std::uint8_t* At(TBitmap& bitmap, int x, int y) { return bitmap.ScanLine(y) + 3 * x; }
inline const std::uint8_t* At(const TBitmap& bitmap, int x, int y) { return bitmap.ScanLine(y) + 3 * x; }

// A 24-bit view of `source` for operations that write a separate destination: the source
// itself when it is 24-bit already, otherwise a converted copy kept in `holder`.
inline const TBitmap& Source24(const TBitmap& source, TBitmap& holder)
{
    if (source.PixelFormat() == TPixelFormat::pf24bit)
        return source;
    holder = source;
    holder.SetPixelFormat(TPixelFormat::pf24bit);
    return holder;
}

// Gives `destination` the size of `source` in 24 bits (existing pixels are kept).
inline void MatchDestination(const TBitmap& source, TBitmap& destination)
{
    Ensure24(destination);
    if (destination.Width() != source.Width() || destination.Height() != source.Height())
        destination.SetSize(source.Width(), source.Height());
}

} // namespace qorFX::detail
