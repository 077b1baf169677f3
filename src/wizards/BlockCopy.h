// Block operations on 24-bit bitmaps shared by the step generators.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Types.h"

namespace wizardpixels {

// Makes W 24-bit and w x h, keeping the pixels it already has where the sizes overlap.
void SetWorkSize(TBitmap& W, int w, int h);
// W becomes an exact copy of X: size, format and pixels.
void AssignFrom(TBitmap& W, const TBitmap& X);
// Copies `srcRect` of `src` to W with its top-left corner at `dest`, clipped to both
// bitmaps; empty rectangles copy nothing. Both bitmaps must be 24-bit.
void CopyBlock(TBitmap& W, TPoint dest, const TBitmap& src, const TRect& srcRect);
// Copies rectangle R of `src` to the same place in W.
inline void CopySame(TBitmap& W, const TBitmap& src, const TRect& r) { CopyBlock(W, TPoint(r.Left, r.Top), src, r); }

} // namespace wizardpixels
