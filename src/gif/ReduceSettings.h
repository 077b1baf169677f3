// The palette and dithering choice used whenever a frame is reduced for an animation: the
// GIF optimizer window edits it, every Create reads it, the command line fills it from
// its options.
#pragma once

#include "ColorReduction.h"
#include "GIFTypes.h"

#include <string>

struct TReduceSettings {
    TColorReduction Palette = rmQuantizeWindows;
    int Bits = 8; // colours of the optimized palette: 2^Bits, 3..8
    TDitherMode Dither = dmFloydSteinberg;
};

// The choice of the last reduction, kept for the callers that ask what was used.
extern TColorReduction SelectedColorReduction;
extern TDitherMode SelectedDitherMode;

// Reduces `bitmap` in place as a frame of an animation: a true-colour bitmap becomes an
// 8-bit palette bitmap with the settings' palette and dithering; an 8-bit bitmap stays as
// it is; with rmNone it stays a 24-bit copy. The choice becomes the process-wide default
// (DefaultColorReduction, DefaultDitherMode, DefaultReductionBits) and the selected one.
// The transparency flag is kept but plays no part in the reduction: the transparent
// colour is the reduced colour of the bottom-left pixel.
void ReduceFrameBitmap(TBitmap& bitmap, const TReduceSettings& settings, const TProgressFn& progress = nullptr);

// Command-line names of the palettes ("none", "windows-system", ..., "optimized-windows")
// and of the dithering engines ("nearest", "floyd-steinberg", ...). Parse returns false
// for an unknown name.
const char* PaletteName(TColorReduction method);
const char* DitherName(TDitherMode mode);
bool ParsePaletteName(const std::string& name, TColorReduction& method);
bool ParseDitherName(const std::string& name, TDitherMode& mode);
