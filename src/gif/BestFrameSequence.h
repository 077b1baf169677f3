// The Best method over the frames of an animation, in order. With a palette per frame each
// frame's palette starts from the one chosen for the frame before, so colours that stay
// in the picture keep their place and do not flicker; with one palette the colours of all
// frames are gathered first and every frame is written with the same palette.
#pragma once

#include "ColorReduction.h"
#include "ReduceSettings.h"

#include <functional>

// Frames 0..count-1 from `source(i)` (called on worker threads: once a frame with a
// palette per frame, twice with one palette, to gather colours and then to write), at
// most 2^bits colours, dithering `dither`; `take(i, reduced)` on the calling thread in
// order. The palettes are chosen in frame order, one at a time, while the gathering and
// the writing run on `threads` threads (0: one per core): the results never depend on
// the number of threads. Frames of 8 bits or
// fewer, and empty ones, pass unchanged. Errors are thrown at their frame's turn.
// `finish(i, reduced)` (when given) runs on the worker once frame i is written.
void ReduceBestFramesInOrder(int count, const TFrameSource& source, int bits, TDitherMode dither,
                             bool onePalette, const std::function<void(int, TBitmap&)>& take, int threads = 0,
                             const std::function<void(int, TBitmap&)>& finish = nullptr);
