// The Best palette of a picture or of a whole animation: the exact colours when they fit,
// otherwise Wu's variance-minimising cut of the colour cube refined by k-means passes.
#pragma once

#include "ColorBins.h"

#include <vector>

struct TBestPaletteOptions {
    int MaxColors = 256;
    // A palette to start the k-means passes from (the previous frame's, so colours do not
    // flicker). Its refinement is kept unless its error per pixel passes twice StartError
    // (what it had on its own frame: the picture changed) and Wu's cut does better.
    const std::vector<TColor>* Start = nullptr;
    double StartError = 0;
    int Passes = 3; // k-means passes
};

// At most MaxColors colours, most used first. The error it reports is the mean over the
// pixels of the squared distance from their cell's mean to its colour.
std::vector<TColor> BestPalette(const TColorBins& bins, const TBestPaletteOptions& options, double* error = nullptr);

// Wu's cut alone (at most maxColors boxes of the 32 x 32 x 32 cube, each split where it
// lowers the variance most), with the error as the sum over pixels.
std::vector<TColor> WuPalette(const TColorBins& bins, int maxColors, double* error = nullptr);
