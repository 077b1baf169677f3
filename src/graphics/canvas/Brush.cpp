// Brush styles as Qt brushes: solid colours and 8 x 8 hatch patterns aligned to the
// bitmap's origin.
#include "CanvasPrivate.h"

namespace canvasdetail {

bool HatchHit(TBrushStyle style, int x, int y)
{
    const int cx = x & 7, cy = y & 7;
    switch (style) {
    case TBrushStyle::bsHorizontal: return cy == 0;
    case TBrushStyle::bsVertical: return cx == 0;
    case TBrushStyle::bsFDiagonal: return cx == cy;          // runs down to the right
    case TBrushStyle::bsBDiagonal: return cx + cy == 7;      // runs up to the right
    case TBrushStyle::bsCross: return cx == 0 || cy == 0;
    case TBrushStyle::bsDiagCross: return cx == cy || cx + cy == 7;
    case TBrushStyle::bsSolid: return true;
    case TBrushStyle::bsClear: return false;
    }
    return false;
}

QBrush ToQBrush(const TBrush& brush)
{
    switch (brush.Style()) {
    case TBrushStyle::bsSolid: return QBrush(ToQColor(brush.Color()));
    case TBrushStyle::bsClear: return QBrush(Qt::NoBrush);
    default: break;
    }
    // One tile of the pattern: hatch lines in the brush colour, the rest fully transparent.
    QImage tile(8, 8, QImage::Format_ARGB32);
    const QRgb ink = qRgb(GetRValue(brush.Color()), GetGValue(brush.Color()), GetBValue(brush.Color()));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, HatchHit(brush.Style(), x, y) ? ink : 0u);
    return QBrush(tile);
}

} // namespace canvasdetail
