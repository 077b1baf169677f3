// The frame optimizer: shrinks a built document (merge of repeated pixels, crop of
// transparent frames, clean-up of superfluous blocks, colour table optimisation) while
// keeping what the animation shows.
#pragma once

#include "GIFImage.h"

// Options, as a set of bits (the values are part of the callers' settings).
enum TGIFOptimizeOption : unsigned {
    ooCrop = 0x01,         // cut transparent frames to their visible pixels, drop empty ones
    ooMerge = 0x02,        // pixels repeating the previous frame become transparent
    ooCleanup = 0x04,      // drop superfluous extensions, flags and frames
    ooColorMap = 0x08,     // sort every colour table by use, drop unused entries
    ooReduceColors = 0x10, // checks the reduction method only
};
using TGIFOptimizeOptions = unsigned;

// The reduction method meaning "a palette supplied by the caller"; the optimizer cannot
// reduce to it.
constexpr int kCallerPaletteReduction = 9;

// Optimizes `image` in place. Does nothing for an empty document. Otherwise stops the
// document's painters and holds the painter lock throughout; progress "Optimizing...".
// With ooReduceColors and the caller-palette method it fails with "Invalid reduction
// method" before changing anything. `dither` and `bits` are accepted for the callers'
// sake and not used.
void Optimize(TGIFImage& image, TGIFOptimizeOptions options, TColorReduction reduction, TDitherMode dither, int bits);
