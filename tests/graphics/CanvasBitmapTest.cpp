// Drawing bitmaps onto a canvas: copies, stretches, transparency.
#include "CanvasTestUtil.h"

#include <gtest/gtest.h>

TEST(CanvasBitmaps, StretchPicksTheNearestSourcePixel)
{
    TBitmap b = SolidBitmap(6, 5, clWhite);
    TCanvas c(b);
    c.StretchDraw(TRect(1, 1, 5, 5), FromRows({"rg", "by"}));
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"......", ".rrgg.", ".rrgg.", ".bbyy.", ".bbyy."})) << Dump(b);
    // Three columns onto two: the pixels under the centres (0.75 and 2.25); four onto
    // one: the pixel under the centre; reversed corners mirror.
    const TBitmap rgb = FromRows({"rgb"});
    TBitmap t = SolidBitmap(3, 1, clWhite);
    TCanvas ct(t);
    ct.StretchDraw(TRect(0, 0, 2, 1), rgb);
    EXPECT_EQ(Rows(t)[0], "rb.");
    ct.StretchDraw(TRect(2, 0, 3, 1), FromRows({"rgby"}));
    EXPECT_EQ(Rows(t)[0], "rbb");
    ct.CopyRect(TRect(3, 0, 0, 1), rgb, TRect(0, 0, 3, 1));
    EXPECT_EQ(Rows(t)[0], "bgr");
}

TEST(CanvasBitmaps, CopyRectClipsAndCopiesWithinOneBitmap)
{
    TBitmap b = FromRows({"rgb.", "y#..", "....", "...."});
    TCanvas c(b);
    c.CopyRect(TRect(1, 0, 4, 2), b, TRect(0, 0, 3, 2)); // overlapping: reads the old picture
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"rrgb", "yy#.", "....", "...."})) << Dump(b);
    const TBitmap src = FromRows({"bb", "bb"});
    c.CopyRect(TRect(-1, 3, 1, 5), src, TRect(0, 0, 2, 2));
    c.CopyRect(TRect(0, 0, 2, 2), src, TRect(1, 1, 3, 3)); // only source pixel (1, 1) exists
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"brgb", "yy#.", "....", "b..."})) << Dump(b);
    c.StretchDraw(TRect(-2000000000, -2000000000, 2000000000, 2000000000), src); // quick
    EXPECT_EQ(Count(b, clBlue), 16);
}

TEST(CanvasBitmaps, TransparencyLeavesOutExactlyTheKeyColour)
{
    TBitmap sprite = FromRows({"gr", "rg", "gb"}); // bottom-left: green
    sprite.SetTransparent(true);
    TBitmap b = SolidBitmap(3, 3, clYellow);
    TCanvas c(b);
    c.Draw(1, 0, sprite);
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"yyr", "yry", "yyb"})) << Dump(b);
    sprite.SetTransparent(false);
    c.Draw(0, 0, sprite);
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"grr", "rgy", "gbb"})) << Dump(b);
    sprite.SetTransparent(true);
    TBitmap s = SolidBitmap(4, 6, clWhite);
    TCanvas cs(s);
    cs.StretchDraw(TRect(0, 0, 4, 6), sprite);
    EXPECT_EQ(Rows(s)[0], "..rr");
    EXPECT_EQ(Rows(s)[5], "..bb");

    // Colours one step from the key are drawn.
    TBitmap near = SolidBitmap(3, 1, RGB(10, 20, 30));
    near.SetPixel(1, 0, RGB(10, 20, 31));
    near.SetPixel(2, 0, RGB(11, 20, 30));
    TBitmap t = SolidBitmap(3, 1, clWhite);
    TCanvas ct(t);
    ct.DrawTransparent(0, 0, near, RGB(10, 20, 30));
    EXPECT_TRUE(t.Pixel(0, 0) == clWhite && t.Pixel(1, 0) == RGB(10, 20, 31) && t.Pixel(2, 0) == RGB(11, 20, 30));

    // 8-bit sources are read through their palette and left as they are.
    TBitmap pal(2, 1, TPixelFormat::pf8bit);
    pal.SetPalette({clRed, clBlue});
    pal.SetPixel(1, 0, clBlue);
    TBitmap d = SolidBitmap(4, 1, clWhite);
    TCanvas cd(d);
    cd.Draw(1, 0, pal);
    EXPECT_EQ(Rows(d)[0], ".rb.");
    cd.DrawTransparent(0, 0, pal, clRed);
    EXPECT_EQ(Rows(d)[0], ".bb.");
    EXPECT_EQ(pal.PixelFormat(), TPixelFormat::pf8bit);
}
