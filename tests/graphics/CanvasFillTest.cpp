// Flood fill and brush hatches.
#include "graphics/canvas/Canvas.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::pair<char, TColor>> kLegend{{'.', clWhite}, {'#', clBlack}, {'r', clRed}, {'g', clLime}, {'b', clBlue}};

std::string Dump(const TBitmap& b)
{
    std::string s = "\n";
    for (const std::string& row : RowsFromBitmap(b, kLegend))
        s += row + "\n";
    return s;
}

} // namespace

TEST(CanvasFill, SurfaceFillTakesTheFourConnectedAreaOnly)
{
    TBitmap b = BitmapFromRows({
                                   "...#....",
                                   "...#.#..",
                                   "####.#..",
                                   "....#...",
                                   "..g.#...",
                               },
                               kLegend);
    TCanvas c(b);
    c.Brush.SetColor(clRed);
    c.FloodFill(4, 0, clWhite, TFillStyle::fsSurface);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{
                                              "...#rrrr",
                                              "...#r#rr",
                                              "####r#rr",
                                              "....#rrr",
                                              "..g.#rrr",
                                          }))
        << Dump(b);
    // The diagonal gap at (3,3)-(4,2) does not let the fill through; the top-left
    // corner stays white. Then fill that corner too, from a pixel of another colour: nothing.
    const TBitmap before = b;
    c.FloodFill(3, 0, clWhite, TFillStyle::fsSurface);
    EXPECT_EQ(b, before);
    c.FloodFill(0, 0, clWhite, TFillStyle::fsSurface);
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    EXPECT_EQ(b.Pixel(0, 3), clWhite);
    // Out of the bitmap: nothing, no crash.
    c.FloodFill(-1, 0, clWhite);
    c.FloodFill(0, 99, clWhite);
}

TEST(CanvasFill, BorderFillStopsAtTheBorderColourAndFillingWithTheSameColourEnds)
{
    TBitmap b = BitmapFromRows({
                                   "......",
                                   ".####.",
                                   ".#.g#.",
                                   ".#..#.",
                                   ".####.",
                                   "......",
                               },
                               kLegend);
    TCanvas c(b);
    c.Brush.SetColor(clBlue);
    c.FloodFill(2, 2, clBlack, TFillStyle::fsBorder);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{
                                              "......",
                                              ".####.",
                                              ".#bb#.",
                                              ".#bb#.",
                                              ".####.",
                                              "......",
                                          }))
        << Dump(b);
    // Filling an area with the colour it already has must still end.
    TBitmap big = SolidBitmap(300, 200, clWhite);
    TCanvas cb(big);
    cb.Brush.SetColor(clWhite);
    cb.FloodFill(150, 100, clWhite);
    EXPECT_EQ(big.Pixel(0, 0), clWhite);
    // A large area with a maze of stripes fills completely without deep recursion.
    for (int x = 1; x < 300; x += 2)
        for (int y = (x % 4 == 1 ? 0 : 1); y < (x % 4 == 1 ? 199 : 200); ++y)
            big.SetPixel(x, y, clBlack);
    cb.Brush.SetColor(clRed);
    cb.FloodFill(0, 0, clWhite);
    EXPECT_EQ(big.Pixel(298, 199), clRed);
    EXPECT_EQ(big.Pixel(2, 100), clRed);
    EXPECT_EQ(big.Pixel(1, 100), clBlack);
}

TEST(CanvasFill, HatchesRepeatEveryEightPixelsFromTheOrigin)
{
    auto hatched = [](TBrushStyle style) {
        TBitmap b = SolidBitmap(16, 16, clWhite);
        TCanvas c(b);
        c.Brush.SetColor(clRed);
        c.Brush.SetStyle(style);
        c.FillRect(TRect(0, 0, 16, 16));
        return b;
    };
    auto rows = [](const TBitmap& b, int y0) {
        std::vector<std::string> r = RowsFromBitmap(b, kLegend);
        return std::vector<std::string>(r.begin() + y0, r.begin() + y0 + 8);
    };
    const TBitmap h = hatched(TBrushStyle::bsHorizontal);
    EXPECT_EQ(rows(h, 0)[0], "rrrrrrrrrrrrrrrr");
    EXPECT_EQ(rows(h, 0)[1], "................");
    EXPECT_EQ(rows(h, 0), rows(h, 8));
    const TBitmap v = hatched(TBrushStyle::bsVertical);
    EXPECT_EQ(rows(v, 0)[3], "r.......r.......");
    const TBitmap f = hatched(TBrushStyle::bsFDiagonal);
    EXPECT_EQ(rows(f, 0)[2], "..r.......r.....") << Dump(f);
    const TBitmap bd = hatched(TBrushStyle::bsBDiagonal);
    EXPECT_EQ(rows(bd, 0)[2], ".....r.......r..") << Dump(bd);
    const TBitmap x = hatched(TBrushStyle::bsCross);
    EXPECT_EQ(rows(x, 8)[0], "rrrrrrrrrrrrrrrr");
    EXPECT_EQ(rows(x, 8)[5], "r.......r.......");
    const TBitmap dx = hatched(TBrushStyle::bsDiagCross);
    EXPECT_EQ(rows(dx, 0)[1], ".r....r..r....r.") << Dump(dx);

    // The pattern belongs to the bitmap, not to the figure: a rectangle starting at
    // (3, 3) shows the same lines the whole bitmap would.
    TBitmap part = SolidBitmap(16, 16, clWhite);
    TCanvas c(part);
    c.Brush.SetColor(clRed);
    c.Brush.SetStyle(TBrushStyle::bsHorizontal);
    c.Pen.Style = TPenStyle::psClear;
    c.Rectangle(3, 3, 14, 14);
    EXPECT_EQ(part.Pixel(5, 8), clRed) << Dump(part);
    EXPECT_EQ(part.Pixel(5, 7), clWhite);
    EXPECT_EQ(part.Pixel(5, 3), clWhite); // between the lines the picture shows through

    // Flood fill uses the hatch too.
    TBitmap ff = SolidBitmap(16, 16, clLime);
    TCanvas cf(ff);
    cf.Brush.SetColor(clRed);
    cf.Brush.SetStyle(TBrushStyle::bsVertical);
    cf.FloodFill(4, 4, clLime);
    EXPECT_EQ(ff.Pixel(8, 3), clRed);
    EXPECT_EQ(ff.Pixel(7, 3), clLime);
}

TEST(CanvasFill, FrameRectUsesTheBrush)
{
    TBitmap b = SolidBitmap(6, 5, clWhite);
    TCanvas c(b);
    c.Brush.SetColor(clBlue);
    c.FrameRect(TRect(1, 1, 5, 5));
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{
                                              "......",
                                              ".bbbb.",
                                              ".b..b.",
                                              ".b..b.",
                                              ".bbbb.",
                                          }))
        << Dump(b);
}
