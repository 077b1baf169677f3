// Lines and figures drawn on small bitmaps, checked pixel by pixel.
#include "CanvasTestUtil.h"

#include <gtest/gtest.h>

TEST(CanvasFigures, RectangleBoundsOutlineAndClearPenOrBrush)
{
    TBitmap b = SolidBitmap(8, 6, clWhite);
    TCanvas c(b);
    c.Brush.SetColor(clRed);
    c.Rectangle(6, 5, 1, 1); // corners in any order
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"........", ".#####..", ".#rrr#..", ".#rrr#..", ".#####..", "........"}))
        << Dump(b);
    // A clear pen: the fill covers the whole box. A clear brush: only the outline.
    b.Fill(clWhite);
    c.Pen.Style = TPenStyle::psClear;
    c.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(InkBounds(b, clRed), TRect(1, 1, 6, 5));
    EXPECT_EQ(Count(b, clRed), 20);
    b.Fill(clLime);
    c.Pen.Style = TPenStyle::psSolid;
    c.Brush.SetStyle(TBrushStyle::bsClear);
    c.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Count(b, clBlack), 14);
    c.Pen.Style = TPenStyle::psClear;
    c.Ellipse(0, 0, 8, 6);
    c.FillRect(TRect(0, 0, 8, 6));
    EXPECT_EQ(Count(b, clLime), 48 - 14); // nothing at all
    c.Brush.SetColor(clBlue);             // a colour makes the brush solid again
    c.FillRect(TRect(0, 0, 2, 2));
    EXPECT_EQ(b.Pixel(1, 1), clBlue);

    // Boxes too thin to have an inside are all outline; an empty box draws nothing.
    TBitmap t = SolidBitmap(8, 4, clWhite);
    TCanvas ct(t);
    ct.Brush.SetColor(clRed);
    ct.Rectangle(0, 0, 1, 1);
    ct.Ellipse(2, 0, 4, 2);
    ct.RoundRect(5, 0, 6, 4, 3, 3);
    ct.Rectangle(0, 3, 3, 3);
    ct.Rectangle(-50, -50, -20, -20);
    EXPECT_EQ(Rows(t), (std::vector<std::string>{"#.##.#..", "..##.#..", ".....#..", ".....#.."})) << Dump(t);
}

TEST(CanvasFigures, CurvedFiguresStayInsideTheirBoxWithAPenOutline)
{
    for (int kind = 0; kind < 4; ++kind) {
        for (bool pen : {true, false}) {
            TBitmap b = SolidBitmap(20, 16, clWhite);
            TCanvas c(b);
            c.Brush.SetColor(clRed);
            if (!pen)
                c.Pen.Style = TPenStyle::psClear;
            switch (kind) {
            case 0: c.Ellipse(2, 3, 17, 14); break;
            case 1: c.RoundRect(2, 3, 17, 14, 6, 4); break;
            case 2: c.Pie(2, 3, 17, 14, 17, 3, 2, 3); break; // upper half
            case 3: c.Chord(2, 3, 17, 14, 2, 8, 17, 8); break; // lower half
            }
            const TRect ink = InkBounds(b);
            if (kind < 2) {
                EXPECT_EQ(ink, TRect(2, 3, 17, 14)) << kind << Dump(b);
            }
            EXPECT_TRUE(ink.Left >= 2 && ink.Top >= 3 && ink.Right <= 17 && ink.Bottom <= 14) << kind << Dump(b);
            if (!pen)
                continue;
            // No fill pixel touches the outside: the outline is all around.
            for (int y = 0; y < b.Height(); ++y)
                for (int x = 0; x < b.Width(); ++x)
                    if (b.Pixel(x, y) == clRed) {
                        EXPECT_TRUE(b.Pixel(x - 1, y) != clWhite && b.Pixel(x + 1, y) != clWhite
                                    && b.Pixel(x, y - 1) != clWhite && b.Pixel(x, y + 1) != clWhite)
                            << kind << " at " << x << "," << y << Dump(b);
                    }
            EXPECT_GT(Count(b, clRed), 10) << kind << Dump(b);
        }
    }
}

TEST(CanvasFigures, PieChordAndArcRunCounterClockwise)
{
    // From the radial through the right-hand point to the one through the top point:
    // the top-right quarter; the same points swapped: the other three quarters.
    TBitmap b = SolidBitmap(21, 21, clWhite);
    TCanvas c(b);
    c.Brush.SetColor(clRed);
    c.Pie(0, 0, 21, 21, 20, 10, 10, 0);
    EXPECT_EQ(InkBounds(b), TRect(10, 0, 21, 11)) << Dump(b);
    EXPECT_EQ(b.Pixel(15, 5), clRed);
    b.Fill(clWhite);
    c.Pie(0, 0, 21, 21, 10, 0, 20, 10);
    EXPECT_EQ(b.Pixel(15, 5), clWhite) << Dump(b);
    EXPECT_TRUE(b.Pixel(5, 5) == clRed && b.Pixel(5, 15) == clRed && b.Pixel(15, 15) == clRed) << Dump(b);
    // Chord from the left to the right point: the lower half, closed by a straight line.
    b.Fill(clWhite);
    c.Chord(0, 0, 21, 21, 0, 10, 20, 10);
    EXPECT_EQ(b.Pixel(10, 15), clRed) << Dump(b);
    EXPECT_EQ(b.Pixel(10, 5), clWhite);
    EXPECT_EQ(b.Pixel(5, 10), clBlack);
    // Arc: the first pie's quarter, outline only.
    b.Fill(clWhite);
    c.Arc(0, 0, 21, 21, 20, 10, 10, 0);
    EXPECT_EQ(InkBounds(b), TRect(10, 0, 21, 11)) << Dump(b);
    EXPECT_EQ(Count(b, clRed), 0);
    EXPECT_EQ(b.Pixel(17, 3), clBlack) << Dump(b);
}

TEST(CanvasFigures, LinesLeaveOutTheirLastPixel)
{
    TBitmap b = SolidBitmap(8, 5, clWhite);
    TCanvas c(b);
    c.MoveTo(1, 1);
    c.LineTo(6, 1);
    c.LineTo(6, 4);
    EXPECT_EQ(c.PenPos, TPoint(6, 4));
    c.Pen.Color = clRed;
    c.MoveTo(0, 4);
    c.LineTo(3, 1);
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"........", ".######.", "..r...#.", ".r....#.", "r......."})) << Dump(b);
    // Polyline: the joints once, the final point not; too few points draw nothing.
    TBitmap p = SolidBitmap(6, 4, clWhite);
    TCanvas cp(p);
    cp.Polyline({{0, 0}, {4, 0}, {4, 3}});
    cp.Polyline({});
    cp.Polyline({{1, 1}});
    EXPECT_EQ(Rows(p), (std::vector<std::string>{"#####.", "....#.", "....#.", "......"})) << Dump(p);
}

TEST(CanvasFigures, PolygonVerticesAreInclusiveAndFillRulesDiffer)
{
    TBitmap b = SolidBitmap(8, 8, clWhite);
    TCanvas c(b);
    c.Brush.SetColor(clRed);
    c.Polygon({{1, 1}, {6, 1}, {6, 6}, {1, 6}});
    c.Polygon({});
    c.Polygon({{0, 0}});
    EXPECT_EQ(InkBounds(b), TRect(1, 1, 7, 7)) << Dump(b);
    EXPECT_EQ(Count(b, clRed), 16) << Dump(b);

    // A pentagram: the middle is inside by the winding rule only; the vertices belong to
    // the figure even without a pen.
    const std::vector<TPoint> star{{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    for (TPolyFillMode mode : {TPolyFillMode::Alternate, TPolyFillMode::Winding}) {
        TBitmap s = SolidBitmap(21, 21, clWhite);
        TCanvas cs(s);
        cs.Brush.SetColor(clRed);
        cs.Pen.Style = TPenStyle::psClear;
        cs.PolyFillMode = mode;
        cs.Polygon(star);
        EXPECT_EQ(s.Pixel(10, 10), mode == TPolyFillMode::Winding ? clRed : clWhite) << Dump(s);
        EXPECT_TRUE(s.Pixel(10, 3) == clRed && s.Pixel(10, 0) == clRed && s.Pixel(20, 7) == clRed) << Dump(s);
    }
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
    EXPECT_TRUE(b.Pixel(0, 0) == clBlack && b.Pixel(15, 0) == clBlack);
    EXPECT_EQ(b.Pixel(7, 11), clBlack) << Dump(b); // lowest point of the curve, y = 11.25
    EXPECT_EQ(b.Pixel(7, 15), clWhite) << Dump(b);
}

TEST(CanvasFigures, NotXorInvertsEachPixelOnceAndTwiceRestores)
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
    auto drawAll = [&] {
        c.Brush.SetStyle(TBrushStyle::bsClear);
        c.Rectangle(1, 1, 20, 15);
        c.Ellipse(4, 3, 22, 18);
        c.MoveTo(0, 19);
        c.LineTo(23, 0);
        c.Polyline({{3, 3}, {10, 3}, {10, 10}, {3, 3}});
        c.Brush.SetColor(clBlue);
        c.Pie(0, 0, 20, 20, 20, 10, 10, 0);
        c.Brush.SetStyle(TBrushStyle::bsDiagCross);
        c.Polygon({{1, 1}, {18, 3}, {10, 18}});
    };
    drawAll();
    EXPECT_EQ(b.Pixel(1, 14), clBlack) << Dump(b); // a black pen inverts white
    drawAll();
    EXPECT_EQ(b, before) << Dump(b);

    // A black fill and outline in not-xor on white look like a plain black figure: no
    // pixel is inverted by both. A hatch inverts its lines only.
    for (int kind = 0; kind < 3; ++kind) {
        TBitmap x = SolidBitmap(20, 20, clWhite), plain = SolidBitmap(20, 20, clWhite);
        TCanvas cx(x), cp(plain);
        cx.Pen.Mode = TPenMode::pmNotXor;
        for (TCanvas* k : {&cx, &cp}) {
            k->Brush.SetColor(clBlack);
            if (kind == 0)
                k->Ellipse(1, 1, 19, 15);
            else if (kind == 1)
                k->Polygon({{1, 1}, {18, 3}, {10, 18}});
            else
                k->Pie(0, 0, 20, 20, 20, 10, 0, 10);
        }
        EXPECT_EQ(x, plain) << kind << Dump(x) << Dump(plain);
    }
    TBitmap h = SolidBitmap(16, 16, clLime);
    TCanvas ch(h);
    ch.Pen.Mode = TPenMode::pmNotXor;
    ch.Pen.Style = TPenStyle::psClear;
    ch.Brush.SetColor(clBlack);
    ch.Brush.SetStyle(TBrushStyle::bsHorizontal);
    ch.Rectangle(0, 0, 16, 16);
    EXPECT_EQ(h.Pixel(4, 8), clFuchsia);
    EXPECT_EQ(h.Pixel(4, 9), clLime);
}

TEST(CanvasFigures, PenStylesAndWidths)
{
    TBitmap b = SolidBitmap(40, 3, clWhite);
    TCanvas c(b);
    c.MoveTo(0, 1);
    c.LineTo(40, 1);
    EXPECT_EQ(Count(b, clBlack), 40);
    b.Fill(clWhite);
    c.Pen.Style = TPenStyle::psDash; // 18 on, 6 off, 16 more on
    c.MoveTo(0, 1);
    c.LineTo(40, 1);
    EXPECT_EQ(Rows(b)[1], "##################......################") << Dump(b);
    b.Fill(clWhite);
    c.Pen.Style = TPenStyle::psDot; // the pattern runs on across the joints
    c.Polyline({{0, 1}, {4, 1}, {12, 1}});
    EXPECT_EQ(Rows(b)[1].substr(0, 12), "###...###...");

    // A wide pen is centred on the outline; inside-frame keeps it inside the box.
    TBitmap w = SolidBitmap(20, 20, clWhite);
    TCanvas cw(w);
    cw.Brush.SetStyle(TBrushStyle::bsClear);
    cw.Pen.Width = 3;
    cw.Rectangle(4, 4, 16, 16);
    EXPECT_EQ(InkBounds(w), TRect(3, 3, 17, 17)) << Dump(w);
    w.Fill(clWhite);
    cw.Pen.Style = TPenStyle::psInsideFrame;
    cw.Rectangle(4, 4, 16, 16);
    EXPECT_EQ(InkBounds(w), TRect(4, 4, 16, 16)) << Dump(w);
    EXPECT_TRUE(w.Pixel(6, 10) == clBlack && w.Pixel(7, 10) == clWhite) << Dump(w);
}

TEST(CanvasFigures, FocusRectIsDottedAndSecondCallRemovesIt)
{
    TBitmap b = SolidBitmap(8, 6, clWhite);
    TCanvas c(b);
    c.DrawFocusRect(TRect(1, 1, 7, 5));
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"........", ".#.#.#..", "......#.", ".#......", "..#.#.#.", "........"}))
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
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"bbbg", "gggg", "gggg"}));

    b.SetSize(10, 8);
    c.Brush.SetColor(clRed);
    c.FillRect(TRect(5, 5, 10, 8));
    EXPECT_TRUE(b.Pixel(9, 7) == clRed && b.Pixel(4, 7) == clWhite);
    b.SetSize(2, 2);
    c.Rectangle(0, 0, 20, 20);
    EXPECT_EQ(b.Pixel(1, 1), clRed);
    b.SetSize(0, 0);
    c.Rectangle(0, 0, 20, 20); // nothing to draw on
    c.FloodFill(0, 0, clRed);
    c.TextOut(0, 0, "x");
    EXPECT_TRUE(b.Empty());
}

TEST(CanvasFigures, WildCoordinatesNeitherCrashNorHang)
{
    TBitmap b = SolidBitmap(50, 40, clWhite);
    TCanvas c(b);
    const int big = 2000000000;
    c.Brush.SetColor(clRed);
    c.MoveTo(-big, -big);
    c.LineTo(big, big);
    c.Rectangle(-big, -big, big, big);
    c.Ellipse(-big, -big, big, big);
    c.RoundRect(-big, 5, big, 30, big, big);
    c.Pie(-big, -big, big, big, big, 0, 0, -big);
    c.Arc(-big, -big, big, big, 0, 0, 0, 0);
    c.Polygon({{-big, -big}, {big, 0}, {0, big}});
    c.PolyBezier({{-big, 0}, {big, big}, {-big, big}, {big, 0}});
    c.FrameRect(TRect(-big, -big, big, big));
    c.DrawFocusRect(TRect(-big, 3, big, 9));
    c.TextOut(big, big, "far away");
    c.TextOutRotated(-big, 0, "far away", 900);
    c.Pen.Width = 1000000;
    c.Rectangle(0, 0, 10, 10);
    c.Font.SetHeight(-2000000000);
    c.TextOut(0, 0, "x");
    EXPECT_NE(b.Pixel(25, 25), clWhite);
}
