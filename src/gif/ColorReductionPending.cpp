// Stand-in for the colour reduction until the real quantizer lands: 24-bit copies for
// rmNone, exact palettes for pictures of at most 256 colours.
#include "ColorReduction.h"

#include "graphics/Exception.h"

#include <unordered_map>

TBitmap ReduceColors(const TBitmap& source, TColorReduction method, TDitherMode, int, const TProgressFn&)
{
    TBitmap result = source;
    if (method == rmNone) {
        result.SetPixelFormat(TPixelFormat::pf24bit);
        return result;
    }
    if (source.PixelFormat() == TPixelFormat::pf8bit)
        return result;
    std::unordered_map<TColor, int> seen;
    for (int y = 0; y < source.Height() && seen.size() <= 256; ++y)
        for (int x = 0; x < source.Width() && seen.size() <= 256; ++x)
            seen.emplace(source.Pixel(x, y), 0);
    if (seen.size() > 256)
        throw EInvalidGraphic("Colour reduction is not available");
    result.SetPixelFormat(TPixelFormat::pf8bit);
    return result;
}
