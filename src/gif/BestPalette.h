// The Best palette of a picture or of a whole animation: the exact colours when they fit,
// otherwise Wu's variance-minimising cut of the colour cube refined by k-means passes.
#pragma once

#include "ColorBins.h"

#include <vector>

struct TBestPaletteOptions {
    int MaxColors = 256;
    // A palette to start the k-means passes from (the previous frame's, so colours do not
    // flicker); used when its refinement ends with no more error than Wu's cut.
    const std::vector<TColor>* Start = nullptr;
    int Passes = 4; // k-means passes
};

// At most MaxColors colours, most used first. The error it reports is the sum over the
// gathered cells of pixels x squared distance from the cell's mean to its colour.
std::vector<TColor> BestPalette(const TColorBins& bins, const TBestPaletteOptions& options, double* error = nullptr);

// Wu's cut alone (at most maxColors boxes of the 32 x 32 x 32 cube, each split where it
// lowers the variance most), with the same error measure.
std::vector<TColor> WuPalette(const TColorBins& bins, int maxColors, double* error = nullptr);
