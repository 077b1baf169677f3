// Regions: rectangles are exact; curved and polygonal regions are rasterised with the same
// aliased fill the canvas draws with, so a region covers exactly the pixels a fill would.
#include "CanvasPrivate.h"

#include <QPolygonF>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Beyond this many pixels of bounding box a region is taken from the polygon outline
// instead of a raster mask, so wild coordinates cannot make us allocate without bound.
constexpr std::int64_t kMaxMaskPixels = std::int64_t(1) << 24;

QRegion regionFromPath(const QPainterPath& path)
{
    const QRect bounds = path.boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    if (bounds.isEmpty())
        return QRegion();
    if (static_cast<std::int64_t>(bounds.width()) * bounds.height() > kMaxMaskPixels)
        return QRegion(path.toFillPolygon().toPolygon(), path.fillRule());
    QImage mask(bounds.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(-bounds.left(), -bounds.top());
        p.fillPath(path, Qt::white);
    }
    // One rectangle per run of a row, sorted by row then column, as setRects wants.
    std::vector<QRect> runs;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        int x = 0;
        while (x < mask.width()) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.width() && row[x])
                ++x;
            runs.emplace_back(bounds.left() + start, bounds.top() + y, x - start, 1);
        }
    }
    QRegion r;
    if (!runs.empty())
        r.setRects(runs.data(), static_cast<int>(runs.size()));
    return r;
}

QRect box(int x1, int y1, int x2, int y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    return QRect(x1, y1, x2 - x1, y2 - y1);
}

} // namespace

TRegion::TRegion() : d(std::make_unique<Impl>()) {}
TRegion::~TRegion() = default;
TRegion::TRegion(const TRegion& other) : d(std::make_unique<Impl>(*other.d)) {}

TRegion& TRegion::operator=(const TRegion& other)
{
    if (this != &other)
        *d = *other.d;
    return *this;
}

TRegion TRegion::Rect(int x1, int y1, int x2, int y2)
{
    TRegion r;
    const QRect b = box(x1, y1, x2, y2);
    if (!b.isEmpty())
        r.d->region = QRegion(b);
    return r;
}

TRegion TRegion::Ellipse(int x1, int y1, int x2, int y2)
{
    TRegion r;
    const QRect b = box(x1, y1, x2, y2);
    if (b.isEmpty())
        return r;
    QPainterPath path;
    path.addEllipse(QRectF(b));
    r.d->region = regionFromPath(path);
    return r;
}

TRegion TRegion::RoundRect(int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight)
{
    TRegion r;
    const QRect b = box(x1, y1, x2, y2);
    if (b.isEmpty())
        return r;
    const double rx = std::min(std::abs(ellipseWidth) / 2.0, b.width() / 2.0);
    const double ry = std::min(std::abs(ellipseHeight) / 2.0, b.height() / 2.0);
    if (rx <= 0 || ry <= 0) {
        r.d->region = QRegion(b);
        return r;
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(b), rx, ry);
    r.d->region = regionFromPath(path);
    return r;
}

TRegion TRegion::Polygon(const std::vector<TPoint>& points, TPolyFillMode mode)
{
    TRegion r;
    if (points.size() < 3)
        return r;
    QPolygonF poly;
    for (const TPoint& p : points)
        poly << QPointF(p.X, p.Y);
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    path.setFillRule(mode == TPolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
    r.d->region = regionFromPath(path);
    return r;
}

TRegion TRegion::Combined(const TRegion& other, Op op) const
{
    TRegion r;
    const QRegion& a = d->region;
    const QRegion& b = other.d->region;
    switch (op) {
    case Op::Union: r.d->region = a.united(b); break;
    case Op::Intersect: r.d->region = a.intersected(b); break;
    case Op::Xor: r.d->region = a.xored(b); break;
    case Op::Diff: r.d->region = a.subtracted(b); break;
    }
    return r;
}

void TRegion::Offset(int dx, int dy)
{
    d->region.translate(dx, dy);
}

bool TRegion::Contains(int x, int y) const
{
    return d->region.contains(QPoint(x, y));
}

bool TRegion::IsEmpty() const
{
    return d->region.isEmpty();
}
