// Paths: MoveTo, LineTo, Polyline, Polygon and PolyBezier collect a path between BeginPath
// and EndPath; the path is then stroked, filled or both, and used up.
#include "CanvasPrivate.h"

using namespace canvasdetail;

void TCanvas::BeginPath()
{
    d->recordingPath = true;
    d->pathReady = false;
    d->path = QPainterPath();
}

void TCanvas::EndPath()
{
    if (!d->recordingPath)
        return;
    d->recordingPath = false;
    d->pathReady = true;
}

void TCanvas::StrokePath()
{
    if (!d->pathReady)
        return;
    d->pathReady = false;
    const QPainterPath path = d->path.translated(0.5, 0.5);
    d->path = QPainterPath();
    strokeOpen(path);
}

void TCanvas::FillPath()
{
    if (!d->pathReady)
        return;
    d->pathReady = false;
    // Filled in corner coordinates: the right and bottom edges are left out, as with a
    // polygon region.
    QPainterPath path = d->path;
    d->path = QPainterPath();
    path.setFillRule(PolyFillMode == TPolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    if (Brush.Style() == TBrushStyle::bsClear || !prepareSurface())
        return;
    if (Pen.Mode == TPenMode::pmNotXor && Brush.Style() != TBrushStyle::bsSolid) {
        NotXorFill(*m_bitmap, path, nullptr, QPen(Qt::NoPen), false, Brush, d->clip);
        return;
    }
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, true);
    p.fillPath(path, ToQBrush(Brush));
}

void TCanvas::StrokeAndFillPath()
{
    if (!d->pathReady)
        return;
    QPainterPath path = d->path;
    path.setFillRule(PolyFillMode == TPolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    d->pathReady = false;
    d->path = QPainterPath();
    drawFigure(path.translated(0.5, 0.5), true);
}
