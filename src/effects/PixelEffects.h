// qorFX: the pixel and colour operations of the effects library. Stateless procedures on
// bitmaps, shared by the effect wizards, the painter effects window, the frame image
// operations and scripting, so their arithmetic is fixed to the pixel: integer division
// cuts toward zero, Round takes halves to the even neighbour, noise draws from the one
// application generator (graphics/Random.h) in a fixed order.
//
// Every operation works on 24-bit pixels. A bitmap of another format is converted to
// 24 bits first (operations that modify it leave it 24-bit). Empty bitmaps are left alone.
// Amounts outside the useful range never crash or hang; each function says what it does
// with them.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Types.h"

namespace qorFX {

// --- Colour adjustments (in place, every channel c) ---

// Pushes channels away from 127: d = |127 - c| * amount div 255.
void Contrast(TBitmap& bitmap, int amount);
// Blends toward white: c + amount * (255 - c) div 255.
void Lightness(TBitmap& bitmap, int amount);
// Blends toward black: c - amount * c div 255. 255 gives black.
void Darkness(TBitmap& bitmap, int amount);
// Blends between the pixel's grey (b + g + r) div 3 and its colour; 255 keeps the colours.
void Saturation(TBitmap& bitmap, int amount);
// Weighted grey Round(0.30 r + 0.59 g + 0.11 b).
void Grayscale(TBitmap& bitmap);
// 255 - c.
void Invert(TBitmap& bitmap);
// Kept for its callers; changes nothing whatever the amount.
void Soften(TBitmap& bitmap, int amount);

// --- Noise (pixels row by row from the top, left to right) ---

// Three draws per pixel, blue, green, red: c + Random(amount) - amount div 2. A negative
// amount adds no noise (the draws still happen, so later noise stays in step).
void AddColorNoise(TBitmap& bitmap, int amount);
// One draw per pixel added to all three channels. Negative amounts as above.
void AddMonoNoise(TBitmap& bitmap, int amount);

// --- Blurs and neighbourhood operations (in place; reads see earlier writes) ---

// Average of four samples at distance amount, those past the right or bottom edge taken
// at that edge; 0 or negative changes nothing.
void SplitBlur(TBitmap& bitmap, int amount);
// SplitBlur(3), passes + 1 times; nothing for negative passes. Stops early once a pass
// changes nothing (further passes could not either) and never runs more than
// kMaxBlurRuns times.
void GaussianBlur(TBitmap& bitmap, int passes);
constexpr int kMaxBlurRuns = 1024;
// Four-neighbour average of the inner pixels.
void AntiAlias(TBitmap& bitmap);
// Relief against the pixel 3 right and 1 down.
void Emboss(TBitmap& bitmap);
// Blocks of size x size from the top-left take their top-left pixel's colour; size <= 1
// changes nothing.
void Mosaic(TBitmap& bitmap, int size);

// --- Tone ---

// passes times c = Round(255 sin(c pi / 510)); 0 or negative passes change nothing.
void SplitLight(TBitmap& bitmap, int passes);
// Destination takes the source's size; pixels whose mean (b + g + r) div 3 is above the
// threshold are inverted. Source and destination may be the same bitmap.
void Solarize(const TBitmap& source, TBitmap& destination, int threshold);
// Destination takes the source's size; each channel min(255, level * Round(c / level)).
// Level 0 copies the source unchanged.
void Posterize(const TBitmap& source, TBitmap& destination, int level);

// --- Channel filters (in place) ---

// The channel becomes 255 when low < c < high, else 0; the other two become 0.
void FilterRed(TBitmap& bitmap, int low, int high);
void FilterGreen(TBitmap& bitmap, int low, int high);
void FilterBlue(TBitmap& bitmap, int low, int high);
// The channel becomes Round(factor * c) limited to 0..255; the other two become 0.
void KeepRed(TBitmap& bitmap, double factor);
void KeepGreen(TBitmap& bitmap, double factor);
void KeepBlue(TBitmap& bitmap, double factor);

// --- Masks and lighting ---

// Darkness(level), then black outside the ellipse inscribed in `rect` (its 1-pixel outline
// is black too).
void Spotlight(TBitmap& bitmap, int level, const TRect& rect);
// Escape count 1..65 of the point b + a i (a imaginary, b real).
int MandelbrotIterations(double a, double b);
// Black and white Mandelbrot picture over -2..1.25 x -1.25..1.25: white where the escape
// count is above the threshold.
void MandelbrotMask(TBitmap& bitmap, int threshold);
// Black where MandelbrotMask(threshold) would be black; the image elsewhere.
void MaskMandelbrot(TBitmap& bitmap, int threshold);
// 16-colour escape-time picture of the plane xmin..xmax x ymin..ymax. Limits below 16 are
// raised to 16, limits above kMaxMandelbrotLimit lowered to it; colour indices past the
// table's end take its last colour.
void MandelbrotRender(TBitmap& bitmap, int limit, bool mandelbrot, double xmin, double ymin, double xmax,
                      double ymax);
constexpr int kMaxMandelbrotLimit = 4096;
// Raised-button bevel: light top and left edges, dark bottom and right, bevel + 1 pixels
// wide. The bevel is taken modulo 256 (0 changes nothing) and limited to the bitmap.
void Buttonize(TBitmap& bitmap, int bevel, int amount);
// Blends the edges so the picture tiles without a seam; the ramps are h div divisor and
// w div divisor long. A divisor of 0 changes nothing.
void Seamless(TBitmap& bitmap, int divisor);

// --- Outlines, shadows, overlays ---

// Paints `color` along the boundaries between colour regions (the picture wraps around at
// its edges), on the side that is not the first background met.
void Trace(TBitmap& bitmap, int passes, TColor color);
// Darker pixels cast a 4-pixel shadow in the named direction.
void ShadowUpLeft(TBitmap& bitmap);
void ShadowUpRight(TBitmap& bitmap);
void ShadowDownLeft(TBitmap& bitmap);
void ShadowDownRight(TBitmap& bitmap);
// Draws every second (x + y odd) / every fourth (odd x of even rows) pixel of the source
// over the destination at (0, 0); white source pixels are never drawn.
void Overlay50(const TBitmap& source, TBitmap& destination);
void Overlay25(const TBitmap& source, TBitmap& destination);

} // namespace qorFX
