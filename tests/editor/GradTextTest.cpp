#include "editor/DrawTools.h"
#include "editor/GradTextRender.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TColor Gradient(TGradientStyle style, int w, int h, int x, int y, TColor begin = clBlack, TColor end = clRed)
{
    TBitmap b(w, h);
    TCanvas c(b);
    PaintGradient(c, w, h, style, begin, end);
    return b.Pixel(x, y);
}

int Red(TColor c) { return GetRValue(c); }

} // namespace

// The gradient styles run from the begin colour to the end colour as laid down; the two
// centre styles run from both edges to the middle, one band per row or column.
TEST(GradText, GradientStyles)
{
    // 30 rows: 16 steps (0..15) from each edge, the end colour at row 15.
    std::vector<int> rows;
    for (int y = 0; y < 30; ++y)
        rows.push_back(Red(Gradient(TGradientStyle::gsVertCenter, 4, 30, 2, y)));
    EXPECT_EQ(rows[0], 0);
    EXPECT_EQ(rows[29], 0);
    EXPECT_EQ(rows[1], 17);
    EXPECT_EQ(rows[28], 17);
    EXPECT_EQ(rows[13], 221);
    EXPECT_EQ(rows[14], 255);
    EXPECT_EQ(rows[15], 255);
    EXPECT_EQ(rows[16], 221);
    EXPECT_EQ(Red(Gradient(TGradientStyle::gsHorizCenter, 30, 4, 15, 1)), 255);
    EXPECT_EQ(Red(Gradient(TGradientStyle::gsHorizCenter, 30, 4, 29, 1)), 0);
    // One row or column has no middle to run to: flat end colour.
    EXPECT_EQ(Gradient(TGradientStyle::gsVertCenter, 5, 1, 2, 0), clRed);
    EXPECT_EQ(Gradient(TGradientStyle::gsHorizCenter, 1, 5, 0, 2), clRed);

    for (int x : {0, 100, 255})
        EXPECT_EQ(Red(Gradient(TGradientStyle::gsHorizontal, 256, 2, x, 1)), x);
    EXPECT_EQ(Red(Gradient(TGradientStyle::gsVertical, 2, 512, 1, 511)), 255);
    EXPECT_EQ(Red(Gradient(TGradientStyle::gsVertical, 2, 512, 1, 0)), 0);
    // Bytes split as stored: yellow to red keeps red and runs green down.
    EXPECT_EQ(Gradient(TGradientStyle::gsHorizontal, 256, 1, 255, 0, clYellow, clRed), clRed);
    EXPECT_EQ(Gradient(TGradientStyle::gsHorizontal, 256, 1, 0, 0, clYellow, clRed), clYellow);
    // Rectangle: begin at the border (the first bands are less than a pixel apart, so the
    // border shows the fifth), end at the centre.
    EXPECT_EQ(Red(Gradient(TGradientStyle::gsRectangle, 100, 60, 0, 0)), 4);
    EXPECT_GE(Red(Gradient(TGradientStyle::gsRectangle, 100, 60, 50, 30)), 250);
}

// With a black font the glyphs show the gradient and nothing else is drawn; any other
// font colour shows its glyphs in that colour.
TEST(GradText, GlyphsShowTheGradient)
{
    TGradTextLook look;
    look.Lines = {"Anivor"};
    look.Font.Color = clBlack;
    const TBitmap b = RenderGradText(look, 200);
    ASSERT_FALSE(b.Empty());
    EXPECT_LE(b.Width(), 200);
    std::set<TColor> inks;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != clWhite)
                inks.insert(b.Pixel(x, y));
    ASSERT_GT(inks.size(), 5u); // many gradient steps
    for (TColor c : inks) {
        EXPECT_EQ(Red(c), 255);
        EXPECT_EQ(GetBValue(c), 0);
    }

    look.Font.Color = clBlue;
    const TBitmap blue = RenderGradText(look, 200);
    for (int y = 0; y < blue.Height(); ++y)
        for (int x = 0; x < blue.Width(); ++x)
            ASSERT_TRUE(blue.Pixel(x, y) == clWhite || blue.Pixel(x, y) == clBlue);

    // Narrower than a line: the words wrap and the text grows taller.
    look.Lines = {"Anivor Thirteen"};
    const TBitmap wide = RenderGradText(look, 500), narrow = RenderGradText(look, 60);
    EXPECT_GT(narrow.Height(), wide.Height());
    EXPECT_LT(narrow.Width(), wide.Width());
    look.Lines = {""};
    EXPECT_TRUE(RenderGradText(look, 100).Empty());
    // A font the system lacks falls back to one it has.
    look.Lines = {"Anivor"};
    look.Font.Name = "No Such Font Anywhere";
    EXPECT_GT(RenderGradText(look, 200).Width(), 20);
    TFont missing;
    missing.Name = "No Such Font Anywhere";
    missing.SetHeight(-16);
    EXPECT_GT(RenderLabelText(missing, "Anivor").Width(), 20);

    EXPECT_EQ(JoinGradLines({"a", "b", "c"}), "a\rb\rc");
    EXPECT_EQ(SplitGradLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
}

// Paint stamps the part of a gadget that lies on the picture (a gadget whose corner is
// left of or above the picture too); the gradient text leaves out every white pixel, and
// the label leaves the canvas with its font and a clear brush, so the next rectangle is
// hollow.
TEST(GradText, PaintOnThePicture)
{
    TDrawPicture picture;
    TCanvas& c = picture.Canvas();
    TBitmap stamp = SolidBitmap(6, 4, clWhite);
    stamp.SetPixel(1, 1, clRed);
    // Corner of the 6 x 4 stamp on a 40 x 20 picture, and where its red pixel lands.
    const struct {
        TPoint At;
        bool Painted;
        TPoint Red;
    } places[] = {{TPoint(37, 17), true, TPoint(38, 18)}, {TPoint(-1, 5), true, TPoint(0, 6)},
                  {TPoint(5, -1), true, TPoint(6, 0)},    {TPoint(-5, -3), true, TPoint(-4, -2)},
                  {TPoint(-6, 5), false, {}},             {TPoint(40, 5), false, {}},
                  {TPoint(5, 20), false, {}}};
    for (const auto& p : places) {
        picture.Load(SolidBitmap(40, 20, clBlue));
        EXPECT_EQ(PaintGradText(c, stamp, p.At), p.Painted) << p.At.X << "," << p.At.Y;
        int red = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                red += picture.Bitmap().Pixel(x, y) == clRed;
        const bool onPicture = p.Red.X >= 0 && p.Red.Y >= 0;
        EXPECT_EQ(red, p.Painted && onPicture ? 1 : 0) << p.At.X << "," << p.At.Y;
        if (p.Painted && onPicture)
            EXPECT_EQ(picture.Bitmap().Pixel(p.Red.X, p.Red.Y), clRed);
    }

    picture.Load(SolidBitmap(80, 40, clWhite));
    TFont font;
    font.Name = "Arial";
    font.SetHeight(-16);
    font.Style = fsBold;
    font.Color = clRed;
    c.Brush.SetColor(clLime);
    // A label 2 pixels left of the picture paints the part on it: its own picture, shifted.
    const TBitmap own = RenderLabelText(font, "Hi");
    ASSERT_FALSE(own.Empty());
    TBitmap shifted = SolidBitmap(own.Width(), own.Height(), clWhite);
    TCanvas sc(shifted);
    EXPECT_TRUE(PaintLabelText(sc, font, "Hi", TPoint(-2, 0), false));
    for (int y = 0; y < own.Height(); ++y)
        for (int x = 0; x + 2 < own.Width(); ++x)
            ASSERT_EQ(shifted.Pixel(x, y), own.Pixel(x + 2, y)) << x << "," << y;
    EXPECT_FALSE(PaintLabelText(c, font, "Hi", TPoint(-own.Width(), 0), false));
    EXPECT_FALSE(PaintLabelText(c, font, "Hi", TPoint(0, 40), false));
    EXPECT_EQ(picture.Bitmap(), SolidBitmap(80, 40, clWhite));
    EXPECT_TRUE(PaintLabelText(c, font, "Hi", TPoint(2, 2), true));
    EXPECT_EQ(c.Font.Name, "Arial");
    EXPECT_EQ(c.Brush.Style(), TBrushStyle::bsClear);
    std::set<TColor> inks;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            inks.insert(picture.Bitmap().Pixel(x, y));
    EXPECT_EQ(inks, (std::set<TColor>{clWhite, clRed, clLime})); // text and its shadow
    // The label's own picture is what lands on the canvas.
    TBitmap onCanvas = SolidBitmap(own.Width(), own.Height(), clWhite);
    TCanvas oc(onCanvas);
    PaintLabelText(oc, font, "Hi", TPoint(0, 0), false);
    EXPECT_EQ(own, onCanvas);

    picture.Load(SolidBitmap(20, 10, clBlue));
    TDrawTools tools(picture);
    tools.ChooseTool("rectangle");
    tools.MouseDown(2, 2);
    tools.MouseUp(8, 8, false);
    EXPECT_EQ(picture.Bitmap().Pixel(5, 5), clBlue); // hollow
}
