#include "gif/ColorLookup.h"
#include "gif/SystemPalettes.h"

#include <gtest/gtest.h>

namespace {

struct TAnswer {
    int index, r, g, b;
    friend bool operator==(const TAnswer&, const TAnswer&) = default;
};

template <class TLookup>
TAnswer ask(TLookup& lookup, int red, int green, int blue)
{
    TAnswer a{};
    a.index = lookup.Lookup(red, green, blue, a.r, a.g, a.b);
    return a;
}

std::ostream& operator<<(std::ostream& os, const TAnswer& a)
{
    return os << a.index << " (" << a.r << ',' << a.g << ',' << a.b << ')';
}

} // namespace

TEST(ColorLookup, NetscapeLevelsAndIndex)
{
    TNetscapeColorLookup lookup;
    EXPECT_EQ(lookup.Colors(), 216);
    // Level boundaries: 47 -> 0, 48 -> 1, 98 -> 1, 99 -> 2, 251 -> 4, 252 -> 5.
    EXPECT_EQ(ask(lookup, 47, 48, 252), (TAnswer{0 * 36 + 1 * 6 + 5, 0, 51, 255}));
    EXPECT_EQ(ask(lookup, 98, 99, 251), (TAnswer{1 * 36 + 2 * 6 + 4, 51, 102, 204}));
    EXPECT_EQ(ask(lookup, 255, 0, 0), (TAnswer{180, 255, 0, 0}));
    EXPECT_EQ(ask(lookup, 255, 255, 255), (TAnswer{215, 255, 255, 255}));
    // The index agrees with the palette the method shows.
    EXPECT_EQ(NetscapePalette()[180], RGB(255, 0, 0));
    EXPECT_EQ(NetscapePalette()[11], RGB(0, 51, 255));
}

TEST(ColorLookup, MonochromeThresholdOnWeightedSum)
{
    TMonochromeLookup lookup;
    EXPECT_EQ(lookup.Colors(), 2);
    EXPECT_EQ(ask(lookup, 127, 127, 127), (TAnswer{0, 0, 0, 0}));       // 32512
    EXPECT_EQ(ask(lookup, 128, 128, 128), (TAnswer{1, 255, 255, 255})); // 32768
    EXPECT_EQ(ask(lookup, 0, 192, 128).index, 0);                       // 32512
    EXPECT_EQ(ask(lookup, 0, 198, 97).index, 1);                        // 32513
    // Green weighs most, blue least.
    EXPECT_EQ(ask(lookup, 0, 255, 0).index, 1);
    EXPECT_EQ(ask(lookup, 255, 0, 0).index, 0);
    EXPECT_EQ(ask(lookup, 255, 0, 255).index, 0);
}

TEST(ColorLookup, GrayScaleWeights)
{
    TGrayScaleLookup lookup;
    EXPECT_EQ(lookup.Colors(), 256);
    EXPECT_EQ(ask(lookup, 255, 0, 0), (TAnswer{76, 76, 76, 76}));  // 19635 shr 8
    EXPECT_EQ(ask(lookup, 0, 255, 0), (TAnswer{149, 149, 149, 149}));
    EXPECT_EQ(ask(lookup, 0, 0, 255), (TAnswer{28, 28, 28, 28}));
    EXPECT_EQ(ask(lookup, 255, 255, 255).index, 255);
    EXPECT_EQ(ask(lookup, 0, 0, 0).index, 0);
}

TEST(ColorLookup, FastLookupFirstEntryOwnsItsCell)
{
    // Both entries fall into cell (2, 0, 0): the lower index owns it, even for an exact
    // match of the other.
    TFastColorLookup same({RGB(16, 0, 0), RGB(17, 0, 0)});
    EXPECT_EQ(ask(same, 17, 0, 0), (TAnswer{0, 16, 0, 0}));

    // A colour in an entry's cell gets that entry even when another one is nearer.
    TFastColorLookup near({RGB(7, 0, 0), RGB(15, 0, 0)});
    EXPECT_EQ(ask(near, 8, 0, 0), (TAnswer{1, 15, 0, 0}));
    EXPECT_EQ(near.Cell(TFastColorLookup::CellOf(0, 0, 0)), 0);
    EXPECT_EQ(near.Cell(TFastColorLookup::CellOf(8, 8, 0)), -1);
}

TEST(ColorLookup, FastLookupMissFillsCellForItsNeighbours)
{
    // 97 and 103 share cell 12; entry 0 (90) is nearest to 97, entry 1 (113) to 103.
    const std::vector<TColor> palette = {RGB(90, 0, 0), RGB(113, 0, 0)};
    TFastColorLookup first97(palette);
    EXPECT_EQ(ask(first97, 97, 0, 0).index, 0);
    EXPECT_EQ(ask(first97, 103, 0, 0).index, 0);
    EXPECT_EQ(first97.Cell(TFastColorLookup::CellOf(100, 0, 0)), 0);

    TFastColorLookup first103(palette);
    EXPECT_EQ(ask(first103, 103, 0, 0).index, 1);
    EXPECT_EQ(ask(first103, 97, 0, 0).index, 1);
}

TEST(ColorLookup, MissSearchUsesSumOfAbsoluteDifferencesLowerIndexOnTies)
{
    // Sum of absolute differences picks (40,0,0) (40 against 50); squared distance would
    // pick (25,25,0).
    TFastColorLookup metric({RGB(40, 0, 0), RGB(25, 25, 0)});
    EXPECT_EQ(ask(metric, 0, 0, 0).index, 0);

    // (20,20,0) is 40 from both: the lower index wins whichever colour it holds.
    TFastColorLookup tieA({RGB(40, 0, 0), RGB(0, 40, 0)});
    EXPECT_EQ(ask(tieA, 20, 20, 0), (TAnswer{0, 40, 0, 0}));
    TFastColorLookup tieB({RGB(0, 40, 0), RGB(40, 0, 0)});
    EXPECT_EQ(ask(tieB, 20, 20, 0), (TAnswer{0, 0, 40, 0}));

    // The uncached base search follows the same rules.
    TColorLookup exact({RGB(7, 0, 0), RGB(15, 0, 0)});
    EXPECT_EQ(ask(exact, 8, 0, 0).index, 0);
    TColorLookup empty({});
    EXPECT_EQ(ask(empty, 8, 9, 10), (TAnswer{0, 0, 0, 0}));
}

TEST(ColorLookup, SearchMatchesAPlainScanOnEveryPaletteSize)
{
    // Sizes around the search's 8-entry groups, entries drawn from a coarse grid so that
    // ties are frequent: the lowest index must still win.
    unsigned state = 99;
    auto next = [&](int range) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<unsigned>(range));
    };
    for (int n : {1, 2, 7, 8, 9, 15, 16, 17, 100, 236, 255, 256}) {
        std::vector<TColor> palette;
        for (int i = 0; i < n; ++i)
            palette.push_back(RGB(next(6) * 51, next(6) * 51, next(6) * 51));
        TColorLookup lookup(palette);
        for (int k = 0; k < 400; ++k) {
            const int red = next(256), green = next(256), blue = next(256);
            int want = 0, wantDistance = 1 << 30;
            for (int i = 0; i < n; ++i) {
                const int d = std::abs(static_cast<int>(GetRValue(palette[i])) - red)
                    + std::abs(static_cast<int>(GetGValue(palette[i])) - green)
                    + std::abs(static_cast<int>(GetBValue(palette[i])) - blue);
                if (d < wantDistance) {
                    wantDistance = d;
                    want = i;
                }
            }
            ASSERT_EQ(ask(lookup, red, green, blue).index, want) << n << " colours, " << red << "," << green << "," << blue;
        }
    }
}
