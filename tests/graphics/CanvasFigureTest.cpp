// Lines and figures drawn on small bitmaps, checked pixel by pixel.
#include "graphics/canvas/Canvas.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::pair<char, TColor>> kLegend{{'.', clWhite}, {'#', clBlack}, {'r', clRed}, {'g', clLime},
                                                   {'b', clBlue}, {'y', clYellow}, {'k', RGB(0, 255, 255) ^ 0xFFFFFF}};

std::string Dump(const TBitmap& b)
{
    std::string s = "\n";
    for (const std::string& row : RowsFromBitmap(b, kLegend))
        s += row + "\n";
    return s;
}

// Smallest rectangle holding every pixel that is not `background`.
TRect InkBounds(const TBitmap& b, TColor background = clWhite)
{
    TRect r(b.Width(), b.Height(), -1, -1);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != background) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

int Count(const TBitmap& b, TColor c)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.Pixel(x, y) == c;
    return n;
}

} // namespace

TEST(CanvasFigures, RectangleCoversItsBoxWithoutRightAndBottomBound)
{
    TBitmap b = SolidBitmap(8, 6, clWhite);
    TCanvas c(b);
    c.Brush.SetColor(clRed);
    c.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{
                                              "........",
                                              ".#####..",
                                              ".#rrr#..",
                                              ".#rrr#..",
                                              ".#####..",
                                              "........",
                                          }))
        << Dump(b);
    // Corners given the other way round draw the same box.
    TBitmap b2 = SolidBitmap(8, 6, clWhite);
    TCanvas c2(b2);
    c2.Brush.SetColor(clRed);
    c2.Rectangle(6, 5, 1, 1);
    EXPECT_EQ(b2, b);
}

TEST(CanvasFigures, ClearPenFillsTheWholeBoxAndClearBrushPaintsNothing)
{
    TBitmap b = SolidBitmap(8, 6, clWhite);
    TCanvas c(b);
    c.Brush.SetColor(clRed);
    c.Pen.Style = TPenStyle::psClear;
    c.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(InkBounds(b), TRect(1, 1, 6, 5)) << Dump(b);
    EXPECT_EQ(Count(b, clRed), 20);

    TBitmap e = SolidBitmap(12, 12, clWhite);
    TCanvas ce(e);
    ce.Brush.SetColor(clRed);
    ce.Pen.Style = TPenStyle::psClear;
    ce.Ellipse(1, 1, 11, 9);
    EXPECT_EQ(InkBounds(e), TRect(1, 1, 11, 9)) << Dump(e);
    // Same area as outline plus fill with a pen.
    TBitmap f = SolidBitmap(12, 12, clWhite);
    TCanvas cf(f);
    cf.Brush.SetColor(clRed);
    cf.Ellipse(1, 1, 11, 9);
    EXPECT_EQ(Count(e, clRed), Count(f, clRed) + Count(f, clBlack)) << Dump(e) << Dump(f);

    // A clear brush leaves the inside alone, and a clear brush with a clear pen draws nothing.
    TBitmap g = SolidBitmap(8, 6, clLime);
    TCanvas cg(g);
    cg.Brush.SetStyle(TBrushStyle::bsClear);
    cg.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(g.Pixel(3, 2), clLime);
    EXPECT_EQ(g.Pixel(1, 1), clBlack);
    cg.Pen.Style = TPenStyle::psClear;
    cg.Brush.SetStyle(TBrushStyle::bsClear);
    cg.Ellipse(0, 0, 8, 6);
    cg.FillRect(TRect(0, 0, 8, 6));
    EXPECT_EQ(Count(g, clLime), 48 - 14);
    // Setting a colour makes the clear brush solid again.
    cg.Brush.SetColor(clBlue);
    cg.FillRect(TRect(0, 0, 2, 2));
    EXPECT_EQ(g.Pixel(1, 1), clBlue);
}

TEST(CanvasFigures, CurvedFiguresStayInsideTheirBoxAndHaveAPenOutline)
{
    for (int kind = 0; kind < 4; ++kind) {
        TBitmap b = SolidBitmap(20, 16, clWhite);
        TCanvas c(b);
        c.Brush.SetColor(clRed);
        switch (kind) {
        case 0: c.Ellipse(2, 3, 17, 14); break;
        case 1: c.RoundRect(2, 3, 17, 14, 6, 4); break;
        case 2: c.Pie(2, 3, 17, 14, 17, 3, 2, 3); break;   // upper half
        case 3: c.Chord(2, 3, 17, 14, 2, 8, 17, 8); break;   // lower half
        }
        const TRect ink = InkBounds(b);
        EXPECT_GE(ink.Left, 2) << kind << Dump(b);
        EXPECT_GE(ink.Top, 3) << kind << Dump(b);
        EXPECT_LE(ink.Right, 17) << kind << Dump(b);
        EXPECT_LE(ink.Bottom, 14) << kind << Dump(b);
        if (kind < 2) {
            EXPECT_EQ(ink, TRect(2, 3, 17, 14)) << kind << Dump(b);
        }
        // Every row's outermost pixels are outline, never fill.
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                if (b.Pixel(x, y) == clRed) {
                    EXPECT_NE(b.Pixel(x - 1, y), clWhite) << kind << " at " << x << "," << y << Dump(b);
                    EXPECT_NE(b.Pixel(x + 1, y), clWhite) << kind << " at " << x << "," << y << Dump(b);
                    EXPECT_NE(b.Pixel(x, y - 1), clWhite) << kind << " at " << x << "," << y << Dump(b);
                    EXPECT_NE(b.Pixel(x, y + 1), clWhite) << kind << " at " << x << "," << y << Dump(b);
                }
        EXPECT_GT(Count(b, clRed), 10) << kind << Dump(b);
    }
}

TEST(CanvasFigures, PieAndChordRunCounterClockwise)
{
    // From the radial through the right-hand point to the radial through the top point,
    // counter-clockwise: the top-right quarter.
    TBitmap b = SolidBitmap(21, 21, clWhite);
    TCanvas c(b);
    c.Brush.SetColor(clRed);
    c.Pie(0, 0, 21, 21, 20, 10, 10, 0);
    EXPECT_EQ(b.Pixel(15, 5), clRed) << Dump(b);
    EXPECT_EQ(b.Pixel(5, 5), clWhite) << Dump(b);
    EXPECT_EQ(b.Pixel(5, 15), clWhite) << Dump(b);
    EXPECT_EQ(b.Pixel(15, 15), clWhite) << Dump(b);
    // The same points the other way round: the three other quarters.
    TBitmap b2 = SolidBitmap(21, 21, clWhite);
    TCanvas c2(b2);
    c2.Brush.SetColor(clRed);
    c2.Pie(0, 0, 21, 21, 10, 0, 20, 10);
    EXPECT_EQ(b2.Pixel(15, 5), clWhite) << Dump(b2);
    EXPECT_EQ(b2.Pixel(5, 5), clRed) << Dump(b2);
    EXPECT_EQ(b2.Pixel(5, 15), clRed) << Dump(b2);
    EXPECT_EQ(b2.Pixel(15, 15), clRed) << Dump(b2);
    // Chord from the left to the right point: the lower half, closed by a straight line.
    TBitmap b3 = SolidBitmap(21, 21, clWhite);
    TCanvas c3(b3);
    c3.Brush.SetColor(clRed);
    c3.Chord(0, 0, 21, 21, 0, 10, 20, 10);
    EXPECT_EQ(b3.Pixel(10, 15), clRed) << Dump(b3);
    EXPECT_EQ(b3.Pixel(10, 5), clWhite) << Dump(b3);
    EXPECT_EQ(b3.Pixel(5, 10), clBlack) << Dump(b3); // on the closing line
}

TEST(CanvasFigures, LinesLeaveOutTheirLastPixel)
{
    TBitmap b = SolidBitmap(8, 5, clWhite);
    TCanvas c(b);
    c.MoveTo(1, 1);
    c.LineTo(6, 1);
    EXPECT_EQ(c.PenPos, TPoint(6, 1));
    c.LineTo(6, 4);
    c.Pen.Color = clRed;
    c.MoveTo(0, 4);
    c.LineTo(3, 1); // diagonal: (0,4) (1,3) (2,2), not (3,1)
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{
                                              "........",
                                              ".######.",
                                              "..r...#.",
                                              ".r....#.",
                                              "r.......",
                                          }))
        << Dump(b);
    // Polyline: the joints once, the final point not.
    TBitmap p = SolidBitmap(6, 4, clWhite);
    TCanvas cp(p);
    cp.Polyline({{0, 0}, {4, 0}, {4, 3}});
    EXPECT_EQ(RowsFromBitmap(p, kLegend), (std::vector<std::string>{"#####.", "....#.", "....#.", "......"})) << Dump(p);
    cp.Polyline({});
    cp.Polyline({{1, 1}});
    EXPECT_EQ(Count(p, clBlack), 7);
}

TEST(CanvasFigures, PolygonVerticesAreInclusiveAndFillRulesDiffer)
{
    TBitmap b = SolidBitmap(8, 8, clWhite);
    TCanvas c(b);
    c.Brush.SetColor(clRed);
    c.Polygon({{1, 1}, {6, 1}, {6, 6}, {1, 6}});
    EXPECT_EQ(InkBounds(b), TRect(1, 1, 7, 7)) << Dump(b);
    EXPECT_EQ(b.Pixel(6, 6), clBlack);
    EXPECT_EQ(Count(b, clRed), 16) << Dump(b);

    // A pentagram: the middle is inside by the winding rule only.
    const std::vector<TPoint> star{{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    TBitmap alt = SolidBitmap(21, 21, clWhite);
    TCanvas ca(alt);
    ca.Brush.SetColor(clRed);
    ca.Pen.Style = TPenStyle::psClear;
    ca.Polygon(star);
    TBitmap win = SolidBitmap(21, 21, clWhite);
    TCanvas cw(win);
    cw.Brush.SetColor(clRed);
    cw.Pen.Style = TPenStyle::psClear;
    cw.PolyFillMode = TPolyFillMode::Winding;
    cw.Polygon(star);
    EXPECT_EQ(alt.Pixel(10, 10), clWhite) << Dump(alt);
    EXPECT_EQ(win.Pixel(10, 10), clRed) << Dump(win);
    EXPECT_EQ(alt.Pixel(10, 3), clRed);
    EXPECT_EQ(win.Pixel(10, 3), clRed);
    // The vertices belong to the figure even without a pen.
    EXPECT_EQ(alt.Pixel(10, 0), clRed) << Dump(alt);
    EXPECT_EQ(alt.Pixel(20, 7), clRed) << Dump(alt);
    // Too few points draw nothing.
    TBitmap e = SolidBitmap(4, 4, clWhite);
    TCanvas ce(e);
    ce.Polygon({});
    ce.Polygon({{1, 1}});
    EXPECT_EQ(Count(e, clWhite), 16);
}

TEST(CanvasFigures, PolyBezierNeedsThreePointsPerSegmentPlusOne)
{
    TBitmap b = SolidBitmap(20, 20, clWhite);
    TCanvas c(b);
    c.PolyBezier({{0, 0}, {5, 15}, {10, 15}, {15, 0}, {19, 19}});
    c.PolyBezier({{0, 0}, {5, 15}});
    c.PolyBezier({});
    EXPECT_EQ(Count(b, clWhite), 400);
    c.PolyBezier({{0, 0}, {5, 15}, {10, 15}, {15, 0}});
    EXPECT_EQ(b.Pixel(0, 0), clBlack);
    EXPECT_EQ(b.Pixel(15, 0), clBlack);
    EXPECT_EQ(b.Pixel(7, 11), clBlack) << Dump(b); // the curve's lowest point, near y = 11.25
    EXPECT_EQ(b.Pixel(7, 15), clWhite) << Dump(b); // control points are not on it
}

TEST(CanvasFigures, NotXorDrawnTwiceRestoresThePicture)
{
    TBitmap b = SolidBitmap(24, 20, clWhite);
    TCanvas c(b);
    c.Brush.SetColor(clLime);
    c.Rectangle(2, 2, 12, 12);
    c.Pen.Color = clRed;
    c.MoveTo(0, 0);
    c.LineTo(23, 19);
    const TBitmap before = b;
    c.Pen.Mode = TPenMode::pmNotXor;
    c.Pen.Color = clBlack;
    c.Brush.SetStyle(TBrushStyle::bsClear);
    auto drawAll = [&] {
        c.Rectangle(1, 1, 20, 15);
        c.Ellipse(4, 3, 22, 18);
        c.MoveTo(0, 19);
        c.LineTo(23, 0);
        c.Polyline({{3, 3}, {10, 3}, {10, 10}, {3, 3}});
        c.Pie(0, 0, 20, 20, 20, 10, 10, 0);
    };
    drawAll();
    EXPECT_NE(b, before);
    // A black pen in not-xor inverts: white under the outline turns black, lime magenta.
    EXPECT_EQ(b.Pixel(19, 5), clBlack) << Dump(b);
    EXPECT_EQ(b.Pixel(1, 14), clBlack) << Dump(b);
    drawAll();
    EXPECT_EQ(b, before) << Dump(b);
}

TEST(CanvasFigures, PenStylesAndWidths)
{
    TBitmap solid = SolidBitmap(40, 3, clWhite);
    TCanvas cs(solid);
    cs.MoveTo(0, 1);
    cs.LineTo(40, 1);
    EXPECT_EQ(Count(solid, clBlack), 40);
    TBitmap dash = SolidBitmap(40, 3, clWhite);
    TCanvas cd(dash);
    cd.Pen.Style = TPenStyle::psDash;
    cd.MoveTo(0, 1);
    cd.LineTo(40, 1);
    // 18 on, 6 off, then 16 more on.
    EXPECT_EQ(Count(dash, clBlack), 34) << Dump(dash);
    EXPECT_EQ(dash.Pixel(17, 1), clBlack);
    EXPECT_EQ(dash.Pixel(18, 1), clWhite);
    EXPECT_EQ(dash.Pixel(23, 1), clWhite);
    EXPECT_EQ(dash.Pixel(24, 1), clBlack);
    TBitmap dot = SolidBitmap(12, 3, clWhite);
    TCanvas cdot(dot);
    cdot.Pen.Style = TPenStyle::psDot;
    cdot.MoveTo(0, 1);
    cdot.LineTo(12, 1);
    EXPECT_EQ(RowsFromBitmap(dot, kLegend)[1], "###...###...");
    // A dashed figure outline has gaps too.
    TBitmap rect = SolidBitmap(40, 40, clWhite);
    TCanvas cr(rect);
    cr.Pen.Style = TPenStyle::psDashDot;
    cr.Brush.SetStyle(TBrushStyle::bsClear);
    cr.Rectangle(0, 0, 40, 40);
    EXPECT_GT(Count(rect, clBlack), 80);
    EXPECT_LT(Count(rect, clBlack), 156 - 20) << Dump(rect);

    // A wide pen is centred on the outline; inside-frame keeps it inside the box.
    TBitmap wide = SolidBitmap(20, 20, clWhite);
    TCanvas cw(wide);
    cw.Brush.SetStyle(TBrushStyle::bsClear);
    cw.Pen.Width = 3;
    cw.Pen.Style = TPenStyle::psInsideFrame;
    cw.Rectangle(4, 4, 16, 16);
    EXPECT_EQ(InkBounds(wide), TRect(4, 4, 16, 16)) << Dump(wide);
    EXPECT_EQ(wide.Pixel(6, 10), clBlack);
    EXPECT_EQ(wide.Pixel(7, 10), clWhite);
    TBitmap centred = SolidBitmap(20, 20, clWhite);
    TCanvas cc(centred);
    cc.Brush.SetStyle(TBrushStyle::bsClear);
    cc.Pen.Width = 3;
    cc.Rectangle(4, 4, 16, 16);
    EXPECT_EQ(InkBounds(centred), TRect(3, 3, 17, 17)) << Dump(centred);
}

TEST(CanvasFigures, FocusRectIsDottedAndSecondCallRemovesIt)
{
    TBitmap b = SolidBitmap(8, 6, clWhite);
    TCanvas c(b);
    c.DrawFocusRect(TRect(1, 1, 7, 5));
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{
                                              "........",
                                              ".#.#.#..",
                                              "......#.",
                                              ".#......",
                                              "..#.#.#.",
                                              "........",
                                          }))
        << Dump(b);
    c.DrawFocusRect(TRect(1, 1, 7, 5));
    EXPECT_EQ(Count(b, clWhite), 48);
}

TEST(CanvasFigures, EightBitBitmapTurnsTwentyFourBitAndResizingIsFollowed)
{
    TBitmap b(4, 3, TPixelFormat::pf8bit);
    b.SetPalette({clLime, clRed});
    TCanvas c(b);
    EXPECT_EQ(c.Pixel(2, 2), clLime); // reading does not convert
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
    c.Pen.Color = clBlue;
    c.MoveTo(0, 0);
    c.LineTo(3, 0);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"bbbg", "gggg", "gggg"}));

    // The canvas draws on the bitmap's current size.
    b.SetSize(10, 8);
    c.Brush.SetColor(clRed);
    c.FillRect(TRect(5, 5, 10, 8));
    EXPECT_EQ(b.Pixel(9, 7), clRed);
    EXPECT_EQ(b.Pixel(4, 7), clWhite);
    b.SetSize(2, 2);
    c.Rectangle(0, 0, 20, 20);
    EXPECT_EQ(b.Pixel(1, 1), clRed);
    b.SetSize(0, 0);
    c.Rectangle(0, 0, 20, 20); // nothing to draw on, nothing happens
    c.FloodFill(0, 0, clRed);
    c.TextOut(0, 0, "x");
    EXPECT_TRUE(b.Empty());
}
