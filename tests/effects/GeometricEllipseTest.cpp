// DrawRotatedEllipse: control points and the drawn outline.
#include "effects/EffectCatalog.h"
#include "effects/GeometricEffects.h"
#include "graphics/canvas/Canvas.h"

#include "GeometricTestUtil.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace qorFX;

namespace {

// Bounding box of the pixels that are not white.
TRect InkBounds(const TBitmap& b)
{
    TRect r(b.Width(), b.Height(), -1, -1);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != clWhite) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x);
                r.Bottom = std::max(r.Bottom, y);
            }
    return r;
}

} // namespace

TEST(GeometricEllipse, ControlPointsOnTheAxesAndHandles)
{
    const auto p = RotatedEllipsePoints(0.0, 40, 20, 50, 50);
    ASSERT_EQ(p.size(), 25u);
    EXPECT_EQ(p[0], Point(90, 50));
    EXPECT_EQ(p[6], Point(50, 70));
    EXPECT_EQ(p[12], Point(10, 50));
    EXPECT_EQ(p[18], Point(50, 30));
    EXPECT_EQ(p[24], p[0]);
    // Handles 0.26521648984 * 20 = 5.3 either side of (90, 50), vertical there.
    EXPECT_EQ(p[1], Point(90, 55));
    EXPECT_EQ(p[23], Point(90, 45));
    // A quarter turn (clockwise on screen) puts the long axis upright.
    const auto q = RotatedEllipsePoints(std::numbers::pi / 2, 40, 20, 50, 50);
    EXPECT_EQ(q[0], Point(50, 90));
    EXPECT_EQ(q[6], Point(30, 50));
    // Absurd values are pinned, not undefined.
    const auto r = RotatedEllipsePoints(0.0, 1e300, std::nan(""), 0, 0);
    EXPECT_EQ(r.size(), 25u);
}

TEST(GeometricEllipse, OutlinedAndFilledThroughTheCanvas)
{
    TBitmap b = SolidBitmap(100, 100, clWhite);
    {
        TCanvas c(b);
        DrawRotatedEllipse(c, false, 0.0, 40, 20, 50, 50);
    }
    TRect box = InkBounds(b);
    EXPECT_NEAR(box.Left, 10, 1);
    EXPECT_NEAR(box.Right, 90, 1);
    EXPECT_NEAR(box.Top, 30, 1);
    EXPECT_NEAR(box.Bottom, 70, 1);
    EXPECT_EQ(b.Pixel(50, 50), clWhite); // outline only
    EXPECT_EQ(b.Pixel(90, 50), clBlack);

    TBitmap u = SolidBitmap(100, 100, clWhite);
    {
        TCanvas c(u);
        c.Brush.SetColor(clRed);
        DrawRotatedEllipse(c, true, std::numbers::pi / 2, 40, 20, 50, 50);
    }
    box = InkBounds(u);
    EXPECT_NEAR(box.Left, 30, 1);
    EXPECT_NEAR(box.Right, 70, 1);
    EXPECT_NEAR(box.Top, 10, 1);
    EXPECT_NEAR(box.Bottom, 90, 1);
    EXPECT_EQ(u.Pixel(50, 50), clRed);
    EXPECT_EQ(u.Pixel(50, 90), clBlack);

    // Through the catalog: filled flag, angle, radii, centre.
    TBitmap k = SolidBitmap(100, 100, clWhite);
    FindEffect("DrawRotatedEllipse")->apply(k, {0, 0, 40, 20, 50, 50});
    EXPECT_TRUE(k == b);
}
