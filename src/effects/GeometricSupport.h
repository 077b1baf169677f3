// Small helpers shared by the geometric operations: 24-bit views of inputs, plain and
// nearest-neighbour drawing, and rounding that cannot overflow.
#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>

namespace qorFX::geom {

// `src` as a 24-bit bitmap that is safe to read while `dest` is written: `src` itself when
// it is 24-bit and a different object, otherwise a converted copy kept in `holder`.
const TBitmap& ReadableSource(const TBitmap& src, TBitmap& holder, const TBitmap* dest = nullptr);

// Makes `bitmap` 24-bit in place (keeping its pixels).
void Make24(TBitmap& bitmap);

// dest := 24-bit copy of src (size, pixels, transparency flag).
void AssignCopy(TBitmap& dest, const TBitmap& src);

// Draws `src` onto `dest` with its top-left corner at (x, y), clipped, no stretching.
void DrawAt(TBitmap& dest, int x, int y, const TBitmap& src);

// Stretches the whole of `src` into `r` of `dest` picking the nearest source pixel (the
// one under the centre of each destination pixel); clipped to `dest`. Both 24-bit.
void StretchNearest(TBitmap& dest, const TRect& r, const TBitmap& src);

// Round (halves to even) of a value that may be huge or not a number: values that do not
// fit [lo, hi] give `outside`.
std::int64_t SafeRound(double v, std::int64_t lo, std::int64_t hi, std::int64_t outside);

// Round(v) when it is a valid index 0..limit-1; false otherwise (also for NaN).
inline bool RoundedIndex(double v, int limit, int& out)
{
    if (!(v > -1.0 && v < static_cast<double>(limit) + 1.0))
        return false;
    const std::int64_t r = SafeRound(v, 0, limit - 1, -1);
    if (r < 0)
        return false;
    out = static_cast<int>(r);
    return true;
}

// Pointer to pixel x of a 24-bit row.
inline std::uint8_t* Px(TBitmap& b, int x, int y) { return b.ScanLine(y) + 3 * x; }
inline const std::uint8_t* Px(const TBitmap& b, int x, int y) { return b.ScanLine(y) + 3 * x; }

} // namespace qorFX::geom

namespace qorFX::geom {

// Stretches a row of `srcWidth` pixels into columns left..right-1 of a destination row of
// `destWidth` pixels, nearest source pixel (centre sampling), clipped.
void StretchRowNearest(std::uint8_t* destRow, int destWidth, int left, int right,
                       const std::uint8_t* srcRow, int srcWidth);

} // namespace qorFX::geom
