// SmoothRotate, FishEye, Twist, Wave and Squeeze against hand-computed pixels.
#include "effects/GeometricEffects.h"

#include "GeometricTestUtil.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qorFX;

TEST(GeometricRotate, ZeroDegreesReproducesSourceAndHalfTurnFlipsAboutTheCorner)
{
    const TBitmap src = Noise(7, 5, 1);
    TBitmap dst = SolidBitmap(7, 5, clBlack);
    SmoothRotate(src, dst, 3, 2, 0.0);
    EXPECT_TRUE(dst == src);

    // The source may be the destination itself.
    TBitmap same = src;
    SmoothRotate(same, same, 1, 4, 0.0);
    EXPECT_TRUE(same == src);

    // 180 degrees about (3, 2) turns about the corner between pixels 2|3 and 1|2:
    // x -> 5 - x, y -> 3 - y. Column 6 and row 4 map outside and keep what dst held.
    TBitmap turned = SolidBitmap(7, 5, clBlack);
    SmoothRotate(src, turned, 3, 2, 180.0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const TColor expected = (x <= 5 && y <= 3) ? src.Pixel(5 - x, 3 - y) : clBlack;
            EXPECT_EQ(turned.Pixel(x, y), expected) << x << "," << y;
        }
}

TEST(GeometricRotate, LargerDestinationIsCentredAndEdgesStayUnwritten)
{
    const TBitmap src = Noise(3, 3, 2);
    TBitmap dst = SolidBitmap(5, 5, clBlack);
    SmoothRotate(src, dst, 1, 1, 0.0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 3;
            EXPECT_EQ(dst.Pixel(x, y), inside ? src.Pixel(x - 1, y - 1) : clBlack) << x << "," << y;
        }
}

TEST(GeometricFishEye, CentreAndSingularRingSampleTheCentre)
{
    const TBitmap src = Noise(4, 4, 3);
    TBitmap dst(4, 4);
    // fx = 0.5 * 4 = 2: pixel (0, 2) lies at r = 2 = fx, where the lens has no value.
    FishEye(src, dst, 0.5);
    EXPECT_EQ(dst.Pixel(2, 2), src.Pixel(2, 2));
    EXPECT_EQ(dst.Pixel(0, 2), src.Pixel(2, 2));
    EXPECT_EQ(dst.Pixel(2, 0), src.Pixel(2, 2));

    // Amount 0 has no lens at all: every pixel shows the centre.
    FishEye(src, dst, 0.0);
    EXPECT_TRUE(dst == SolidBitmap(4, 4, src.Pixel(2, 2)));

    // Weights of the bilinear sample add up to one: a flat picture stays flat.
    const TBitmap flat = SolidBitmap(9, 7, RGB(13, 200, 77));
    TBitmap out(9, 7);
    FishEye(flat, out, 0.6);
    EXPECT_TRUE(out == flat);
}

TEST(GeometricTwist, AmountZeroIsTheLimitOfLargeAmountsAndFlatStaysFlat)
{
    const TBitmap src = Noise(6, 5, 4);
    TBitmap zero(6, 5), huge(6, 5);
    Twist(src, zero, 0);
    Twist(src, huge, INT_MAX);
    EXPECT_TRUE(zero == huge);
    // The centre pixel of an odd-sized picture has r = 0 and stays.
    const TBitmap odd = Noise(5, 5, 5);
    TBitmap out(5, 5);
    Twist(odd, out, 3);
    EXPECT_EQ(out.Pixel(2, 2), odd.Pixel(2, 2));

    const TBitmap flat = SolidBitmap(8, 8, RGB(1, 128, 254));
    TBitmap f(8, 8);
    Twist(flat, f, 1);
    EXPECT_TRUE(f == flat);
    // A smaller destination is written where it exists.
    TBitmap small(3, 2);
    Twist(flat, small, 2);
    EXPECT_TRUE(small == SolidBitmap(3, 2, RGB(1, 128, 254)));
}

TEST(GeometricWave, RowsMoveByTheColumnBeforesOffset)
{
    // Rows 0..6 coloured '0'..'6'; amount 1: rows 4 down to 1 are moved by
    // 1 + Round(sin((x - 1) * pi / 2)): columns 0, 1, 3 by 1, column 2 by 2.
    TBitmap b = Pic({"0000", "1111", "2222", "3333", "4444", "5555", "6666"});
    Wave(b, 1, 0, 0);
    EXPECT_EQ(Rows(b), (std::vector<std::string>{"0000", "1111", "1121", "2212", "3323", "4434", "6646"}));

    // Style 1 (sin cos) keeps column 2's offset at Round(sin(pi/2) cos(pi/2)) = 0.
    TBitmap c = Pic({"0000", "1111", "2222", "3333", "4444", "5555", "6666"});
    Wave(c, 1, 0, 1);
    EXPECT_EQ(Rows(c), (std::vector<std::string>{"0000", "1111", "1111", "2222", "3333", "4444", "6666"}));

    // Amounts that leave no rows to move, and amounts 0 or below, change nothing.
    const TBitmap orig = Noise(5, 4, 6);
    for (int amount : {0, -3, 2, 1000, INT_MAX}) {
        TBitmap d = orig;
        Wave(d, amount, 1.0, 2);
        EXPECT_TRUE(d == orig) << amount;
    }
}

TEST(GeometricSqueeze, StylesSpanTheirRectangles)
{
    const TBitmap src = Pic({"abcd", "efgh", "ijkl"});
    // Style 7 with amount 0 draws every row at full width.
    TBitmap d = SolidBitmap(4, 3, clWhite);
    Squeeze(src, d, 0, 7);
    EXPECT_TRUE(d == src);

    // Amount 1: each row squeezed into columns 1..2, nearest pixel under each centre.
    d = SolidBitmap(4, 3, clWhite);
    Squeeze(src, d, 1, 7);
    EXPECT_EQ(Rows(d), (std::vector<std::string>{".bd.", ".fh.", ".jl."}));

    // Round (12) with amount 2 on 3 rows: half-widths 0, 2, 0; an empty span draws nothing.
    d = SolidBitmap(4, 3, clWhite);
    Squeeze(src, d, 2, 12);
    EXPECT_EQ(Rows(d), (std::vector<std::string>{"....", "efgh", "...."}));

    // Amounts beyond half the width are limited to it: Horizontal then draws nothing
    // (an empty span); Top narrows by Round(2 (H - y - 1) / H) = 1, 1, 0.
    d = SolidBitmap(4, 3, clWhite);
    Squeeze(src, d, 1000, 7);
    EXPECT_TRUE(d == SolidBitmap(4, 3, clWhite));
    Squeeze(src, d, 1000, 8);
    EXPECT_EQ(Rows(d), (std::vector<std::string>{".bd.", ".fh.", "ijkl"}));

    // Unknown styles and negative amounts: nothing drawn / counted as 0.
    d = SolidBitmap(4, 3, clWhite);
    Squeeze(src, d, 1, 42);
    EXPECT_TRUE(d == SolidBitmap(4, 3, clWhite));
    Squeeze(src, d, -7, 7);
    EXPECT_TRUE(d == src);

    // One-row sources have no (H - 1) to divide by.
    const TBitmap row = Pic({"abcd"});
    for (int style = 7; style <= 13; ++style) {
        TBitmap r = SolidBitmap(4, 1, clWhite);
        Squeeze(row, r, 1, style);
        EXPECT_EQ(r.Width(), 4);
    }
}
