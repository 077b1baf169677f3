// The 640 x 480 test frame of the effect benchmarks: a blue ramp across, a green ramp
// down, and red squares 40 pixels wide.
#pragma once

#include "graphics/Bitmap.h"

inline TBitmap BenchFrame()
{
    TBitmap b(640, 480);
    for (int y = 0; y < 480; ++y) {
        std::uint8_t* p = b.ScanLine(y);
        for (int x = 0; x < 640; ++x, p += 3) {
            p[0] = static_cast<std::uint8_t>(x * 255 / 639);
            p[1] = static_cast<std::uint8_t>(y * 255 / 479);
            p[2] = static_cast<std::uint8_t>((x / 40 + y / 40) % 2 ? 230 : 20);
        }
    }
    return b;
}
