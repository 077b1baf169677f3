// Flood fill and brush hatches.
#include "CanvasTestUtil.h"

#include <gtest/gtest.h>

TEST(CanvasFill, SurfaceFillTakesTheFourConnectedAreaOnly)
{
    TBitmap b = FromRows({"...#....", "...#.#..", "####.#..", "....#...", "..g.#..."});
    TCanvas c(b);
    c.Brush.SetColor(clRed);
    c.FloodFill(4, 0, clWhite, TFillStyle::fsSurface);
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"...#rrrr", "...#r#rr", "####r#rr", "....#rrr", "..g.#rrr"}))
        << Dump(b);
    // Starting on another colour, or outside the bitmap: nothing.
    const TBitmap before = b;
    c.FloodFill(3, 0, clWhite);
    c.FloodFill(-1, 0, clWhite);
    c.FloodFill(0, 99, clWhite);
    EXPECT_EQ(b, before);
}

TEST(CanvasFill, BorderFillStopsAtTheBorderColourAndBigAreasEnd)
{
    TBitmap b = FromRows({"......", ".####.", ".#.g#.", ".#..#.", ".####.", "......"});
    TCanvas c(b);
    c.Brush.SetColor(clBlue);
    c.FloodFill(2, 2, clBlack, TFillStyle::fsBorder);
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"......", ".####.", ".#bb#.", ".#bb#.", ".####.", "......"})) << Dump(b);

    // Filling with the area's own colour ends; so does a serpentine area of 60000 pixels
    // (a recursive fill would go some 30000 calls deep).
    TBitmap big = SolidBitmap(300, 200, clWhite);
    TCanvas cb(big);
    cb.Brush.SetColor(clWhite);
    cb.FloodFill(150, 100, clWhite);
    for (int x = 1; x < 300; x += 2)
        for (int y = (x % 4 == 1 ? 0 : 1); y < (x % 4 == 1 ? 199 : 200); ++y)
            big.SetPixel(x, y, clBlack);
    cb.Brush.SetColor(clRed);
    cb.FloodFill(0, 0, clWhite);
    EXPECT_EQ(Count(big, clWhite), 0);
}

TEST(CanvasFill, HatchesRepeatEveryEightPixelsFromTheOrigin)
{
    auto row = [](TBrushStyle style, int y) {
        TBitmap b = SolidBitmap(16, 16, clWhite);
        TCanvas c(b);
        c.Brush.SetColor(clRed);
        c.Brush.SetStyle(style);
        c.FillRect(TRect(0, 0, 16, 16));
        EXPECT_EQ(Rows(b)[y], Rows(b)[y + 8]);
        return Rows(b)[y].substr(0, 8);
    };
    EXPECT_EQ(row(TBrushStyle::bsHorizontal, 0), "rrrrrrrr");
    EXPECT_EQ(row(TBrushStyle::bsHorizontal, 1), "........");
    EXPECT_EQ(row(TBrushStyle::bsVertical, 3), "r.......");
    EXPECT_EQ(row(TBrushStyle::bsFDiagonal, 2), "..r.....");
    EXPECT_EQ(row(TBrushStyle::bsBDiagonal, 2), ".....r..");
    EXPECT_EQ(row(TBrushStyle::bsCross, 5), "r.......");
    EXPECT_EQ(row(TBrushStyle::bsDiagCross, 1), ".r....r.");

    // The pattern belongs to the bitmap, not to the figure, and leaves the gaps alone.
    TBitmap part = SolidBitmap(16, 16, clWhite);
    TCanvas c(part);
    c.Brush.SetColor(clRed);
    c.Brush.SetStyle(TBrushStyle::bsHorizontal);
    c.Pen.Style = TPenStyle::psClear;
    c.Rectangle(3, 3, 14, 14);
    EXPECT_TRUE(part.Pixel(5, 8) == clRed && part.Pixel(5, 7) == clWhite && part.Pixel(5, 3) == clWhite) << Dump(part);
    // Flood fill and FrameRect use the brush too.
    TBitmap ff = SolidBitmap(16, 16, clLime);
    TCanvas cf(ff);
    cf.Brush.SetColor(clRed);
    cf.Brush.SetStyle(TBrushStyle::bsVertical);
    cf.FloodFill(4, 4, clLime);
    EXPECT_TRUE(ff.Pixel(8, 3) == clRed && ff.Pixel(7, 3) == clLime);
    TBitmap fr = SolidBitmap(6, 5, clWhite);
    TCanvas cr(fr);
    cr.Brush.SetColor(clBlue);
    cr.FrameRect(TRect(1, 1, 5, 5));
    EXPECT_EQ(Rows(fr), (std::vector<std::string>{"......", ".bbbb.", ".b..b.", ".b..b.", ".bbbb."})) << Dump(fr);
}
