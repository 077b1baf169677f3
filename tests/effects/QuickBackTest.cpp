// QuickBack backdrops: hand-computed pixels, the fast row generator against the plain
// formulas for every function, and the function names.
#include "effects/QuickBack.h"

#include "graphics/Exception.h"

#include <gtest/gtest.h>

namespace {

// The three bytes of pixel (x, y): blue (driven by the red settings), green, red.
std::array<int, 3> Bytes(const TBitmap& b, int x, int y)
{
    const std::uint8_t* p = b.ScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

TBitmap Backdrop(int w, int h, const TQuickBackSettings& s)
{
    TBitmap b(w, h);
    GenerateQuickBack(b, s);
    return b;
}

} // namespace

TEST(QuickBack, HandComputedPixels)
{
    TQuickBackSettings s; // all "Prod", offsets 0, factor 255
    EXPECT_EQ(Bytes(Backdrop(8, 8, s), 3, 5), (std::array<int, 3>{15, 15, 15}));
    s.Factor = 16;
    const TBitmap b16 = Backdrop(8, 8, s);
    EXPECT_EQ(Bytes(b16, 3, 5), (std::array<int, 3>{15, 15, 15}));
    EXPECT_EQ(Bytes(b16, 5, 4), (std::array<int, 3>{4, 4, 4})); // 20 mod 16

    // "Sub" left of the diagonal is a negative remainder whose low byte wraps.
    TQuickBackSettings sub;
    sub.RedMode = sub.GreenMode = sub.BlueMode = FindQuickBackFunction("Sub");
    const TBitmap bs = Backdrop(4, 4, sub);
    EXPECT_EQ(Bytes(bs, 0, 1), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(Bytes(bs, 0, 3), (std::array<int, 3>{253, 253, 253}));
    EXPECT_EQ(Bytes(bs, 3, 1), (std::array<int, 3>{2, 2, 2}));

    // The red offset lands in byte 0, the blue channel.
    TQuickBackSettings inner;
    inner.RedMode = inner.GreenMode = inner.BlueMode = FindQuickBackFunction("Inner");
    inner.RedOffset = 100;
    const TBitmap bi = Backdrop(5, 3, inner);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(Bytes(bi, x, 0), (std::array<int, 3>{100, 0, 0}));
    EXPECT_EQ(GetBValue(bi.Pixel(2, 0)), 100);
    EXPECT_EQ(Bytes(bi, 1, 2), (std::array<int, 3>{102, 2, 2}));
}

TEST(QuickBack, EveryFunctionMatchesItsFormula)
{
    // Wide and tall enough that x and y pass the factor and each other, so every branch
    // (x < F, y < F, x < y, the counters' wraps) is taken.
    const int w = 300, h = 70;
    for (int factor : {16, 37, 255}) {
        for (int mode = 0; mode < kQuickBackFunctionCount; ++mode) {
            TQuickBackSettings s;
            s.RedMode = mode;
            s.GreenMode = (mode + 7) % kQuickBackFunctionCount; // other functions on the other bytes
            s.BlueMode = mode;
            s.RedOffset = 3;
            s.GreenOffset = 200;
            s.BlueOffset = 77;
            s.Factor = factor;
            const TBitmap b = Backdrop(w, h, s);
            int wrong = 0;
            for (int y = 0; y < h && wrong < 3; ++y)
                for (int x = 0; x < w && wrong < 3; ++x) {
                    const std::array<int, 3> want{(QuickBackValue(s.RedMode, y, x, s) + s.RedOffset) & 0xFF,
                                                  (QuickBackValue(s.GreenMode, y, x, s) + s.GreenOffset) & 0xFF,
                                                  (QuickBackValue(s.BlueMode, y, x, s) + s.BlueOffset) & 0xFF};
                    if (Bytes(b, x, y) != want) {
                        ++wrong;
                        ADD_FAILURE() << QuickBackFunctionName(mode) << " factor " << factor << " at x=" << x
                                      << " y=" << y;
                    }
                }
        }
    }
}

TEST(QuickBack, FormulasAtChosenPoints)
{
    TQuickBackSettings s;
    s.Factor = 16;
    s.RedOffset = 3;
    const auto f = [&](const char* name, int y, int x) { return QuickBackValue(FindQuickBackFunction(name), y, x, s); };
    EXPECT_EQ(f("InModOut", 40, 10), 40 % 16); // x < F
    EXPECT_EQ(f("InModOut", 40, 17), 40 % 17);
    EXPECT_EQ(f("OutModIn", 20, 45), 45 % 20);
    EXPECT_EQ(f("OutModIn2", 3, 12), 12 % 5);
    EXPECT_EQ(f("Mod3", 4, 23), (23 % 16) % (4 + 1));
    EXPECT_EQ(f("ModModSub", 15, 1), 1 - 15);
    EXPECT_EQ(f("OutRed", 0, 7), 21);
    EXPECT_EQ(f("DrawXor", 2, 5), (5 - 16) ^ (2 + 16));
    // Products past 32 bits keep their low 32 bits.
    EXPECT_EQ(static_cast<std::uint32_t>(f("ProdProdSum", 60000, 50000)),
              static_cast<std::uint32_t>(std::uint64_t(60000) * 50000 * 110000));
}

TEST(QuickBack, NamesAndBadSettings)
{
    EXPECT_STREQ(QuickBackFunctionName(0), "Prod");
    EXPECT_STREQ(QuickBackFunctionName(23), "Outblue");
    EXPECT_STREQ(QuickBackFunctionName(36), "XOr3Mod");
    EXPECT_STREQ(QuickBackFunctionName(40), "DrawXor");
    EXPECT_STREQ(QuickBackFunctionName(41), "");
    EXPECT_EQ(FindQuickBackFunction("drawxor"), 40);
    EXPECT_EQ(FindQuickBackFunction("SUB"), 2);
    EXPECT_EQ(FindQuickBackFunction("12"), 12);
    EXPECT_EQ(FindQuickBackFunction("41"), -1);
    EXPECT_EQ(FindQuickBackFunction("Plasma"), -1);

    TBitmap b(4, 4);
    TQuickBackSettings s;
    s.GreenMode = 41;
    EXPECT_THROW(GenerateQuickBack(b, s), EInvalidArgument);
    s.GreenMode = 0;
    s.Factor = 0; // would divide by zero
    EXPECT_THROW(GenerateQuickBack(b, s), EInvalidArgument);
    // An 8-bit destination becomes 24-bit; an empty one stays empty.
    TBitmap pal(3, 3, TPixelFormat::pf8bit);
    GenerateQuickBack(pal, TQuickBackSettings{});
    EXPECT_EQ(pal.PixelFormat(), TPixelFormat::pf24bit);
    TBitmap none;
    GenerateQuickBack(none, TQuickBackSettings{});
    EXPECT_TRUE(none.Empty());
}
