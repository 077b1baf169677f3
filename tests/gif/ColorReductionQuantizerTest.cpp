#include "gif/ColorQuantizer.h"

#include <gtest/gtest.h>

namespace {

void add(TColorQuantizer& q, TColor c, int times = 1)
{
    for (int i = 0; i < times; ++i)
        q.AddColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// One colour per top-bit combination (red, green, blue): depth-first order is index order.
const TColor kCorner[8] = {RGB(10, 20, 30),  RGB(10, 20, 200),  RGB(10, 200, 30),  RGB(10, 200, 200),
                           RGB(200, 20, 30), RGB(200, 20, 200), RGB(200, 200, 30), RGB(200, 200, 200)};

} // namespace

TEST(ColorQuantizer, EightColoursWithEightSlotsComeBackExactlyInTreeOrder)
{
    TColorQuantizer q(8);
    for (int i : {7, 3, 5, 1, 6, 2, 4, 0})
        add(q, kCorner[i], 1 + i);
    EXPECT_EQ(q.LeafCount(), 8);
    EXPECT_EQ(q.Palette(), std::vector<TColor>(std::begin(kCorner), std::end(kCorner)));
}

TEST(ColorQuantizer, NinthColourMergesMostRecentLevelSevenNodeFirst)
{
    // A/A2 and B/B2 differ only in the lowest red bit, so each pair shares a level-7
    // node; C..G each own a level-7 node with one child.
    const TColor A = RGB(10, 0, 0), A2 = RGB(11, 0, 0), B = RGB(10, 0, 128), B2 = RGB(11, 0, 128);
    const TColor C = RGB(10, 128, 0), D = RGB(10, 128, 128), E = RGB(138, 0, 0), F = RGB(138, 0, 128);
    const TColor G = RGB(138, 128, 0);

    // G is the 9th leaf. Merging G's, F's, E's, D's and C's nodes removes no leaf; B's
    // node, created after A's, is next and brings the count to 8.
    TColorQuantizer q(8);
    for (TColor c : {A, A2, B, B2, C, D, E, F, G})
        add(q, c);
    EXPECT_EQ(q.LeafCount(), 8);
    EXPECT_EQ(q.Palette(), (std::vector<TColor>{A, A2, RGB(10, 0, 128), C, D, E, F, G}));

    // With B's pair first, A's node is the more recent one and is merged instead.
    TColorQuantizer r(8);
    for (TColor c : {B, B2, A, A2, C, D, E, F, G})
        add(r, c);
    EXPECT_EQ(r.Palette(), (std::vector<TColor>{RGB(10, 0, 0), B, B2, C, D, E, F, G}));

    // A third colour under A's node makes 9 leaves again; the only reducible level-7
    // node left is A's, whose three children merge: 7 leaves.
    add(q, RGB(10, 0, 1));
    EXPECT_EQ(q.LeafCount(), 7);
    EXPECT_EQ(q.Palette(), (std::vector<TColor>{RGB(10, 0, 0), RGB(10, 0, 128), C, D, E, F, G}));

    // A merged node is a leaf: a colour that falls into it joins it, no new leaf.
    add(q, RGB(11, 0, 129), 3);
    EXPECT_EQ(q.LeafCount(), 7);
    EXPECT_EQ(q.Palette()[1], RGB((10 + 11 + 33) / 5, 0, (128 * 2 + 129 * 3) / 5));
}

TEST(ColorQuantizer, ReducesUpToTheRootAndAveragesByPixelCount)
{
    TColorQuantizer q(1);
    add(q, RGB(0, 0, 0));
    add(q, RGB(255, 255, 255));
    EXPECT_EQ(q.LeafCount(), 1);
    add(q, RGB(30, 60, 90), 2); // joins the root, now a leaf
    EXPECT_EQ(q.Palette(), (std::vector<TColor>{RGB(315 / 4, 375 / 4, 435 / 4)}));

    TColorQuantizer empty(8);
    EXPECT_TRUE(empty.Palette().empty());
}

TEST(ColorQuantizer, SumsDoNotWrapOnLargePictures)
{
    // 17 million white pixels: 255 x count passes 2^32.
    TColorQuantizer q(8);
    std::vector<std::uint8_t> row(3 * 1'000'000, 255);
    for (int i = 0; i < 17; ++i)
        q.AddRow(row.data(), 1'000'000);
    add(q, RGB(254, 254, 254));
    EXPECT_EQ(q.Palette(), (std::vector<TColor>{RGB(254, 254, 254), RGB(255, 255, 255)}));
}
