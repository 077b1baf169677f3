// Lighting, bevels, seamless edges and the Mandelbrot pictures.
#include "effects/PixelEffects.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qorFX;

namespace {

const std::vector<std::pair<char, TColor>> kLegend = {
    {'W', clWhite}, {'B', clBlack}, {'g', RGB(100, 100, 100)}, {'n', clNavy}, {'R', clRed}};

} // namespace

TEST(LightEffects, ButtonizeBevelsLightTopLeftDarkBottomRight)
{
    const TBitmap grey = SolidBitmap(4, 4, RGB(100, 100, 100));
    for (int bevel : {0, 256, -256}) {
        TBitmap b = grey;
        Buttonize(b, bevel, 255);
        EXPECT_EQ(b, grey) << bevel;
    }
    // Amount 255 lightens to white and darkens to black; the corners are treated twice,
    // so the later step wins.
    TBitmap b = grey;
    Buttonize(b, 1, 255);
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"WWWB", "WWBB", "WWBB", "WBBB"}));
    // -255 is 1 as a byte.
    TBitmap negative = grey;
    Buttonize(negative, -255, 255);
    EXPECT_EQ(negative, b);

    // Bevels wider than the picture are limited to it and never leave it.
    for (int w : {1, 2, 3})
        for (int h : {1, 2, 5}) {
            TBitmap small = SolidBitmap(w, h, RGB(100, 100, 100));
            Buttonize(small, 255, 100);
            EXPECT_EQ(small.Width(), w);
        }
    TBitmap empty;
    Buttonize(empty, 3, 10);
    EXPECT_TRUE(empty.Empty());
}

TEST(LightEffects, ButtonizeSideColumnsBetweenTheBands)
{
    TBitmap b = SolidBitmap(3, 5, RGB(100, 100, 100));
    Buttonize(b, 1, 255);
    // Bands: rows 0-1 and 3-4; row 2 gets the side columns c = 0..1 and w-1-c.
    EXPECT_EQ(RowsFromBitmap(b, kLegend), (std::vector<std::string>{"WWB", "WBB", "WBB", "WBB", "WBB"}));
}

TEST(LightEffects, SeamlessRampsTowardTheCopiedEdges)
{
    TBitmap b(1, 4);
    for (int y = 0; y < 4; ++y)
        b.SetPixel(0, y, RGB(std::vector<int>{10, 20, 30, 90}[y], 0, 0));
    Seamless(b, 2);
    // Row 0 becomes the last row; row 1 = Round(90 + (30 - 90) * 1 / 2).
    EXPECT_EQ(GetRValue(b.Pixel(0, 0)), 90);
    EXPECT_EQ(GetRValue(b.Pixel(0, 1)), 60);
    EXPECT_EQ(GetRValue(b.Pixel(0, 2)), 30);
    EXPECT_EQ(GetRValue(b.Pixel(0, 3)), 90);

    b = TBitmap(5, 1);
    for (int x = 0; x < 5; ++x)
        b.SetPixel(x, 0, RGB(10 * (x + 1), 0, 0));
    Seamless(b, 2);
    // Pixel 4 copies pixel 0; pixel 3 = Round(10 + (40 - 10) * 1 / 2).
    std::vector<int> reds;
    for (int x = 0; x < 5; ++x)
        reds.push_back(GetRValue(b.Pixel(x, 0)));
    EXPECT_EQ(reds, (std::vector<int>{10, 20, 30, 25, 10}));

    const TBitmap original = BitmapFromRows({"WBg", "gWB"}, kLegend);
    b = original;
    Seamless(b, 0);
    EXPECT_EQ(b, original);
    for (int divisor : {1, -1, -3, INT_MAX, INT_MIN}) {
        b = original;
        Seamless(b, divisor);
        EXPECT_EQ(b.Width(), 3);
    }
}

TEST(LightEffects, MandelbrotIterationsAndMasks)
{
    EXPECT_EQ(MandelbrotIterations(0, 0), 65);
    EXPECT_EQ(MandelbrotIterations(0, 2), 1);
    EXPECT_EQ(MandelbrotIterations(0, 1), 2);
    EXPECT_EQ(MandelbrotIterations(0, -1), 65);

    // 13 x 2: pixel (8, 1) maps to the point 0, pixel (0, 1) to -2.
    TBitmap mask(13, 2);
    MandelbrotMask(mask, 64);
    EXPECT_EQ(mask.Pixel(8, 1), clWhite);
    EXPECT_EQ(mask.Pixel(0, 1), clBlack);

    TBitmap picture = SolidBitmap(13, 2, clRed);
    MaskMandelbrot(picture, 1);
    EXPECT_EQ(picture.Pixel(8, 1), clRed);
    EXPECT_EQ(picture.Pixel(0, 1), clBlack); // count 1 is not above 1
}

TEST(LightEffects, MandelbrotRenderPaintsTheSetBlackAndTheFarCornersNavy)
{
    TBitmap b(12, 12);
    MandelbrotRender(b, 16, true, -2.25, -1.5, 0.75, 1.5);
    EXPECT_EQ(b.Pixel(9, 6), clBlack); // the point 0
    EXPECT_EQ(b.Pixel(5, 6), clBlack); // -1: never escapes
    EXPECT_EQ(b.Pixel(0, 0), clNavy);
    EXPECT_EQ(b.Pixel(0, 11), clNavy);

    // Limits below 16 count as 16; large limits keep the index inside the table.
    TBitmap low(12, 12);
    MandelbrotRender(low, 3, true, -2.25, -1.5, 0.75, 1.5);
    EXPECT_EQ(low, b);
    TBitmap high(12, 12);
    MandelbrotRender(high, 64, true, -2.25, -1.5, 0.75, 1.5);
    MandelbrotRender(high, INT_MAX, false, -2.25, -1.5, 0.75, 1.5);
    MandelbrotRender(high, 16, true, 1, 1, 1, 1);
    TBitmap empty;
    MandelbrotRender(empty, 16, true, -2, -1, 1, 1);
    EXPECT_TRUE(empty.Empty());
}

TEST(LightEffects, SpotlightBlackensOutsideTheEllipse)
{
    TBitmap b = SolidBitmap(9, 9, RGB(200, 200, 200));
    Spotlight(b, 0, TRect(0, 0, 9, 9));
    EXPECT_EQ(b.Pixel(4, 4), RGB(200, 200, 200));
    EXPECT_EQ(b.Pixel(0, 0), clBlack);
    EXPECT_EQ(b.Pixel(8, 8), clBlack);
    EXPECT_EQ(b.Pixel(0, 4), clBlack); // the outline is black too

    b = SolidBitmap(9, 9, RGB(200, 200, 200));
    Spotlight(b, 100, TRect(0, 0, 9, 9)); // 200 - 78
    EXPECT_EQ(b.Pixel(4, 4), RGB(122, 122, 122));

    // A spot wholly beyond the picture leaves it black.
    b = SolidBitmap(9, 9, RGB(200, 200, 200));
    Spotlight(b, 0, TRect(20, 0, 29, 9));
    EXPECT_EQ(b, SolidBitmap(9, 9, clBlack));
}
