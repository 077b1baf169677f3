// Regions, clipping and paths.
#include "CanvasTestUtil.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Mask(const TRegion& r, int w, int h)
{
    std::vector<std::string> rows(h, std::string(w, '.'));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (r.Contains(x, y))
                rows[y][x] = 'x';
    return rows;
}

} // namespace

TEST(CanvasRegion, ShapesLeaveOutRightAndBottomBounds)
{
    EXPECT_EQ(Mask(TRegion::Rect(4, 3, 1, 1), 5, 4), (std::vector<std::string>{".....", ".xxx.", ".xxx.", "....."}));
    EXPECT_TRUE(TRegion::Rect(2, 2, 2, 5).IsEmpty());
    const std::vector<std::string> e = Mask(TRegion::Ellipse(0, 0, 8, 6), 9, 7);
    EXPECT_EQ(e[3], "xxxxxxxx.");
    EXPECT_EQ(e[6], ".........");
    EXPECT_TRUE(e[0][0] == '.' && e[0][3] == 'x');
    const TRegion rr = TRegion::RoundRect(0, 0, 10, 10, 6, 6);
    EXPECT_TRUE(!rr.Contains(0, 0) && rr.Contains(5, 0) && rr.Contains(9, 5) && !rr.Contains(10, 5));
    // The slanted edge decides by pixel centres; a centre on the edge (3.5 in the first
    // row) is outside.
    EXPECT_EQ(Mask(TRegion::Polygon({{0, 0}, {4, 0}, {0, 4}}, TPolyFillMode::Alternate), 5, 5),
              (std::vector<std::string>{"xxx..", "xx...", "x....", ".....", "....."}));
    EXPECT_TRUE(TRegion::Polygon({{0, 0}, {4, 0}}, TPolyFillMode::Alternate).IsEmpty());
    // Wild coordinates neither overflow nor allocate a giant mask.
    EXPECT_TRUE(TRegion::Ellipse(-2000000000, -2000000000, 2000000000, 2000000000).Contains(0, 0));
}

TEST(CanvasRegion, PolygonRulesCombinationsAndOffset)
{
    // Two squares in one outline: the overlap is inside by the winding rule only.
    const std::vector<TPoint> twice{{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 0}, {3, 3}, {9, 3}, {9, 9}, {3, 9}, {3, 3}};
    EXPECT_FALSE(TRegion::Polygon(twice, TPolyFillMode::Alternate).Contains(4, 4));
    EXPECT_TRUE(TRegion::Polygon(twice, TPolyFillMode::Winding).Contains(4, 4));
    EXPECT_TRUE(TRegion::Polygon(twice, TPolyFillMode::Alternate).Contains(8, 8));

    const TRegion a = TRegion::Rect(0, 0, 4, 2), b = TRegion::Rect(2, 0, 6, 2);
    EXPECT_EQ(Mask(a.Combined(b, TRegion::Op::Union), 7, 1)[0], "xxxxxx.");
    EXPECT_EQ(Mask(a.Combined(b, TRegion::Op::Intersect), 7, 1)[0], "..xx...");
    EXPECT_EQ(Mask(a.Combined(b, TRegion::Op::Xor), 7, 1)[0], "xx..xx.");
    EXPECT_EQ(Mask(a.Combined(b, TRegion::Op::Diff), 7, 1)[0], "xx.....");
    TRegion moved = a;
    moved.Offset(3, 1);
    EXPECT_TRUE(!moved.Contains(0, 0) && moved.Contains(3, 1) && moved.Contains(6, 2) && !moved.Contains(7, 2));
    EXPECT_TRUE(a.Contains(0, 0)); // the copy moved, not the original
}

TEST(CanvasRegion, ClipRegionLimitsEveryKindOfDrawing)
{
    TBitmap b = SolidBitmap(8, 4, clWhite);
    TCanvas c(b);
    const TRegion clip = TRegion::Rect(2, 0, 5, 4).Combined(TRegion::Rect(0, 3, 8, 4), TRegion::Op::Union);
    c.SetClipRegion(&clip);
    c.Brush.SetColor(clRed);
    c.FillRect(TRect(0, 0, 8, 4));
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"..rrr...", "..rrr...", "..rrr...", "rrrrrrrr"}));
    c.MoveTo(0, 1);
    c.LineTo(8, 1);
    c.SetPixel(0, 0, clBlue);
    c.SetPixel(2, 0, clBlue);
    c.Draw(0, 2, SolidBitmap(8, 4, clBlue));
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"..brr...", "..###...", "..bbb...", "bbbbbbbb"}));
    c.SetClipRegion(nullptr);
    c.Brush.SetColor(clBlack);
    c.FloodFill(0, 0, clWhite);
    EXPECT_EQ(b.Pixel(0, 0), clBlack);
}

TEST(CanvasRegion, PathsStrokeFillOrBoth)
{
    auto build = [](TCanvas& c) {
        c.BeginPath();
        c.MoveTo(1, 1);
        c.LineTo(8, 1);
        c.LineTo(8, 8);
        c.LineTo(1, 8);
        c.LineTo(1, 1);
        c.PolyBezier({{0, 0}, {1, 1}, {2, 2}}); // wrong count: left out
        c.EndPath();
    };
    TBitmap s = SolidBitmap(10, 10, clWhite);
    TCanvas cs(s);
    build(cs);
    EXPECT_EQ(Count(s, clWhite), 100); // nothing drawn while the path is built
    cs.StrokePath();
    EXPECT_EQ(InkBounds(s), TRect(1, 1, 9, 9)) << Dump(s);
    EXPECT_EQ(s.Pixel(4, 4), clWhite);
    cs.Pen.Color = clRed;
    cs.StrokePath(); // the path is used up
    EXPECT_EQ(Count(s, clRed), 0);

    // Filled like a polygon region: the right and bottom edges are left out.
    TBitmap f = SolidBitmap(10, 10, clWhite);
    TCanvas cf(f);
    cf.Brush.SetColor(clRed);
    build(cf);
    cf.FillPath();
    EXPECT_EQ(InkBounds(f), TRect(1, 1, 8, 8)) << Dump(f);

    TBitmap sf = SolidBitmap(10, 10, clWhite);
    TCanvas csf(sf);
    csf.Brush.SetColor(clRed);
    csf.BeginPath();
    csf.Polygon({{1, 1}, {8, 1}, {8, 8}, {1, 8}});
    csf.EndPath();
    csf.StrokeAndFillPath();
    EXPECT_EQ(InkBounds(sf), TRect(1, 1, 9, 9)) << Dump(sf);
    EXPECT_TRUE(sf.Pixel(8, 8) == clBlack && sf.Pixel(4, 4) == clRed);
    // Without BeginPath/EndPath the path calls do nothing.
    csf.StrokePath();
    csf.FillPath();
    csf.StrokeAndFillPath();
    EXPECT_EQ(Count(sf, clRed), 36);
}
