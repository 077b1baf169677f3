// Conversions between the program's TBitmap and Qt images for display.
#pragma once

#include "graphics/Bitmap.h"

#include <QImage>

// A deep copy of `bitmap` as a QImage. A transparent bitmap comes out with alpha 0 on
// every pixel of its transparent colour, so it shows what lies behind it. The copy is
// asked of the memory budget first (EOutOfMemory when it would pass it).
QImage ImageFromBitmap(const TBitmap& bitmap);

// The same, stretched to width x height by picking the nearest source pixel, without a
// full-size copy on the way (thumbnails of large frames cost what the thumbnail costs).
QImage ScaledImageFromBitmap(const TBitmap& bitmap, int width, int height);

// A deep copy with alpha 0 on every pixel of colour `key`, whatever the bitmap's own
// transparency (gadgets that float over a picture).
QImage ImageFromBitmapKeyed(const TBitmap& bitmap, TColor key);
