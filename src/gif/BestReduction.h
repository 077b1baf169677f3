// The Best method for one picture: a palette chosen for it (BestPalette.h) and every pixel
// written as its nearest entry by squared RGB distance, through a serpentine
// Floyd-Steinberg whose carried error is clamped, or through one of the other engines.
#pragma once

#include "ColorReduction.h"
#include "NearestColor.h"

#include <vector>

// The Best palette of `source`, at most 2^bits colours (bits 3..8), most used first,
// starting from `start` when given (see TBestPaletteOptions).
std::vector<TColor> BestFramePalette(const TBitmap& source, int bits, const std::vector<TColor>* start = nullptr);

// `source` as an 8-bit bitmap of `palette`'s nearest colours with dithering `dither`.
// `shared` is the palette's lookup with every cell built, when threads share one; without
// it the call builds the cells it needs. With `refit`, each colour becomes the mean of the
// source pixels written with it (the least error those pixels can have), unused colours
// go and the most used come first: the palette of the result is then no longer `palette`.
TBitmap MapToPalette(const TBitmap& source, const std::vector<TColor>& palette, const TNearestColorLookup* shared,
                     TDitherMode dither, bool refit, const TProgressFn& progress = nullptr);

// BestFramePalette then MapToPalette with refit; a picture of at most 2^bits colours is
// written with exactly its colours.
TBitmap ReduceBest(const TBitmap& source, int bits, TDitherMode dither, const TProgressFn& progress = nullptr,
                   const std::vector<TColor>* start = nullptr);
