// Brush styles: solid colours and 8 x 8 hatch patterns aligned to the bitmap's origin, as Qt
// brushes and as our own not-xor fill.
#include "CanvasPrivate.h"

#include <cstdint>

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

// The figure is drawn into a mask first, with its edge added or cut out, then the brush's
// pixels inside it are inverted with the brush colour.
void NotXorFill(TBitmap& bmp, const QPainterPath& path, const std::vector<QPoint>* edge, const QPen& edgePen,
                bool addEdge, const TBrush& brush, const std::optional<QRegion>& clip)
{
    const QRect bounds = path.boundingRect().toAlignedRect().adjusted(-1, -1, 2, 2).intersected(
        QRect(0, 0, bmp.Width(), bmp.Height()));
    if (bounds.isEmpty())
        return;
    QImage mask(bounds.size(), QImage::Format_RGB32);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(-bounds.left(), -bounds.top());
        if (clip)
            p.setClipRegion(*clip);
        p.fillPath(path, Qt::white);
        if (!edge && edgePen.style() != Qt::NoPen) {
            QPen pen = edgePen;
            pen.setColor(addEdge ? Qt::white : Qt::black);
            p.strokePath(path, pen);
        }
    }
    if (edge) {
        for (const QPoint& q : *edge) {
            if (!bounds.contains(q) || (addEdge && clip && !clip->contains(q)))
                continue;
            mask.setPixel(q - bounds.topLeft(), addEdge ? 0xFFFFFFFFu : 0xFF000000u);
        }
    }
    const std::uint8_t cb = static_cast<std::uint8_t>(GetBValue(brush.Color()));
    const std::uint8_t cg = static_cast<std::uint8_t>(GetGValue(brush.Color()));
    const std::uint8_t cr = static_cast<std::uint8_t>(GetRValue(brush.Color()));
    for (int my = 0; my < mask.height(); ++my) {
        const QRgb* m = reinterpret_cast<const QRgb*>(mask.constScanLine(my));
        const int y = bounds.top() + my;
        std::uint8_t* row = bmp.ScanLine(y);
        for (int mx = 0; mx < mask.width(); ++mx) {
            const int x = bounds.left() + mx;
            if (!(m[mx] & 0xFFFFFF) || !HatchHit(brush.Style(), x, y))
                continue;
            std::uint8_t* px = row + 3 * x;
            px[0] = static_cast<std::uint8_t>(~(px[0] ^ cb));
            px[1] = static_cast<std::uint8_t>(~(px[1] ^ cg));
            px[2] = static_cast<std::uint8_t>(~(px[2] ^ cr));
        }
    }
}

} // namespace canvasdetail
