// The geometry of the 76 figures: the drawing box a shape computes from its size, pen and
// output scale, and each figure as the canvas primitives of its outline plus the region
// its gradient is clipped to. Plain data, so tests check a figure without drawing it.
#pragma once

#include "ShapeTypes.h"
#include "UserVector.h"

#include "graphics/canvas/Canvas.h"

#include <array>
#include <vector>

// Where a shape's own pixel space lands on the canvas it is painted on: X becomes
// round(X * ScaleX) + OffsetX, Y likewise.
struct TShapeOutput {
    int OffsetX = 0;
    int OffsetY = 0;
    double ScaleX = 1.0;
    double ScaleY = 1.0;
};

// The drawing box on the target canvas and its integer fractions. R and B are the last
// column and row of the box at scale 1.
struct TShapeBox {
    int L = 0, T = 0, w = 0, h = 0, m = 0, R = 0, B = 0;
    int w2 = 0, w3 = 0, w4 = 0, w8 = 0, w16 = 0;
    int h2 = 0, h3 = 0, h4 = 0, h8 = 0, h16 = 0;
};

// Coordinates are kept within this distance of the origin, so wild sizes, pens and user
// points can never overflow the arithmetic of the figures.
constexpr int kShapeCoordLimit = 1 << 24;

// The box from the shape's width and height and its pen width (negative widths count as
// 0); the centred square for qstSquare, qstRoundSquare and qstCircle.
TShapeBox ShapeDrawingBox(TqorShapeType type, int width, int height, int penWidth, const TShapeOutput& out);

struct TShapePrimitive {
    enum class Kind { Rectangle, RoundRect, Ellipse, Pie, Polygon, Polyline };
    Kind kind = Kind::Rectangle;
    // Rectangle and Ellipse use the first four values, RoundRect six, Pie eight.
    std::array<int, 8> v{};
    std::vector<TPoint> points; // Polygon and Polyline
};

// One part of a clip region, combined into the parts before it with `op` (the first
// part's op is not used). Polygons fill by the winding rule.
struct TShapeClipPart {
    TRegion::Op op = TRegion::Op::Union;
    TShapePrimitive primitive;
};

struct TShapeFigure {
    std::vector<TShapePrimitive> outline; // drawn in this order
    std::vector<TShapeClipPart> clip;     // empty: the figure takes no gradient
};

// The figure of `type` in `box`. qstUser takes the user points (fractions of the box); in
// polyline mode it is an open polyline without a gradient region.
TShapeFigure BuildShapeFigure(TqorShapeType type, const TShapeBox& box, const std::vector<TUserPoint>& userPoints,
                              bool polyLineMode);

// The region of a figure's clip parts (empty when it has none).
TRegion ShapeClipRegion(const TShapeFigure& figure);

// Draws the outline primitives with the canvas's current pen and brush.
void DrawShapeOutline(TCanvas& canvas, const TShapeFigure& figure);
