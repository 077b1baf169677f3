// QuickBack backdrops: procedural patterns computed from the pixel coordinates alone.
// Each byte of a pixel gets its own combination function of the row y and the column x
// (one of 41), plus an offset; a common factor parameterises most functions.
//
// The settings named red drive byte 0 of a pixel, which is its blue channel, and those
// named blue drive byte 2, the red channel. That is how a presets file's values are read,
// so a preset always gives the same picture.
#pragma once

#include "graphics/Bitmap.h"

#include <string>

constexpr int kQuickBackFunctionCount = 41;
// The factor the window's bar allows, and the range of a byte offset.
constexpr int kQuickBackMinFactor = 16;
constexpr int kQuickBackMaxFactor = 255;

struct TQuickBackSettings {
    int RedMode = 0; // indices into the function list, 0..40
    int GreenMode = 0;
    int BlueMode = 0;
    int RedOffset = 0; // 0..255
    int GreenOffset = 0;
    int BlueOffset = 0;
    int Factor = 255; // 16..255

    friend bool operator==(const TQuickBackSettings&, const TQuickBackSettings&) = default;
};

// Name of function `mode` ("Prod", "Sum", ... "DrawXor"); "" outside 0..40.
const char* QuickBackFunctionName(int mode);
// A function by its name (letter case ignored) or by its index as a number; -1 when
// neither matches.
int FindQuickBackFunction(const std::string& text);

// f(y, x) of function `mode` as a 32-bit integer (only its low byte is used): the
// reference the fast generator is checked against. Mode outside 0..40 gives 0; factors
// below 1 count as 1.
int QuickBackValue(int mode, int y, int x, const TQuickBackSettings& settings);

// Fills `dest` (its size stays; it becomes 24-bit) with the backdrop: byte 0 of each pixel
// (fRed(y, x) + RedOffset) mod 256, byte 1 from green, byte 2 from blue. Throws
// EInvalidArgument for a mode outside 0..40 or a factor outside 1..255.
void GenerateQuickBack(TBitmap& dest, const TQuickBackSettings& settings);
