// Blurs and neighbourhood operations: in place, with reads that see earlier writes.
#include "effects/PixelEffects.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qorFX;

namespace {

// A grey picture from rows of values.
TBitmap Greys(const std::vector<std::vector<int>>& rows)
{
    TBitmap b(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.SetPixel(x, y, RGB(rows[y][x], rows[y][x], rows[y][x]));
    return b;
}

std::vector<std::vector<int>> Values(const TBitmap& b)
{
    std::vector<std::vector<int>> rows(b.Height());
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            rows[y].push_back(GetRValue(b.Pixel(x, y)));
    return rows;
}

} // namespace

TEST(BlurEffects, SplitBlurReadsItsOwnWritesAndHoldsSamplesAtTheFarEdge)
{
    TBitmap b = Greys({{0, 40, 80, 120}});
    SplitBlur(b, 1);
    // x=0: (0+0+40+40)/4; x=1 reads the new x=0; x=3's right sample is the last column.
    EXPECT_EQ(Values(b), (std::vector<std::vector<int>>{{20, 50, 85, 102}}));

    // A distance beyond the picture: every right sample is the last column.
    b = Greys({{0, 40, 80, 120}});
    SplitBlur(b, 10);
    EXPECT_EQ(Values(b), (std::vector<std::vector<int>>{{60, 80, 100, 120}}));

    const TBitmap original = Greys({{0, 40}, {80, 120}});
    for (int amount : {0, -1, INT_MIN}) {
        b = original;
        SplitBlur(b, amount);
        EXPECT_EQ(b, original) << amount;
    }
    b = original;
    SplitBlur(b, INT_MAX);
    EXPECT_NE(b, original);
}

TEST(BlurEffects, GaussianBlurRunsSplitBlurPassesPlusOneTimes)
{
    const TBitmap original = Greys({{0, 200, 0, 200, 0, 90, 10}, {255, 0, 255, 0, 3, 7, 11},
                                    {0, 200, 0, 200, 0, 1, 2}, {9, 8, 7, 6, 5, 4, 3}});
    TBitmap once = original;
    SplitBlur(once, 3);
    TBitmap b = original;
    GaussianBlur(b, 0);
    EXPECT_EQ(b, once);
    EXPECT_NE(b, original);

    TBitmap thrice = original;
    for (int i = 0; i < 3; ++i)
        SplitBlur(thrice, 3);
    b = original;
    GaussianBlur(b, 2);
    EXPECT_EQ(b, thrice);

    b = original;
    GaussianBlur(b, -1);
    EXPECT_EQ(b, original);

    // A huge count stops once a pass changes nothing: same as running many passes.
    TBitmap many = original;
    for (int i = 0; i < 200; ++i)
        SplitBlur(many, 3);
    b = original;
    GaussianBlur(b, INT_MAX);
    EXPECT_EQ(b, many);
}

TEST(BlurEffects, AntiAliasSmoothsInnerPixelsInScanOrder)
{
    TBitmap b = Greys({{0, 40, 80, 0}, {0, 100, 20, 60}, {0, 8, 12, 0}});
    AntiAlias(b);
    // (1,1) = (40+8+0+20)/4 = 17; (2,1) uses the new left value: (80+12+17+60)/4 = 42.
    EXPECT_EQ(Values(b), (std::vector<std::vector<int>>{{0, 40, 80, 0}, {0, 17, 42, 60}, {0, 8, 12, 0}}));
}

TEST(BlurEffects, EmbossAndMosaic)
{
    TBitmap b = Greys({{10, 20, 30, 40}, {1, 2, 3, 55}});
    Emboss(b);
    // Only (0,0) has a pixel 3 right and 1 down: ((255 - 55) + 10) / 2.
    EXPECT_EQ(Values(b), (std::vector<std::vector<int>>{{105, 20, 30, 40}, {1, 2, 3, 55}}));

    b = Greys({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    Mosaic(b, 2);
    EXPECT_EQ(Values(b), (std::vector<std::vector<int>>{{1, 1, 3}, {1, 1, 3}, {7, 7, 9}}));
    b = Greys({{1, 2, 3}, {4, 5, 6}});
    Mosaic(b, INT_MAX);
    EXPECT_EQ(Values(b), (std::vector<std::vector<int>>{{1, 1, 1}, {1, 1, 1}}));
    const TBitmap original = Greys({{1, 2}, {3, 4}});
    b = original;
    Mosaic(b, -7);
    EXPECT_EQ(b, original);
}
