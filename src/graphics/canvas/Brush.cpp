// Brush styles: solid colours and 8 x 8 hatch patterns aligned to the bitmap's origin, as Qt
// brushes and as our own not-xor fill.
#include "CanvasPrivate.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

std::uint64_t load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// dst[i] ^= src[i], eight bytes at a time.
void xorBytes(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t a = load64(dst + i);
        a ^= load64(src + i);
        std::memcpy(dst + i, &a, 8);
    }
    for (; i < n; ++i)
        dst[i] ^= src[i];
}

// A row of `width` pixels of ~color, in the bitmap's byte order.
std::vector<std::uint8_t> notXorPattern(TColor color, int width)
{
    std::vector<std::uint8_t> pattern(static_cast<std::size_t>(width) * 3);
    for (std::size_t k = 0; k < pattern.size(); k += 3) {
        pattern[k] = static_cast<std::uint8_t>(~GetBValue(color));
        pattern[k + 1] = static_cast<std::uint8_t>(~GetGValue(color));
        pattern[k + 2] = static_cast<std::uint8_t>(~GetRValue(color));
    }
    return pattern;
}

} // namespace

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
    // Not-xor with white leaves every pixel as it is.
    if (brush.Color() == clWhite)
        return;
    const QRect bounds = path.boundingRect().toAlignedRect().adjusted(-1, -1, 2, 2).intersected(
        QRect(0, 0, bmp.Width(), bmp.Height()));
    if (bounds.isEmpty())
        return;
    // One byte per pixel: 255 inside the figure, 0 outside.
    QImage mask(bounds.size(), QImage::Format_Grayscale8);
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
            mask.scanLine(q.y() - bounds.top())[q.x() - bounds.left()] = addEdge ? 255 : 0;
        }
    }
    // ~(p ^ c) is p ^ ~c: one row of ~c repeated, xor-ed over each run of the mask.
    const std::vector<std::uint8_t> pattern = notXorPattern(brush.Color(), bounds.width());
    const bool solid = brush.Style() == TBrushStyle::bsSolid;
    const int w = mask.width();
    for (int my = 0; my < mask.height(); ++my) {
        const std::uint8_t* m = mask.constScanLine(my);
        const int y = bounds.top() + my;
        std::uint8_t* row = bmp.ScanLine(y) + 3 * bounds.left();
        if (!solid) {
            for (int mx = 0; mx < w; ++mx) {
                if (!m[mx] || !HatchHit(brush.Style(), bounds.left() + mx, y))
                    continue;
                for (int k = 3 * mx; k < 3 * mx + 3; ++k)
                    row[k] ^= pattern[static_cast<std::size_t>(k)];
            }
            continue;
        }
        for (int mx = 0; mx < w;) {
            while (mx + 8 <= w && load64(m + mx) == 0)
                mx += 8;
            while (mx < w && !m[mx])
                ++mx;
            const int start = mx;
            while (mx + 8 <= w && load64(m + mx) == ~std::uint64_t(0))
                mx += 8;
            while (mx < w && m[mx])
                ++mx;
            xorBytes(row + 3 * start, pattern.data() + 3 * start, 3 * static_cast<std::size_t>(mx - start));
        }
    }
}

void NotXorFillRect(TBitmap& bmp, const QRect& rect, const TBrush& brush, const std::optional<QRegion>& clip)
{
    if (clip || brush.Style() != TBrushStyle::bsSolid) {
        QPainterPath path;
        path.addRect(QRectF(rect));
        NotXorFill(bmp, path, nullptr, QPen(Qt::NoPen), false, brush, clip);
        return;
    }
    const QRect r = rect.intersected(QRect(0, 0, bmp.Width(), bmp.Height()));
    if (r.isEmpty() || brush.Color() == clWhite)
        return;
    const std::vector<std::uint8_t> pattern = notXorPattern(brush.Color(), r.width());
    for (int y = r.top(); y <= r.bottom(); ++y)
        xorBytes(bmp.ScanLine(y) + 3 * r.left(), pattern.data(), pattern.size());
}

} // namespace canvasdetail
