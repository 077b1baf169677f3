#include "ReduceSettings.h"

#include "BestFrameSequence.h"
#include "OrderedParallel.h"

#include <algorithm>
#include <iterator>

namespace {

const char* const kPaletteNames[] = {"none",      "windows-system", "windows-halftone", "windows-grayscale",
                                     "monochrome", "grayscale",     "netscape",         "optimized",
                                     "optimized-windows", "", "best"};
const char* const kDitherNames[] = {"nearest", "floyd-steinberg", "stucki",  "sierra",
                                    "jajuni",  "stevenson-arce",  "burkes"};

} // namespace

TBitmap ReduceFrame(const TBitmap& bitmap, const TReduceSettings& settings, const TProgressFn& progress)
{
    // A 24-bit copy with rmNone: a table of more than 256 colours fails when the frame is built.
    if (bitmap.Empty() || bitmap.PixelFormat() == TPixelFormat::pf8bit || settings.Palette == rmNone)
        return bitmap;
    TBitmap reduced = ReduceColors(bitmap, settings.Palette, settings.Dither, std::clamp(settings.Bits, 3, 8), progress);
    reduced.SetTransparent(bitmap.Transparent());
    return reduced;
}

void ReduceFramesInOrder(int count, const TFrameSource& source,
                         const TReduceSettings& settings, const std::function<void(int, TBitmap&)>& take, int threads,
                         bool onePalette, const std::function<void(int, TBitmap&)>& finish)
{
    if (settings.Palette == rmBest)
        return ReduceBestFramesInOrder(count, source, settings.Bits, settings.Dither, onePalette, take, threads, finish);
    ForEachInOrder(
        count, threads,
        [&](int i) {
            TBitmap reduced = ReduceFrame(*source(i), settings);
            if (finish)
                finish(i, reduced);
            return reduced;
        },
        [&](int i, TBitmap& reduced) { take(i, reduced); });
}

const char* PaletteName(TColorReduction method)
{
    const int i = static_cast<int>(method);
    return i >= 0 && i < static_cast<int>(std::size(kPaletteNames)) ? kPaletteNames[i] : "";
}

const char* DitherName(TDitherMode mode)
{
    const int i = static_cast<int>(mode);
    return i >= 0 && i < static_cast<int>(std::size(kDitherNames)) ? kDitherNames[i] : "";
}

bool ParsePaletteName(const std::string& name, TColorReduction& method)
{
    for (int i = 0; i < static_cast<int>(std::size(kPaletteNames)); ++i)
        if (kPaletteNames[i][0] != '\0' && name == kPaletteNames[i]) {
            method = static_cast<TColorReduction>(i);
            return true;
        }
    return false;
}

bool ParseDitherName(const std::string& name, TDitherMode& mode)
{
    for (int i = 0; i < static_cast<int>(std::size(kDitherNames)); ++i)
        if (name == kDitherNames[i]) {
            mode = static_cast<TDitherMode>(i);
            return true;
        }
    return false;
}
