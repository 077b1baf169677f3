#include "gif/ColorLookup.h"
#include "gif/ColorReduction.h"
#include "gif/DitherEngine.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

constexpr int W = 7;
constexpr int H = 5;
using TGrid = std::vector<std::vector<int>>;

// Hands back every colour it is given (so no error arises) except on call number
// `impulseCall`, where it answers `impulseColor`: the only error of the picture. The
// values handed in afterwards show where each engine spreads that error.
struct TImpulseLookup {
    int impulseCall = -1;
    int impulseColor = 0;
    int calls = 0;
    int handed[3] = {};
    int Lookup(int red, int green, int blue, int& r, int& g, int& b)
    {
        handed[0] = red;
        handed[1] = green;
        handed[2] = blue;
        if (calls++ == impulseCall) {
            r = g = b = impulseColor;
            return 1;
        }
        r = red;
        g = green;
        b = blue;
        return 0;
    }
};

struct TRun {
    TGrid red, green, blue;
    std::vector<int> columns; // the column of every Dither call, in call order
};

// Feeds a W x H picture of one colour through the engine in the engine's own order and
// records the values it hands to the lookup.
template <template <class> class TEngine>
TRun runImpulse(int impulseCall, int impulseColor, TColor source = RGB(100, 100, 100))
{
    TImpulseLookup lookup{impulseCall, impulseColor};
    TEngine<TImpulseLookup> engine(W, lookup);
    TRun run{TGrid(H, std::vector<int>(W, -1)), TGrid(H, std::vector<int>(W, -1)), TGrid(H, std::vector<int>(W, -1)), {}};
    for (int y = 0; y < H; ++y) {
        for (int i = 0; i < W; ++i) {
            const int x = engine.Column();
            run.columns.push_back(x);
            int r, g, b;
            engine.Dither(GetRValue(source), GetGValue(source), GetBValue(source), r, g, b);
            run.red[y][x] = lookup.handed[0];
            run.green[y][x] = lookup.handed[1];
            run.blue[y][x] = lookup.handed[2];
        }
        engine.NextLine();
    }
    return run;
}

// A W x H grid of 100 with (y, x, value) changes.
TGrid grid(std::initializer_list<std::tuple<int, int, int>> changes)
{
    TGrid g(H, std::vector<int>(W, 100));
    for (const auto& [y, x, v] : changes)
        g[y][x] = v;
    return g;
}

// Impulse A: black answered for (0, 3) while rows run left to right. Impulse B: black
// answered for (1, 5) while row 1 runs right to left, so "ahead" is to the left.
constexpr int kImpulseA = 3;
constexpr int kImpulseB = W + (W - 1 - 5);

template <template <class> class TEngine>
void expectSpread(const TGrid& a, const TGrid& b)
{
    EXPECT_EQ(runImpulse<TEngine>(kImpulseA, 0).red, a) << "error of row 0, left to right";
    EXPECT_EQ(runImpulse<TEngine>(kImpulseB, 0).red, b) << "error of row 1, right to left";
}

} // namespace

TEST(DitherEngine, EveryEngineRunsSerpentine)
{
    std::vector<int> expected;
    for (int y = 0; y < H; ++y)
        for (int i = 0; i < W; ++i)
            expected.push_back(y % 2 == 0 ? i : W - 1 - i);
    EXPECT_EQ(runImpulse<TDitherEngine>(-1, 0).columns, expected);
    EXPECT_EQ(runImpulse<TFloydSteinbergDitherer>(-1, 0).columns, expected);
    EXPECT_EQ(runImpulse<TStuckiDitherer>(-1, 0).columns, expected);
    EXPECT_EQ(runImpulse<TSierraDitherer>(-1, 0).columns, expected);
    EXPECT_EQ(runImpulse<TJaJuNiDitherer>(-1, 0).columns, expected);
    EXPECT_EQ(runImpulse<TSteveArcheDitherer>(-1, 0).columns, expected);
    EXPECT_EQ(runImpulse<TBurkesDitherer>(-1, 0).columns, expected);
    // Nearest spreads nothing.
    EXPECT_EQ(runImpulse<TDitherEngine>(kImpulseA, 0).red, grid({}));
}

TEST(DitherEngine, FloydSteinbergSpread)
{
    // 100 + (100 w + 8) div 16: 7 -> 144, 3 -> 119, 5 -> 131, 1 -> 106.
    expectSpread<TFloydSteinbergDitherer>(grid({{0, 4, 144}, {1, 2, 119}, {1, 3, 131}, {1, 4, 106}}),
                                          grid({{1, 4, 144}, {2, 6, 119}, {2, 5, 131}, {2, 4, 106}}));

    // A negative error rounds toward zero: e = 100 - 255 = -155; (-1085 + 8) div 16 = -67,
    // (-465 + 8) div 16 = -28, (-775 + 8) div 16 = -47, (-155 + 8) div 16 = -9.
    EXPECT_EQ(runImpulse<TFloydSteinbergDitherer>(kImpulseA, 255).red,
              grid({{0, 4, 33}, {1, 2, 72}, {1, 3, 53}, {1, 4, 91}}));

    // Values are clamped before the lookup: 10 - 106 gives 0.
    const TRun clamped = runImpulse<TFloydSteinbergDitherer>(kImpulseA, 255, RGB(10, 10, 10));
    EXPECT_EQ(clamped.red[0][4], 0);

    // Channels carry their own error: e = (100, 50, 0).
    const TRun channels = runImpulse<TFloydSteinbergDitherer>(kImpulseA, 0, RGB(100, 50, 0));
    EXPECT_EQ(channels.red[0][4], 144);
    EXPECT_EQ(channels.green[0][4], 50 + (350 + 8) / 16);
    EXPECT_EQ(channels.blue[0][4], 0);
}

TEST(DitherEngine, ThreeRowEnginesSpread)
{
    // Stucki, 42: 8 -> 119, 4 -> 110, 2 -> 105, 1 -> 102. The error that falls past the
    // right edge (x = 7) is dropped.
    expectSpread<TStuckiDitherer>(
        grid({{0, 4, 119}, {0, 5, 110},
              {1, 1, 105}, {1, 2, 110}, {1, 3, 119}, {1, 4, 110}, {1, 5, 105},
              {2, 1, 102}, {2, 2, 105}, {2, 3, 110}, {2, 4, 105}, {2, 5, 102}}),
        grid({{1, 4, 119}, {1, 3, 110},
              {2, 3, 105}, {2, 4, 110}, {2, 5, 119}, {2, 6, 110},
              {3, 3, 102}, {3, 4, 105}, {3, 5, 110}, {3, 6, 105}}));

    // Sierra, 32: 5 -> 116, 3 -> 109, 2 -> 106, 4 -> 113.
    expectSpread<TSierraDitherer>(
        grid({{0, 4, 116}, {0, 5, 109},
              {1, 1, 106}, {1, 2, 113}, {1, 3, 116}, {1, 4, 113}, {1, 5, 106},
              {2, 2, 106}, {2, 3, 109}, {2, 4, 106}}),
        grid({{1, 4, 116}, {1, 3, 109},
              {2, 3, 106}, {2, 4, 113}, {2, 5, 116}, {2, 6, 113},
              {3, 4, 106}, {3, 5, 109}, {3, 6, 106}}));

    // Jarvis-Judice-Ninke, 48: 7 -> 115, 5 -> 110, 3 -> 106, 1 -> 102.
    expectSpread<TJaJuNiDitherer>(
        grid({{0, 4, 115}, {0, 5, 110},
              {1, 1, 106}, {1, 2, 110}, {1, 3, 115}, {1, 4, 110}, {1, 5, 106},
              {2, 1, 102}, {2, 2, 106}, {2, 3, 110}, {2, 4, 106}, {2, 5, 102}}),
        grid({{1, 4, 115}, {1, 3, 110},
              {2, 3, 106}, {2, 4, 110}, {2, 5, 115}, {2, 6, 110},
              {3, 3, 102}, {3, 4, 106}, {3, 5, 110}, {3, 6, 106}}));
}

TEST(DitherEngine, StevensonArceAndBurkesSpread)
{
    // Stevenson-Arce, 200: 32 -> 116, 12 -> 106, 26 -> 113, 30 -> 115, 16 -> 108, 5 -> 103.
    expectSpread<TSteveArcheDitherer>(
        grid({{0, 5, 116},
              {1, 0, 106}, {1, 2, 113}, {1, 4, 115}, {1, 6, 108},
              {2, 1, 106}, {2, 3, 113}, {2, 5, 106},
              {3, 0, 103}, {3, 2, 106}, {3, 4, 106}, {3, 6, 103}}),
        grid({{1, 3, 116},
              {2, 6, 113}, {2, 4, 115}, {2, 2, 108},
              {3, 3, 106}, {3, 5, 113},
              {4, 2, 103}, {4, 4, 106}, {4, 6, 106}}));

    // Burkes, 32: 8 -> 125, 4 -> 113, 2 -> 106.
    expectSpread<TBurkesDitherer>(
        grid({{0, 4, 125}, {0, 5, 113}, {1, 1, 106}, {1, 2, 113}, {1, 3, 125}, {1, 4, 113}, {1, 5, 106}}),
        grid({{1, 4, 125}, {1, 3, 113}, {2, 3, 106}, {2, 4, 113}, {2, 5, 125}, {2, 6, 113}}));
}

TEST(DitherEngine, FloydSteinbergMidGrayOnMonochromeIsEvenHalftone)
{
    const TBitmap gray = SolidBitmap(32, 32, RGB(128, 128, 128));
    const TBitmap out = ReduceColors(gray, rmMonochrome, dmFloydSteinberg, 8);
    ASSERT_EQ(out.PixelFormat(), TPixelFormat::pf8bit);
    int total = 0;
    for (int by = 0; by < 32; by += 2) {
        for (int bx = 0; bx < 32; bx += 2) {
            int white = 0;
            for (int y = by; y < by + 2; ++y)
                for (int x = bx; x < bx + 2; ++x)
                    white += out.ScanLine(y)[x];
            EXPECT_GE(white, 1) << "block " << bx << "," << by;
            EXPECT_LE(white, 3) << "block " << bx << "," << by;
            total += white;
        }
    }
    // 128 / 255 of the pixels, within a row's worth.
    EXPECT_NEAR(total, 32 * 32 * 128 / 255, 32);
}

TEST(DitherEngine, FloydSteinbergRowsMatchPixelByPixel)
{
    // Whole rows (errors carried in registers) against one Dither call a pixel, over random
    // pictures and palettes, widths down to one pixel so the margins are exercised.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (const int width : {1, 2, 3, 7, 64}) {
        std::vector<TColor> palette;
        for (int i = 0; i < 12; ++i)
            palette.push_back(RGB(byte(random), byte(random), byte(random)));
        const int height = 9;
        std::vector<std::uint8_t> picture(static_cast<std::size_t>(3 * width * height));
        for (std::uint8_t& v : picture)
            v = static_cast<std::uint8_t>(byte(random));
        TFastColorLookup rowLookup(palette), pixelLookup(palette);
        TFloydSteinbergDitherer<TFastColorLookup> rows(width, rowLookup), pixels(width, pixelLookup);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* source = picture.data() + static_cast<std::size_t>(3 * width * y);
            std::vector<std::uint8_t> byRow(static_cast<std::size_t>(width)), byPixel(static_cast<std::size_t>(width));
            DitherRow(rows, source, byRow.data(), width);
            for (int i = 0; i < width; ++i) {
                const int x = pixels.Column();
                int r, g, b;
                byPixel[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(
                    pixels.Dither(source[3 * x + 2], source[3 * x + 1], source[3 * x], r, g, b));
            }
            pixels.NextLine();
            EXPECT_EQ(byRow, byPixel) << "width " << width << ", row " << y;
        }
    }
}
