#include "ShapeGeometry.h"

#include "graphics/NumberRules.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

int clampCoord(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(Round(std::clamp(v, -double(kShapeCoordLimit), double(kShapeCoordLimit))));
}

using Kind = TShapePrimitive::Kind;
using Op = TRegion::Op;

TShapePrimitive box4(Kind kind, int x1, int y1, int x2, int y2)
{
    TShapePrimitive p;
    p.kind = kind;
    p.v = {x1, y1, x2, y2, 0, 0, 0, 0};
    return p;
}

TShapePrimitive rect(int x1, int y1, int x2, int y2) { return box4(Kind::Rectangle, x1, y1, x2, y2); }
TShapePrimitive ellipse(int x1, int y1, int x2, int y2) { return box4(Kind::Ellipse, x1, y1, x2, y2); }

TShapePrimitive roundRect(int x1, int y1, int x2, int y2, int cw, int ch)
{
    TShapePrimitive p = box4(Kind::RoundRect, x1, y1, x2, y2);
    p.v[4] = cw;
    p.v[5] = ch;
    return p;
}

TShapePrimitive pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    TShapePrimitive p;
    p.kind = Kind::Pie;
    p.v = {x1, y1, x2, y2, x3, y3, x4, y4};
    return p;
}

TShapePrimitive polygon(std::vector<TPoint> points)
{
    TShapePrimitive p;
    p.kind = Kind::Polygon;
    p.points = std::move(points);
    return p;
}

// Figures whose outline is one primitive and whose region is that same primitive.
TShapeFigure single(TShapePrimitive p)
{
    TShapeFigure f;
    f.outline.push_back(p);
    f.clip.push_back({Op::Union, std::move(p)});
    return f;
}

TShapeFigure same(std::vector<TPoint> points) { return single(polygon(std::move(points))); }

// Several outline primitives whose regions combine with one operation.
TShapeFigure combined(Op op, std::vector<TShapePrimitive> parts)
{
    TShapeFigure f;
    f.outline = parts;
    for (TShapePrimitive& p : parts)
        f.clip.push_back({op, std::move(p)});
    return f;
}

// A polygon outline with another polygon (the silhouette) as its region.
TShapeFigure outlined(std::vector<TPoint> outline, std::vector<TPoint> silhouette)
{
    TShapeFigure f;
    f.outline.push_back(polygon(std::move(outline)));
    f.clip.push_back({Op::Union, polygon(std::move(silhouette))});
    return f;
}

TShapeFigure userFigure(const TShapeBox& b, const std::vector<TUserPoint>& userPoints, bool polyLineMode)
{
    // Points far outside the box are held a fixed distance away: what lies beyond is cut
    // off by the bounds anyway, and the numbers stay small.
    const double reach = 65536;
    std::vector<TPoint> pts;
    pts.reserve(userPoints.size());
    for (const TUserPoint& u : userPoints) {
        const double x = std::clamp(double(b.R - b.L) * u.X, -reach, reach);
        const double y = std::clamp(double(b.B - b.T) * u.Y, -reach, reach);
        pts.emplace_back(b.L + clampCoord(x), b.T + clampCoord(y));
    }
    if (polyLineMode) {
        TShapeFigure f;
        TShapePrimitive line;
        line.kind = Kind::Polyline;
        line.points = std::move(pts);
        f.outline.push_back(std::move(line));
        return f;
    }
    return same(std::move(pts));
}

} // namespace

TShapeBox ShapeDrawingBox(TqorShapeType type, int width, int height, int penWidth, const TShapeOutput& out)
{
    const double pw = std::max(0, penWidth);
    const double x = std::floor(pw / 2), y = x;
    double w = double(width) - pw + 1, h = double(height) - pw + 1;
    if (pw == 0) {
        w -= 1;
        h -= 1;
    }
    TShapeBox b;
    b.L = clampCoord(x * out.ScaleX + out.OffsetX);
    b.T = clampCoord(y * out.ScaleY + out.OffsetY);
    b.w = clampCoord(w * out.ScaleX);
    b.h = clampCoord(h * out.ScaleY);
    b.m = std::min(b.w, b.h);
    if (type == TqorShapeType::qstSquare || type == TqorShapeType::qstRoundSquare || type == TqorShapeType::qstCircle) {
        b.L += (b.w - b.m) / 2;
        b.T += (b.h - b.m) / 2;
        b.w = b.h = b.m;
    }
    b.w2 = b.w / 2, b.w3 = b.w / 3, b.w4 = b.w / 4, b.w8 = b.w / 8, b.w16 = b.w / 16;
    b.h2 = b.h / 2, b.h3 = b.h / 3, b.h4 = b.h / 4, b.h8 = b.h / 8, b.h16 = b.h / 16;
    b.R = b.L + b.w - clampCoord(out.ScaleX);
    b.B = b.T + b.h - clampCoord(out.ScaleY);
    return b;
}

TShapeFigure BuildShapeFigure(TqorShapeType type, const TShapeBox& b, const std::vector<TUserPoint>& userPoints,
                              bool polyLineMode)
{
    const int L = b.L, T = b.T, R = b.R, B = b.B, w = b.w, h = b.h, m = b.m;
    const int w2 = b.w2, w3 = b.w3, w4 = b.w4, w8 = b.w8, w16 = b.w16;
    const int h2 = b.h2, h3 = b.h3, h4 = b.h4, h8 = b.h8, h16 = b.h16;
    using S = TqorShapeType;
    switch (type) {
    case S::qstRectangle:
    case S::qstSquare: return single(rect(L, T, L + w, T + h));
    case S::qstRoundRect:
    case S::qstRoundSquare: return single(roundRect(L, T, L + w, T + h, m / 4, m / 4));
    case S::qstEllipse:
    case S::qstCircle: return single(ellipse(L, T, L + w, T + h));
    case S::qstValve: return same({{L, T}, {R, B}, {R, T}, {L, B}});
    case S::qstValveUp: return same({{L, T}, {R, T}, {L, B}, {R, B}});
    case S::qstHouse: return same({{L + w2, T}, {R, T + h2}, {R, B}, {L, B}, {L, T + h2}});
    case S::qstTriangleRight: return same({{L, T}, {R, T + h2}, {L, B}});
    case S::qstTriangleUp: return same({{L + w2, T}, {R, B}, {L, B}});
    case S::qstTriangleLeft: return same({{R, T}, {R, B}, {L, T + h2}});
    case S::qstTriangleDown: return same({{L, T}, {R, T}, {L + w2, B}});
    case S::qstArrowRight:
        return same({{L, T + h2 - h16}, {R - w4, T + h2 - h16}, {R - w4, T}, {R, T + h2}, {R - w4, B},
                     {R - w4, T + h2 + h16}, {L, T + h2 + h16}});
    case S::qstArrowUp:
        return same({{L + w2 - w16, B}, {L + w2 - w16, T + h4}, {L, T + h4}, {L + w2, T}, {R, T + h4},
                     {L + w2 + w16, T + h4}, {L + w2 + w16, B}});
    case S::qstArrowLeft:
        return same({{R, T + h2 - h16}, {L + w4, T + h2 - h16}, {L + w4, T}, {L, T + h2}, {L + w4, B},
                     {L + w4, T + h2 + h16}, {R, T + h2 + h16}});
    case S::qstArrowDown:
        return same({{L + w2 - w16, T}, {L + w2 - w16, B - h4}, {L, B - h4}, {L + w2, B}, {R, B - h4},
                     {L + w2 + w16, B - h4}, {L + w2 + w16, T}});
    case S::qstArrowUpDown:
        return same({{L + w2, T}, {L, T + h8}, {L + w8, T + h8}, {L + w8, B - h8}, {L, B - h8}, {L + w2, B},
                     {R, B - h8}, {R - w8, B - h8}, {R - w8, T + h8}, {R, T + h8}});
    case S::qstArrowLeftRight:
        return same({{L, T + h2}, {L + w8, B}, {L + w8, B - h8}, {R - w8, B - h8}, {R - w8, B}, {R, T + h2},
                     {R - w8, T}, {R - w8, T + h8}, {L + w8, T + h8}, {L + w8, T}});
    case S::qstDiamond: return same({{L + w2, T}, {R, T + h2}, {L + w2, B}, {L, T + h2}});
    case S::qstOctagon:
        return same({{L + w3, T}, {R - w3, T}, {R, T + h3}, {R, B - h3}, {R - w3, B}, {L + w3, B}, {L, B - h3},
                     {L, T + h3}});
    case S::qstHexagon: return same({{L + w2, T}, {R, T + h4}, {R, B - h4}, {L + w2, B}, {L, B - h4}, {L, T + h4}});
    case S::qstHexagonFlat:
        return same({{L + w4, T}, {R - w4, T}, {R, T + h2}, {R - w4, B}, {L + w4, B}, {L, T + h2}});
    case S::qstUBarUp:
        return same({{L, T}, {L, B}, {R, B}, {R, T}, {R - w4, T}, {R - w4, B - h4}, {L + w4, B - h4}, {L + w4, T}});
    case S::qstUBarLeft:
        return same({{L, T}, {R, T}, {R, B}, {L, B}, {L, B - h4}, {R - w4, B - h4}, {R - w4, T + h4}, {L, T + h4}});
    case S::qstUBarDown:
        return same({{L, T}, {L, B}, {L + w4, B}, {L + w4, T + h4}, {R - w4, T + h4}, {R - w4, B}, {R, B}, {R, T}});
    case S::qstUBarRight:
        return same({{L, T}, {L, B}, {R, B}, {R, B - h4}, {L + w4, B - h4}, {L + w4, T + h4}, {R, T + h4}, {R, T}});
    case S::qstChairLeft:
        return same({{R, T}, {R - w4, T}, {R - w4, T + h2}, {L, T + h2}, {L, B}, {L + w4, B}, {L + w4, B - h4},
                     {R - w4, B - h4}, {R - w4, B}, {R, B}});
    case S::qstChairRight:
        return same({{L, T}, {L + w4, T}, {L + w4, T + h2}, {R, T + h2}, {R, B}, {R - w4, B}, {R - w4, B - h4},
                     {L + w4, B - h4}, {L + w4, B}, {L, B}});
    case S::qstBowlLeft:
    case S::qstBowlRight:
    case S::qstBowlDown:
    case S::qstBowlUp: {
        TShapeFigure f;
        TShapePrimitive half;
        if (type == S::qstBowlLeft) {
            f.outline.push_back(pie(L, T, L + w, T + h, L + w2, T, L + w2, T + h));
            half = rect(L, T, L + w2, T + h);
        } else if (type == S::qstBowlRight) {
            f.outline.push_back(pie(L, T, L + w, T + h, L + w2, T + h, L + w2, T));
            half = rect(L + w2, T, L + w, T + h);
        } else if (type == S::qstBowlDown) {
            f.outline.push_back(pie(L, T, L + w, T + h, L, T + h2, L + w, T + h2));
            half = rect(L, T + h2, L + w, T + h);
        } else {
            f.outline.push_back(pie(L, T, L + w, T + h, L + w, T + h2, L, T + h2));
            half = rect(L, T, L + w, T + h2);
        }
        f.clip.push_back({Op::Union, ellipse(L, T, L + w, T + h)});
        f.clip.push_back({Op::Intersect, half});
        return f;
    }
    case S::qstIBar:
        return same({{L, T}, {R, T}, {R, T + h4}, {R - w4, T + h4}, {R - w4, B - h4}, {R, B - h4}, {R, B}, {L, B},
                     {L, B - h4}, {L + w4, B - h4}, {L + w4, T + h4}, {L, T + h4}});
    case S::qstHBar:
        return same({{L, T}, {L + w4, T}, {L + w4, T + h4}, {R - w4, T + h4}, {R - w4, T}, {R, T}, {R, B}, {R - w4, B},
                     {R - w4, B - h4}, {L + w4, B - h4}, {L + w4, B}, {L, B}});
    case S::qst4Point:
        return same({{L, T}, {L + w2, T + h4}, {R, T}, {R - w4, T + h2}, {R, B}, {L + w2, B - h4}, {L, B},
                     {L + w4, T + h2}});
    case S::qstWaggle:
        return same({{L, T}, {L + w4, T + h8}, {L + w2, T}, {R - w4, T + h8}, {R, T}, {R - w8, T + h4}, {R, T + h2},
                     {R - w8, B - h4}, {R, B}, {R - w4, B - h8}, {L + w2, B}, {L + w4, B - h8}, {L, B},
                     {L + w8, B - h4}, {L, T + h2}, {L + w8, T + h4}});
    case S::qstCloudLeft: return combined(Op::Union, {ellipse(L, T, R - w4, B - h4), ellipse(L + w4, T + h4, R, B)});
    case S::qstCloudRight: return combined(Op::Union, {ellipse(L + w4, T, R, B - h4), ellipse(L, T + h4, R - w4, B)});
    case S::qstDoubleOval: return combined(Op::Union, {ellipse(L, T, L + w2, B), ellipse(L + w2, T, R, B)});
    case S::qstDoubleOvalV: return combined(Op::Union, {ellipse(L, T, R, T + h2), ellipse(L, T + h2, R, B)});
    case S::qstTorus: return combined(Op::Xor, {ellipse(L, T, R, B), ellipse(L + w4, T + h4, R - w4, B - h4)});
    case S::qstFrame: return combined(Op::Xor, {rect(L, T, R, B), rect(L + w4, T + h4, R - w4, B - h4)});
    case S::qstFrameNarrow: return combined(Op::Xor, {rect(L, T, R, B), rect(L + w8, T + h8, R - w8, B - h8)});
    case S::qstLBarUpLeft: return same({{L, T}, {R, T}, {R, T + h4}, {L + w4, T + h4}, {L + w4, B}, {L, B}});
    case S::qstLBarUpRight: return same({{L, T}, {R, T}, {R, B}, {R - w4, B}, {R - w4, T + h4}, {L, T + h4}});
    case S::qstLBarLeft: return same({{L, T}, {L, B}, {R, B}, {R, B - h4}, {L + w4, B - h4}, {L + w4, T}});
    case S::qstLBarRight: return same({{R, T}, {R, B}, {L, B}, {L, B - h4}, {R - w4, B - h4}, {R - w4, T}});
    case S::qst2HoleHoriz:
        return combined(Op::Xor, {ellipse(L, T, R, B), ellipse(L + w8, T + h4, L + w2 - w8, B - h4),
                                  ellipse(L + w2 + w8, T + h4, R - w8, B - h4)});
    case S::qst2HoleVert:
        return combined(Op::Xor, {ellipse(L, T, R, B), ellipse(L + w4, T + h8, R - w4, T + h2 - h8),
                                  ellipse(L + w4, T + h2 + h8, R - w4, B - h8)});
    case S::qstCubeUpRight:
        return outlined({{R - w3, T + h3}, {L, T + h3}, {L, B}, {R - w3, B}, {R - w3, T + h3}, {R, T}, {R, B - h3},
                         {R - w3, B}, {R - w3, T + h3}, {L, T + h3}, {L + w3, T}, {R, T}},
                        {{L, B}, {R - w3, B}, {R, B - h3}, {R, T}, {L + w3, T}, {L, T + h3}});
    case S::qstCubeUpLeft:
        return outlined({{L + w3, T + h3}, {R, T + h3}, {R, B}, {L + w3, B}, {L + w3, T + h3}, {L, T}, {L, B - h3},
                         {L + w3, B}, {L + w3, T + h3}, {R, T + h3}, {R - w3, T}, {L, T}},
                        {{L, T}, {L, B - h3}, {L + w3, B}, {R, B}, {R, T + h3}, {R - w3, T}});
    case S::qstCubeDownRight:
        return outlined({{R - w3, B - h3}, {L, B - h3}, {L, T}, {R - w3, T}, {R - w3, B - h3}, {R - w3, T}, {R, T + h3},
                         {R, B}, {R - w3, B - h3}, {L, B - h3}, {L + w3, B}, {R, B}},
                        {{L, T}, {L, B - h3}, {L + w3, B}, {R, B}, {R, T + h3}, {R - w3, T}});
    case S::qstCubeDownLeft:
        return outlined({{L + w3, B - h3}, {R, B - h3}, {R, T}, {L + w3, T}, {L + w3, B - h3}, {L + w3, T}, {L, T + h3},
                         {L, B}, {L + w3, B - h3}, {R, B - h3}, {R - w3, B}, {L, B}},
                        {{L, T + h3}, {L, B}, {R - w3, B}, {R, B - h3}, {R, T}, {L + w3, T}});
    case S::qstCubeHalf:
        return outlined({{R - w3, B - h3}, {L, B - h3}, {L, B}, {R - w3, B}, {R - w3, B - h3}, {R, B - 2 * h3},
                         {R, B - h3}, {R - w3, B}, {R - w3, B - h3}, {L, B - h3}, {L + w3, B - 2 * h3}, {R, B - 2 * h3}},
                        {{L, B}, {R - w3, B}, {R, B - h3}, {R, B - 2 * h3}, {L + w3, B - 2 * h3}, {L, B - h3}});
    case S::qstRoofRight:
        return outlined({{R - w3, B}, {R - w3, T + h3}, {L, B}, {R - w3, B}, {R, B - h3}, {R, T}, {R - w3, T + h3}},
                        {{L, B}, {R - w3, B}, {R, B - h3}, {R, T}, {R - w3, T + h3}});
    case S::qstRoofLeft:
        return outlined({{L, T + h3}, {L, B}, {R - w3, B}, {L, T + h3}, {L + w3, T}, {R, B - h3}, {R - w3, B}},
                        {{L, T + h3}, {L, B}, {R - w3, B}, {R, B - h3}, {L + w3, T}});
    case S::qstRoofFront:
        return outlined({{R - w3, B}, {R, T}, {L + w3, T}, {L, B}, {R - w3, B}, {R, B - h3}, {R, T}},
                        {{L, B}, {R - w3, B}, {R, B - h3}, {R, T}, {L + w3, T}});
    case S::qstRoofBack:
        return outlined({{R - w3, B}, {R - w3, T}, {L, T}, {L, B}, {R - w3, B}, {R, B - h3}, {R - w3, T}},
                        {{L, B}, {R - w3, B}, {R, B - h3}, {R - w3, T}, {L, T}});
    case S::qstPyramid:
        return outlined({{R - w3, B}, {L + w2, T}, {L, B}, {R - w3, B}, {R, B - h3}, {L + w2, T}},
                        {{L, B}, {R - w3, B}, {R, B - h3}, {L + w2, T}});
    case S::qstMoret:
        return same({{L, T}, {L, T + h4}, {L + w8, T + h4}, {L + w8, B - h4}, {L, B - h4}, {L, B}, {L + w4, B},
                     {L + w4, B - h8}, {R - w4, B - h8}, {R - w4, B}, {R, B}, {R, B - h4}, {R - w8, B - h4},
                     {R - w8, T + h4}, {R, T + h4}, {R, T}, {R - w4, T}, {R - w4, T + h8}, {L + w4, T + h8}, {L + w4, T}});
    case S::qstZ:
        return same({{L, T}, {L, T + h4}, {R - w3, T + h4}, {L, B - h4}, {L, B}, {R, B}, {R, B - h4}, {L + w3, B - h4},
                     {R, T + h4}, {R, T}});
    case S::qstN:
        return same({{L, T}, {L, B}, {L + w4, B}, {L + w4, T + h3}, {R - w4, B}, {R, B}, {R, T}, {R - w4, T},
                     {R - w4, B - h3}, {L + w4, T}});
    case S::qstMatta:
        return same({{L, T}, {L, T + h4}, {L + w2, T + h2}, {L, B - h4}, {L, B}, {L + w4, B}, {L + w2, T + h2},
                     {R - w4, B}, {R, B}, {R, B - h4}, {L + w2, T + h2}, {R, T + h4}, {R, T}, {R - w4, T},
                     {L + w2, T + h2}, {L + w4, T}});
    case S::qstPistacheTop: return combined(Op::Union, {ellipse(L, T, R, B), rect(L, T + h2, R, B)});
    case S::qstPistacheBottom: return combined(Op::Union, {ellipse(L, T, R, B), rect(L, T, R, T + h2)});
    case S::qstPistacheLeft: return combined(Op::Union, {ellipse(L, T, R, B), rect(L + w2, T, R, B)});
    case S::qstPistacheRight: return combined(Op::Union, {ellipse(L, T, R, B), rect(L, T, L + w2, B)});
    case S::qst1Hole: return combined(Op::Xor, {rect(L, T, R, B), ellipse(L + w4, T + h4, R - w4, B - h4)});
    case S::qst1HoleBig: return combined(Op::Xor, {rect(L, T, R, B), ellipse(L + w8, T + h8, R - w8, B - h8)});
    case S::qstflower:
        return combined(Op::Union, {ellipse(L, T + h3, L + w2, B - h3), ellipse(L + w3, T, R - w3, T + h2),
                                    ellipse(L + w2, T + h3, R, B - h3), ellipse(L + w3, T + h2, R - w3, B)});
    case S::qstFatArrowUp:
        return same({{L + w8, B}, {L + w8, T + h8}, {L, T + h8}, {L + w2, T}, {R, T + h8}, {R - w8, T + h8}, {R - w8, B}});
    case S::qstFatArrowLeft:
        return same({{R, T + h8}, {L + w8, T + h8}, {L + w8, T}, {L, T + h2}, {L + w8, B}, {L + w8, B - h8}, {R, B - h8}});
    case S::qstFatArrowDown:
        return same({{L + w8, T}, {L + w8, B - h8}, {L, B - h8}, {L + w2, B}, {R, B - h8}, {R - w8, B - h8}, {R - w8, T}});
    case S::qstFatArrowRight:
        return same({{L, T + h8}, {R - w8, T + h8}, {R - w8, T}, {R, T + h2}, {R - w8, B}, {R - w8, B - h8}, {L, B - h8}});
    case S::qstUser: return userFigure(b, userPoints, polyLineMode);
    }
    return {};
}

namespace {

TRegion regionOf(const TShapePrimitive& p)
{
    switch (p.kind) {
    case Kind::Rectangle: return TRegion::Rect(p.v[0], p.v[1], p.v[2], p.v[3]);
    case Kind::Ellipse: return TRegion::Ellipse(p.v[0], p.v[1], p.v[2], p.v[3]);
    case Kind::RoundRect: return TRegion::RoundRect(p.v[0], p.v[1], p.v[2], p.v[3], p.v[4], p.v[5]);
    case Kind::Polygon: return TRegion::Polygon(p.points, TPolyFillMode::Winding);
    case Kind::Pie:
    case Kind::Polyline: break; // never part of a region
    }
    return TRegion();
}

} // namespace

TRegion ShapeClipRegion(const TShapeFigure& figure)
{
    TRegion region;
    for (std::size_t i = 0; i < figure.clip.size(); ++i) {
        const TRegion part = regionOf(figure.clip[i].primitive);
        region = i == 0 ? part : region.Combined(part, figure.clip[i].op);
    }
    return region;
}

void DrawShapeOutline(TCanvas& canvas, const TShapeFigure& figure)
{
    for (const TShapePrimitive& p : figure.outline) {
        const auto& v = p.v;
        switch (p.kind) {
        case Kind::Rectangle: canvas.Rectangle(v[0], v[1], v[2], v[3]); break;
        case Kind::RoundRect: canvas.RoundRect(v[0], v[1], v[2], v[3], v[4], v[5]); break;
        case Kind::Ellipse: canvas.Ellipse(v[0], v[1], v[2], v[3]); break;
        case Kind::Pie: canvas.Pie(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]); break;
        case Kind::Polygon: canvas.Polygon(p.points); break;
        case Kind::Polyline: canvas.Polyline(p.points); break;
        }
    }
}
