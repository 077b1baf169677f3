// Fold, shakes, Plasma, flips and mirrors, Triangles, Tile and the wings.
#include "effects/GeometricEffects.h"

#include "GeometricTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qorFX;
using Strings = std::vector<std::string>;

TEST(GeometricFold, FractionPlacesTheFold)
{
    const TBitmap a = Pic({"abcde", "fghij"});
    const TBitmap b = Pic({"vwxyz", "qrstu"});
    TBitmap d;
    Fold(a, b, d, 0.0); // A except column 0, which is B's
    EXPECT_EQ(Rows(d), (Strings{"vbcde", "qghij"}));
    Fold(a, b, d, 1.0); // B
    EXPECT_EQ(Rows(d), (Strings{"vwxyz", "qrstu"}));
    Fold(a, b, d, 0.2); // a = 1: B to column 1, A's column 0 folded to column 2, A beyond
    EXPECT_EQ(Rows(d), (Strings{"vwade", "qrfij"}));
    Fold(a, b, d, 0.4); // a = 2: the mirrored part runs to the right edge
    EXPECT_EQ(Rows(d), (Strings{"vwxba", "qrsgf"}));
    Fold(a, b, d, 0.6); // a = 3: A's columns 0..1 fall off the right edge
    EXPECT_EQ(Rows(d), (Strings{"vwxyc", "qrsth"}));
    Fold(a, b, d, -3.0);
    EXPECT_EQ(Rows(d), (Strings{"abcde", "fghij"}));
    Fold(a, b, d, 1e300);
    EXPECT_EQ(Rows(d), (Strings{"vwxyz", "qrstu"}));

    // D takes A's width and B's height; rows A lacks keep only B's part.
    const TBitmap tall = Pic({"vwxyz", "qrstu", "klmno"});
    Fold(a, tall, d, 0.0);
    EXPECT_EQ(d.Width(), 5);
    EXPECT_EQ(d.Height(), 3);
    EXPECT_EQ(Rows(d)[2][0], 'k');
}

TEST(GeometricShake, RowsAndColumnsMoveInTurnsWithinTheLimit)
{
    const TBitmap src = Pic({"abcdef", "abcdef", "abcdef"});
    TBitmap d;
    ShakeHorizontal(src, d, 1.0 / 3.0); // a = 2
    EXPECT_EQ(Rows(d), (Strings{"cdefef", "ababcd", "cdefef"}));
    ShakeHorizontal(src, d, 0.5); // a = 3 = w div 2 still shifts
    EXPECT_EQ(Rows(d), (Strings{"defdef", "abcabc", "defdef"}));
    for (double f : {0.6, 0.0, -0.34, 1e300, std::nan("")}) { // beyond the limit, 0, negative
        ShakeHorizontal(src, d, f);
        EXPECT_TRUE(d == src) << f;
    }

    const TBitmap col = Pic({"ae", "bf", "cg", "dh"});
    ShakeVertical(col, d, 0.5); // a = 2: column 0 up, column 1 down
    EXPECT_EQ(Rows(d), (Strings{"ce", "df", "ce", "df"}));
    ShakeVertical(col, d, 0.9);
    EXPECT_TRUE(d == col);
}

TEST(GeometricPlasma, UniformMapShiftsByOneVector)
{
    const TBitmap src = Noise(8, 8, 20);
    // Blue 0 everywhere: vector (Round(-5 sin 0), Round(5 cos 0)) = (0, 5).
    TBitmap map = SolidBitmap(8, 8, RGB(50, 60, 0));
    TBitmap d = SolidBitmap(8, 8, clBlack);
    Plasma(src, map, d, 1.0, 3.0); // raised to amplitude 5, turbulence 10
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(d.Pixel(x, y), y + 5 < 8 ? src.Pixel(x, y + 5) : clBlack) << x << "," << y;

    // Blue 16: (Round(-5 sin 1.6), Round(5 cos 1.6)) = (-5, 0).
    map = SolidBitmap(8, 8, RGB(0, 0, 16));
    d = SolidBitmap(8, 8, clBlack);
    Plasma(src, map, d, 5.0, 10.0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(d.Pixel(x, y), x >= 5 ? src.Pixel(x - 5, y) : clBlack) << x << "," << y;

    // No pixel moves further than the amplitude.
    const TBitmap flat = SolidBitmap(40, 40, clBlack);
    TBitmap marked = flat;
    marked.SetPixel(20, 20, clWhite);
    const TBitmap noiseMap = Noise(40, 40, 21);
    TBitmap out = flat;
    Plasma(marked, noiseMap, out, 7.0, 25.0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (out.Pixel(x, y) == clWhite) {
                EXPECT_LE(std::abs(x - 20), 7);
                EXPECT_LE(std::abs(y - 20), 7);
            }
    // Huge amplitudes move everything outside: nothing is written.
    out = flat;
    Plasma(marked, noiseMap, out, 1e300, 1e300);
    EXPECT_TRUE(out == flat);
}

TEST(GeometricFlips, OddAndEvenSizes)
{
    const TBitmap odd = Pic({"abc", "def", "ghi"});
    TBitmap b = odd;
    FlipDown(b);
    EXPECT_EQ(Rows(b), (Strings{"ghi", "def", "abc"}));
    b = odd;
    FlipRight(b);
    EXPECT_EQ(Rows(b), (Strings{"cba", "fed", "ihg"}));
    b = odd;
    MirrorDown(b);
    EXPECT_EQ(Rows(b), (Strings{"abc", "def", "abc"}));
    b = odd;
    MirrorRight(b);
    EXPECT_EQ(Rows(b), (Strings{"aba", "ded", "ghg"}));

    const TBitmap even = Pic({"abcd", "efgh", "ijkl", "mnop"});
    b = even;
    MirrorDown(b);
    EXPECT_EQ(Rows(b), (Strings{"abcd", "efgh", "efgh", "abcd"}));
    b = even;
    MirrorRight(b);
    EXPECT_EQ(Rows(b), (Strings{"abba", "effe", "ijji", "mnnm"}));
    b = even;
    FlipDown(b);
    FlipDown(b);
    EXPECT_TRUE(b == even);

    // 8-bit pictures are turned into 24 bits first.
    TBitmap pal = odd;
    pal.SetPixelFormat(TPixelFormat::pf8bit);
    FlipRight(pal);
    EXPECT_EQ(pal.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(Rows(pal), (Strings{"cba", "fed", "ihg"}));
}

TEST(GeometricTriangles, RowPatternFromTheTwoPeriods)
{
    // size 5, half 2. Row 0: t1 = 5, t2 = 4: pick up pixels 0, 1, 5, 9.
    // Row 1: t1 = 1: every pixel is its own. Row 4 repeats row 0.
    TBitmap b = Pic({"0123456789", "0123456789", "0123456789", "0123456789", "0123456789"});
    Triangles(b, 2); // raised to 5
    EXPECT_EQ(Rows(b), (Strings{"0111155559", "0123456789", "0123456789", "0123456789", "0111155559"}));
    // 6 is made odd (7): row 0 has t1 = 7, t2 = 6: pixels 0, 1, 7 picked.
    TBitmap c = Pic({"0123456789"});
    Triangles(c, 6);
    EXPECT_EQ(Rows(c), (Strings{"0111111777"}));
}

TEST(GeometricTile, TilesOfTheShrunkPicture)
{
    const TBitmap quad = Pic({"aabb", "aabb", "ccdd", "ccdd"});
    TBitmap b = quad;
    Tile(b, 100); // limited to 2
    EXPECT_EQ(Rows(b), (Strings{"abab", "cdcd", "abab", "cdcd"}));
    // Overlap: step Round(4 / 3) = 1, every pixel ends under a tile's top-left pixel.
    b = quad;
    TileOverlap(b, 2);
    EXPECT_EQ(Rows(b), (Strings{"aaaa", "aaaa", "aaaa", "aaaa"}));
    // Tiles of size 0 (sizes of 0 or less) stop at once.
    for (int size : {1, 0, -5}) {
        b = quad;
        TileOverlap(b, size);
        EXPECT_EQ(b.Width(), 4);
    }
    b = quad;
    Tile(b, 0);
    EXPECT_TRUE(b == quad);
    TBitmap thin = Pic({"abcdef"});
    Tile(thin, 3);
    EXPECT_EQ(Rows(thin), (Strings{"abcdef"}));
}

namespace {

using WingOp = void (*)(const TBitmap&, TBitmap&, int, double);
const WingOp kWings[8] = {WingsDeep, WingsDown, WingsUp, WingsFold, WingsTouche, WingsFlyer, WingsFlipover, WingsWavy};

} // namespace

TEST(GeometricWings, EveryWingOnATinyBitmap)
{
    // Period 1: u = v = 0 for every pixel, so each wing is one fixed move.
    const TBitmap s = Pic({"ab", "cd"});
    const Strings expected[8] = {
        {"ab", "ca"}, // Deep: (+1, +1)
        {"ab", "ba"}, // Down: X = |px - 1|, Y = py + 1
        {"ac", "ca"}, // Up: X = px + 1, Y = |py - 1|
        {"dc", "ba"}, // Fold: X = |px - 1|, Y = |py - 1|
        {"ab", "ca"}, // Touche: as Deep
        {"ab", "ca"}, // Flyer: tan 0 = 0
        {"ab", "cd"}, // Flipover: sin 0 = 0, no move
        {"ab", "cd"}, // Wavy: no move
    };
    for (int k = 0; k < 8; ++k) {
        TBitmap d;
        kWings[k](s, d, 1, 1.0);
        EXPECT_EQ(Rows(d), expected[k]) << k;
    }
    // Period 2, amplitude 1 on 3 x 2: row terms cos 0 = 1, cos 1 = 0.54; column terms
    // sin 0 = 0, sin 1 = 0.84. Sources (0, 0) and (1, 1) both land on (1, 1); (1, 0)
    // lands on itself. Deep scans from the top left, so (1, 1) wins; Touche from the
    // bottom right, so (0, 0) wins.
    const TBitmap t = Pic({"abc", "def"});
    TBitmap d;
    WingsDeep(t, d, 2, 1.0);
    EXPECT_EQ(Rows(d), (Strings{"abc", "def"}));
    WingsTouche(t, d, 2, 1.0);
    EXPECT_EQ(Rows(d), (Strings{"abc", "daf"}));
    const TBitmap n = Noise(23, 17, 30);
    // Period or amplitude 0: the copy stays.
    for (int k = 0; k < 8; ++k) {
        TBitmap d;
        kWings[k](n, d, 0, 5.0);
        EXPECT_TRUE(d == n);
        kWings[k](n, d, 5, 0.0);
        EXPECT_TRUE(d == n);
    }
}
