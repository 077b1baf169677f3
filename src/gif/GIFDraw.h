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

// The colour under an animation: the document's drawing colour when set, else white for a
// document without a global table, else the global table's background entry.
TColor GIFBackgroundColor(const TGIFImage& image);
// One step of the logical screen while a document plays: `frame` drawn with its disposal
// method. `backup` is the screen as this frame finds it and becomes what the next frame
// finds; `shown` receives the screen as it looks with this frame. `background` (24-bit,
// screen-sized) is what a restore to background brings back when `transparency` is on,
// `backgroundColor` what it fills with otherwise.
void ComposeGIFFrame(TBitmap& backup, TBitmap& shown, const TBitmap& background, TColor backgroundColor,
                     const TGIFSubImage& frame, bool transparency);
