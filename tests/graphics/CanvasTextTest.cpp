// Fonts, text output and rotated text.
#include "CanvasTestUtil.h"

#include <gtest/gtest.h>

TEST(CanvasText, FontNamesSizesAndExtents)
{
    EXPECT_EQ(MapFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("times new roman"), "Liberation Serif");
    EXPECT_EQ(MapFontFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(MapFontFamily("DejaVu Sans"), "DejaVu Sans");
    TFont f;
    EXPECT_EQ(f.Size(), 8);
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -13); // 13.33 pixels
    f.SetHeight(-32);
    EXPECT_EQ(f.Size(), 24);

    TBitmap b = SolidBitmap(10, 10, clWhite);
    TCanvas c(b);
    c.Font.Name = "Arial";
    c.Font.SetSize(12);
    EXPECT_EQ(c.TextWidth(""), 0);
    const int w = c.TextWidth("W"), h = c.TextHeight("W");
    EXPECT_EQ(c.TextWidth("WWWW"), 4 * w);
    EXPECT_TRUE(h >= 16 && h <= 22) << h;
    const int plain = c.TextWidth("Hello");
    c.Font.Style = fsBold;
    EXPECT_GT(c.TextWidth("Hello"), plain);
    c.Font.Name = "Courier New"; // really the monospaced face
    EXPECT_EQ(c.TextWidth("iiii"), c.TextWidth("MMMM"));
    c.Font.Name = "Times New Roman";
    EXPECT_NE(c.TextWidth("iiii"), c.TextWidth("MMMM"));
    c.Font.SetHeight(30); // a positive height is the cell height
    EXPECT_NEAR(c.TextHeight("x"), 30, 1);
}

TEST(CanvasText, TextOutPaintsTheBrushBehindOnlyWhenSolid)
{
    TBitmap b = SolidBitmap(80, 40, clWhite);
    TCanvas c(b);
    c.Font.Name = "Arial";
    c.Font.SetSize(12);
    c.Font.Color = clRed;
    c.Brush.SetColor(clYellow);
    const int w = c.TextWidth("Hi!"), h = c.TextHeight("Hi!");
    c.TextOut(10, 5, "Hi!");
    EXPECT_EQ(InkBounds(b), TRect(10, 5, 10 + w, 5 + h));
    EXPECT_EQ(Count(b, clYellow) + Count(b, clRed), w * h); // aliased: no other colours
    const int red = Count(b, clRed);
    EXPECT_GT(red, 20);

    auto clearText = [&](unsigned style, const char* text) {
        TBitmap t = SolidBitmap(80, 40, clWhite);
        TCanvas ct(t);
        ct.Font = c.Font;
        ct.Font.Style = style;
        ct.Brush.SetStyle(TBrushStyle::bsClear);
        ct.TextOut(10, 5, text);
        EXPECT_EQ(Count(t, clRed) + Count(t, clWhite), 80 * 40);
        return t;
    };
    EXPECT_EQ(Count(clearText(0, "Hi!"), clRed), red);
    EXPECT_GT(Count(clearText(fsUnderline, "Hi!"), clRed), red + 10);
    EXPECT_GT(Count(clearText(fsStrikeOut, "__"), clRed), Count(clearText(0, "__"), clRed) + 5);
    // Rotated text never strikes out.
    TBitmap r1 = SolidBitmap(80, 40, clWhite), r2 = SolidBitmap(80, 40, clWhite);
    TCanvas c1(r1), c2(r2);
    c1.Font = c2.Font = c.Font;
    c1.Font.Style = fsStrikeOut;
    c1.TextOutRotated(10, 5, "__", 0);
    c2.TextOutRotated(10, 5, "__", 0);
    EXPECT_EQ(r1, r2);
}

TEST(CanvasText, RotatedTextTurnsCounterClockwiseAboutItsTopLeft)
{
    auto draw = [](int escapement) {
        TBitmap b = SolidBitmap(120, 120, clWhite);
        TCanvas c(b);
        c.Font.Name = "Arial";
        c.Font.SetSize(14);
        c.Font.Color = clBlue;
        c.Brush.SetColor(clYellow); // never painted behind rotated text
        c.TextOutRotated(60, 60, "Hello", escapement);
        EXPECT_EQ(Count(b, clBlue) + Count(b, clWhite), 120 * 120);
        return std::make_pair(InkBounds(b), Count(b, clBlue));
    };
    const auto [flat, flatInk] = draw(0);
    EXPECT_TRUE(flat.Left >= 60 && flat.Top >= 60 && flat.Width() > 30);
    // 90 degrees runs upward from the start point, the cell to the right of it.
    const auto [up, upInk] = draw(900);
    EXPECT_TRUE(up.Bottom <= 61 && up.Height() > 30 && up.Left >= 60 && up.Right <= 85);
    EXPECT_NEAR(upInk, flatInk, flatInk / 4);
    const auto [back, backInk] = draw(1800); // upside down, to the left
    EXPECT_TRUE(back.Right <= 61 && back.Bottom <= 61 && back.Width() > 30);
    const auto [down, downInk] = draw(2700); // downward, to the left
    EXPECT_TRUE(down.Top >= 59 && down.Right <= 61 && down.Height() > 30);
}
