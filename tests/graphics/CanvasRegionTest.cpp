// Regions, clipping and paths.
#include "graphics/canvas/Canvas.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::pair<char, TColor>> kLegend{{'.', clWhite}, {'#', clBlack}, {'r', clRed}, {'b', clBlue}};

std::vector<std::string> Mask(const TRegion& r, int w, int h)
{
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string s;
        for (int x = 0; x < w; ++x)
            s += r.Contains(x, y) ? 'x' : '.';
        rows.push_back(s);
    }
    return rows;
}

std::string Dump(const std::vector<std::string>& rows)
{
    std::string s = "\n";
    for (const std::string& row : rows)
        s += row + "\n";
    return s;
}

} // namespace

TEST(CanvasRegion, ShapesLeaveOutRightAndBottomBounds)
{
    const TRegion r = TRegion::Rect(1, 1, 4, 3);
    EXPECT_EQ(Mask(r, 5, 4), (std::vector<std::string>{".....", ".xxx.", ".xxx.", "....."}));
    EXPECT_TRUE(TRegion::Rect(2, 2, 2, 5).IsEmpty());
    EXPECT_TRUE(TRegion().IsEmpty());

    const TRegion e = TRegion::Ellipse(0, 0, 8, 6);
    const std::vector<std::string> em = Mask(e, 9, 7);
    EXPECT_EQ(em[6], ".........") << Dump(em);
    for (const std::string& row : em)
        EXPECT_EQ(row[8], '.') << Dump(em);
    EXPECT_EQ(em[3], "xxxxxxxx.") << Dump(em);
    EXPECT_EQ(em[0][0], '.') << Dump(em); // corners are cut off
    EXPECT_EQ(em[0][3], 'x') << Dump(em);

    const TRegion rr = TRegion::RoundRect(0, 0, 10, 10, 6, 6);
    EXPECT_FALSE(rr.Contains(0, 0));
    EXPECT_TRUE(rr.Contains(5, 0));
    EXPECT_TRUE(rr.Contains(9, 5));
    EXPECT_FALSE(rr.Contains(10, 5));

    // Triangle: the slanted edge decides by pixel centres; a centre exactly on the edge
    // (3.5 in the first row) is outside.
    const TRegion t = TRegion::Polygon({{0, 0}, {4, 0}, {0, 4}}, TPolyFillMode::Alternate);
    EXPECT_EQ(Mask(t, 5, 5), (std::vector<std::string>{"xxx..", "xx...", "x....", ".....", "....."}))
        << Dump(Mask(t, 5, 5));
    EXPECT_TRUE(TRegion::Polygon({{0, 0}, {4, 0}}, TPolyFillMode::Alternate).IsEmpty());
}

TEST(CanvasRegion, PolygonRulesAndCombinations)
{
    // Two overlapping squares in one outline: the overlap is inside by the winding
    // rule and a hole by the alternate rule.
    const std::vector<TPoint> twice{{0, 0}, {6, 0}, {6, 6}, {0, 6}, {0, 0}, {3, 3}, {9, 3}, {9, 9}, {3, 9}, {3, 3}};
    const TRegion alt = TRegion::Polygon(twice, TPolyFillMode::Alternate);
    const TRegion win = TRegion::Polygon(twice, TPolyFillMode::Winding);
    EXPECT_FALSE(alt.Contains(4, 4));
    EXPECT_TRUE(win.Contains(4, 4));
    EXPECT_TRUE(alt.Contains(1, 1));
    EXPECT_TRUE(alt.Contains(8, 8));

    const TRegion a = TRegion::Rect(0, 0, 4, 2);
    const TRegion b = TRegion::Rect(2, 0, 6, 2);
    EXPECT_EQ(Mask(a.Combined(b, TRegion::Op::Union), 7, 1)[0], "xxxxxx.");
    EXPECT_EQ(Mask(a.Combined(b, TRegion::Op::Intersect), 7, 1)[0], "..xx...");
    EXPECT_EQ(Mask(a.Combined(b, TRegion::Op::Xor), 7, 1)[0], "xx..xx.");
    EXPECT_EQ(Mask(a.Combined(b, TRegion::Op::Diff), 7, 1)[0], "xx.....");
    EXPECT_TRUE(a.Combined(TRegion::Rect(10, 10, 12, 12), TRegion::Op::Intersect).IsEmpty());

    TRegion moved = a;
    moved.Offset(3, 1);
    EXPECT_FALSE(moved.Contains(0, 0));
    EXPECT_TRUE(moved.Contains(3, 1));
    EXPECT_TRUE(moved.Contains(6, 2));
    EXPECT_FALSE(moved.Contains(7, 2));
    EXPECT_TRUE(a.Contains(0, 0)); // the copy was moved, not the original

    // Wild coordinates do not make the region allocate a giant mask.
    const TRegion huge = TRegion::Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_TRUE(huge.Contains(0, 0));
}

TEST(CanvasRegion, ClipRegionLimitsEveryKindOfDrawing)
{
    TBitmap b = SolidBitmap(8, 4, clWhite);
    TCanvas c(b);
    const TRegion clip = TRegion::Rect(2, 0, 5, 4).Combined(TRegion::Rect(0, 3, 8, 4), TRegion::Op::Union);
    c.SetClipRegion(&clip);
    c.Brush.SetColor(clRed);
    c.FillRect(TRect(0, 0, 8, 4));
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"..rrr...", "..rrr...", "..rrr...", "rrrrrrrr"}));
    c.MoveTo(0, 1);
    c.LineTo(8, 1);
    c.SetPixel(0, 0, clBlue);
    c.SetPixel(2, 0, clBlue);
    TBitmap patch = SolidBitmap(8, 4, clBlue);
    c.Draw(0, 2, patch);
    c.Brush.SetColor(clBlack);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"..brr...", "..###...", "..bbb...", "bbbbbbbb"}));
    // The clip rectangle is ours, removing it lets drawing reach everywhere again.
    c.SetClipRegion(nullptr);
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
        c.EndPath();
    };
    TBitmap s = SolidBitmap(10, 10, clWhite);
    TCanvas cs(s);
    build(cs);
    EXPECT_EQ(s.Pixel(1, 1), clWhite); // nothing drawn while the path is built
    cs.StrokePath();
    EXPECT_EQ(s.Pixel(1, 1), clBlack);
    EXPECT_EQ(s.Pixel(8, 8), clBlack);
    EXPECT_EQ(s.Pixel(4, 4), clWhite);
    EXPECT_EQ(s.Pixel(0, 0), clWhite);
    EXPECT_EQ(cs.PenPos, TPoint(1, 1));
    // The path is used up: a second stroke in another colour changes nothing.
    cs.Pen.Color = clRed;
    cs.StrokePath();
    EXPECT_EQ(s.Pixel(1, 1), clBlack);

    TBitmap f = SolidBitmap(10, 10, clWhite);
    TCanvas cf(f);
    cf.Brush.SetColor(clRed);
    build(cf);
    cf.FillPath();
    // Filled like a polygon region: up to the right and bottom edges, not including them.
    EXPECT_EQ(f.Pixel(1, 1), clRed);
    EXPECT_EQ(f.Pixel(7, 7), clRed);
    EXPECT_EQ(f.Pixel(8, 4), clWhite);
    EXPECT_EQ(f.Pixel(4, 8), clWhite);

    TBitmap sf = SolidBitmap(10, 10, clWhite);
    TCanvas csf(sf);
    csf.Brush.SetColor(clRed);
    csf.BeginPath();
    csf.Polygon({{1, 1}, {8, 1}, {8, 8}, {1, 8}});
    csf.PolyBezier({{0, 0}, {1, 1}, {2, 2}}); // wrong count: left out of the path
    csf.EndPath();
    csf.StrokeAndFillPath();
    EXPECT_EQ(sf.Pixel(1, 1), clBlack);
    EXPECT_EQ(sf.Pixel(8, 8), clBlack);
    EXPECT_EQ(sf.Pixel(4, 4), clRed);
    EXPECT_EQ(sf.Pixel(0, 0), clWhite);
    // Without BeginPath/EndPath the path calls do nothing.
    TBitmap n = SolidBitmap(4, 4, clWhite);
    TCanvas cn(n);
    cn.StrokePath();
    cn.FillPath();
    cn.StrokeAndFillPath();
    EXPECT_EQ(n, SolidBitmap(4, 4, clWhite));
}
