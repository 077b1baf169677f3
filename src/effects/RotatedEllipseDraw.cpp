// DrawRotatedEllipse: the rotated ellipse's Bézier points drawn as one path.
#include "GeometricEffects.h"

#include "graphics/canvas/Canvas.h"

namespace qorFX {

void DrawRotatedEllipse(TCanvas& canvas, bool filled, double angle, double rx, double ry, double cx, double cy)
{
    const std::vector<TPoint> points = RotatedEllipsePoints(angle, rx, ry, cx, cy);
    canvas.BeginPath();
    canvas.PolyBezier(points);
    canvas.EndPath();
    if (filled)
        canvas.StrokeAndFillPath();
    else
        canvas.StrokePath();
}

} // namespace qorFX
