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

#include <optional>

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

// True when (x, y) lies on the hatch lines of an 8 x 8 hatch pattern aligned to (0, 0).
bool HatchHit(TBrushStyle style, int x, int y);
// Brush of Qt for a canvas brush; Qt::NoBrush for a clear one. Hatches paint only their
// lines, what lies between them shows through.
QBrush ToQBrush(const TBrush& brush);
// Qt font for a canvas font: a negative height is the character (em) height, a positive
// one the cell height (ascent plus descent).
QFont ToQFont(const TFont& font);
QFont ToQFontWithHeight(const TFont& font, int height, bool strikeOut);

// The pixels of a line from (x0, y0) towards (x1, y1), the last pixel left out.
void LinePixels(int x0, int y0, int x1, int y1, std::vector<QPoint>& out);

} // namespace canvasdetail
