// The control points of a rotated ellipse: eight cubic Bézier segments.
#include "GeometricEffects.h"

#include "graphics/NumberRules.h"

#include <cmath>
#include <numbers>

namespace qorFX {

std::vector<TPoint> RotatedEllipsePoints(double angle, double rx, double ry, double cx, double cy)
{
    // Handle length of a cubic that follows an eighth of a circle.
    constexpr double kHandle = 0.26521648984;
    double px[25], py[25];
    for (int j = 0; j < 8; ++j) {
        const double theta = j * std::numbers::pi / 4.0;
        const int k = 3 * j;
        px[k] = rx * std::cos(theta);
        py[k] = ry * std::sin(theta);
        const double ox = kHandle * rx * std::sin(theta);
        const double oy = kHandle * ry * std::cos(theta);
        const int before = j == 0 ? 23 : k - 1;
        px[before] = px[k] + ox;
        py[before] = py[k] - oy;
        px[k + 1] = px[k] - ox;
        py[k + 1] = py[k] + oy;
    }
    px[24] = px[0];
    py[24] = py[0];
    const double ca = std::cos(angle), sa = std::sin(angle);
    // Coordinates far outside any bitmap are pinned so that the conversion stays defined.
    auto toInt = [](double v) {
        if (std::isnan(v))
            return 0;
        return static_cast<int>(Round(std::fmax(-1e9, std::fmin(1e9, v))));
    };
    std::vector<TPoint> points(25);
    for (int i = 0; i < 25; ++i)
        points[i] = Point(toInt(px[i] * ca - py[i] * sa + cx), toInt(px[i] * sa + py[i] * ca + cy));
    return points;
}

} // namespace qorFX
