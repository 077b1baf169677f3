// SmoothResize, TileSmooth, Resample and ScaleOnto.
#include "effects/GeometricEffects.h"
#include "graphics/Exception.h"

#include "GeometricTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qorFX;

TEST(GeometricSmoothResize, FixedPointWeightsAndOnePixelWideSource)
{
    // 2 x 1 (blue 0, 100) onto 4 x 1: xs = 8192, weights 0, 1/4, 1/2, 3/4.
    TBitmap src(2, 1);
    src.SetPixel(0, 0, RGB(0, 0, 0));
    src.SetPixel(1, 0, RGB(0, 0, 100));
    TBitmap dst(4, 1);
    SmoothResize(src, dst);
    EXPECT_EQ(Blue(dst, 0, 0), 0);
    EXPECT_EQ(Blue(dst, 1, 0), 25);
    EXPECT_EQ(Blue(dst, 2, 0), 50);
    EXPECT_EQ(Blue(dst, 3, 0), 75);

    // A one-pixel-wide source uses its only column as the right neighbour.
    // Rows: ys = 10922; 255 * 10922 div 32768 = 84, 255 * 21844 div 32768 = 169.
    TBitmap col(1, 2);
    col.SetPixel(0, 0, RGB(0, 0, 0));
    col.SetPixel(0, 1, RGB(0, 0, 255));
    TBitmap out(3, 3);
    SmoothResize(col, out);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(Blue(out, x, 0), 0);
        EXPECT_EQ(Blue(out, x, 1), 84);
        EXPECT_EQ(Blue(out, x, 2), 169);
    }
}

TEST(GeometricTileSmooth, TilesStopBelowFivePixelsAndMarginsKeepTheCopy)
{
    const TBitmap src = Noise(11, 10, 7);
    TBitmap tile(5, 5);
    SmoothResize(src, tile);

    // count 2 on 11 x 10: 5 x 5 tiles; column 10 (11 mod 2) keeps the copy.
    TBitmap dst;
    TileSmooth(src, dst, 2);
    ASSERT_EQ(dst.Width(), 11);
    ASSERT_EQ(dst.Height(), 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 11; ++x) {
            const TColor expected = x == 10 ? src.Pixel(x, y) : tile.Pixel(x % 5, y % 5);
            ASSERT_EQ(dst.Pixel(x, y), expected) << x << "," << y;
        }

    // count 1 is one smooth copy scaled to the source's own size.
    TBitmap one, smooth(11, 10);
    TileSmooth(src, one, 1);
    SmoothResize(src, smooth);
    EXPECT_TRUE(one == smooth);

    // Tiles narrower (or lower) than 5 pixels, and counts of 0 or less: a plain copy.
    for (int count : {3, 0, -2, 1000000}) {
        TBitmap d = SolidBitmap(2, 2, clBlack);
        TileSmooth(src, d, count);
        EXPECT_TRUE(d == src) << count;
    }
    TBitmap wide = Noise(30, 9, 8), d;
    TileSmooth(wide, d, 2); // 15 x 4 tiles: too low
    EXPECT_TRUE(d == wide);
}

TEST(GeometricResample, BSplineContributorsReachAbout418PixelsWhenHalving)
{
    // 24 -> 12: xscale = 11 / 23, so weights reach 2 / xscale = 4.18 pixels each side.
    const auto cols = ResampleContributors(24, 12, TResampleFilter::BSpline, 2.0f);
    ASSERT_EQ(cols.size(), 12u);
    // Column 0, centre 0: j = -4..4, mirrored at the left edge.
    std::vector<int> pixels;
    float sum = 0;
    for (const auto& c : cols[0]) {
        pixels.push_back(c.pixel);
        sum += c.weight;
    }
    EXPECT_EQ(pixels, (std::vector<int>{4, 3, 2, 1, 0, 1, 2, 3, 4}));
    EXPECT_NEAR(sum, 1.0f, 0.01f);
    // Column 6, centre 12.545: j = 9..16 (8.37 < j < 16.73).
    pixels.clear();
    for (const auto& c : cols[6])
        pixels.push_back(c.pixel);
    EXPECT_EQ(pixels, (std::vector<int>{9, 10, 11, 12, 13, 14, 15, 16}));
    // Column 11, centre 23: j = 19..27 mirrored at the right edge (2 * 24 - 1 - j).
    pixels.clear();
    for (const auto& c : cols[11])
        pixels.push_back(c.pixel);
    EXPECT_EQ(pixels, (std::vector<int>{19, 20, 21, 22, 23, 23, 22, 21, 20}));

    // Rows 12 -> 6 the same way: xscale = 5 / 11, reach 4.4.
    const auto rows = ResampleContributors(12, 6, TResampleFilter::BSpline, 2.0f);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].size(), 9u);

    // A flat 24 x 12 frame stays flat at 12 x 6.
    const TBitmap flat = SolidBitmap(24, 12, RGB(10, 100, 200));
    TBitmap half(12, 6);
    Resample(flat, half, TResampleFilter::BSpline, 2.0f);
    EXPECT_TRUE(half == SolidBitmap(12, 6, RGB(10, 100, 200)));
}

TEST(GeometricResample, KernelsAtScaleOne)
{
    // Box and Triangle at scale 1 are the identity.
    const TBitmap src = Noise(5, 4, 9);
    for (auto f : {TResampleFilter::Box, TResampleFilter::Triangle}) {
        TBitmap d(5, 4);
        Resample(src, d, f, f == TResampleFilter::Box ? 0.5f : 1.0f);
        EXPECT_TRUE(d == src);
    }
    // B-Spline at scale 1: weights 1/6, 2/3, 1/6. Row (0, 60, 0) -> (20, 40, 10): on the
    // left j = -1 mirrors to pixel 1, on the right j = 3 mirrors to pixel 2 itself.
    TBitmap row(3, 1);
    row.Fill(clBlack);
    row.SetPixel(1, 0, RGB(0, 0, 60));
    TBitmap out(3, 1);
    Resample(row, out, TResampleFilter::BSpline, 2.0f);
    EXPECT_EQ(Blue(out, 0, 0), 20);
    EXPECT_EQ(Blue(out, 1, 0), 40);
    EXPECT_EQ(Blue(out, 2, 0), 10);

    // Kernel values from the table.
    EXPECT_FLOAT_EQ(ResampleKernel(TResampleFilter::Box, 0.5f), 1.0f);
    EXPECT_FLOAT_EQ(ResampleKernel(TResampleFilter::Box, -0.5f), 0.0f);
    EXPECT_FLOAT_EQ(ResampleKernel(TResampleFilter::Hermite, 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(ResampleKernel(TResampleFilter::Bell, 1.0f), 0.125f);
    EXPECT_FLOAT_EQ(ResampleKernel(TResampleFilter::BSpline, 1.0f), 1.0f / 6.0f);
    EXPECT_FLOAT_EQ(ResampleKernel(TResampleFilter::Lanczos3, 0.0f), 1.0f);
    EXPECT_NEAR(ResampleKernel(TResampleFilter::Lanczos3, 1.0f), 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(ResampleKernel(TResampleFilter::Mitchell, 0.0f), 8.0f / 9.0f);
    EXPECT_NEAR(ResampleKernel(TResampleFilter::Mitchell, 1.0f), 1.0f / 18.0f, 1e-6);
    EXPECT_EQ(FindResampleFilter("b-spline")->filter, TResampleFilter::BSpline);
    EXPECT_EQ(FindResampleFilter("Gauss"), nullptr);
}

TEST(GeometricResample, EmptySourceRaisesAndLeavesTheDestination)
{
    TBitmap dst = Noise(4, 3, 10);
    const TBitmap before = dst;
    for (auto empty : {TBitmap(), TBitmap(0, 5), TBitmap(5, 0)}) {
        try {
            Resample(empty, dst, TResampleFilter::BSpline, 2.0f);
            FAIL() << "no error";
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "Source bitmap too small");
        }
        EXPECT_TRUE(dst == before);
    }
}

TEST(GeometricResample, OnePixelSidesAndOddSupportsStayInside)
{
    // One-pixel source: j = -1 mirrors to 1, which is clamped back to 0.
    const TBitmap dot = SolidBitmap(1, 1, RGB(90, 80, 70));
    for (const auto& f : ResampleFilters()) {
        TBitmap d(5, 3);
        Resample(dot, d, f.filter, f.support);
        EXPECT_TRUE(d == SolidBitmap(5, 3, RGB(90, 80, 70))) << f.name;
    }
    // One-pixel destination from a wide source: a finite scale, no division by zero.
    const TBitmap src = SolidBitmap(9, 6, RGB(5, 6, 7));
    TBitmap d(1, 1);
    Resample(src, d, TResampleFilter::Lanczos3, 3.0f);
    EXPECT_EQ(d.Pixel(0, 0), RGB(5, 6, 7));
    // Huge, negative and NaN supports neither hang nor leave the source.
    for (float support : {1e30f, -4.0f, std::nanf("")}) {
        TBitmap e(7, 5);
        Resample(Noise(13, 11, 11), e, TResampleFilter::Mitchell, support);
        EXPECT_EQ(e.Width(), 7);
    }
    const auto c = ResampleContributors(2, 50, TResampleFilter::Lanczos3, 3.0f);
    for (const auto& list : c)
        for (const auto& k : list) {
            EXPECT_GE(k.pixel, 0);
            EXPECT_LE(k.pixel, 1);
        }
}

TEST(GeometricScaleOnto, ScaledSecondPictureOverTheFirst)
{
    // Half-size flat blue over red at (2, 2).
    const TBitmap a = SolidBitmap(8, 8, clRed);
    const TBitmap b = SolidBitmap(4, 4, clBlue);
    TBitmap d;
    ScaleOnto(a, b, d, 0.5, 2, 2);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool in = x >= 2 && x < 6 && y >= 2 && y < 6;
            ASSERT_EQ(d.Pixel(x, y), in ? clBlue : clRed) << x << "," << y;
        }

    // Partly outside: the visible part equals the whole resampled picture drawn there.
    const TBitmap first = Noise(10, 10, 12), second = Noise(6, 7, 13);
    ScaleOnto(first, second, d, 1.5, -3, 5);
    TBitmap t(15, 15);
    Resample(second, t, TResampleFilter::BSpline, 2.0f);
    TBitmap expected = first;
    expected.CopyRect(Point(-3, 5), t, Rect(0, 0, 15, 15));
    EXPECT_TRUE(d == expected);

    // Scales giving no picture leave the copy of the first; huge scales compute only
    // the visible part.
    for (double s : {0.0, -2.0, std::nan(""), 1e300}) {
        ScaleOnto(first, second, d, s, 0, 0);
        EXPECT_EQ(d.Width(), 10);
    }
    ScaleOnto(first, second, d, 1e6, 3, 3);
    EXPECT_EQ(d.Pixel(0, 0), first.Pixel(0, 0));
}
