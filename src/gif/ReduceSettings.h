// The palette and dithering choice a reduction uses, handed as a value to what reduces:
// the GIF optimizer window edits the one Create uses, a document keeps its own for the
// bitmaps it converts, the command line fills one from its options.
#pragma once

#include "ColorReduction.h"
#include "GIFTypes.h"

#include <functional>
#include <memory>
#include <string>

struct TReduceSettings {
    TColorReduction Palette = rmQuantizeWindows;
    int Bits = 8; // colours of the optimized palette: 2^Bits, 3..8
    TDitherMode Dither = dmFloydSteinberg;
};

// What a new document converts true-colour bitmaps with: the web palette, no dithering.
constexpr TReduceSettings kDocumentReduction{rmNetscape, 8, dmNearest};

// `bitmap` as a frame of an animation holds it: a true-colour bitmap becomes an 8-bit
// palette bitmap with the settings' palette and dithering; an 8-bit bitmap stays as it
// is; with rmNone it stays a 24-bit copy. The transparency flag is kept but plays no part
// in the reduction: the transparent colour is the reduced colour of the bottom-left
// pixel. Touches no global, so frames can be reduced on several threads at once.
TBitmap ReduceFrame(const TBitmap& bitmap, const TReduceSettings& settings, const TProgressFn& progress = nullptr);

// Frame i of an animation being reduced: a picture held for as long as the caller keeps
// the pointer (a frame of the strip, or one decoded from its file just now).
using TFrameSource = std::function<std::shared_ptr<const TBitmap>(int)>;
// A picture someone else keeps alive, handed out as a source's frame without a copy.
inline std::shared_ptr<const TBitmap> BorrowedFrame(const TBitmap& picture)
{
    return {std::shared_ptr<const TBitmap>(), &picture};
}

// Reduces frames 0..count-1 with ReduceFrame on every core (`threads` 0) or on
// `threads` threads. `source(i)` gives frame i and is called on worker threads: it must
// only read, and the bitmaps must stay unchanged during the call. `take(i, reduced)` runs
// on the calling thread for 0, 1, 2... in order. Every frame's reduction stands alone, so
// the results do not depend on the number of threads. A failed reduction is thrown when
// its frame's turn comes, after the frames before it were taken. The Best method goes
// through ReduceBestFramesInOrder (each frame's palette from the previous one, or with
// `onePalette` one palette for all frames, as a merged table wants; `source` is then
// called twice a frame); the other methods ignore `onePalette`. `finish(i, reduced)`,
// when given, runs on the worker right after frame i is reduced (work that need not wait
// for the frames before it), before the frame is taken.
void ReduceFramesInOrder(int count, const TFrameSource& source,
                         const TReduceSettings& settings, const std::function<void(int, TBitmap&)>& take,
                         int threads = 0, bool onePalette = false,
                         const std::function<void(int, TBitmap&)>& finish = nullptr);

// Command-line names of the palettes ("none", "windows-system", ..., "optimized-windows")
// and of the dithering engines ("nearest", "floyd-steinberg", ...). Parse returns false
// for an unknown name; the names of values outside the lists are "".
const char* PaletteName(TColorReduction method);
const char* DitherName(TDitherMode mode);
bool ParsePaletteName(const std::string& name, TColorReduction& method);
bool ParseDitherName(const std::string& name, TDitherMode& mode);
