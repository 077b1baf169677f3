// Trace outlines, the four shadows and the overlays.
#include "effects/PixelEffects.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qorFX;

namespace {

const std::vector<std::pair<char, TColor>> kLegend = {
    {'.', clWhite}, {'B', clBlack}, {'R', clRed}, {'u', clBlue}, {'s', RGB(11, 11, 11)}, {'d', RGB(10, 10, 10)}};

std::vector<std::string> Traced(const std::vector<std::string>& rows, int passes)
{
    TBitmap b = BitmapFromRows(rows, kLegend);
    Trace(b, passes, clRed);
    return RowsFromBitmap(b, kLegend);
}

} // namespace

TEST(OutlineEffects, TraceDrawsOnTheSideOfTheFirstRegionMet)
{
    // The first boundary met is white above black, so black is the background index and
    // every mark lands on the white side: a ring around the square.
    const std::vector<std::string> square = {"....", ".BB.", ".BB.", "...."};
    const std::vector<std::string> ring = {".RR.", "RBBR", "RBBR", ".RR."};
    EXPECT_EQ(Traced(square, 1), ring);
    EXPECT_EQ(Traced(square, 2), ring);
    EXPECT_EQ(Traced(square, 9), ring);
    EXPECT_EQ(Traced(square, INT_MAX), ring);

    // Inverted colours: the black outside is met first, so the ring is on the black side.
    EXPECT_EQ(Traced({"BBBB", "B..B", "B..B", "BBBB"}, 1), (std::vector<std::string>{"BRRB", "R..R", "R..R", "BRRB"}));

    // No passes, or a single colour: nothing is marked.
    EXPECT_EQ(Traced(square, 0), square);
    EXPECT_EQ(Traced(square, -4), square);
    EXPECT_EQ(Traced({"...", "..."}, 2), (std::vector<std::string>{"...", "..."}));
}

TEST(OutlineEffects, TraceWrapsAroundTheEdges)
{
    // The black column at the left edge also borders the right edge through the wrap.
    EXPECT_EQ(Traced({"B...", "B..."}, 1), (std::vector<std::string>{"BR.R", "BR.R"}));
    // Tiny pictures never leave the picture.
    EXPECT_EQ(Traced({"B"}, 3), (std::vector<std::string>{"B"}));
    EXPECT_EQ(Traced({"B."}, 3).size(), 1u);
    TBitmap empty;
    Trace(empty, 2, clRed);
    EXPECT_TRUE(empty.Empty());
}

TEST(ShadowEffects, EachShadowReadsUnprocessedNeighboursInItsScanOrder)
{
    // One dark pixel in a corner of a 9 x 9 picture: the pixel 4 steps toward the centre
    // takes it, one step lighter; the one beyond does not (its neighbour was still white
    // when it was read).
    struct Case {
        void (*shadow)(TBitmap&);
        TPoint dark, shadowed, notShadowed;
    };
    const Case cases[] = {
        {ShadowUpLeft, {8, 8}, {4, 4}, {0, 0}},
        {ShadowUpRight, {0, 8}, {4, 4}, {8, 0}},
        {ShadowDownLeft, {8, 0}, {4, 4}, {0, 8}},
        {ShadowDownRight, {0, 0}, {4, 4}, {8, 8}},
    };
    for (const Case& c : cases) {
        TBitmap b = SolidBitmap(9, 9, clWhite);
        b.SetPixel(c.dark.X, c.dark.Y, RGB(10, 10, 10));
        c.shadow(b);
        EXPECT_EQ(b.Pixel(c.shadowed.X, c.shadowed.Y), RGB(11, 11, 11));
        EXPECT_EQ(b.Pixel(c.notShadowed.X, c.notShadowed.Y), clWhite);
        EXPECT_EQ(b.Pixel(c.dark.X, c.dark.Y), RGB(10, 10, 10));
        int changed = 0;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                changed += b.Pixel(x, y) == clWhite ? 0 : 1;
        EXPECT_EQ(changed, 2);
    }

    // Only blue decides what is darker; channels at 255 stay 255.
    TBitmap b = SolidBitmap(5, 5, RGB(0, 0, 200));
    b.SetPixel(4, 4, RGB(255, 10, 100));
    ShadowUpLeft(b);
    EXPECT_EQ(b.Pixel(0, 0), RGB(255, 11, 101));
    b = SolidBitmap(5, 5, RGB(0, 0, 200));
    b.SetPixel(4, 4, RGB(0, 0, 250));
    ShadowUpLeft(b);
    EXPECT_EQ(b.Pixel(0, 0), RGB(0, 0, 200));

    for (auto shadow : {ShadowUpLeft, ShadowUpRight, ShadowDownLeft, ShadowDownRight})
        for (int w : {0, 1, 4, 5})
            for (int h : {0, 1, 4, 5}) {
                TBitmap small = SolidBitmap(w, h, clBlack);
                shadow(small);
                EXPECT_EQ(small, SolidBitmap(w, h, clBlack));
            }
}

TEST(ShadowEffects, OverlaysDrawEverySecondOrFourthPixelExceptWhite)
{
    const TBitmap source = BitmapFromRows({"RRRR", ".RRR", "RRRR"}, kLegend);
    TBitmap dest = SolidBitmap(4, 3, clBlue);
    Overlay50(source, dest);
    EXPECT_EQ(RowsFromBitmap(dest, kLegend), (std::vector<std::string>{"uRuR", "uuRu", "uRuR"}));

    dest = SolidBitmap(4, 3, clBlue);
    Overlay25(source, dest);
    EXPECT_EQ(RowsFromBitmap(dest, kLegend), (std::vector<std::string>{"uRuR", "uuuu", "uRuR"}));

    // Different sizes: drawn at (0, 0) and clipped.
    dest = SolidBitmap(2, 5, clBlue);
    Overlay50(source, dest);
    EXPECT_EQ(RowsFromBitmap(dest, kLegend), (std::vector<std::string>{"uR", "uu", "uR", "uu", "uu"}));
    TBitmap empty;
    Overlay25(source, empty);
    EXPECT_TRUE(empty.Empty());
}
