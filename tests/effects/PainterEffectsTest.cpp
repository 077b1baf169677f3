// The Painter Effects window's model: the tree, when a bar change recomputes, the series,
// the hand-over of frames and "Use", against the library operations applied directly.
#include "effects/PainterEffects.h"

#include "GeometricTestUtil.h"
#include "effects/GeometricEffects.h"
#include "effects/PixelEffects.h"
#include "graphics/MemoryBudget.h"
#include "graphics/Random.h"

#include <gtest/gtest.h>

namespace {

// The model with a host that collects what "Add" appends.
struct Host {
    TPainterEffects fx;
    std::vector<TBitmap> appended;
    int n = 10;
    Host()
    {
        fx.OnAppend = [this](const TBitmap& b) { appended.push_back(b); };
        fx.SeriesLength = [this] { return n; };
    }
    void Pick(const char* path)
    {
        const int k = FindPainterEffectNode(path);
        ASSERT_GE(k, 0) << path;
        fx.SelectNode(k);
    }
};

template <class F>
TBitmap Applied(const TBitmap& source, F&& op)
{
    TBitmap b = source;
    op(b);
    return b;
}

} // namespace

TEST(PainterEffects, TheTreeLetterForLetter)
{
    const std::vector<std::string> paths{
        "Contrast", "Saturation", "Brightness", "Blur", "Blur/Gaussian Blur", "Blur/Split Blur", "Noise",
        "Noise/Color", "Noise/Mono", "Smooth", "Seamless", "Mosaic", "Twist", "Fisheye", "Wave", "Wave/Normal",
        "Wave/Extra", "Wave/Inference", "Rotate", "Split Light", "Wings", "Wings/Deep", "Wings/Down", "Wings/Up",
        "Wings/Fold", "Wings/Touche", "Wings/Flyer", "Wings/Flipover", "Wings/Wavy", "AntiAlias", "Squeeze",
        "Squeeze/Horizontal", "Squeeze/Top", "Squeeze/Bottom", "Squeeze/Diamond", "Squeeze/Waste", "Squeeze/Round",
        "Squeeze/Round 2", "Darkness", "MandelBrot", "Plasma", "MandelFlex", "Triangles"};
    const std::vector<TPainterEffectNode>& nodes = PainterEffectNodes();
    ASSERT_EQ(nodes.size(), paths.size());
    int next = 0;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        EXPECT_EQ(PainterEffectNodePath(nodes[i]), paths[i]);
        if (nodes[i].Index >= 0)
            EXPECT_EQ(nodes[i].Index, next++) << paths[i];
    }
    EXPECT_EQ(next, 38);
    const TPainterEffectNode& fisheye = nodes[static_cast<std::size_t>(FindPainterEffectNode("fisheye"))];
    EXPECT_EQ(fisheye.Min, 55);
    EXPECT_EQ(fisheye.Max, 100);
    EXPECT_EQ(fisheye.Default, 60);
    EXPECT_EQ(FindPainterEffectNode("WAVE/normal"), FindPainterEffectNode("Normal"));
    EXPECT_EQ(FindPainterEffectNode("Blur/Twist"), -1);
}

TEST(PainterEffects, ContrastSeriesUpAndDown)
{
    const TBitmap source = Noise(9, 5, 1);
    Host h;
    h.fx.Open(source);
    h.Pick("Contrast");
    h.fx.StepUp();
    ASSERT_EQ(h.appended.size(), 10u);
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(h.appended[static_cast<std::size_t>(i - 1)], Applied(source, [&](TBitmap& b) { qorFX::Contrast(b, 10 * i); }))
            << "frame " << i;
    EXPECT_EQ(h.fx.EBar().Position, 100);
    h.appended.clear();
    h.fx.StepDown();
    ASSERT_EQ(h.appended.size(), 10u);
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(h.appended[static_cast<std::size_t>(i - 1)], Applied(source, [&](TBitmap& b) { qorFX::Contrast(b, 100 - 10 * i); }))
            << "frame " << i;
    EXPECT_EQ(h.fx.EBar().Position, 0);
}

TEST(PainterEffects, SplitLightSeriesStaysAtItsStart)
{
    const TBitmap source = Noise(6, 4, 2);
    Host h;
    h.fx.Open(source);
    h.Pick("Split Light"); // 1..10: step 9 div 10 = 0
    h.fx.StepUp();
    const TBitmap at1 = Applied(source, [](TBitmap& b) { qorFX::SplitLight(b, 1); });
    ASSERT_EQ(h.appended.size(), 10u);
    for (const TBitmap& b : h.appended)
        EXPECT_EQ(b, at1);
    h.appended.clear();
    h.fx.StepDown();
    const TBitmap at10 = Applied(source, [](TBitmap& b) { qorFX::SplitLight(b, 10); });
    ASSERT_EQ(h.appended.size(), 10u);
    for (const TBitmap& b : h.appended)
        EXPECT_EQ(b, at10);
}

TEST(PainterEffects, RangeChangesRecomputeOnlyWhenAPositionMoves)
{
    const TBitmap source = Noise(8, 6, 3);
    Host h;
    h.fx.Open(source);
    // Nothing applied yet: the source is shown.
    EXPECT_EQ(h.fx.Image(), source);
    EXPECT_EQ(h.fx.Recomputations(), 0);
    h.Pick("Contrast"); // 0..100 at 0: the bar does not move
    EXPECT_EQ(h.fx.Recomputations(), 0);
    h.fx.SetEBarPosition(40);
    const TBitmap contrast = h.fx.Image();
    EXPECT_EQ(contrast, Applied(source, [](TBitmap& b) { qorFX::Contrast(b, 40); }));
    h.fx.SetEBarPosition(0);
    const int before = h.fx.Recomputations();
    h.Pick("Saturation"); // 0..255 at 0, the same position: nothing recomputed
    EXPECT_EQ(h.fx.Recomputations(), before);
    EXPECT_EQ(h.fx.Image(), Applied(source, [](TBitmap& b) { qorFX::Contrast(b, 0); }));
    h.fx.SetEBarPosition(30);
    EXPECT_EQ(h.fx.Image(), Applied(source, [](TBitmap& b) { qorFX::Saturation(b, 30); }));
    // The same position again is no change.
    h.fx.SetEBarPosition(30);
    EXPECT_EQ(h.fx.Recomputations(), before + 1);

    // Fisheye (55..100 at 60), then Split Light: 1..10 at 1, showing SplitLight(1).
    h.Pick("Fisheye");
    EXPECT_EQ(h.fx.EBar().Position, 60);
    h.Pick("Split Light");
    EXPECT_EQ(h.fx.EBar().Min, 1);
    EXPECT_EQ(h.fx.EBar().Max, 10);
    EXPECT_EQ(h.fx.EBar().Position, 1);
    EXPECT_EQ(h.fx.Image(), Applied(source, [](TBitmap& b) { qorFX::SplitLight(b, 1); }));
    // Positions are held inside the range.
    h.fx.SetEBarPosition(500);
    EXPECT_EQ(h.fx.EBar().Position, 10);
}

TEST(PainterEffects, RotateAboutTheMiddleWhenTheCentreBarIsAtItsMaximum)
{
    const TBitmap source = Noise(10, 8, 4);
    Host h;
    h.fx.Open(source);
    EXPECT_EQ(h.fx.CxBar().Max, 10);
    EXPECT_EQ(h.fx.CxBar().Position, 5);
    EXPECT_EQ(h.fx.CyBar().Position, 4);
    h.fx.SetCxPosition(10); // the maximum: the source's width
    h.Pick("Rotate");       // 0..360 at 0: nothing yet
    h.fx.SetEBarPosition(30);
    TBitmap expected(10, 8);
    expected.Fill(clWhite); // the target starts white and keeps what rotation leaves
    qorFX::SmoothRotate(source, expected, 5, 4, 30);
    EXPECT_EQ(h.fx.Image(), expected);
    // Another centre gives another picture.
    h.fx.SetCxPosition(2);
    EXPECT_NE(h.fx.Image(), expected);
}

TEST(PainterEffects, SmoothAntiAliasAndNoise)
{
    const TBitmap source = Noise(7, 7, 5);
    Host h;
    h.fx.Open(source);
    h.Pick("Smooth");
    for (int p = 0; p <= 20; ++p) {
        h.fx.SetEBarPosition(p);
        EXPECT_EQ(h.fx.Image(), source) << p;
    }
    h.Pick("AntiAlias");
    const TBitmap aa = Applied(source, [](TBitmap& b) { qorFX::AntiAlias(b); });
    for (int p = 1; p <= 50; ++p) {
        h.fx.SetEBarPosition(p);
        EXPECT_EQ(h.fx.Image(), aa) << p;
    }

    // Colour noise at one position: new noise at each application, from the one generator.
    h.Pick("Noise/Color");
    const std::uint32_t state = RandomState();
    h.fx.SetEBarPosition(80);
    SetRandomState(state);
    EXPECT_EQ(h.fx.Image(), Applied(source, [](TBitmap& b) { qorFX::AddColorNoise(b, 80); }));
    const TBitmap first = h.fx.Image();
    h.fx.SetEBarPosition(81);
    h.fx.SetEBarPosition(80);
    EXPECT_NE(h.fx.Image(), first);
}

TEST(PainterEffects, HandOverUseAndAdd)
{
    const TBitmap a = Noise(8, 6, 6);
    Host h;
    h.fx.Open(a);
    h.Pick("Twist");
    const TBitmap twisted = h.fx.Image();
    EXPECT_NE(twisted, a);

    // Another frame of the same size, the centre bars already at the halves, no click: the
    // node is applied to the new frame, once, and "Use" hands that over.
    const TBitmap b = Noise(8, 6, 7);
    const int before = h.fx.Recomputations();
    h.fx.Open(b);
    EXPECT_EQ(h.fx.Recomputations(), before + 1);
    EXPECT_EQ(h.fx.SourceBitmap(), b);
    h.fx.Use();
    TBitmap twistedB(8, 6);
    qorFX::Twist(b, twistedB, 10);
    EXPECT_EQ(h.fx.Image(), twistedB);

    // A larger frame: the centre bars move, Twist is applied to it.
    const TBitmap c = Noise(12, 9, 8);
    h.fx.Open(c);
    EXPECT_EQ(h.fx.Image().Width(), 12);
    EXPECT_EQ(h.fx.CxBar().Position, 6);
    // Nothing selected: the frame opened is shown, never the one before.
    Host fresh;
    fresh.fx.Open(Noise(4, 3, 9));
    const TBitmap other = Noise(6, 5, 10);
    fresh.fx.Open(other);
    fresh.fx.Use();
    EXPECT_EQ(fresh.fx.Image(), other);

    h.fx.Add();
    ASSERT_EQ(h.appended.size(), 1u);
    EXPECT_EQ(h.appended[0], h.fx.Image());
}

TEST(PainterEffects, GroupsPlasmaMandelFlexAndTheBudget)
{
    const TBitmap source = Noise(16, 12, 11);
    Host h;
    h.n = 4;
    h.fx.Open(source);
    // A group node: bars change nothing, a series appends copies of what is shown.
    h.Pick("Wings");
    h.fx.SetEBarPosition(70);
    EXPECT_EQ(h.fx.Recomputations(), 0);
    h.fx.StepUp();
    ASSERT_EQ(h.appended.size(), 4u);
    for (const TBitmap& b : h.appended)
        EXPECT_EQ(b, source);

    // Plasma with Turb below 10 moves the bar to 10.
    h.Pick("Plasma");
    EXPECT_EQ(h.fx.ExtraBar().Position, 10);
    h.fx.SetEBarPosition(30);
    TBitmap expected = source;
    qorFX::Plasma(source, source, expected, 30, 10);
    EXPECT_EQ(h.fx.Image(), expected);

    // MandelFlex looks at the size only.
    h.Pick("MandelFlex");
    h.fx.SetEBarPosition(50);
    const TBitmap m1 = h.fx.Image();
    Host other;
    other.fx.Open(Noise(16, 12, 12));
    other.fx.SetExtraPosition(10);
    other.Pick("MandelFlex");
    other.fx.SetEBarPosition(50);
    EXPECT_EQ(other.fx.Image(), m1);

    // A series that would pass the memory budget is refused before any frame.
    h.appended.clear();
    h.n = 50;
    {
        const MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + 16 * 12 * 3 * 10);
        EXPECT_THROW(h.fx.StepUp(), EOutOfMemory);
    }
    EXPECT_TRUE(h.appended.empty());
}

TEST(PainterEffects, EveryResultComesFromTheSourceAlone)
{
    // Twist paints the whole target, Squeeze leaves margins: after Twist, then Round 2,
    // then Use, the margins are white as in a window that never showed Twist (and as
    // anivor-cli painter computes it), not Twist's pixels.
    const TBitmap source = Noise(16, 12, 9);
    TBitmap expected(16, 12);
    expected.Fill(clWhite);
    qorFX::Squeeze(source, expected, 40, 13);
    for (const char* before : {"", "Twist", "Wings/Deep", "Rotate"}) {
        Host h;
        h.fx.Open(source);
        if (*before) {
            h.Pick(before);
            h.fx.SetEBarPosition(h.fx.EBar().Max - 1);
        }
        h.Pick("Squeeze/Round 2");
        h.fx.SetEBarPosition(40);
        h.fx.Use();
        EXPECT_EQ(h.fx.Image(), expected) << before;
    }
}
