// Conversions between the program's TBitmap and Qt images for display.
#pragma once

#include "graphics/Bitmap.h"

#include <QImage>

// A deep copy of `bitmap` as a QImage. A transparent bitmap comes out with alpha 0 on
// every pixel of its transparent colour, so it shows what lies behind it.
QImage ImageFromBitmap(const TBitmap& bitmap);
// A deep copy with alpha 0 on every pixel of colour `key`, whatever the bitmap's own
// transparency (gadgets that float over a picture).
QImage ImageFromBitmapKeyed(const TBitmap& bitmap, TColor key);
