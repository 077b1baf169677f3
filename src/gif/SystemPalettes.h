// The fixed palettes of the colour reduction methods.
#pragma once

#include "graphics/Types.h"

#include <vector>

// The 20 static colours of the Windows system palette, in its order: the first ten are
// the dark VGA colours, light gray, money green and sky blue; the last ten cream, medium
// gray, dark gray and the bright VGA colours up to white.
const std::vector<TColor>& Windows20Palette();

// The 256-colour halftone palette: the first ten static colours, the 6 x 6 x 6 cube in
// Netscape order (entry 10 + 36r + 6g + b = (51r, 51g, 51b)), twenty grays
// (k * 255 / 21 rounded, k = 1..20, none of which lies on the cube) and the last ten
// static colours.
const std::vector<TColor>& HalftonePalette();

// Grays 0, 128, 192, 255 in this order.
const std::vector<TColor>& WindowsGrayPalette();

// Black, white.
const std::vector<TColor>& MonochromePalette();

// Entry i = (i, i, i).
const std::vector<TColor>& GrayScalePalette();

// Entry 36r + 6g + b = (51r, 51g, 51b) for r, g, b = 0..5.
const std::vector<TColor>& NetscapePalette();
