#include "gif/ColorQuantizer.h"
#include "gif/ColorReduction.h"
#include "gif/SystemPalettes.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A smooth picture with many colours, like a photograph.
TBitmap gradient(int width, int height)
{
    TBitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixel(x, y, RGB(x * 255 / std::max(width - 1, 1), y * 255 / std::max(height - 1, 1), (x * y) % 256));
    return b;
}

const TColorReduction kMethods[] = {rmWindows20, rmWindows256, rmWindowsGray, rmMonochrome,
                                    rmGrayScale, rmNetscape,   rmQuantize,    rmQuantizeWindows};
const TDitherMode kDithers[] = {dmNearest, dmFloydSteinberg, dmStucki, dmSierra, dmJaJuNi, dmSteveArche, dmBurkes};

std::vector<TColor> slice(const std::vector<TColor>& p, int from, int to)
{
    return std::vector<TColor>(p.begin() + from, p.begin() + to);
}

} // namespace

TEST(ColorReduction, MethodPalettes)
{
    const TBitmap photo = gradient(64, 48);
    const std::vector<TColor> w20 = ReductionPalette(photo, rmWindows20, 8);
    ASSERT_EQ(w20.size(), 20u);
    EXPECT_EQ(slice(w20, 0, 4), (std::vector<TColor>{clBlack, clMaroon, clGreen, clOlive}));
    EXPECT_EQ(slice(w20, 7, 13), (std::vector<TColor>{clSilver, RGB(192, 220, 192), RGB(166, 202, 240),
                                                      RGB(255, 251, 240), RGB(160, 160, 164), clGray}));
    EXPECT_EQ(w20[13], clRed);
    EXPECT_EQ(w20[19], clWhite);

    const std::vector<TColor> half = ReductionPalette(photo, rmWindows256, 8);
    ASSERT_EQ(half.size(), 256u);
    EXPECT_EQ(slice(half, 0, 10), slice(w20, 0, 10));
    EXPECT_EQ(slice(half, 246, 256), slice(w20, 10, 20));
    EXPECT_EQ(slice(half, 10, 226), NetscapePalette());
    EXPECT_EQ(half[226], RGB(12, 12, 12));
    EXPECT_EQ(half[245], RGB(243, 243, 243));

    EXPECT_EQ(ReductionPalette(photo, rmWindowsGray, 8),
              (std::vector<TColor>{clBlack, RGB(128, 128, 128), RGB(192, 192, 192), clWhite}));
    EXPECT_EQ(ReductionPalette(photo, rmMonochrome, 8), (std::vector<TColor>{clBlack, clWhite}));

    const std::vector<TColor> gray = ReductionPalette(photo, rmGrayScale, 8);
    ASSERT_EQ(gray.size(), 256u);
    EXPECT_EQ(gray[0], clBlack);
    EXPECT_EQ(gray[77], RGB(77, 77, 77));
    EXPECT_EQ(gray[255], clWhite);

    const std::vector<TColor> net = ReductionPalette(photo, rmNetscape, 8);
    ASSERT_EQ(net.size(), 216u);
    EXPECT_EQ(slice(net, 0, 2), (std::vector<TColor>{clBlack, RGB(0, 0, 51)}));
    EXPECT_EQ(net[6], RGB(0, 51, 0));
    EXPECT_EQ(net[36], RGB(51, 0, 0));
    EXPECT_EQ(net[215], clWhite);

    // Optimized: at most 2^bits colours (a merge may remove several leaves at once), bits
    // clamped to 3..8.
    EXPECT_EQ(ReductionPalette(photo, rmQuantize, 3).size(), 8u);
    EXPECT_EQ(ReductionPalette(photo, rmQuantize, 0), ReductionPalette(photo, rmQuantize, 3));
    EXPECT_LE(ReductionPalette(photo, rmQuantize, 5).size(), 32u);
    EXPECT_GT(ReductionPalette(photo, rmQuantize, 5).size(), 16u);
    EXPECT_LE(ReductionPalette(photo, rmQuantize, 8).size(), 256u);
    EXPECT_GT(ReductionPalette(photo, rmQuantize, 8).size(), 128u);
    EXPECT_EQ(ReductionPalette(photo, rmQuantize, 30), ReductionPalette(photo, rmQuantize, 8));
    EXPECT_EQ(ReductionPalette(SolidBitmap(3, 3, clRed), rmQuantize, 8), (std::vector<TColor>{clRed}));

    // Optimized Windows: ten statics, the octree colours, black up to 246, ten statics.
    const std::vector<TColor> ow = ReductionPalette(photo, rmQuantizeWindows, 8);
    ASSERT_EQ(ow.size(), 256u);
    EXPECT_EQ(slice(ow, 0, 10), slice(w20, 0, 10));
    EXPECT_EQ(slice(ow, 246, 256), slice(w20, 10, 20));
    TColorQuantizer octree(236);
    for (int y = 0; y < photo.Height(); ++y)
        octree.AddRow(photo.ScanLine(y), photo.Width());
    std::vector<TColor> middle = octree.Palette();
    middle.resize(236, clBlack);
    EXPECT_EQ(slice(ow, 10, 246), middle);
    const std::vector<TColor> owRed = ReductionPalette(SolidBitmap(2, 2, clRed), rmQuantizeWindows, 8);
    ASSERT_EQ(owRed.size(), 256u);
    EXPECT_EQ(owRed[10], clRed);
    EXPECT_EQ(slice(owRed, 11, 246), std::vector<TColor>(235, clBlack));

    EXPECT_TRUE(ReductionPalette(photo, rmNone, 8).empty());
}

TEST(ColorReduction, OnePixel)
{
    const TBitmap red = SolidBitmap(1, 1, clRed);
    struct Case {
        TColorReduction method;
        int index;
        TColor color;
    };
    const Case cases[] = {
        {rmWindows20, 13, clRed},       {rmWindows256, 10 + 180, clRed},    {rmWindowsGray, 0, clBlack},
        {rmMonochrome, 0, clBlack},     {rmGrayScale, 76, RGB(76, 76, 76)}, {rmNetscape, 180, clRed},
        {rmQuantize, 0, clRed},         {rmQuantizeWindows, 10, clRed},
    };
    for (const Case& c : cases) {
        for (TDitherMode d : kDithers) {
            const TBitmap out = ReduceColors(red, c.method, d, 8);
            ASSERT_EQ(out.PixelFormat(), TPixelFormat::pf8bit) << c.method;
            ASSERT_EQ(out.Width(), 1);
            ASSERT_EQ(out.Height(), 1);
            EXPECT_EQ(out.ScanLine(0)[0], c.index) << "method " << c.method << " dither " << d;
            EXPECT_EQ(out.Pixel(0, 0), c.color) << "method " << c.method << " dither " << d;
        }
    }
    const TBitmap none = ReduceColors(red, rmNone, dmFloydSteinberg, 8);
    EXPECT_EQ(none.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(none, red);
}

TEST(ColorReduction, EmptyPictures)
{
    for (TColorReduction m : kMethods) {
        const TBitmap out = ReduceColors(TBitmap(), m, dmFloydSteinberg, 8);
        EXPECT_TRUE(out.Empty());
        EXPECT_EQ(out.PixelFormat(), TPixelFormat::pf8bit);
        const TBitmap tall = ReduceColors(TBitmap(0, 5), m, dmStucki, 8);
        EXPECT_EQ(tall.Width(), 0);
        EXPECT_EQ(tall.Height(), 5);
    }
    // The optimized palette of nothing is empty.
    EXPECT_TRUE(ReduceColors(TBitmap(), rmQuantize, dmNearest, 8).Palette().empty());
    EXPECT_TRUE(ReduceColors(TBitmap(), rmNone, dmNearest, 8).Empty());
}

TEST(ColorReduction, EightBitSourceReadsThroughItsPalette)
{
    const TBitmap photo = gradient(40, 30);
    // An 8-bit picture with 64 colours and its 24-bit twin reduce alike.
    TBitmap indexed(40, 30, TPixelFormat::pf8bit);
    std::vector<TColor> palette;
    for (int i = 0; i < 64; ++i)
        palette.push_back(RGB(i * 4, 255 - i * 4, (i * 37) % 256));
    indexed.SetPalette(palette);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            indexed.ScanLine(y)[x] = static_cast<std::uint8_t>((x + 3 * y) % 64);
    TBitmap twin = indexed;
    twin.SetPixelFormat(TPixelFormat::pf24bit);
    for (TColorReduction m : {rmNetscape, rmQuantize, rmWindows20})
        EXPECT_EQ(ReduceColors(indexed, m, dmFloydSteinberg, 8), ReduceColors(twin, m, dmFloydSteinberg, 8)) << m;

    // None gives the 24-bit copy.
    EXPECT_EQ(ReduceColors(indexed, rmNone, dmNearest, 8), twin);

    // Indices beyond the palette read as black instead of reading past it.
    TBitmap stray(2, 1, TPixelFormat::pf8bit);
    stray.SetPalette({clWhite});
    stray.ScanLine(0)[1] = 200;
    const TBitmap out = ReduceColors(stray, rmMonochrome, dmNearest, 8);
    EXPECT_EQ(out.ScanLine(0)[0], 1);
    EXPECT_EQ(out.ScanLine(0)[1], 0);
}

TEST(ColorReduction, EveryMethodAndEngineGivesValidIndices)
{
    const TBitmap photo = gradient(37, 23);
    for (TColorReduction m : kMethods) {
        for (TDitherMode d : kDithers) {
            const TBitmap out = ReduceColors(photo, m, d, 6);
            ASSERT_EQ(out.Width(), 37);
            ASSERT_EQ(out.Height(), 23);
            const int colors = static_cast<int>(out.Palette().size());
            ASSERT_GT(colors, 0);
            bool valid = true;
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 37; ++x)
                    valid = valid && out.ScanLine(y)[x] < colors;
            EXPECT_TRUE(valid) << "method " << m << " dither " << d;
        }
    }
}

TEST(ColorReduction, NearestRunsSerpentineThroughTheCache)
{
    // Row 1 runs right to left: (71,71,71) fills the empty cell of 64..71 first with gray
    // 128 (nearest to it), and (64,64,64), which on its own would tie and take black,
    // shares that answer.
    TBitmap b(2, 2);
    b.Fill(clWhite);
    b.SetPixel(0, 1, RGB(64, 64, 64));
    b.SetPixel(1, 1, RGB(71, 71, 71));
    const TBitmap out = ReduceColors(b, rmWindowsGray, dmNearest, 8);
    EXPECT_EQ(out.ScanLine(1)[0], 1);
    EXPECT_EQ(out.ScanLine(1)[1], 1);
    EXPECT_EQ(ReduceColors(SolidBitmap(1, 1, RGB(64, 64, 64)), rmWindowsGray, dmNearest, 8).ScanLine(0)[0], 0);
}

TEST(ColorReduction, TransparencyProgressAndBadArguments)
{
    TBitmap photo = gradient(20, 100);
    photo.SetTransparent(true);
    EXPECT_TRUE(ReduceColors(photo, rmNetscape, dmNearest, 8).Transparent());
    EXPECT_TRUE(ReduceColors(photo, rmNone, dmNearest, 8).Transparent());

    std::vector<int> seen;
    ReduceColors(photo, rmQuantize, dmBurkes, 8, [&](int p) {
        seen.push_back(p);
        return true;
    });
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_NE(std::find(seen.begin(), seen.end(), 50), seen.end());

    int calls = 0;
    EXPECT_THROW(ReduceColors(photo, rmNetscape, dmFloydSteinberg, 8, [&](int) { return ++calls < 2; }),
                 EColorReductionAborted);
    EXPECT_EQ(calls, 2);

    EXPECT_THROW(ReduceColors(photo, static_cast<TColorReduction>(9), dmNearest, 8), EInvalidArgument);
    EXPECT_THROW(ReduceColors(photo, rmNetscape, static_cast<TDitherMode>(7), 8), EInvalidArgument);
    EXPECT_THROW(ReduceColors(photo, static_cast<TColorReduction>(-1), dmNearest, 8), EInvalidArgument);
}
