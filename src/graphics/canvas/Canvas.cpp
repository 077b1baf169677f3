// Pen, brush and the line and figure primitives of TCanvas.
#include "CanvasPrivate.h"

#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

using namespace canvasdetail;

namespace {

// Dash patterns of the one-pixel styled pens, in pixels: on, off, on, off...
const std::vector<int>& dashPattern(TPenStyle style)
{
    static const std::vector<int> none;
    static const std::vector<int> dash{18, 6};
    static const std::vector<int> dot{3, 3};
    static const std::vector<int> dashDot{9, 6, 3, 6};
    static const std::vector<int> dashDotDot{9, 3, 3, 3, 3, 3};
    switch (style) {
    case TPenStyle::psDash: return dash;
    case TPenStyle::psDot: return dot;
    case TPenStyle::psDashDot: return dashDot;
    case TPenStyle::psDashDotDot: return dashDotDot;
    default: return none;
    }
}

// Normalised box of a figure; false when it covers no pixel.
bool normaliseBox(int& x1, int& y1, int& x2, int& y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    return x2 > x1 && y2 > y1;
}

// The figure box in pixel-centre coordinates: its outline runs through the centres of
// the first and the last pixel column and row, so the outline stays inside the box.
// An inside-frame pen of width w moves the outline in far enough to keep the whole pen
// inside.
QRectF centredBox(int x1, int y1, int x2, int y2, const TPen& pen)
{
    double inset = 0.5;
    if (pen.Style == TPenStyle::psInsideFrame && pen.Width > 1)
        inset = pen.Width / 2.0;
    const double w = std::max(0.0, (double(x2) - x1) - 2 * inset);
    const double h = std::max(0.0, (double(y2) - y1) - 2 * inset);
    return QRectF(x1 + inset, y1 + inset, w, h);
}

// Angle of the ellipse parameter at which the radial through (x, y) meets the ellipse,
// in degrees, counter-clockwise on screen.
double radialAngle(const QRectF& box, int x, int y)
{
    const double rx = std::max(box.width() / 2.0, 0.5);
    const double ry = std::max(box.height() / 2.0, 0.5);
    const QPointF c = box.center();
    const double dx = (x + 0.5 - c.x()) / rx;
    const double dy = (y + 0.5 - c.y()) / ry;
    if (dx == 0 && dy == 0)
        return 0;
    return std::atan2(-dy, dx) * 180.0 / M_PI;
}

// Counter-clockwise sweep from a to b in (0, 360]; equal angles make a full turn.
double ccwSweep(double a, double b)
{
    double s = std::fmod(b - a, 360.0);
    if (s <= 1e-9)
        s += 360.0;
    return s;
}

QPointF centre(TPoint p) { return QPointF(p.X + 0.5, p.Y + 0.5); }

// The rectangle with edges far outside the bitmap moved to just outside it: its outline
// over the bitmap stays the same and loops over it stay short.
TRect nearBitmap(const TRect& r, const TBitmap& b)
{
    return TRect(std::clamp(r.Left, -1, b.Width() + 1), std::clamp(r.Top, -1, b.Height() + 1),
                 std::clamp(r.Right, -1, b.Width() + 1), std::clamp(r.Bottom, -1, b.Height() + 1));
}

} // namespace


TCanvas::TCanvas(TBitmap& bitmap) : d(std::make_unique<Impl>()), m_bitmap(&bitmap) {}

TCanvas::~TCanvas() = default;

bool TCanvas::prepareSurface()
{
    if (m_bitmap->PixelFormat() != TPixelFormat::pf24bit)
        m_bitmap->SetPixelFormat(TPixelFormat::pf24bit);
    return !m_bitmap->Empty();
}

void TCanvas::setupPainter(QPainter& p, bool penMode) const
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setBrushOrigin(0, 0);
    if (d->clip)
        p.setClipRegion(*d->clip);
    if (penMode && Pen.Mode == TPenMode::pmNotXor)
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
}

bool TCanvas::clipAllows(int x, int y) const
{
    return !d->clip || d->clip->contains(QPoint(x, y));
}

QPen TCanvas::qtPen() const
{
    if (Pen.Style == TPenStyle::psClear)
        return QPen(Qt::NoPen);
    if (Pen.Width <= 1) {
        QPen pen(ToQColor(Pen.Color), 0);
        pen.setCosmetic(true);
        const std::vector<int>& dashes = dashPattern(Pen.Style);
        if (!dashes.empty()) {
            QList<qreal> pattern(dashes.begin(), dashes.end());
            pen.setDashPattern(pattern);
        }
        return pen;
    }
    // Wide pens are solid whatever their style, with round ends and joins.
    return QPen(ToQColor(Pen.Color), Pen.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Pixels of one-pixel lines through the points (closed: back to the first point), each
// segment without its last pixel; with a styled pen only the pixels of its dashes, the
// pattern running on along the whole line.
static std::vector<QPoint> styledLinePixels(const std::vector<TPoint>& points, bool closed, TPenStyle style,
                                            const TBitmap& bmp)
{
    const std::vector<int>& dashes = dashPattern(style);
    int period = 0;
    for (int n : dashes)
        period += n;
    std::vector<QPoint> pixels;
    std::int64_t base = 0;
    auto segment = [&](TPoint a, TPoint b) {
        base += LinePixels(a.X, a.Y, b.X, b.Y, bmp.Width(), bmp.Height(), [&](int x, int y, std::int64_t i) {
            if (period) {
                int pos = static_cast<int>((base + i) % period);
                std::size_t part = 0;
                while (pos >= dashes[part])
                    pos -= dashes[part++];
                if (part % 2)
                    return;
            }
            pixels.emplace_back(x, y);
        });
    };
    for (std::size_t i = 1; i < points.size(); ++i)
        segment(points[i - 1], points[i]);
    if (closed)
        segment(points.back(), points.front());
    return pixels;
}

// Writes single pixels straight into the rows: the colour (only on the lines of a hatch
// pattern), or in not-xor mode the inverted exclusive-or with it; within the clip.
void TCanvas::plotPixels(const std::vector<QPoint>& pixels, TColor color, TBrushStyle pattern) const
{
    const std::uint8_t cb = static_cast<std::uint8_t>(GetBValue(color));
    const std::uint8_t cg = static_cast<std::uint8_t>(GetGValue(color));
    const std::uint8_t cr = static_cast<std::uint8_t>(GetRValue(color));
    const bool notXor = Pen.Mode == TPenMode::pmNotXor;
    for (const QPoint& q : pixels) {
        const int x = q.x(), y = q.y();
        if (x < 0 || y < 0 || x >= m_bitmap->Width() || y >= m_bitmap->Height() || !HatchHit(pattern, x, y)
            || !clipAllows(x, y))
            continue;
        std::uint8_t* px = m_bitmap->ScanLine(y) + 3 * x;
        if (notXor) {
            px[0] = static_cast<std::uint8_t>(~(px[0] ^ cb));
            px[1] = static_cast<std::uint8_t>(~(px[1] ^ cg));
            px[2] = static_cast<std::uint8_t>(~(px[2] ^ cr));
        } else {
            px[0] = cb;
            px[1] = cg;
            px[2] = cr;
        }
    }
}

// The pixels of a path (in pixel-centre coordinates) stroked with a one-pixel pen, as a
// set: every pixel once, so that not-xor drawing and brush-coloured edges can use it. The
// first point of each subpath is added, as the stroker may leave it out.
static std::vector<QPoint> pathPixels(const QPainterPath& centred, const QPen& pen, const TBitmap& bmp)
{
    const QRect bounds = centred.boundingRect().toAlignedRect().adjusted(-2, -2, 2, 2).intersected(
        QRect(0, 0, bmp.Width(), bmp.Height()));
    std::vector<QPoint> out;
    if (bounds.isEmpty())
        return out;
    // One byte per pixel; the outline is found by skipping the empty parts eight bytes at
    // a time, as it covers little of its box.
    QImage mask(bounds.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(-bounds.left(), -bounds.top());
        QPen white = pen;
        white.setColor(Qt::white);
        p.strokePath(centred, white);
    }
    const int w = mask.width(), h = mask.height();
    for (const QPolygonF& poly : centred.toSubpathPolygons()) {
        if (poly.isEmpty())
            continue;
        const double x = std::floor(poly.first().x()) - bounds.left(), y = std::floor(poly.first().y()) - bounds.top();
        if (x >= 0 && y >= 0 && x < w && y < h)
            mask.scanLine(static_cast<int>(y))[static_cast<int>(x)] = 255;
    }
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = mask.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            if (x + 8 <= w) {
                std::uint64_t eight;
                std::memcpy(&eight, row + x, 8);
                if (eight == 0) {
                    x += 7;
                    continue;
                }
            }
            if (row[x])
                out.emplace_back(bounds.left() + x, bounds.top() + y);
        }
    }
    return out;
}

void TCanvas::drawFigure(const QPainterPath& centred, bool filled)
{
    if (!prepareSurface())
        return;
    const bool thinPen = Pen.Width <= 1;
    const bool penOn = Pen.Style != TPenStyle::psClear;
    const bool brushOn = filled && Brush.Style() != TBrushStyle::bsClear;
    // One-pixel outlines are found here as a set of pixels; without a pen the brush takes
    // the outline's pixels, so that the fill reaches as far as the outline would have.
    std::vector<QPoint> edge;
    if (penOn ? thinPen : brushOn) {
        QPen solid(Qt::white, 0);
        solid.setCosmetic(true);
        edge = pathPixels(centred, penOn ? qtPen() : solid, *m_bitmap);
    }
    if (brushOn && Pen.Mode == TPenMode::pmNotXor) {
        // Fill and outline must not overlap here, or the pixels under both come out as before.
        const bool wide = penOn && !thinPen;
        NotXorFill(*m_bitmap, centred, wide ? nullptr : &edge, wide ? qtPen() : QPen(Qt::NoPen), !penOn, Brush, d->clip);
    } else if (brushOn) {
        {
            QImage img = ImageOf(*m_bitmap);
            QPainter p(&img);
            setupPainter(p, true);
            p.fillPath(centred, ToQBrush(Brush));
        }
        if (!penOn)
            plotPixels(edge, Brush.Color(), Brush.Style());
    }
    if (!penOn)
        return;
    if (thinPen) {
        plotPixels(edge, Pen.Color, TBrushStyle::bsSolid);
        return;
    }
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, true);
    p.strokePath(centred, qtPen());
}

void TCanvas::strokeOpen(const QPainterPath& centred)
{
    if (Pen.Style == TPenStyle::psClear || !prepareSurface())
        return;
    if (Pen.Width <= 1) {
        plotPixels(pathPixels(centred, qtPen(), *m_bitmap), Pen.Color, TBrushStyle::bsSolid);
        return;
    }
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, true);
    p.strokePath(centred, qtPen());
}

void TCanvas::drawLines(const std::vector<TPoint>& points)
{
    if (points.size() < 2 || Pen.Style == TPenStyle::psClear || !prepareSurface())
        return;
    if (Pen.Width <= 1) {
        plotPixels(styledLinePixels(points, false, Pen.Style, *m_bitmap), Pen.Color, TBrushStyle::bsSolid);
        return;
    }
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, true);
    QPolygonF poly;
    for (const TPoint& pt : points)
        poly << centre(pt);
    p.setPen(qtPen());
    p.drawPolyline(poly);
}

void TCanvas::MoveTo(int x, int y)
{
    PenPos = TPoint(x, y);
    if (d->recordingPath)
        d->path.moveTo(x, y);
}

void TCanvas::LineTo(int x, int y)
{
    const TPoint from = PenPos;
    PenPos = TPoint(x, y);
    if (d->recordingPath) {
        if (d->path.elementCount() == 0)
            d->path.moveTo(from.X, from.Y);
        d->path.lineTo(x, y);
        return;
    }
    drawLines({from, TPoint(x, y)});
}

// A box too thin to have an inside is all outline: the pen covers it (or, without a pen,
// the brush). True when it was drawn that way.
bool TCanvas::drawThinBox(int x1, int y1, int x2, int y2)
{
    if ((double(x2) - x1 > 2 && double(y2) - y1 > 2) || Pen.Width > 1 || !prepareSurface())
        return false;
    const bool pen = Pen.Style != TPenStyle::psClear;
    if (!pen && Brush.Style() == TBrushStyle::bsClear)
        return true;
    const TRect r = IntersectRect(TRect(x1, y1, x2, y2), TRect(0, 0, m_bitmap->Width(), m_bitmap->Height()));
    if (r.IsEmpty())
        return true;
    if (!pen && Pen.Mode == TPenMode::pmNotXor && Brush.Style() != TBrushStyle::bsSolid) {
        QPainterPath path;
        path.addRect(QRectF(r.Left, r.Top, r.Width(), r.Height()));
        NotXorFill(*m_bitmap, path, nullptr, QPen(Qt::NoPen), false, Brush, d->clip);
        return true;
    }
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, true);
    p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), pen ? QBrush(ToQColor(Pen.Color)) : ToQBrush(Brush));
    return true;
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (!normaliseBox(x1, y1, x2, y2) || drawThinBox(x1, y1, x2, y2))
        return;
    if (Pen.Width > 1) {
        QPainterPath path;
        path.addRect(centredBox(x1, y1, x2, y2, Pen));
        drawFigure(path, true);
        return;
    }
    // One-pixel pen: the box's inside and its four edges as rectangles, none overlapping.
    if (!prepareSurface() || IntersectRect(TRect(x1, y1, x2, y2), TRect(0, 0, m_bitmap->Width(), m_bitmap->Height())).IsEmpty())
        return;
    const bool pen = Pen.Style != TPenStyle::psClear;
    const TRect box = nearBitmap(TRect(x1, y1, x2, y2), *m_bitmap);
    const TRect inside = pen ? TRect(box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1) : box;
    if (Brush.Style() != TBrushStyle::bsClear && !inside.IsEmpty()) {
        if (Pen.Mode == TPenMode::pmNotXor) {
            // Our own not-xor fill: the painter's raster operations on 24-bit rows are slow.
            NotXorFillRect(*m_bitmap, QRect(inside.Left, inside.Top, inside.Width(), inside.Height()), Brush, d->clip);
        } else {
            QImage img = ImageOf(*m_bitmap);
            QPainter p(&img);
            setupPainter(p, true);
            p.fillRect(QRect(inside.Left, inside.Top, inside.Width(), inside.Height()), ToQBrush(Brush));
        }
    }
    if (!pen)
        return;
    if (Pen.Style != TPenStyle::psSolid && Pen.Style != TPenStyle::psInsideFrame) {
        const std::vector<TPoint> corners{{x1, y1}, {x2 - 1, y1}, {x2 - 1, y2 - 1}, {x1, y2 - 1}};
        plotPixels(styledLinePixels(corners, true, Pen.Style, *m_bitmap), Pen.Color, TBrushStyle::bsSolid);
        return;
    }
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, true);
    const QColor ink = ToQColor(Pen.Color);
    p.fillRect(QRect(box.Left, box.Top, box.Width(), 1), ink);
    p.fillRect(QRect(box.Left, box.Bottom - 1, box.Width(), 1), ink);
    p.fillRect(QRect(box.Left, box.Top + 1, 1, box.Height() - 2), ink);
    p.fillRect(QRect(box.Right - 1, box.Top + 1, 1, box.Height() - 2), ink);
}

void TCanvas::FillRect(const TRect& rect)
{
    if (rect.IsEmpty() || Brush.Style() == TBrushStyle::bsClear || !prepareSurface())
        return;
    const TRect r = IntersectRect(rect, TRect(0, 0, m_bitmap->Width(), m_bitmap->Height()));
    if (r.IsEmpty())
        return;
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, false);
    p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQBrush(Brush));
}

void TCanvas::FrameRect(const TRect& rect)
{
    if (rect.IsEmpty() || Brush.Style() == TBrushStyle::bsClear || !prepareSurface())
        return;
    const TRect r = nearBitmap(rect, *m_bitmap);
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, false);
    const QBrush brush = ToQBrush(Brush);
    // Four edges that do not overlap, so every frame pixel is painted once.
    p.fillRect(QRect(r.Left, r.Top, r.Width(), 1), brush);
    if (r.Height() > 1)
        p.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), brush);
    if (r.Height() > 2) {
        p.fillRect(QRect(r.Left, r.Top + 1, 1, r.Height() - 2), brush);
        if (r.Width() > 1)
            p.fillRect(QRect(r.Right - 1, r.Top + 1, 1, r.Height() - 2), brush);
    }
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight)
{
    if (!normaliseBox(x1, y1, x2, y2) || drawThinBox(x1, y1, x2, y2))
        return;
    const QRectF box = centredBox(x1, y1, x2, y2, Pen);
    const double rx = std::clamp(std::abs(ellipseWidth) / 2.0, 0.0, box.width() / 2.0);
    const double ry = std::clamp(std::abs(ellipseHeight) / 2.0, 0.0, box.height() / 2.0);
    QPainterPath path;
    if (rx <= 0 || ry <= 0)
        path.addRect(box);
    else
        path.addRoundedRect(box, rx, ry);
    drawFigure(path, true);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    if (!normaliseBox(x1, y1, x2, y2) || drawThinBox(x1, y1, x2, y2))
        return;
    QPainterPath path;
    path.addEllipse(centredBox(x1, y1, x2, y2, Pen));
    drawFigure(path, true);
}

namespace {

// The arc of the ellipse in `box`, counter-clockwise from the radial through (x3, y3) to
// the radial through (x4, y4); a pie starts it at the centre.
QPainterPath arcPath(const QRectF& box, int x3, int y3, int x4, int y4, bool fromCentre)
{
    const double a = radialAngle(box, x3, y3);
    QPainterPath path;
    if (fromCentre)
        path.moveTo(box.center());
    else
        path.arcMoveTo(box, a);
    path.arcTo(box, a, ccwSweep(a, radialAngle(box, x4, y4)));
    return path;
}

} // namespace

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    if (!normaliseBox(x1, y1, x2, y2))
        return;
    strokeOpen(arcPath(centredBox(x1, y1, x2, y2, Pen), x3, y3, x4, y4, false));
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    if (!normaliseBox(x1, y1, x2, y2))
        return;
    QPainterPath path = arcPath(centredBox(x1, y1, x2, y2, Pen), x3, y3, x4, y4, true);
    path.closeSubpath();
    drawFigure(path, true);
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    if (!normaliseBox(x1, y1, x2, y2))
        return;
    QPainterPath path = arcPath(centredBox(x1, y1, x2, y2, Pen), x3, y3, x4, y4, false);
    path.closeSubpath();
    drawFigure(path, true);
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    if (points.size() < 2)
        return;
    if (d->recordingPath) {
        d->path.moveTo(points[0].X, points[0].Y);
        for (std::size_t i = 1; i < points.size(); ++i)
            d->path.lineTo(points[i].X, points[i].Y);
        d->path.closeSubpath();
        return;
    }
    QPainterPath path;
    path.setFillRule(PolyFillMode == TPolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    path.moveTo(centre(points[0]));
    for (std::size_t i = 1; i < points.size(); ++i)
        path.lineTo(centre(points[i]));
    path.closeSubpath();
    drawFigure(path, true);
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    if (points.size() < 2)
        return;
    if (d->recordingPath) {
        d->path.moveTo(points[0].X, points[0].Y);
        for (std::size_t i = 1; i < points.size(); ++i)
            d->path.lineTo(points[i].X, points[i].Y);
        return;
    }
    drawLines(points);
}

void TCanvas::PolyBezier(const std::vector<TPoint>& points)
{
    if (points.size() < 4 || points.size() % 3 != 1)
        return;
    QPainterPath path;
    const double off = d->recordingPath ? 0.0 : 0.5;
    auto at = [off](TPoint pt) { return QPointF(pt.X + off, pt.Y + off); };
    path.moveTo(at(points[0]));
    for (std::size_t i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(at(points[i]), at(points[i + 1]), at(points[i + 2]));
    if (d->recordingPath)
        d->path.addPath(path);
    else
        strokeOpen(path);
}

TColor TCanvas::Pixel(int x, int y) const
{
    return m_bitmap->Pixel(x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (!prepareSurface() || !clipAllows(x, y))
        return;
    m_bitmap->SetPixel(x, y, color);
}

void TCanvas::DrawFocusRect(const TRect& rect)
{
    if (rect.IsEmpty() || !prepareSurface())
        return;
    const TRect r = nearBitmap(rect, *m_bitmap);
    // Every other pixel of the outline is inverted, each exactly once, so a second call
    // restores the picture.
    auto invert = [this](int x, int y) {
        if (x < 0 || y < 0 || x >= m_bitmap->Width() || y >= m_bitmap->Height() || ((x + y) & 1) || !clipAllows(x, y))
            return;
        std::uint8_t* px = m_bitmap->ScanLine(y) + 3 * x;
        px[0] ^= 0xFF;
        px[1] ^= 0xFF;
        px[2] ^= 0xFF;
    };
    for (int x = r.Left; x < r.Right; ++x) {
        invert(x, r.Top);
        if (r.Bottom - 1 > r.Top)
            invert(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        invert(r.Left, y);
        if (r.Right - 1 > r.Left)
            invert(r.Right - 1, y);
    }
}

void TCanvas::SetClipRegion(const TRegion* region)
{
    if (region)
        d->clip = region->impl().region;
    else
        d->clip.reset();
}
