// Internals shared by the canvas source files: the canvas state that is not part of the
// public header, the QImage view of the bitmap and the conversions to Qt's pens and brushes.
#pragma once

#include "Canvas.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRegion>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

struct TRegion::Impl {
    QRegion region;
};

struct TCanvas::Impl {
    std::optional<QRegion> clip; // bitmap coordinates
    bool recordingPath = false;
    QPainterPath path;          // integer coordinates, as the caller gave them
    bool pathReady = false;     // EndPath was called; the path waits to be stroked or filled
};

namespace canvasdetail {

inline QColor ToQColor(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// A QImage over the bitmap's own rows (no copy). The bitmap must be 24-bit and not empty.
inline QImage ImageOf(TBitmap& bmp)
{
    return QImage(bmp.Bits(), bmp.Width(), bmp.Height(), bmp.RowBytes(), QImage::Format_BGR888);
}

// True when (x, y) lies on the hatch lines of an 8 x 8 hatch pattern aligned to (0, 0);
// always for a solid brush, never for a clear one.
bool HatchHit(TBrushStyle style, int x, int y);
// Brush of Qt for a canvas brush; Qt::NoBrush for a clear one. Hatches paint only their
// lines, what lies between them shows through.
QBrush ToQBrush(const TBrush& brush);
// Not-xor fill of `path` with the brush, done by hand: the painter's raster operations
// would also invert the transparent gaps of a hatch, and a fill done apart from the outline
// would invert the pixels under both twice. The `edge` pixels, or else the path stroked with
// `edgePen`, are added to the figure when `addEdge` and cut out of it otherwise (where the
// pen goes).
void NotXorFill(TBitmap& bmp, const QPainterPath& path, const std::vector<QPoint>* edge, const QPen& edgePen,
                bool addEdge, const TBrush& brush, const std::optional<QRegion>& clip);
// The same for a rectangle of pixels; without a clip region and with a solid brush it
// goes straight over the rows.
void NotXorFillRect(TBitmap& bmp, const QRect& rect, const TBrush& brush, const std::optional<QRegion>& clip);
// Qt font for a canvas font: a negative height is the character (em) height, a positive
// one the cell height (ascent plus descent).
QFont ToQFont(const TFont& font);
QFont ToQFontWithHeight(const TFont& font, int height, bool strikeOut);

// Walks a line from (x0, y0) towards (x1, y1), the last pixel left out, calling `pixel`
// with each pixel inside a width x height bitmap and its step number; returns the number
// of steps of the whole line.
template <class PixelFn>
std::int64_t LinePixels(int x0, int y0, int x1, int y1, int width, int height, PixelFn&& pixel)
{
    // Steps of the usual integer line walk, computed directly for each step so that only
    // the steps over the bitmap are visited, however long the line.
    const std::int64_t dx = std::llabs(std::int64_t(x1) - x0), dy = std::llabs(std::int64_t(y1) - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const std::int64_t start = xMajor ? x0 : y0, limit = xMajor ? width : height;
    const int dir = xMajor ? sx : sy;
    // Steps i with start + dir * i inside [0, limit).
    std::int64_t i0 = 0, i1 = major;
    if (dir > 0) {
        i0 = std::max<std::int64_t>(i0, -start);
        i1 = std::min<std::int64_t>(i1, limit - start);
    } else {
        i0 = std::max<std::int64_t>(i0, start - limit + 1);
        i1 = std::min<std::int64_t>(i1, start + 1);
    }
    const std::int64_t e0 = major / 2;
    for (std::int64_t i = i0; i < i1; ++i) {
        const std::int64_t num = i * minor - e0;
        const std::int64_t k = num <= 0 ? 0 : (num + major - 1) / major;
        const std::int64_t a = start + dir * i;
        const std::int64_t b = (xMajor ? y0 : x0) + (xMajor ? sy : sx) * k;
        const std::int64_t x = xMajor ? a : b, y = xMajor ? b : a;
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixel(static_cast<int>(x), static_cast<int>(y), i);
    }
    return major;
}


} // namespace canvasdetail
