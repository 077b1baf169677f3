// Pictures for the frame editor's tests.
#pragma once

#include "graphics/Bitmap.h"

// Something different on every pixel, so that any resampling or shift shows.
inline TBitmap Pattern(int w, int h)
{
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, RGB((x * 37 + y * 11) & 0xFF, (x * 5 + y * 71) & 0xFF, (x * y) & 0xFF));
    return b;
}
