// Reduction of a true-colour bitmap to a palette bitmap: the palettes, the lookups, the
// dithering engines and the octree quantizer.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Exception.h"

#include <functional>
#include <vector>

// The numbers name the methods everywhere (name tables, the optimizer window's items);
// keep them.
enum TColorReduction {
    rmNone = 0,
    rmWindows20 = 1,
    rmWindows256 = 2,
    rmWindowsGray = 3,
    rmMonochrome = 4,
    rmGrayScale = 5,
    rmNetscape = 6,
    rmQuantize = 7,
    rmQuantizeWindows = 8,
    // 9 is the caller's own palette (the frame optimiser refuses it).
    // Best: Wu's cut refined by k-means for the picture, exact nearest colours, a
    // clamped serpentine Floyd-Steinberg (BestReduction.h).
    rmBest = 10,
};

enum TDitherMode {
    dmNearest = 0,
    dmFloydSteinberg = 1,
    dmStucki = 2,
    dmSierra = 3,
    dmJaJuNi = 4,
    dmSteveArche = 5,
    dmBurkes = 6,
};

// Progress of a long operation, 0..100; return false to stop (the operation then throws).
using TProgressFn = std::function<bool(int percent)>;

// Reduces `source` with palette method `method`, dithering `dither` and, for the optimized
// and Best palettes, at most 2^bits colours (bits 3..8). A picture whose colours the
// optimized or Best palette holds all is written with exactly those colours. rmNone gives a 24-bit copy. The result is an
// 8-bit bitmap of the source size with the method's palette (empty when the palette is).
// An 8-bit source is read through its palette. The result keeps the source's transparency
// flag. Bits outside 3..8 are clamped; an unknown method or dither mode throws
// EInvalidArgument.
TBitmap ReduceColors(const TBitmap& source, TColorReduction method, TDitherMode dither, int bits,
                     const TProgressFn& progress = nullptr);

// The palette `ReduceColors` uses for `method` on `source` (empty for rmNone). For the
// optimized methods this runs the octree over the source; `progress` then gets 0..100.
// rmQuantizeWindows always gives 256 entries: entries the octree does not fill, between
// its colours and entry 246, are black.
std::vector<TColor> ReductionPalette(const TBitmap& source, TColorReduction method, int bits,
                                     const TProgressFn& progress = nullptr);

// Thrown when the progress callback asks to stop.
class EColorReductionAborted : public EInvalidGraphic {
public:
    EColorReductionAborted() : EInvalidGraphic("GIF Aborted") {}
};
