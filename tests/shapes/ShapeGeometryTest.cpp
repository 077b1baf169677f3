// The drawing box, the figures of the shape table and user vector strings.
#include "ShapeTestUtil.h"

#include "graphics/canvas/Canvas.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::pair<char, TColor>> kLegend{{'.', clWhite}, {'#', clBlack}, {'b', clBlue}};

TRect InkBox(const TBitmap& b, TColor background)
{
    TRect r(1 << 30, 1 << 30, -(1 << 30), -(1 << 30));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != background)
                r = TRect(std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1));
    return r;
}

} // namespace

TEST(ShapeGeometry, DrawingBoxFollowsPenWidthScaleAndCentredSquares)
{
    using S = TqorShapeType;
    // Pen 0: the whole control from (0, 0); pen 1 the same; pen 4 starts at (2, 2), 3 less.
    TShapeBox b = ShapeDrawingBox(S::qstRectangle, 65, 40, 0, {});
    EXPECT_EQ(std::vector<int>({b.L, b.T, b.w, b.h, b.R, b.B}), std::vector<int>({0, 0, 65, 40, 64, 39}));
    b = ShapeDrawingBox(S::qstRectangle, 65, 40, 1, {});
    EXPECT_EQ(std::vector<int>({b.L, b.T, b.w, b.h, b.R, b.B}), std::vector<int>({0, 0, 65, 40, 64, 39}));
    b = ShapeDrawingBox(S::qstRectangle, 65, 40, 4, {});
    EXPECT_EQ(std::vector<int>({b.L, b.T, b.w, b.h, b.R, b.B}), std::vector<int>({2, 2, 62, 37, 63, 38}));
    EXPECT_EQ(std::vector<int>({b.w2, b.w3, b.w4, b.w8, b.w16}), std::vector<int>({31, 20, 15, 7, 3}));
    // A negative pen counts as none.
    b = ShapeDrawingBox(S::qstRectangle, 65, 40, -7, {});
    EXPECT_EQ(std::vector<int>({b.L, b.w}), std::vector<int>({0, 65}));

    // Scaled and offset: L = round(x * sx + ox), w = round(w * sx), R = L + w - round(sx).
    b = ShapeDrawingBox(S::qstRectangle, 10, 6, 1, {10, 20, 2.0, 3.0});
    EXPECT_EQ(std::vector<int>({b.L, b.T, b.w, b.h, b.R, b.B}), std::vector<int>({10, 20, 20, 18, 28, 35}));
    // 2.5 rounds to 2 (halves to even): pen 1 at scale 2.5 gives w = round(25) and L = round(0).
    b = ShapeDrawingBox(S::qstRectangle, 10, 10, 3, {0, 0, 2.5, 2.5});
    EXPECT_EQ(b.L, 2); // round(1 * 2.5) = 2

    // The circle of a 100 x 40 shape sits in the centred 40 x 40 square.
    b = ShapeDrawingBox(S::qstCircle, 100, 40, 1, {});
    EXPECT_EQ(std::vector<int>({b.L, b.T, b.w, b.h, b.m}), std::vector<int>({30, 0, 40, 40, 40}));
    TShapeModel circle = MakeShape(S::qstCircle, 100, 40);
    EXPECT_EQ(InkBox(PaintOnto(circle, 100, 40, clWhite), clWhite), TRect(30, 0, 70, 40));
}

TEST(ShapeGeometry, RectangleWithOnePixelPenHasItsOutlineOnTheBorder)
{
    const TBitmap b = PaintOnto(MakeShape(TqorShapeType::qstRectangle, 6, 4), 8, 5, clWhite);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"######..", "#bbbb#..", "#bbbb#..", "######..", "........"}));
}

TEST(ShapeGeometry, EveryFigureStaysInItsBoxAndHasARegion)
{
    for (int t = 0; t < kShapeTypeCount; ++t) {
        const auto type = static_cast<TqorShapeType>(t);
        SCOPED_TRACE(ShapeTypeName(type));
        const TShapeBox b = ShapeDrawingBox(type, 48, 33, 1, {5, 7, 1.0, 1.0});
        const TShapeFigure f = BuildShapeFigure(type, b, {{0, 0}, {1, 0}, {0.5, 1}}, false);
        ASSERT_FALSE(f.outline.empty());
        for (const TShapePrimitive& p : f.outline) {
            if (p.kind == TShapePrimitive::Kind::Polygon) {
                ASSERT_GE(p.points.size(), 3u);
                for (const TPoint& q : p.points) {
                    EXPECT_TRUE(q.X >= b.L && q.X <= b.R && q.Y >= b.T && q.Y <= b.B) << q.X << "," << q.Y;
                }
            } else {
                EXPECT_TRUE(p.v[0] >= b.L && p.v[2] <= b.L + b.w && p.v[1] >= b.T && p.v[3] <= b.T + b.h)
                    << p.v[0] << "," << p.v[1] << "," << p.v[2] << "," << p.v[3];
                EXPECT_LT(p.v[0], p.v[2]);
                EXPECT_LT(p.v[1], p.v[3]);
            }
        }
        const TRegion region = ShapeClipRegion(f);
        ASSERT_FALSE(region.IsEmpty());
        for (const TRect& r : region.Rects())
            EXPECT_TRUE(r.Left >= b.L && r.Right <= b.L + b.w && r.Top >= b.T && r.Bottom <= b.T + b.h);
    }
    // Holes are cut out of the region: the middle of the torus and of the frame.
    const TShapeBox b = ShapeDrawingBox(TqorShapeType::qstTorus, 40, 40, 1, {});
    EXPECT_FALSE(ShapeClipRegion(BuildShapeFigure(TqorShapeType::qstTorus, b, {}, false)).Contains(20, 20));
    EXPECT_TRUE(ShapeClipRegion(BuildShapeFigure(TqorShapeType::qstTorus, b, {}, false)).Contains(20, 4));
    EXPECT_FALSE(ShapeClipRegion(BuildShapeFigure(TqorShapeType::qstFrame, b, {}, false)).Contains(20, 20));
    // A bowl is half an ellipse.
    const TRegion bowl = ShapeClipRegion(BuildShapeFigure(TqorShapeType::qstBowlLeft, b, {}, false));
    EXPECT_TRUE(bowl.Contains(10, 20));
    EXPECT_FALSE(bowl.Contains(30, 20));
}

TEST(ShapeGeometry, UserVectorStringsParseOrAreIgnored)
{
    TShapeModel s = MakeShape(TqorShapeType::qstUser, 11, 11);
    EXPECT_EQ(s.UserPoints().size(), 4u); // the rectangle it starts with

    ASSERT_TRUE(s.SetUserVectorString("tri=0.5,0,1,1,0,1"));
    EXPECT_EQ(s.UserPoints(), (std::vector<TUserPoint>{{0.5, 0}, {1, 1}, {0, 1}}));
    const TBitmap tri = PaintOnto(s, 11, 11, clWhite);
    EXPECT_EQ(CountOf(tri, clBlack, TRect(0, 0, 11, 1)), 1);  // the apex, column 5
    EXPECT_EQ(tri.Pixel(5, 0), clBlack);
    EXPECT_EQ(CountOf(tri, clBlack, TRect(0, 10, 11, 11)), 11); // the base

    // Odd counts, 102 numbers, a letter, no "=", nothing: ignored, the triangle stays.
    std::string numbers102 = "big=";
    for (int i = 0; i < 102; ++i)
        numbers102 += (i ? "," : "") + std::to_string(i % 2);
    for (const std::string& bad : {std::string("odd=1,2,3"), numbers102, std::string("x=0.5,a,1,1,0,1"),
                                   std::string("0,0,1,1"), std::string(""), std::string("none="),
                                   std::string("trailing=0,0,1,"), std::string("huge=1e999,0"), std::string("hex=0x1,0")}) {
        EXPECT_FALSE(s.SetUserVectorString(bad)) << bad;
        EXPECT_EQ(s.UserVectorString(), "tri=0.5,0,1,1,0,1");
        EXPECT_EQ(s.UserPoints().size(), 3u);
    }
    // 100 numbers are the most; quotes and blanks separate like commas.
    EXPECT_TRUE(s.SetUserVectorString(numbers102.substr(0, numbers102.size() - 4)));
    EXPECT_EQ(s.UserPoints().size(), 50u);
    EXPECT_TRUE(s.SetUserVectorString("q= \"0.5\" , 0 1 1,\"0\",1"));
    EXPECT_EQ(s.UserPoints(), (std::vector<TUserPoint>{{0.5, 0}, {1, 1}, {0, 1}}));
    EXPECT_EQ(UserVectorName("usrStar=1,2"), "usrStar");

    EXPECT_EQ(SplitCommaText("a, \"b,\"\"c\" d,"), (std::vector<std::string>{"a", "b,\"c", "d", ""}));
    EXPECT_EQ(ParseFloatText(" -2.5e1 "), -25.0);
    EXPECT_EQ(ParseFloatText(".5"), 0.5);
    EXPECT_EQ(ParseFloatText("5."), 5.0);
    for (const char* bad : {"", ".", "e5", "1e", "inf", "nan", "1,5", "--1"})
        EXPECT_FALSE(ParseFloatText(bad)) << bad;
}

TEST(ShapeGeometry, PolyLineModeDrawsTheOpenLineOnlyEvenWithAGradient)
{
    TShapeModel s = MakeShape(TqorShapeType::qstUser, 20, 20);
    s.SetUserVectorString("v=0,0,1,0,1,1");
    s.Gradient = true;
    s.GradientColor = clRed;
    s.PolyLineMode = true;
    const TBitmap b = PaintOnto(s, 20, 20, clWhite);
    // Two strokes along the top and down the right side; no fill, nothing closes the line.
    EXPECT_EQ(CountOf(b, clBlack) + CountOf(b, clWhite), 400);
    EXPECT_EQ(b.Pixel(0, 0), clBlack);
    EXPECT_EQ(b.Pixel(19, 10), clBlack);
    EXPECT_EQ(b.Pixel(10, 10), clWhite);
    s.PolyLineMode = false;
    EXPECT_GT(CountOf(PaintOnto(s, 20, 20, clWhite), clBlack), 0);
    EXPECT_LT(CountOf(PaintOnto(s, 20, 20, clWhite), clWhite), 400 - 60); // the triangle is filled now
}
