// The frame editor's zoom. Zoom is a view: the picture keeps the frame's pixels and the
// view shows each of them as a K x K block; the tools, the gadgets and the actors work in
// picture pixels. TZoom converts between the two, rounding down, so that every view pixel
// of a block, also left of or above the picture, belongs to that block's picture pixel.
#pragma once

#include "graphics/Types.h"

struct TZoom {
    int K = 1;

    // The factors the editor offers: x1, x2, x4.
    static bool Allowed(int k) { return k == 1 || k == 2 || k == 4; }

    int ToPicture(int view) const { return view >= 0 ? view / K : -((K - 1 - view) / K); }
    TPoint ToPicture(TPoint view) const { return TPoint(ToPicture(view.X), ToPicture(view.Y)); }
    int ToView(int picture) const { return picture * K; }
    TPoint ToView(TPoint picture) const { return TPoint(picture.X * K, picture.Y * K); }
    // A length on the view as picture pixels, to the nearest one.
    int LengthToPicture(int view) const { return (view + K / 2) / K; }
};
