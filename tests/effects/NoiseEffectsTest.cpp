// Noise draws from the application's one generator in a fixed order.
#include "effects/PixelEffects.h"

#include "graphics/Random.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qorFX;

TEST(NoiseEffects, SameSequenceAfterStartupGivesTheSamePixels)
{
    auto run = [] {
        ResetRandomToStartup();
        TBitmap b = SolidBitmap(5, 4, RGB(120, 130, 140));
        AddColorNoise(b, 60);
        AddMonoNoise(b, 90);
        AddColorNoise(b, 7);
        return b;
    };
    const TBitmap first = run();
    EXPECT_EQ(run(), first);
    EXPECT_NE(first, SolidBitmap(5, 4, RGB(120, 130, 140)));
}

TEST(NoiseEffects, DrawOrderBlueGreenRedPerPixelThenOnePerPixel)
{
    ResetRandomToStartup();
    std::vector<int> draws;
    for (int i = 0; i < 6; ++i)
        draws.push_back(Random(50));
    ResetRandomToStartup();
    TBitmap b = SolidBitmap(2, 1, RGB(100, 100, 100));
    AddColorNoise(b, 50);
    // Pixel 0: blue, green, red from draws 0, 1, 2; pixel 1 from 3, 4, 5; minus 50 div 2.
    EXPECT_EQ(b.Pixel(0, 0), RGB(75 + draws[2], 75 + draws[1], 75 + draws[0]));
    EXPECT_EQ(b.Pixel(1, 0), RGB(75 + draws[5], 75 + draws[4], 75 + draws[3]));

    ResetRandomToStartup();
    const int v0 = Random(9) - 4, v1 = Random(9) - 4;
    ResetRandomToStartup();
    b = SolidBitmap(2, 1, RGB(2, 100, 253));
    AddMonoNoise(b, 9);
    EXPECT_EQ(b.Pixel(0, 0), RGB(std::clamp(2 + v0, 0, 255), 100 + v0, std::clamp(253 + v0, 0, 255)));
    EXPECT_EQ(b.Pixel(1, 0), RGB(std::clamp(2 + v1, 0, 255), 100 + v1, std::clamp(253 + v1, 0, 255)));
}

TEST(NoiseEffects, NegativeAmountsAddNothingButKeepTheSequenceInStep)
{
    const TBitmap original = SolidBitmap(3, 2, RGB(10, 128, 250));
    auto stateAfter = [](int draws) {
        ResetRandomToStartup();
        for (int i = 0; i < draws; ++i)
            Random(1);
        return RandomState();
    };
    ResetRandomToStartup();
    TBitmap b = original;
    AddColorNoise(b, -40);
    EXPECT_EQ(b, original);
    EXPECT_EQ(RandomState(), stateAfter(18));
    ResetRandomToStartup();
    AddMonoNoise(b, -40);
    EXPECT_EQ(b, original);
    EXPECT_EQ(RandomState(), stateAfter(6));

    // Huge amounts saturate instead of overflowing.
    AddColorNoise(b, 0x7FFFFFFF);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            for (int c : {GetRValue(b.Pixel(x, y)), GetGValue(b.Pixel(x, y)), GetBValue(b.Pixel(x, y))})
                EXPECT_TRUE(c == 0 || c == 255) << c;
}
