#include "ShapeGradient.h"

#include "graphics/NumberRules.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

int scaled(int v, double scale, int offset)
{
    const double s = std::clamp(v * scale, -double(kShapeCoordLimit), double(kShapeCoordLimit));
    return static_cast<int>(Round(s)) + offset;
}

int tr(double v) { return static_cast<int>(std::trunc(v)); }

} // namespace

// --- the pieces in a bitmap ------------------------------------------------------------

struct TGradientRaster::Piece {
    enum class Kind { Box, Ellipse, RoundRect, Polygon } kind = Kind::Box;
    TColor color = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // box, normalised; for polygons their bounds
    int cw = 0, ch = 0;                 // corner size of a rounded rectangle
    // Polygon edges, going down: x at row y is x0 + (y - y0) * slope for y0 <= y < y1.
    struct Edge {
        int y0, y1;
        double x0, slope;
    };
    std::vector<Edge> edges;
    std::vector<TPoint> points; // polygon vertices
};

namespace {

using Span = std::pair<int, int>; // pixels [first, second)
using Piece = TGradientRaster::Piece;

// Pieces have at most kMaxPieceVertices vertices, so the spans of a row fit in a few
// fixed slots: one per vertex, one per level edge, one per pair of crossings.
constexpr std::size_t kMaxPieceVertices = 16;

template <class T, std::size_t N>
struct TSmallList {
    T items[N];
    std::size_t count = 0;
    void clear() { count = 0; }
    void push(T v) { items[count++] = v; }
    const T* begin() const { return items; }
    const T* end() const { return items + count; }
};
using TSpanList = TSmallList<Span, 3 * kMaxPieceVertices>;
using TCrossingList = TSmallList<double, kMaxPieceVertices>;

// Pixels [a, b] whose centres lie between two edges of a figure, from the edges' x at the
// row's centre.
void addCentreSpan(TSpanList& out, double left, double right)
{
    const double a = std::ceil(left - 0.5), b = std::floor(right - 0.5);
    if (b >= a)
        out.push({static_cast<int>(a), static_cast<int>(b) + 1});
}

// The spans of one piece on row y.
void pieceSpans(const Piece& p, int y, TSpanList& out, TCrossingList& crossings)
{
    out.clear();
    switch (p.kind) {
    case Piece::Kind::Box: out.push({p.x1, p.x2}); return;
    case Piece::Kind::Ellipse: {
        const double rx = (p.x2 - p.x1) / 2.0, ry = (p.y2 - p.y1) / 2.0;
        const double t = (y + 0.5 - (p.y1 + ry)) / ry;
        if (t < -1 || t > 1)
            return;
        const double half = rx * std::sqrt(1 - t * t), cx = p.x1 + rx;
        addCentreSpan(out, cx - half, cx + half);
        return;
    }
    case Piece::Kind::RoundRect: {
        const double rx = std::min(std::abs(p.cw) / 2.0, (p.x2 - p.x1) / 2.0);
        const double ry = std::min(std::abs(p.ch) / 2.0, (p.y2 - p.y1) / 2.0);
        const double py = y + 0.5;
        double d = 0;
        if (py < p.y1 + ry)
            d = (p.y1 + ry - py) / ry;
        else if (py > p.y2 - ry)
            d = (py - (p.y2 - ry)) / ry;
        const double inset = rx - rx * std::sqrt(std::max(0.0, 1 - d * d));
        addCentreSpan(out, p.x1 + inset, p.x2 - inset);
        return;
    }
    case Piece::Kind::Polygon: {
        // Vertices stand at pixel centres, so pixel (x, y) is sampled at (x, y); edges and
        // vertices count as inside. Each edge crosses the rows from its top vertex down to
        // the row before its bottom vertex; vertices and level edges are added as spans of
        // their own.
        crossings.clear();
        for (const Piece::Edge& e : p.edges)
            if (y >= e.y0 && y < e.y1) {
                // Kept sorted as they come: there are only a few.
                const double x = e.x0 + (y - e.y0) * e.slope;
                std::size_t i = crossings.count++;
                for (; i > 0 && crossings.items[i - 1] > x; --i)
                    crossings.items[i] = crossings.items[i - 1];
                crossings.items[i] = x;
            }
        const std::size_t n = p.points.size();
        for (std::size_t i = 0; i < n; ++i) {
            const TPoint a = p.points[i];
            if (a.Y != y)
                continue;
            const TPoint b = p.points[(i + 1) % n];
            if (b.Y == y)
                out.push({std::min(a.X, b.X), std::max(a.X, b.X) + 1});
            else
                out.push({a.X, a.X + 1});
        }
        for (std::size_t i = 0; i + 1 < crossings.count; i += 2) {
            const double a = std::ceil(crossings.items[i]), b = std::floor(crossings.items[i + 1]);
            if (b >= a)
                out.push({static_cast<int>(a), static_cast<int>(b) + 1});
        }
        return;
    }
    }
}

// Pixels already laid on one row, as sorted spans that neither overlap nor touch. A row
// rarely holds more than a few, so they are walked by index.
class TRowCover {
public:
    bool Full(int width) const { return m_spans.size() == 1 && m_spans[0].first <= 0 && m_spans[0].second >= width; }

    // Calls paint(a, b) for each part of [a, b) not covered yet, then covers [a, b).
    template <class Paint>
    void Lay(int a, int b, Paint&& paint)
    {
        const std::size_t n = m_spans.size();
        const Span* s = m_spans.data();
        std::size_t first = 0;
        while (first < n && s[first].second < a)
            ++first;
        int x = a;
        std::size_t last = first;
        for (; last < n && s[last].first <= b; ++last) {
            if (s[last].first > x)
                paint(x, s[last].first);
            x = std::max(x, s[last].second);
        }
        if (x < b)
            paint(x, b);
        // [a, b) joins the spans first..last-1, which it touches.
        if (last == first) {
            m_spans.insert(m_spans.begin() + static_cast<std::ptrdiff_t>(first), {a, b});
            return;
        }
        const int lo = std::min(a, s[first].first), hi = std::max(b, s[last - 1].second);
        m_spans[first] = {lo, hi};
        if (last > first + 1)
            m_spans.erase(m_spans.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                          m_spans.begin() + static_cast<std::ptrdiff_t>(last));
    }

private:
    std::vector<Span> m_spans;
};

} // namespace

TGradientRaster::TGradientRaster(TBitmap& target, const TRegion& clip, const TShapeOutput& output)
    : m_target(target), m_clip(clip), m_out(output)
{
    m_pieces.reserve(1024);
}

TGradientRaster::~TGradientRaster() = default;

int TGradientRaster::X(int x) const { return scaled(x, m_out.ScaleX, m_out.OffsetX); }
int TGradientRaster::Y(int y) const { return scaled(y, m_out.ScaleY, m_out.OffsetY); }

void TGradientRaster::add(Piece piece)
{
    piece.color = m_color;
    if (piece.kind != Piece::Kind::Polygon) {
        if (piece.x2 < piece.x1)
            std::swap(piece.x1, piece.x2);
        if (piece.y2 < piece.y1)
            std::swap(piece.y1, piece.y2);
        if (piece.x2 <= piece.x1 || piece.y2 <= piece.y1)
            return;
        // Boxes too thin to have an inside are all edge, as the canvas draws them.
        if (piece.x2 - piece.x1 <= 2 || piece.y2 - piece.y1 <= 2)
            piece.kind = Piece::Kind::Box;
    }
    m_pieces.push_back(std::move(piece));
}

void TGradientRaster::FillRect(int x1, int y1, int x2, int y2)
{
    Piece p;
    p.x1 = X(x1), p.y1 = Y(y1), p.x2 = X(x2), p.y2 = Y(y2);
    add(std::move(p));
}

void TGradientRaster::Rectangle(int x1, int y1, int x2, int y2) { FillRect(x1, y1, x2, y2); }

void TGradientRaster::Ellipse(int x1, int y1, int x2, int y2)
{
    Piece p;
    p.kind = Piece::Kind::Ellipse;
    p.x1 = X(x1), p.y1 = Y(y1), p.x2 = X(x2), p.y2 = Y(y2);
    add(std::move(p));
}

void TGradientRaster::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight)
{
    Piece p;
    p.kind = Piece::Kind::RoundRect;
    p.x1 = X(x1), p.y1 = Y(y1), p.x2 = X(x2), p.y2 = Y(y2);
    p.cw = scaled(cornerWidth, m_out.ScaleX, 0);
    p.ch = scaled(cornerHeight, m_out.ScaleY, 0);
    if (p.cw == 0 || p.ch == 0)
        p.kind = Piece::Kind::Box;
    add(std::move(p));
}

void TGradientRaster::Polygon(const std::vector<TPoint>& points)
{
    if (points.empty() || points.size() > kMaxPieceVertices)
        return;
    Piece p;
    p.kind = Piece::Kind::Polygon;
    p.x1 = p.y1 = kShapeCoordLimit;
    p.x2 = p.y2 = -kShapeCoordLimit;
    p.points.reserve(points.size());
    p.edges.reserve(points.size());
    for (const TPoint& q : points) {
        const TPoint s(X(q.X), Y(q.Y));
        p.points.push_back(s);
        p.x1 = std::min(p.x1, s.X), p.y1 = std::min(p.y1, s.Y);
        p.x2 = std::max(p.x2, s.X + 1), p.y2 = std::max(p.y2, s.Y + 1);
    }
    for (std::size_t i = 0; i < p.points.size(); ++i) {
        const TPoint a = p.points[i], b = p.points[(i + 1) % p.points.size()];
        if (a.Y == b.Y)
            continue;
        const TPoint& top = a.Y < b.Y ? a : b;
        const TPoint& bottom = a.Y < b.Y ? b : a;
        p.edges.push_back({top.Y, bottom.Y, double(top.X), double(bottom.X - top.X) / (bottom.Y - top.Y)});
    }
    add(std::move(p));
}

void TGradientRaster::End()
{
    if (m_target.Empty() || m_pieces.empty())
        return;
    m_target.SetPixelFormat(TPixelFormat::pf24bit);
    const int width = m_target.Width(), height = m_target.Height();
    // Rows the clip reaches; outside the clip every pixel counts as laid already.
    int top = height, bottom = 0;
    const std::vector<TRect> clipRects = m_clip.Rects();
    for (const TRect& r : clipRects) {
        top = std::min(top, std::max(r.Top, 0));
        bottom = std::max(bottom, std::min(r.Bottom, height));
    }
    if (top >= bottom)
        return;
    std::vector<TRowCover> rows(static_cast<std::size_t>(bottom - top));
    {
        std::vector<std::vector<Span>> inside(rows.size());
        for (const TRect& r : clipRects)
            for (int y = std::max(r.Top, top); y < std::min(r.Bottom, bottom); ++y)
                inside[static_cast<std::size_t>(y - top)].emplace_back(std::max(r.Left, 0), std::min(r.Right, width));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::vector<Span>& s = inside[i];
            std::sort(s.begin(), s.end());
            int x = 0;
            auto none = [](int, int) {};
            for (const Span& span : s) {
                if (span.first > x)
                    rows[i].Lay(x, span.first, none);
                x = std::max(x, span.second);
            }
            if (x < width)
                rows[i].Lay(x, width, none);
        }
    }
    TSpanList spans;
    TCrossingList crossings;
    for (std::size_t k = m_pieces.size(); k-- > 0;) {
        const Piece& p = m_pieces[k];
        const std::uint8_t b = static_cast<std::uint8_t>(GetBValue(p.color));
        const std::uint8_t g = static_cast<std::uint8_t>(GetGValue(p.color));
        const std::uint8_t r = static_cast<std::uint8_t>(GetRValue(p.color));
        for (int y = std::max(p.y1, top); y < std::min(p.y2, bottom); ++y) {
            TRowCover& row = rows[static_cast<std::size_t>(y - top)];
            if (row.Full(width))
                continue;
            pieceSpans(p, y, spans, crossings);
            std::uint8_t* line = m_target.ScanLine(y);
            for (const Span& s : spans) {
                const int a = std::clamp(s.first, 0, width), e = std::clamp(s.second, 0, width);
                if (a >= e)
                    continue;
                row.Lay(a, e, [&](int from, int to) {
                    for (std::uint8_t* px = line + 3 * from; px < line + 3 * to; px += 3) {
                        px[0] = b;
                        px[1] = g;
                        px[2] = r;
                    }
                });
            }
        }
    }
}

// --- colours ---------------------------------------------------------------------------

TColor TGradientRamp::At(int i, int divisor) const
{
    auto channel = [&](int s, int e) { return s + MulDiv(i, e - s, divisor); };
    return RGB(channel(GetRValue(Start), GetRValue(End)), channel(GetGValue(Start), GetGValue(End)),
               channel(GetBValue(Start), GetBValue(End)));
}

TGradientRamp GradientRamp(TColor brushColor, TColor gradientColor, TqorFillDirection direction)
{
    using D = TqorFillDirection;
    // Colours are plain RGB here; the high byte carries nothing.
    brushColor &= 0xFFFFFF;
    gradientColor &= 0xFFFFFF;
    const bool reversed = direction == D::qgdDown || direction == D::qgdRight || direction == D::qgdRectOut
                          || direction == D::qgdCircOut;
    return reversed ? TGradientRamp{gradientColor, brushColor} : TGradientRamp{brushColor, gradientColor};
}

// --- the directions ----------------------------------------------------------------------

namespace {

using D = TqorFillDirection;

// Diagonal band i of qgdNWSE, measured from the top-left corner: between the lines
// x + y = d0 and x + y = d1. A band that turns a corner of the area takes the corner as a
// vertex, so the bands tile the area without gaps.
std::vector<TPoint> diagonalBand(double d0, double d1, int W, int H)
{
    auto topRight = [&](double d) { return d < W ? TPoint(tr(d), 0) : TPoint(W - 1, tr(d - W)); };
    auto leftBottom = [&](double d) { return d < H ? TPoint(0, tr(d)) : TPoint(tr(d - H), H - 1); };
    std::vector<TPoint> p;
    p.push_back(topRight(d0));
    if (d0 < W && d1 >= W)
        p.emplace_back(W - 1, 0);
    p.push_back(topRight(d1));
    p.push_back(leftBottom(d1));
    if (d0 < H && d1 >= H)
        p.emplace_back(0, H - 1);
    p.push_back(leftBottom(d0));
    return p;
}

void mirror(std::vector<TPoint>& points, bool horizontally, bool vertically, int W, int H)
{
    for (TPoint& p : points) {
        if (horizontally)
            p.X = W - 1 - p.X;
        if (vertically)
            p.Y = H - 1 - p.Y;
    }
}

void nestedFrames(TGradientPieces& pieces, const TGradientRamp& ramp, int W, int H, bool ellipses)
{
    const double stepX = W / 2.0 / 255, stepY = H / 2.0 / 255;
    double ax = 0, ay = 0;
    for (int i = 0; i <= 255; ++i) {
        ax += stepX;
        ay += stepY;
        pieces.SetBrushColor(ramp.At(i, 255));
        if (ellipses)
            pieces.Ellipse(tr(ax), tr(ay), tr(W + 2 - ax), tr(H + 2 - ay));
        else
            pieces.FillRect(tr(ax), tr(ay), tr(W + 2 - ax), tr(H + 2 - ay));
    }
}

// Columns (or rows) from both edges to the middle. With fewer than two columns there is no
// ramp to lay out (its divisor would be 0): the area takes the end colour.
void centreBands(TGradientPieces& pieces, const TGradientRamp& ramp, int W, int H, bool columns)
{
    const int n = (columns ? W : H) / 2;
    if (n == 0) {
        pieces.SetBrushColor(ramp.End);
        pieces.FillRect(0, 0, W, H);
        return;
    }
    for (int i = 0; i <= n; ++i) {
        pieces.SetBrushColor(ramp.At(i, n));
        if (columns) {
            pieces.FillRect(i, 0, i + 1, H);
            pieces.FillRect(W - i, 0, W - i - 1, H);
        } else {
            pieces.FillRect(0, i, W, i + 1);
            pieces.FillRect(0, H - i, W, H - i - 1);
        }
    }
}

// Band edges: the inner edge of step i is computed exactly as the outer edge of step i + 1
// ((i + 1) * d rather than d + i * d, which can round to the other side of a whole pixel),
// so neighbouring bands meet without a gap.

// The U of qgdUright at step i: the outer U of step i, then the inner U of step i + 1.
std::vector<TPoint> uRight(int i, int W, int H)
{
    const double dy = H / 2.0 / 255, dx = W / 255.0;
    const int j = i + 1;
    return {{W - 1, tr(i * dy)},
            {tr(i * dx), tr(i * dy)},
            {tr(i * dx), tr(H - 1 - i * dy)},
            {W - 1, tr(H - 1 - i * dy)},
            {W - 1, tr(H - 1 - j * dy)},
            {tr(j * dx), tr(H - 1 - j * dy)},
            {tr(j * dx), tr(j * dy)},
            {W - 1, tr(j * dy)}};
}

// The U of qgdUUp: closed side from the bottom edge, arms from the side edges, all moving
// toward the middle of the top edge.
std::vector<TPoint> uUp(int i, int W, int H)
{
    const double dx = W / 2.0 / 255, dy = H / 255.0;
    const int j = i + 1;
    return {{tr(i * dx), 0},
            {tr(i * dx), tr(H - 1 - i * dy)},
            {tr(W - 1 - i * dx), tr(H - 1 - i * dy)},
            {tr(W - 1 - i * dx), 0},
            {tr(W - 1 - j * dx), 0},
            {tr(W - 1 - j * dx), tr(H - 1 - j * dy)},
            {tr(j * dx), tr(H - 1 - j * dy)},
            {tr(j * dx), 0}};
}

void roundedAndElliptic(TGradientPieces& pieces, const TGradientRamp& ramp, int W, int H, bool modulo)
{
    const double dx = W / 2.0 / 255, dy = H / 2.0 / 255;
    bool rounded = false;
    for (int i = 0; i <= 255; ++i) {
        pieces.SetBrushColor(ramp.At(i, 255));
        const int x1 = tr(i * dx), y1 = tr(i * dy), x2 = tr(W - i * dx), y2 = tr(H - 1 - i * dy);
        const int cw = i == 0 ? 0 : tr(W - 2 * i * dx) / 4;
        const int ch = i == 0 ? 0 : tr(H - 2 * i * dy) / 4;
        if (modulo) {
            if (i % 10 == 0)
                rounded = !rounded;
        } else {
            rounded = i <= 62;
        }
        if (rounded)
            pieces.RoundRect(x1, y1, x2, y2, cw, ch);
        else
            pieces.Ellipse(x1, y1, x2, y2);
    }
}

} // namespace

void PaintGradient(TGradientPieces& pieces, TColor brushColor, TColor gradientColor, TqorFillDirection direction,
                   int W, int H)
{
    const TGradientRamp ramp = GradientRamp(brushColor, gradientColor, direction);
    pieces.Begin();
    const bool clearPen = !(direction == D::qgdUp || direction == D::qgdDown || direction == D::qgdLeft
                            || direction == D::qgdRight || direction == D::qgdHorizCenter
                            || direction == D::qgdVertCenter);
    if (clearPen)
        pieces.SetPenClear(true);
    switch (direction) {
    case D::qgdUp:
    case D::qgdDown:
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            pieces.FillRect(0, MulDiv(i, H, 256), W, MulDiv(i + 1, H, 256));
        }
        break;
    case D::qgdLeft:
    case D::qgdRight:
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            pieces.FillRect(MulDiv(i, W, 256), 0, MulDiv(i + 1, W, 256), H);
        }
        break;
    case D::qgdRectOut:
    case D::qgdRectIn: nestedFrames(pieces, ramp, W, H, false); break;
    case D::qgdCircOut:
    case D::qgdCircIn: nestedFrames(pieces, ramp, W, H, true); break;
    case D::qgdHorizCenter: centreBands(pieces, ramp, W, H, true); break;
    case D::qgdVertCenter: centreBands(pieces, ramp, W, H, false); break;
    case D::qgdNWSE:
    case D::qgdNESW:
    case D::qgdSENW:
    case D::qgdSWNE: {
        // 255 bands: the last one is a step short of the end colour.
        const double s = (W + H) / 255.0;
        const bool flipX = direction == D::qgdNESW || direction == D::qgdSENW;
        const bool flipY = direction == D::qgdSENW || direction == D::qgdSWNE;
        for (int i = 0; i <= 254; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            std::vector<TPoint> band = diagonalBand(i * s, (i + 1) * s, W, H);
            mirror(band, flipX, flipY, W, H);
            pieces.Polygon(band);
        }
        break;
    }
    case D::qgdUright:
    case D::qgdULeft:
    case D::qgdUUp:
    case D::qgdUDown:
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            std::vector<TPoint> band = direction == D::qgdUright || direction == D::qgdULeft ? uRight(i, W, H) : uUp(i, W, H);
            mirror(band, direction == D::qgdULeft, direction == D::qgdUDown, W, H);
            pieces.Polygon(band);
        }
        break;
    case D::qgdRCMix: roundedAndElliptic(pieces, ramp, W, H, false); break;
    case D::qgdRCModulo: roundedAndElliptic(pieces, ramp, W, H, true); break;
    case D::qgdQuatro:
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            const double f = double(i) * W / 4 / 255, g = double(i) * H / 4 / 255;
            const double xa = W / 2 + 1 - f, ya = H / 2 + 1 - g, xb = f + W / 2 - 1, yb = g + H / 2 - 1;
            pieces.Rectangle(tr(f), tr(g), tr(xa), tr(ya));
            pieces.Rectangle(tr(xb), tr(g), tr(W - 1 - f), tr(ya));
            pieces.Rectangle(tr(f), tr(yb), tr(xa), tr(H - 1 - g));
            pieces.Rectangle(tr(xb), tr(yb), tr(W - 1 - f), tr(H - 1 - g));
        }
        break;
    case D::qgdDuo:
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            const double f = double(i) * W / 4 / 255, g = double(i) * H / 2 / 255;
            pieces.Rectangle(tr(f), tr(g), tr(W / 2 + 1 - f), tr(H - 1 - g));
            pieces.Rectangle(tr(f + W / 2 - 1), tr(g), tr(W - 1 - f), tr(H - 1 - g));
        }
        break;
    case D::qgdLNE:
    case D::qgdLNW: {
        const double dx = W / 255.0, dy = H / 255.0;
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            const int top = tr(H - 1 - i * dy), bottom = tr(H - 1 - (i + 1) * dy);
            if (direction == D::qgdLNE) {
                const int x0 = tr(i * dx), x1 = tr((i + 1) * dx);
                pieces.Polygon({{x0, 0}, {x0, top}, {W - 1, top}, {W - 1, bottom}, {x1, bottom}, {x1, 0}});
            } else {
                const int x0 = tr(W - 1 - i * dx), x1 = tr(W - 1 - (i + 1) * dx);
                pieces.Polygon({{x0, 0}, {x0, top}, {0, top}, {0, bottom}, {x1, bottom}, {x1, 0}});
            }
        }
        break;
    }
    case D::qgdUpDown: {
        const double f = H / 255.0;
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            const double g = i * f, next = (i + 1) * f;
            pieces.FillRect(0, tr(g), W / 2, tr(next));
            pieces.FillRect(W / 2, tr(H - 1 - next), W - 1, tr(H - 1 - g));
        }
        break;
    }
    case D::qgdLeftRight: {
        const double f = W / 255.0;
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            const double g = i * f, next = (i + 1) * f;
            pieces.FillRect(tr(g), 0, tr(next), H / 2);
            pieces.FillRect(tr(W - 1 - next), H / 2, tr(W - 1 - g), H - 1);
        }
        break;
    }
    }
    if (clearPen)
        pieces.SetPenClear(false);
    pieces.End();
}
