// Effect kinds: the strength follows the step, prepared steps start from A, and the
// others leave the previous step's pixels where their operation does not paint.
#include "WizardTestHelpers.h"
#include "effects/PixelEffects.h"
#include "wizards/WizardDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::vector<TBitmap> RunKind(int kind, const TBitmap& A, const TBitmap& B, int n, TBitmap& work)
{
    TWizardContext ctx;
    std::vector<TBitmap> images;
    RunWizardSteps(kind, A, B, n, work, ctx, images);
    return images;
}

std::vector<TBitmap> RunKind(int kind, const TBitmap& A, int n)
{
    TBitmap work;
    return RunKind(kind, A, A, n, work);
}

} // namespace

TEST(EffectWizards, FadesGoFromDarkToAAndBack)
{
    const TBitmap A = PatternBitmap(10, 6, 77);
    const TBitmap black = SolidBitmap(10, 6, clBlack);
    const auto fadeOut = RunKind(67, A, 5);
    EXPECT_TRUE(fadeOut.back() == black);
    EXPECT_FALSE(fadeOut.front() == black);
    const auto fadeIn = RunKind(66, A, 5);
    EXPECT_TRUE(fadeIn.back() == A);
    // Step 1 of Fade In is Darkness(Round(255 * 0.8)) = Darkness(204).
    TBitmap dark = A;
    qorFX::Darkness(dark, 204);
    EXPECT_TRUE(fadeIn.front() == dark);
    const auto inOut = RunKind(68, A, 5);
    ASSERT_EQ(inOut.size(), 10u);
    EXPECT_TRUE(inOut[0] == dark);
    EXPECT_TRUE(inOut[4] == A);
    EXPECT_TRUE(inOut[9] == black);
}

TEST(EffectWizards, StrengthFollowsTheStep)
{
    const TBitmap A = PatternBitmap(12, 8, 90);
    // Split Light Reverse: Round(9 * 0.9 + 1) = 9 passes at step 1 of 10, one at step 10.
    const auto reverse = RunKind(51, A, 10);
    TBitmap nine = A, one = A;
    qorFX::SplitLight(nine, 9);
    qorFX::SplitLight(one, 1);
    EXPECT_TRUE(reverse.front() == nine);
    EXPECT_TRUE(reverse.back() == one);

    // Filter Blue at step n: blue 1..254 -> 255, 0 and 255 -> 0; green and red 0.
    TBitmap channels(4, 1);
    channels.SetPixel(0, 0, RGB(9, 9, 0));
    channels.SetPixel(1, 0, RGB(9, 9, 1));
    channels.SetPixel(2, 0, RGB(9, 9, 254));
    channels.SetPixel(3, 0, RGB(9, 9, 255));
    const auto filter = RunKind(76, channels, 4);
    EXPECT_EQ(filter.back().Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(filter.back().Pixel(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(filter.back().Pixel(2, 0), RGB(0, 0, 255));
    EXPECT_EQ(filter.back().Pixel(3, 0), RGB(0, 0, 0));
    // Keep Red at step n keeps red and clears blue and green.
    const auto keep = RunKind(81, A, 4);
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(keep.back().Pixel(x, 3), RGB(GetRValue(A.Pixel(x, 3)), 0, 0));
    // Spots: at step n the spot is beyond the right edge and the image is black.
    for (int kind : {69, 70, 71, 72})
        EXPECT_TRUE(RunKind(kind, A, 4).back() == SolidBitmap(12, 8, clBlack)) << kind;
}

TEST(EffectWizards, TileStopsWhenTilesGetTooSmall)
{
    // 20 x 20: from i = 5 on, 20 div i < 5 and the step is a plain copy of A.
    const TBitmap A = PatternBitmap(20, 20, 5);
    const auto tiles = RunKind(54, A, 8);
    EXPECT_FALSE(tiles[1] == A);
    for (int i = 5; i <= 8; ++i)
        EXPECT_TRUE(tiles[static_cast<std::size_t>(i - 1)] == A) << i;
}

TEST(EffectWizards, UnpaintedPixelsKeepThePreviousStep)
{
    const TBitmap A = SolidBitmap(40, 20, kA);
    // Smooth Rotate leaves the corners unpainted: step 1 shows what the work bitmap held.
    TBitmap work(40, 20);
    work.Fill(clLime);
    auto rotate = RunKind(35, A, A, 10, work);
    EXPECT_EQ(rotate[0].Pixel(0, 0), clLime);
    EXPECT_EQ(rotate[0].Pixel(20, 10), kA);
    // Squeeze Top keeps the margins beside its span: the lime stays there step after step.
    work.Fill(clLime);
    auto squeeze = RunKind(40, A, A, 4, work);
    EXPECT_EQ(squeeze[3].Pixel(0, 0), clLime);
    // Prepared steps start from A every time.
    work.Fill(clLime);
    auto blur = RunKind(37, A, A, 4, work);
    EXPECT_EQ(blur[0].Pixel(0, 0), kA);
}

TEST(EffectWizards, GrowEndsWithBAndShrinkStartsNearlyFull)
{
    const TBitmap A = SolidBitmap(20, 10, kA), B = SolidBitmap(20, 10, kB);
    TBitmap work;
    // A solid B stays solid under resampling (to rounding): the last grow step is all B.
    const auto grow = RunKind(55, A, B, 5, work);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const TColor c = grow.back().Pixel(x, y);
            EXPECT_LE(std::abs(GetBValue(c) - GetBValue(kB)), 1);
            EXPECT_EQ(GetRValue(c), 0);
        }
    EXPECT_EQ(grow.front().Pixel(0, 0), kA);
    // Shrink Top ends at a tenth of the size, at the top: the bottom row shows A.
    const auto shrink = RunKind(59, A, B, 5, work);
    EXPECT_EQ(shrink.back().Pixel(10, 9), kA);
    EXPECT_EQ(shrink.back().Pixel(10, 0), kB);
}
