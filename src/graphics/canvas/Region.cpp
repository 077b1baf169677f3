// Regions: rectangles are exact; curved and polygonal regions are scan-converted from their
// outline, a pixel belonging to the region when its centre lies inside (so the right and
// bottom edges stay out, as with a fill).
#include "CanvasPrivate.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Regions reach no further than this from the origin; it keeps scan conversion of wild
// coordinates bounded in time and memory.
constexpr int kReach = 1 << 20;

QRegion regionFromPath(const QPainterPath& path)
{
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    double top = 1e300, bottom = -1e300;
    for (const QPolygonF& poly : path.toSubpathPolygons()) {
        for (qsizetype i = 0; i < poly.size(); ++i) {
            const QPointF a = poly[i], b = poly[(i + 1) % poly.size()];
            if (a.y() == b.y())
                continue;
            edges.push_back(a.y() < b.y() ? Edge{a.x(), a.y(), b.x(), b.y(), 1} : Edge{b.x(), b.y(), a.x(), a.y(), -1});
            top = std::min(top, std::min(a.y(), b.y()));
            bottom = std::max(bottom, std::max(a.y(), b.y()));
        }
    }
    if (edges.empty())
        return QRegion();
    const bool winding = path.fillRule() == Qt::WindingFill;
    const int y0 = static_cast<int>(std::clamp(std::floor(top - 0.5), double(-kReach), double(kReach)));
    const int y1 = static_cast<int>(std::clamp(std::ceil(bottom), double(-kReach), double(kReach)));
    // Edges sorted by their top; the active ones are those crossing the current row.
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    std::size_t next = 0;
    std::vector<const Edge*> active;
    std::vector<QRect> runs;
    std::vector<std::pair<double, int>> crossings;
    std::vector<std::pair<int, int>> row, band; // pixel runs [left, right) of a row
    int bandBottom = y0 - 1;
    for (int y = y0; y < y1; ++y) {
        const double yc = y + 0.5;
        while (next < edges.size() && edges[next].y0 <= yc)
            active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [yc](const Edge* e) { return e->y1 <= yc; }),
                     active.end());
        if (active.empty()) {
            if (next == edges.size())
                break;
            // Nothing until the next edge starts.
            y = std::max(y, static_cast<int>(std::clamp(std::ceil(edges[next].y0 - 0.5), double(-kReach), double(kReach))) - 1);
            continue;
        }
        crossings.clear();
        for (const Edge* e : active)
            crossings.emplace_back(e->x0 + (yc - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0), e->dir);
        std::sort(crossings.begin(), crossings.end());
        int count = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            count += winding ? crossings[i].second : 1;
            const bool inside = winding ? count != 0 : (count & 1) != 0;
            if (!inside)
                continue;
            // Pixels whose centres lie in [xa, xb).
            const double xa = std::clamp(std::ceil(crossings[i].first - 0.5), double(-kReach), double(kReach));
            const double xb = std::clamp(std::ceil(crossings[i + 1].first - 0.5), double(-kReach), double(kReach));
            if (xb <= xa)
                continue;
            const int left = static_cast<int>(xa);
            if (!row.empty() && row.back().second >= left)
                row.back().second = std::max(row.back().second, static_cast<int>(xb));
            else
                row.emplace_back(left, static_cast<int>(xb));
        }
        // A row like the one above makes the band above one row taller.
        if (!row.empty() && row == band && bandBottom == y) {
            for (std::size_t i = runs.size() - band.size(); i < runs.size(); ++i)
                runs[i].setBottom(y);
            ++bandBottom;
        } else if (!row.empty()) {
            for (const auto& [l, r] : row)
                runs.emplace_back(l, y, r - l, 1);
            band = row;
            bandBottom = y + 1;
        }
        row.clear();
    }
    QRegion r;
    if (!runs.empty())
        r.setRects(runs.data(), static_cast<int>(runs.size()));
    return r;
}

// The box of a region call in double precision, so that no corner can overflow.
QRectF box(int x1, int y1, int x2, int y2)
{
    if (x2 < x1)
        std::swap(x1, x2);
    if (y2 < y1)
        std::swap(y1, y2);
    return QRectF(QPointF(x1, y1), QPointF(x2, y2));
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
    const QRectF b = box(x1, y1, x2, y2);
    if (b.isEmpty())
        return r;
    auto reach = [](double v) { return static_cast<int>(std::clamp(v, double(-kReach), double(kReach))); };
    r.d->region = QRegion(QRect(QPoint(reach(b.left()), reach(b.top())), QPoint(reach(b.right()) - 1, reach(b.bottom()) - 1)));
    return r;
}

TRegion TRegion::Ellipse(int x1, int y1, int x2, int y2)
{
    TRegion r;
    const QRectF b = box(x1, y1, x2, y2);
    if (b.isEmpty())
        return r;
    QPainterPath path;
    path.addEllipse(b);
    r.d->region = regionFromPath(path);
    return r;
}

TRegion TRegion::RoundRect(int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight)
{
    TRegion r;
    const QRectF b = box(x1, y1, x2, y2);
    if (b.isEmpty())
        return r;
    const double rx = std::min(std::abs(ellipseWidth) / 2.0, b.width() / 2.0);
    const double ry = std::min(std::abs(ellipseHeight) / 2.0, b.height() / 2.0);
    QPainterPath path;
    if (rx <= 0 || ry <= 0)
        path.addRect(b);
    else
        path.addRoundedRect(b, rx, ry);
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

std::vector<TRect> TRegion::Rects() const
{
    std::vector<TRect> out;
    out.reserve(static_cast<std::size_t>(d->region.rectCount()));
    for (const QRect& r : d->region)
        out.emplace_back(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return out;
}
