// Drawing frames onto 24-bit bitmaps of the logical screen.
#pragma once

#include "GIFImage.h"

// Draws `frame` at its place on `screen` (24-bit), clipped to the screen. With
// `transparency`, the transparent pixels of a transparent frame are left untouched.
void DrawGIFFrame(TBitmap& screen, const TGIFSubImage& frame, bool transparency);
// Fills a rectangle of a 24-bit bitmap, clipped.
void FillScreenRect(TBitmap& screen, const TRect& rect, TColor color);
// Copies a rectangle from `src` to the same place of `dest` (same size, 24-bit).
void CopyScreenRect(TBitmap& dest, const TBitmap& src, const TRect& rect);
