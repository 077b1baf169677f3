#include "graphics/NumberRules.h"
#include "graphics/Random.h"

#include <gtest/gtest.h>

TEST(NumberRules, RoundHalvesToEven)
{
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(0.49999), 0);
    EXPECT_EQ(Round(1.5000001), 2);
    EXPECT_EQ(Trunc(-1.9), -1);
    EXPECT_EQ(Trunc(1.9), 1);
}

TEST(NumberRules, MulDivRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(3, 1, 4), 1);  // 0.75
    EXPECT_EQ(MulDiv(1, 1, 4), 0);  // 0.25
    EXPECT_EQ(MulDiv(1, -1, -2), 1);
    EXPECT_EQ(MulDiv(254, 255, 255), 254);
    // The 64-bit intermediate keeps large products exact.
    EXPECT_EQ(MulDiv(2000000000, 2000000000, 2000000000), 2000000000);
    EXPECT_EQ(MulDiv(5, 7, 0), -1);
}

TEST(NumberRules, DivAndModCutTowardZero)
{
    EXPECT_EQ(Div(-7, 2), -3);
    EXPECT_EQ(Mod(-7, 2), -1);
    EXPECT_EQ(Mod(7, -2), 1);
}

TEST(RandomGenerator, FirstDrawsAfterStartupAndReproducibility)
{
    ResetRandomToStartup();
    EXPECT_EQ(RandomState(), 0xD59323FFu);
    EXPECT_EQ(Random(100), 13);
    EXPECT_EQ(Random(100), 25);
    EXPECT_EQ(Random(100), 13);
    EXPECT_EQ(Random(1000), 247);
    EXPECT_EQ(Random(256), 240);

    ResetRandomToStartup();
    std::vector<int> a, b;
    for (int i = 0; i < 50; ++i)
        a.push_back(Random(7));
    ResetRandomToStartup();
    for (int i = 0; i < 50; ++i)
        b.push_back(Random(7));
    EXPECT_EQ(a, b);
    for (int v : a) {
        EXPECT_GE(v, 0);
        EXPECT_LT(v, 7);
    }
    // A non-positive range draws (the state moves on) and gives 0.
    const auto before = RandomState();
    EXPECT_EQ(Random(0), 0);
    EXPECT_NE(RandomState(), before);
}
