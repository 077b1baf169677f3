// The geometric catalog: every entry is found by name, and no entry crashes, hangs or
// changes a bitmap's size on empty, one-pixel or thin bitmaps with odd arguments.
#include "effects/EffectCatalog.h"
#include "effects/GeometricEffects.h"
#include "graphics/Exception.h"

#include "GeometricTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

TEST(GeometricCatalog, EveryOperationIsListedAndFound)
{
    const char* names[] = {"SmoothRotate", "FishEye", "Twist", "Wave", "Squeeze", "SmoothResize", "TileSmooth",
                           "Resample", "ScaleOnto", "Fold", "ShakeHorizontal", "ShakeVertical", "Plasma",
                           "FlipDown", "FlipRight", "MirrorDown", "MirrorRight", "Triangles", "Tile",
                           "TileOverlap", "WingsDeep", "WingsDown", "WingsUp", "WingsFold", "WingsTouche",
                           "WingsFlyer", "WingsFlipover", "WingsWavy", "DrawRotatedEllipse"};
    for (const char* n : names) {
        const TEffectEntry* e = FindEffect(n);
        ASSERT_NE(e, nullptr) << n;
        EXPECT_EQ(e->name, n);
    }
    EXPECT_EQ(FindEffect("flipdown"), FindEffect("FlipDown"));
    EXPECT_EQ(FindEffect("NoSuchEffect"), nullptr);
    EXPECT_EQ(FindEffect("Wave")->params, (std::vector<std::string>{"amount", "inference", "style"}));

    // In place through the catalog: FlipRight twice gives the picture back, and a
    // half-turn of SmoothRotate about the corner point (w/2, h/2) of an even picture
    // equals the two flips.
    const TBitmap n = Noise(6, 4, 40);
    TBitmap b = n;
    FindEffect("FlipRight")->apply(b, {});
    FindEffect("flipright")->apply(b, {});
    EXPECT_TRUE(b == n);
    TBitmap r = n;
    FindEffect("SmoothRotate")->apply(r, {3, 2, 180});
    TBitmap f = n;
    qorFX::FlipDown(f);
    qorFX::FlipRight(f);
    EXPECT_TRUE(r == f);
    // Resample without a support uses the kernel's own: Box at scale 1 is the identity.
    TBitmap box = n;
    FindEffect("Resample")->apply(box, {0});
    EXPECT_TRUE(box == n);
}

TEST(GeometricCatalog, OddSizesAndArgumentsNeverCrashOrHang)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<double>> argSets = {
        {}, {0, 0, 0}, {1, 1, 1}, {-1, -1, -1}, {-7, -300, -2}, {0.5, 0.5, 0.5},
        {1e9, 1e9, 1e9}, {-1e9, -1e9, -1e9}, {1e300, 1e300, 1e300}, {inf, -inf, inf}, {nan, nan, nan},
        {2147483647.0, -2147483648.0, 13}};
    const std::vector<std::pair<int, int>> sizes = {{0, 0}, {1, 1}, {2, 1}, {1, 3}, {0, 4}, {5, 0}, {3, 3}};
    for (const auto* catalog : {&GeometricEffectCatalog()})
        for (const TEffectEntry& e : *catalog)
            for (const auto& [w, h] : sizes)
                for (const auto& args : argSets) {
                    TBitmap b = Noise(w, h, 50);
                    const auto start = std::chrono::steady_clock::now();
                    try {
                        e.apply(b, args);
                    } catch (const EInvalidGraphic& ex) {
                        // Only resampling an empty picture may refuse.
                        EXPECT_TRUE(w == 0 || h == 0) << e.name;
                        EXPECT_STREQ(ex.what(), "Source bitmap too small");
                    }
                    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - start).count();
                    EXPECT_LT(ms, 2000) << e.name << " " << w << "x" << h;
                    EXPECT_EQ(b.Width(), w) << e.name;
                    EXPECT_EQ(b.Height(), h) << e.name;
                }
}

TEST(GeometricCatalog, SourceAndDestinationOfDifferentSizesAndFormats)
{
    using namespace qorFX;
    const TBitmap src = Noise(9, 7, 60);
    TBitmap pal = src;
    pal.SetPixelFormat(TPixelFormat::pf8bit);
    TBitmap smallDst = SolidBitmap(3, 2, clBlack), emptyDst;
    // Destinations smaller than the source, empty destinations and 8-bit sources.
    for (TBitmap* d : {&smallDst, &emptyDst}) {
        SmoothRotate(pal, *d, 4, 3, 33);
        FishEye(pal, *d, 0.7);
        Twist(pal, *d, 5);
        Squeeze(pal, *d, 2, 11);
        SmoothResize(pal, *d);
        Resample(pal, *d, TResampleFilter::Lanczos3, 3.0f);
        Plasma(pal, Noise(2, 2, 61), *d, 9, 20);
        EXPECT_EQ(d->PixelFormat(), TPixelFormat::pf24bit);
    }
    EXPECT_EQ(smallDst.Width(), 3);
    EXPECT_TRUE(emptyDst.Empty());
    // Operations whose destination becomes a copy take the source's size.
    TBitmap d = SolidBitmap(2, 2, clBlack);
    WingsWavy(pal, d, 3, 2.0);
    EXPECT_EQ(d.Width(), 9);
    ShakeVertical(pal, d, 0.2);
    EXPECT_EQ(d.Height(), 7);
}
