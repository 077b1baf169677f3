// Colour adjustments, tone curves and channel filters against hand-computed pixels.
#include "effects/PixelEffects.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qorFX;

namespace {

// One row of pixels, given as (red, green, blue).
TBitmap Row(std::initializer_list<TColor> colors)
{
    TBitmap b(static_cast<int>(colors.size()), 1);
    int x = 0;
    for (TColor c : colors)
        b.SetPixel(x++, 0, c);
    return b;
}

TBitmap Grey(std::initializer_list<int> values)
{
    TBitmap b(static_cast<int>(values.size()), 1);
    int x = 0;
    for (int v : values)
        b.SetPixel(x++, 0, RGB(v, v, v));
    return b;
}

std::vector<int> Reds(const TBitmap& b)
{
    std::vector<int> v;
    for (int x = 0; x < b.Width(); ++x)
        v.push_back(GetRValue(b.Pixel(x, 0)));
    return v;
}

TBitmap Sample()
{
    return Row({RGB(0, 0, 0), RGB(255, 255, 255), RGB(200, 100, 50), RGB(1, 127, 128), RGB(90, 60, 30)});
}

} // namespace

TEST(ColorEffects, NeutralAmountsLeaveThePictureUnchanged)
{
    const TBitmap original = Sample();
    TBitmap b = original;
    Contrast(b, 0);
    Lightness(b, 0);
    Darkness(b, 0);
    Saturation(b, 255);
    SplitLight(b, 0);
    Mosaic(b, 1);
    for (int amount : {-5, 0, 7, INT_MAX})
        Soften(b, amount);
    EXPECT_EQ(b, original);
}

TEST(ColorEffects, AdjustmentsTruncateTowardZero)
{
    TBitmap b = Grey({200, 50, 127, 128});
    Contrast(b, 100); // d = 73*100 div 255 = 28; 77*100 div 255 = 30
    EXPECT_EQ(Reds(b), (std::vector<int>{228, 20, 127, 128}));

    b = Grey({200, 100});
    Contrast(b, -100); // -7300 div 255 = -28 (not -29)
    EXPECT_EQ(Reds(b), (std::vector<int>{172, 110}));

    b = Grey({200, 100});
    Contrast(b, 255);
    Contrast(b, 255); // 100 -> 73 -> 19
    EXPECT_EQ(Reds(b), (std::vector<int>{255, 19}));

    b = Grey({55, 255, 0});
    Lightness(b, 100); // 55 + 20000 div 255 = 55 + 78
    EXPECT_EQ(Reds(b), (std::vector<int>{133, 255, 100}));
    b = Grey({55});
    Lightness(b, -100);
    EXPECT_EQ(Reds(b), (std::vector<int>{0}));

    b = Grey({200, 1});
    Darkness(b, 100); // 200 - 78
    EXPECT_EQ(Reds(b), (std::vector<int>{122, 1}));
    b = Sample();
    Darkness(b, 255);
    EXPECT_EQ(b, SolidBitmap(5, 1, clBlack));
}

TEST(ColorEffects, SaturationBlendsAroundThePixelsGrey)
{
    TBitmap b = Row({RGB(91, 60, 30)}); // grey 181 div 3 = 60
    Saturation(b, 100);
    // red 60 + 3100 div 255 = 72; blue 60 + (-3000) div 255 = 60 - 11
    EXPECT_EQ(b.Pixel(0, 0), RGB(72, 60, 49));

    b = Row({RGB(90, 60, 30)});
    Saturation(b, 0);
    EXPECT_EQ(b.Pixel(0, 0), RGB(60, 60, 60));
    b = Row({RGB(90, 60, 30)});
    Saturation(b, 510);
    EXPECT_EQ(b.Pixel(0, 0), RGB(120, 60, 0));
}

TEST(ColorEffects, GrayscaleAndInvert)
{
    TBitmap b = Row({clRed, clBlue, clLime, clWhite});
    Grayscale(b);
    EXPECT_EQ(b.Pixel(0, 0), RGB(76, 76, 76)); // 76.5 rounds to even
    EXPECT_EQ(b.Pixel(1, 0), RGB(28, 28, 28));
    EXPECT_EQ(b.Pixel(2, 0), RGB(150, 150, 150)); // 150.45
    EXPECT_EQ(b.Pixel(3, 0), clWhite);

    b = Row({RGB(200, 100, 50)});
    Invert(b);
    EXPECT_EQ(b.Pixel(0, 0), RGB(55, 155, 205));
}

TEST(ColorEffects, SplitLightComposesItsPasses)
{
    TBitmap b = Grey({0, 64, 128, 200, 255});
    SplitLight(b, 1);
    EXPECT_EQ(Reds(b), (std::vector<int>{0, 98, 181, 241, 255}));

    TBitmap three = Grey({0, 30, 64, 128, 200});
    TBitmap stepwise = three;
    SplitLight(three, 3);
    for (int i = 0; i < 3; ++i)
        SplitLight(stepwise, 1);
    EXPECT_EQ(three, stepwise);

    // Enough passes settle every value; a huge count must finish and give the same.
    TBitmap many = Grey({1, 30, 64});
    TBitmap huge = many;
    SplitLight(many, 300);
    SplitLight(huge, INT_MAX);
    EXPECT_EQ(many, huge);
    SplitLight(huge, -3);
    EXPECT_EQ(many, huge);
}

TEST(ColorEffects, SolarizeInvertsPixelsAboveTheThreshold)
{
    const TBitmap src = Row({RGB(0, 100, 200), RGB(10, 10, 10)}); // means 100 and 10
    TBitmap dst(7, 7);
    Solarize(src, dst, 99);
    ASSERT_EQ(dst.Width(), 2);
    ASSERT_EQ(dst.Height(), 1);
    EXPECT_EQ(dst.Pixel(0, 0), RGB(255, 155, 55));
    EXPECT_EQ(dst.Pixel(1, 0), RGB(10, 10, 10));
    Solarize(src, dst, 100);
    EXPECT_EQ(dst.Pixel(0, 0), RGB(0, 100, 200));

    // In place through one bitmap.
    TBitmap same = src;
    Solarize(same, same, 5);
    EXPECT_EQ(same.Pixel(1, 0), RGB(245, 245, 245));
}

TEST(ColorEffects, PosterizeRoundsHalvesToEven)
{
    const TBitmap src = Grey({255, 3, 5, 1, 0, 254});
    TBitmap dst;
    Posterize(src, dst, 2);
    EXPECT_EQ(Reds(dst), (std::vector<int>{255, 4, 4, 0, 0, 254}));
    TBitmap negative;
    Posterize(src, negative, -2);
    EXPECT_EQ(negative, dst);
    Posterize(src, dst, 100); // 2.55 -> 3 -> 300 -> 255; 0.03 -> 0
    EXPECT_EQ(Reds(dst), (std::vector<int>{255, 0, 0, 0, 0, 255}));
    Posterize(src, dst, 0);
    EXPECT_EQ(dst, src);
    Posterize(src, dst, INT_MAX);
    EXPECT_EQ(dst, SolidBitmap(6, 1, clBlack));
}

TEST(ColorEffects, ChannelFiltersAndKeeps)
{
    TBitmap b = Row({RGB(9, 9, 255), RGB(9, 9, 254), RGB(9, 9, 1), RGB(9, 9, 0)});
    FilterBlue(b, 0, 255);
    EXPECT_EQ(b.Pixel(0, 0), clBlack);
    EXPECT_EQ(b.Pixel(1, 0), clBlue);
    EXPECT_EQ(b.Pixel(2, 0), clBlue);
    EXPECT_EQ(b.Pixel(3, 0), clBlack);

    b = Row({RGB(100, 200, 30)});
    FilterRed(b, 99, 101);
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    b = Row({RGB(100, 200, 30)});
    FilterGreen(b, 200, 255);
    EXPECT_EQ(b.Pixel(0, 0), clBlack);

    b = Row({RGB(255, 40, 40), RGB(101, 40, 40), RGB(200, 40, 40)});
    KeepRed(b, 0.5);
    EXPECT_EQ(Reds(b), (std::vector<int>{128, 50, 100})); // 127.5 -> 128, 50.5 -> 50
    EXPECT_EQ(b.Pixel(0, 0), RGB(128, 0, 0));

    b = Row({RGB(10, 200, 10), RGB(10, 10, 200)});
    KeepGreen(b, 2.0);
    EXPECT_EQ(b.Pixel(0, 0), RGB(0, 255, 0));
    KeepBlue(b, -1.0);
    EXPECT_EQ(b.Pixel(1, 0), clBlack);
}
