// Drawing bitmaps onto a canvas: copies, stretches, transparency.
#include "graphics/canvas/Canvas.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::pair<char, TColor>> kLegend{{'.', clWhite}, {'#', clBlack}, {'r', clRed}, {'g', clLime},
                                                   {'b', clBlue}, {'y', clYellow}};

std::string Dump(const TBitmap& b)
{
    std::string s = "\n";
    for (const std::string& row : RowsFromBitmap(b, kLegend))
        s += row + "\n";
    return s;
}

} // namespace

TEST(CanvasBitmaps, StretchPicksTheNearestSourcePixel)
{
    const TBitmap src = BitmapFromRows({"rg", "by"}, kLegend);
    TBitmap b = SolidBitmap(6, 5, clWhite);
    TCanvas c(b);
    c.StretchDraw(TRect(1, 1, 5, 5), src);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{
                                              "......",
                                              ".rrgg.",
                                              ".rrgg.",
                                              ".bbyy.",
                                              ".bbyy.",
                                          }))
        << Dump(b);
    // Three source columns onto two: the pixel under each destination centre (0.75, 2.25).
    const TBitmap three = BitmapFromRows({"rgb"}, kLegend);
    TBitmap t = SolidBitmap(2, 1, clWhite);
    TCanvas ct(t);
    ct.StretchDraw(TRect(0, 0, 2, 1), three);
    EXPECT_EQ(RowsFromBitmap(t, kLegend)[0], "rb");
    // Shrinking 4 to 1 takes the pixel under the centre.
    const TBitmap four = BitmapFromRows({"rgby"}, kLegend);
    TBitmap one = SolidBitmap(1, 1, clWhite);
    TCanvas co(one);
    co.StretchDraw(TRect(0, 0, 1, 1), four);
    EXPECT_EQ(one.Pixel(0, 0), clBlue);
    // Reversed destination corners mirror the picture.
    TBitmap m = SolidBitmap(3, 1, clWhite);
    TCanvas cm(m);
    cm.CopyRect(TRect(3, 0, 0, 1), three, TRect(0, 0, 3, 1));
    EXPECT_EQ(RowsFromBitmap(m, kLegend)[0], "bgr");
}

TEST(CanvasBitmaps, CopyRectClipsAndCopiesWithinOneBitmap)
{
    TBitmap b = BitmapFromRows({"rgb.", "y#..", "....", "...."}, kLegend);
    TCanvas c(b);
    // Overlapping copy of the bitmap onto itself reads the picture as it was.
    c.CopyRect(TRect(1, 0, 4, 2), b, TRect(0, 0, 3, 2));
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"rrgb", "yy#.", "....", "...."})) << Dump(b);
    // Partly outside on either side: only the overlap is touched, nothing else.
    const TBitmap src = BitmapFromRows({"bb", "bb"}, kLegend);
    c.CopyRect(TRect(-1, 3, 1, 5), src, TRect(0, 0, 2, 2));
    c.CopyRect(TRect(0, 0, 2, 2), src, TRect(1, 1, 3, 3)); // only source pixel (1, 1) exists
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"brgb", "yy#.", "....", "b..."})) << Dump(b);
    // Huge rectangles do not take forever.
    c.StretchDraw(TRect(-2000000000, -2000000000, 2000000000, 2000000000), src);
    EXPECT_EQ(b.Pixel(3, 3), clBlue);
}

TEST(CanvasBitmaps, TransparencyLeavesOutExactlyTheKeyColour)
{
    // A transparent bitmap leaves out its bottom-left colour (green here).
    TBitmap sprite = BitmapFromRows({"gr", "rg", "gb"}, kLegend);
    sprite.SetTransparent(true);
    TBitmap b = SolidBitmap(3, 3, clYellow);
    TCanvas c(b);
    c.Draw(1, 0, sprite);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"yyr", "yry", "yyb"})) << Dump(b);
    // Not transparent: everything is copied.
    sprite.SetTransparent(false);
    c.Draw(0, 0, sprite);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"grr", "rgy", "gbb"})) << Dump(b);
    // Stretched, a transparent bitmap still leaves its colour out.
    sprite.SetTransparent(true);
    TBitmap s = SolidBitmap(4, 6, clWhite);
    TCanvas cs(s);
    cs.StretchDraw(TRect(0, 0, 4, 6), sprite);
    EXPECT_EQ(RowsFromBitmap(s, kLegend)[0], "..rr");
    EXPECT_EQ(RowsFromBitmap(s, kLegend)[5], "..bb");

    // A key colour one step away from a pixel's colour is not skipped.
    TBitmap near = SolidBitmap(3, 1, RGB(10, 20, 30));
    near.SetPixel(1, 0, RGB(10, 20, 31));
    near.SetPixel(2, 0, RGB(11, 20, 30));
    TBitmap t = SolidBitmap(3, 1, clWhite);
    TCanvas ct(t);
    ct.DrawTransparent(0, 0, near, RGB(10, 20, 30));
    EXPECT_EQ(t.Pixel(0, 0), clWhite);
    EXPECT_EQ(t.Pixel(1, 0), RGB(10, 20, 31));
    EXPECT_EQ(t.Pixel(2, 0), RGB(11, 20, 30));
}

TEST(CanvasBitmaps, EightBitSourcesAreReadThroughTheirPalette)
{
    TBitmap src(2, 1, TPixelFormat::pf8bit);
    src.SetPalette({clRed, clBlue});
    src.SetPixel(1, 0, clBlue);
    TBitmap b = SolidBitmap(4, 1, clWhite);
    TCanvas c(b);
    c.Draw(1, 0, src);
    EXPECT_EQ(RowsFromBitmap(b, kLegend)[0], ".rb.");
    EXPECT_EQ(src.PixelFormat(), TPixelFormat::pf8bit); // the source is left as it is
    c.DrawTransparent(0, 0, src, clRed);
    EXPECT_EQ(RowsFromBitmap(b, kLegend)[0], ".bb.");
}
