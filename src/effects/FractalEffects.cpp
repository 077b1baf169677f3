// Mandelbrot pictures: the black and white escape mask used by the mask wizard and the
// painter window, and the 16-colour escape-time rendering.
#include "PixelEffects.h"

#include "PixelLoop.h"
#include "graphics/NumberRules.h"

#include <algorithm>

namespace qorFX {

using namespace detail;

int MandelbrotIterations(double a, double b)
{
    double zr = 0, zi = 0;
    int k = 0;
    for (;;) {
        const double t = b + zr * zr - zi * zi;
        zi = a + 2 * zi * zr;
        ++k;
        if (t * t + zi * zi >= 4 || k > 64)
            return k;
        zr = t;
    }
}

namespace {

// Calls f(pixel, escapes) for every pixel, escapes = count above the threshold.
template <class F>
void forEachMaskPixel(TBitmap& bitmap, int threshold, F&& f)
{
    const int w = bitmap.Width(), h = bitmap.Height();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = bitmap.ScanLine(y);
        const double a = 2.5 * y / h - 1.25;
        for (int x = 0; x < w; ++x, p += 3)
            f(p, MandelbrotIterations(a, 3.25 * x / w - 2) > threshold);
    }
}

} // namespace

void MandelbrotMask(TBitmap& bitmap, int threshold)
{
    Ensure24(bitmap);
    forEachMaskPixel(bitmap, threshold, [](std::uint8_t* p, bool white) {
        p[0] = p[1] = p[2] = white ? 255 : 0;
    });
}

void MaskMandelbrot(TBitmap& bitmap, int threshold)
{
    // The mask's black pixels are drawn over the picture, its white ones are transparent:
    // the same as blackening the pixels where the mask is black, without a mask bitmap.
    Ensure24(bitmap);
    forEachMaskPixel(bitmap, threshold, [](std::uint8_t* p, bool white) {
        if (!white)
            p[0] = p[1] = p[2] = 0;
    });
}

void MandelbrotRender(TBitmap& bitmap, int limit, bool mandelbrot, double xmin, double ymin, double xmax,
                      double ymax)
{
    // Colour table as (red, green, blue).
    static constexpr std::uint8_t kColors[16][3] = {
        {0, 0, 0},     {0, 0, 128},   {0, 128, 0},   {0, 255, 255}, {255, 0, 0},     {128, 0, 128},
        {128, 0, 0},   {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0}, {128, 128, 0},
        {255, 0, 255}, {0, 128, 128}, {255, 255, 0}, {255, 255, 255}};
    Ensure24(bitmap);
    // Points inside the set run the full limit, so a huge limit would stall the program.
    limit = std::clamp(limit, 16, kMaxMandelbrotLimit);
    const int w = bitmap.Width(), h = bitmap.Height();
    const double dx = (xmax - xmin) / w, dy = (ymax - ymin) / h;
    const double perIndex = limit / 16.0;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = bitmap.ScanLine(y);
        const double py = ymin + y * dy;
        for (int x = 0; x < w; ++x, p += 3) {
            const double px = xmin + x * dx;
            double cr, ci, zr, zi;
            if (mandelbrot) {
                cr = px, ci = py, zr = 0, zi = 0;
            } else {
                cr = 0, ci = 1, zr = px, zi = py;
            }
            int k = 0;
            double sx = 0, sy = 0;
            // The test sees the squares from before the step just taken, so a point is
            // followed one step past its escape.
            while (k <= limit && sx + sy < 4) {
                sx = zr * zr;
                sy = zi * zi;
                const double t = sx - sy + cr;
                zi = 2 * zr * zi + ci;
                zr = t;
                ++k;
            }
            const int m = k - 1;
            // Limits of 32 and more can round to 16, one past the table: held at 15.
            const int index = m == limit ? 0 : static_cast<int>(std::min<std::int64_t>(Round(m / perIndex), 15));
            p[0] = kColors[index][2];
            p[1] = kColors[index][1];
            p[2] = kColors[index][0];
        }
    }
}

} // namespace qorFX
