// Gradient fills: a colour ramp from a start to an end colour laid over the whole shape
// area in one of 26 patterns, step by step, each step painting one or more pieces. The
// pieces go through TGradientPieces, so the same fill lands scaled and offset on any
// bitmap (TGradientRaster) and the tests can watch the pieces themselves.
#pragma once

#include "ShapeGeometry.h"
#include "ShapeTypes.h"

#include "graphics/canvas/Canvas.h"

#include <vector>

// The primitives a fill paints with, in the shape's own pixel space. Right and bottom
// bounds are exclusive, polygon vertices inclusive. Each piece is painted in the brush
// colour of its step; with a clear pen (every outlined piece) a rectangle, ellipse, rounded
// rectangle or polygon paints its inside and edge alike.
class TGradientPieces {
public:
    virtual ~TGradientPieces() = default;
    // Before the first step: solid pen in copy mode, solid brush.
    virtual void Begin() = 0;
    virtual void SetBrushColor(TColor color) = 0;
    virtual void SetPenClear(bool clear) = 0;
    virtual void FillRect(int x1, int y1, int x2, int y2) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) = 0;
    // At most 16 vertices (a fill's pieces have up to 8).
    virtual void Polygon(const std::vector<TPoint>& points) = 0;
    // After the last step.
    virtual void End() = 0;
};

// The pieces painted into a bitmap, scaled and offset and cut to a clip region (in the
// bitmap's coordinates): every X becomes round(X * ScaleX) + OffsetX and every Y
// round(Y * ScaleY) + OffsetY (halves to even); the corner size of RoundRect is only
// scaled. A fill rectangle given right to left or bottom to top covers the same pixels as
// its normalised form.
//
// The pieces cover what the canvas primitives cover: figures their box without the right
// and bottom bounds (ellipses and rounded corners by pixel centres), polygons their inside
// with their edges and vertices. They are painted with loops of our own, not one canvas
// call each: a fill is hundreds of pieces, each mostly hidden by the next. The pieces are
// kept until End, then laid from the last to the first, each pixel written once, by the
// piece that would have been painted over it last.
class TGradientRaster : public TGradientPieces {
public:
    TGradientRaster(TBitmap& target, const TRegion& clip, const TShapeOutput& output);
    ~TGradientRaster() override;

    void Begin() override {}
    void SetBrushColor(TColor color) override { m_color = color; }
    void SetPenClear(bool) override {}
    void FillRect(int x1, int y1, int x2, int y2) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight) override;
    void Polygon(const std::vector<TPoint>& points) override;
    void End() override;

    int X(int x) const;
    int Y(int y) const;

    struct Piece;

private:
    void add(Piece piece);

    TBitmap& m_target;
    const TRegion& m_clip;
    TShapeOutput m_out;
    TColor m_color = clWhite;
    std::vector<Piece> m_pieces;
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
