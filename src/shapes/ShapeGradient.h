// Gradient fills: a colour ramp from a start to an end colour laid over the whole shape
// area in one of 26 patterns, step by step, each step painting one or more pieces. The
// pieces go through TGradientPieces, so the same fill lands scaled and offset on any
// canvas (TScaledPrimitives) and the tests can watch the pieces themselves.
#pragma once

#include "ShapeGeometry.h"
#include "ShapeTypes.h"

#include "graphics/canvas/Canvas.h"

#include <vector>

// The primitives a fill paints with, in the shape's own pixel space. Right and bottom
// bounds are exclusive, polygon vertices inclusive.
class TGradientPieces {
public:
    virtual ~TGradientPieces() = default;
    // Before the first step: solid pen in copy mode, solid brush.
    virtual void Begin() = 0;
    virtual void SetBrushColor(TColor color) = 0;
    // A clear pen makes rectangles, ellipses and polygons paint their inside only.
    virtual void SetPenClear(bool clear) = 0;
    virtual void FillRect(int x1, int y1, int x2, int y2) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) = 0;
    virtual void Polygon(const std::vector<TPoint>& points) = 0;
};

// The pieces on a canvas: every X becomes round(X * ScaleX) + OffsetX and every Y
// round(Y * ScaleY) + OffsetY (halves to even); the corner size of RoundRect is only
// scaled. A fill rectangle given right to left or bottom to top covers the same pixels as
// its normalised form.
class TScaledPrimitives : public TGradientPieces {
public:
    TScaledPrimitives(TCanvas& canvas, const TShapeOutput& output) : m_canvas(canvas), m_out(output) {}

    void Begin() override;
    void SetBrushColor(TColor color) override;
    void SetPenClear(bool clear) override;
    void FillRect(int x1, int y1, int x2, int y2) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) override;
    void Polygon(const std::vector<TPoint>& points) override;

    int X(int x) const;
    int Y(int y) const;

private:
    TCanvas& m_canvas;
    TShapeOutput m_out;
};

// The colours of a fill: for qgdDown, qgdRight, qgdRectOut and qgdCircOut the ramp runs
// from the gradient colour to the brush colour, for every other direction the other way.
struct TGradientRamp {
    TColor Start = 0;
    TColor End = 0;
    // Start + MulDiv(i, End - Start, divisor) per channel: Start at 0, End at the divisor.
    TColor At(int i, int divisor) const;
};
TGradientRamp GradientRamp(TColor brushColor, TColor gradientColor, TqorFillDirection direction);

// Paints the fill over (0, 0)-(width, height) of the shape's pixel space; the caller's
// clip region cuts it to the figure.
void PaintGradient(TGradientPieces& pieces, TColor brushColor, TColor gradientColor, TqorFillDirection direction,
                   int width, int height);
