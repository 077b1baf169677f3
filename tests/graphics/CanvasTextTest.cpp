// Fonts, text output and rotated text.
#include "graphics/canvas/Canvas.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Ink {
    TRect bounds{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    int count = 0;
    int other = 0; // pixels changed to a colour that is neither ink nor background
};

Ink InkOf(const TBitmap& b, TColor background, TColor ink)
{
    Ink r;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TColor c = b.Pixel(x, y);
            if (c == background)
                continue;
            if (c != ink) {
                ++r.other;
                continue;
            }
            ++r.count;
            r.bounds.Left = std::min(r.bounds.Left, x);
            r.bounds.Top = std::min(r.bounds.Top, y);
            r.bounds.Right = std::max(r.bounds.Right, x + 1);
            r.bounds.Bottom = std::max(r.bounds.Bottom, y + 1);
        }
    return r;
}

} // namespace

TEST(CanvasText, FontNamesAndSizes)
{
    EXPECT_EQ(MapFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(MapFontFamily("times new roman"), "Liberation Serif");
    EXPECT_EQ(MapFontFamily("Courier New"), "Liberation Mono");
    EXPECT_EQ(MapFontFamily("DejaVu Sans"), "DejaVu Sans");

    TFont f;
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Height(), -11);
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    EXPECT_EQ(f.Size(), 12);
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -13); // 13.33 pixels
    f.SetHeight(-32);
    EXPECT_EQ(f.Size(), 24);
}

TEST(CanvasText, WidthsAndHeights)
{
    TBitmap b = SolidBitmap(10, 10, clWhite);
    TCanvas c(b);
    c.Font.Name = "Arial";
    c.Font.SetSize(12);
    EXPECT_EQ(c.TextWidth(""), 0);
    const int w = c.TextWidth("W");
    EXPECT_GT(w, 5);
    EXPECT_EQ(c.TextWidth("WWWW"), 4 * w);
    const int h = c.TextHeight("W");
    EXPECT_GE(h, 16);
    EXPECT_LE(h, 22);
    c.Font.SetSize(24);
    EXPECT_GT(c.TextHeight("W"), h + 10);
    EXPECT_GT(c.TextWidth("W"), w + 5);
    // The desktop name and the installed font it stands for measure the same.
    const int arial = c.TextWidth("Hello, world");
    c.Font.Name = "Liberation Sans";
    EXPECT_EQ(c.TextWidth("Hello, world"), arial);
    // The mono face really is monospaced.
    c.Font.Name = "Courier New";
    EXPECT_EQ(c.TextWidth("iiii"), c.TextWidth("MMMM"));
    c.Font.Name = "Times New Roman";
    EXPECT_NE(c.TextWidth("iiii"), c.TextWidth("MMMM"));
    // A positive height is a cell height: the text is that tall.
    c.Font.SetHeight(30);
    EXPECT_NEAR(c.TextHeight("x"), 30, 1);
    // Bold is wider.
    c.Font.Name = "Arial";
    c.Font.SetSize(20);
    const int plain = c.TextWidth("Hello");
    c.Font.Style = fsBold;
    EXPECT_GT(c.TextWidth("Hello"), plain);
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
    EXPECT_EQ(c.PenPos, TPoint(0, 0));
    // The cell is yellow and red only, everything outside it untouched.
    int red = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const bool inCell = x >= 10 && x < 10 + w && y >= 5 && y < 5 + h;
            const TColor px = b.Pixel(x, y);
            if (!inCell)
                ASSERT_EQ(px, clWhite) << x << "," << y;
            else
                ASSERT_TRUE(px == clYellow || px == clRed) << x << "," << y;
            red += px == clRed;
        }
    EXPECT_GT(red, 20);
    // The glyphs are drawn aliased, in exactly the font colour.
    TBitmap clear = SolidBitmap(80, 40, clWhite);
    TCanvas cc(clear);
    cc.Font = c.Font;
    cc.Brush.SetStyle(TBrushStyle::bsClear);
    cc.TextOut(10, 5, "Hi!");
    const Ink ink = InkOf(clear, clWhite, clRed);
    EXPECT_EQ(ink.other, 0);
    EXPECT_EQ(ink.count, red);
    EXPECT_GE(ink.bounds.Left, 10);
    EXPECT_GE(ink.bounds.Top, 5);
    EXPECT_LE(ink.bounds.Bottom, 5 + h);
    // Underline adds a line under the text.
    TBitmap u = SolidBitmap(80, 40, clWhite);
    TCanvas cu(u);
    cu.Font = c.Font;
    cu.Font.Style = fsUnderline;
    cu.Brush.SetStyle(TBrushStyle::bsClear);
    cu.TextOut(10, 5, "Hi!");
    EXPECT_GT(InkOf(u, clWhite, clRed).count, ink.count + 10);
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
        return InkOf(b, clWhite, clBlue);
    };
    const Ink flat = draw(0);
    EXPECT_EQ(flat.other, 0);
    EXPECT_GE(flat.bounds.Left, 60);
    EXPECT_GE(flat.bounds.Top, 60);
    EXPECT_GT(flat.bounds.Width(), 30);
    // 90 degrees: the text runs upward from the start point, its cell lying to the right
    // of the vertical through (60, 60) after turning.
    const Ink up = draw(900);
    EXPECT_EQ(up.other, 0);
    EXPECT_LE(up.bounds.Bottom, 61);
    EXPECT_GT(up.bounds.Height(), 30);
    EXPECT_GE(up.bounds.Left, 60);
    EXPECT_LE(up.bounds.Right, 60 + 25);
    // 180 degrees: upside down, to the left of and above the start point.
    const Ink down = draw(1800);
    EXPECT_LE(down.bounds.Right, 61);
    EXPECT_LE(down.bounds.Bottom, 61);
    EXPECT_GT(down.bounds.Width(), 30);
    // 270 degrees: runs downward, to the left.
    const Ink dn = draw(2700);
    EXPECT_GE(dn.bounds.Top, 59);
    EXPECT_LE(dn.bounds.Right, 61);
    EXPECT_GT(dn.bounds.Height(), 30);
    // The same amount of text whichever way it turns (give or take rasterising).
    EXPECT_NEAR(up.count, flat.count, flat.count / 4);
}
