// The spotlight's mask: black, with a white filled ellipse inscribed in `rect` whose
// 1-pixel outline is black. `mask` is 24-bit and keeps its size.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Types.h"

namespace qorFX::detail {

void DrawSpotMask(TBitmap& mask, const TRect& rect);

} // namespace qorFX::detail
