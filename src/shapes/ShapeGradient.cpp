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

// --- the pieces on a canvas ----------------------------------------------------------

int TScaledPrimitives::X(int x) const { return scaled(x, m_out.ScaleX, m_out.OffsetX); }
int TScaledPrimitives::Y(int y) const { return scaled(y, m_out.ScaleY, m_out.OffsetY); }

void TScaledPrimitives::Begin()
{
    m_canvas.Pen.Style = TPenStyle::psSolid;
    m_canvas.Pen.Mode = TPenMode::pmCopy;
    // The fill never strokes with the pen (it is clear for every outlined piece), so its
    // width does not change a pixel; one pixel keeps the canvas on its quickest path.
    m_canvas.Pen.Width = 1;
    m_canvas.Brush.SetStyle(TBrushStyle::bsSolid);
}

void TScaledPrimitives::SetBrushColor(TColor color) { m_canvas.Brush.SetColor(color); }

void TScaledPrimitives::SetPenClear(bool clear)
{
    m_canvas.Pen.Style = clear ? TPenStyle::psClear : TPenStyle::psSolid;
}

void TScaledPrimitives::FillRect(int x1, int y1, int x2, int y2)
{
    int l = X(x1), t = Y(y1), r = X(x2), b = Y(y2);
    if (r < l)
        std::swap(l, r);
    if (b < t)
        std::swap(t, b);
    m_canvas.FillRect(TRect(l, t, r, b));
}

void TScaledPrimitives::Rectangle(int x1, int y1, int x2, int y2) { m_canvas.Rectangle(X(x1), Y(y1), X(x2), Y(y2)); }

void TScaledPrimitives::Ellipse(int x1, int y1, int x2, int y2) { m_canvas.Ellipse(X(x1), Y(y1), X(x2), Y(y2)); }

void TScaledPrimitives::RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight)
{
    m_canvas.RoundRect(X(x1), Y(y1), X(x2), Y(y2), scaled(cornerWidth, m_out.ScaleX, 0),
                       scaled(cornerHeight, m_out.ScaleY, 0));
}

void TScaledPrimitives::Polygon(const std::vector<TPoint>& points)
{
    std::vector<TPoint> p;
    p.reserve(points.size());
    for (const TPoint& q : points)
        p.emplace_back(X(q.X), Y(q.Y));
    m_canvas.Polygon(p);
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

// The U of qgdUright at step i: the outer U of step i, then the inner U of step i + 1.
std::vector<TPoint> uRight(int i, int W, int H)
{
    const double dy = H / 2.0 / 255, dx = W / 255.0;
    return {{W - 1, tr(i * dy)},
            {tr(i * dx), tr(i * dy)},
            {tr(i * dx), tr(H - 1 - i * dy)},
            {W - 1, tr(H - 1 - i * dy)},
            {W - 1, tr(H - 1 - i * dy - dy)},
            {tr(dx + i * dx), tr(H - 1 - i * dy - dy)},
            {tr(dx + i * dx), tr(dy + i * dy)},
            {W - 1, tr(dy + i * dy)}};
}

// The U of qgdUUp: closed side from the bottom edge, arms from the side edges, all moving
// toward the middle of the top edge.
std::vector<TPoint> uUp(int i, int W, int H)
{
    const double dx = W / 2.0 / 255, dy = H / 255.0;
    return {{tr(i * dx), 0},
            {tr(i * dx), tr(H - 1 - i * dy)},
            {tr(W - 1 - i * dx), tr(H - 1 - i * dy)},
            {tr(W - 1 - i * dx), 0},
            {tr(W - 1 - i * dx - dx), 0},
            {tr(W - 1 - i * dx - dx), tr(H - 1 - i * dy - dy)},
            {tr(dx + i * dx), tr(H - 1 - i * dy - dy)},
            {tr(dx + i * dx), 0}};
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
            const int top = tr(H - 1 - i * dy), bottom = tr(H - 1 - i * dy - dy);
            if (direction == D::qgdLNE) {
                const int x0 = tr(i * dx), x1 = tr(dx + i * dx);
                pieces.Polygon({{x0, 0}, {x0, top}, {W - 1, top}, {W - 1, bottom}, {x1, bottom}, {x1, 0}});
            } else {
                const int x0 = tr(W - 1 - i * dx), x1 = tr(W - 1 - i * dx - dx);
                pieces.Polygon({{x0, 0}, {x0, top}, {0, top}, {0, bottom}, {x1, bottom}, {x1, 0}});
            }
        }
        break;
    }
    case D::qgdUpDown: {
        const double f = H / 255.0;
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            const double g = i * f;
            pieces.FillRect(0, tr(g), W / 2, tr(g + f));
            pieces.FillRect(W / 2, tr(H - 1 - g - f), W - 1, tr(H - 1 - g));
        }
        break;
    }
    case D::qgdLeftRight: {
        const double f = W / 255.0;
        for (int i = 0; i <= 255; ++i) {
            pieces.SetBrushColor(ramp.At(i, 255));
            const double g = i * f;
            pieces.FillRect(tr(g), 0, tr(g + f), H / 2);
            pieces.FillRect(tr(W - 1 - g - f), H / 2, tr(W - 1 - g), H - 1);
        }
        break;
    }
    }
    if (clearPen)
        pieces.SetPenClear(false);
}
