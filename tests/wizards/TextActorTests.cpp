// Text and actor kinds, and the dancing spot: what each step draws over A.
#include "WizardTestHelpers.h"
#include "graphics/Random.h"
#include "graphics/Exception.h"
#include "wizards/ActorPath.h"
#include "wizards/ActorWizards.h"
#include "wizards/WizardDriver.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

std::vector<TBitmap> RunKind(int kind, int n, const TWizardContext& ctx, int w = 120, int h = 40)
{
    const TBitmap A = SolidBitmap(w, h, clWhite), B = SolidBitmap(w, h, clBlack);
    TBitmap work;
    std::vector<TBitmap> images;
    RunWizardSteps(kind, A, B, n, work, ctx, images);
    return images;
}

bool Contains(const TBitmap& bmp, TColor c)
{
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Pixel(x, y) == c)
                return true;
    return false;
}

// Pixels that are not white.
int Inked(const TBitmap& bmp)
{
    int count = 0;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            count += bmp.Pixel(x, y) != clWhite;
    return count;
}

} // namespace

TEST(TextWizards, TypeGrowsLetterByLetterThenHolds)
{
    TWizardContext ctx; // "Anivor", Arial 12, black
    ctx.TextPosition = TPoint(4, 6);
    const auto images = RunKind(87, 10, ctx);
    ASSERT_EQ(images.size(), 10u);
    for (int i = 1; i < 6; ++i)
        EXPECT_LT(Inked(images[i - 1]), Inked(images[i])) << i;
    for (int i = 6; i < 10; ++i)
        EXPECT_TRUE(images[i] == images[5]) << i;
    // Nothing left of the marked position, nothing drawn with a background box.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(images[9].Pixel(x, y), clWhite);
    EXPECT_FALSE(Contains(images[9], clRed));

    // Marquee ends with the text exactly at the marked position.
    const auto marquee = RunKind(89, 10, ctx);
    EXPECT_TRUE(marquee[9] == images[9]);
    EXPECT_FALSE(marquee[0] == images[9]);
}

TEST(TextWizards, GrowLinesAndAccent)
{
    TWizardContext ctx;
    // A 9-point font never grows; a 12-point one does.
    ctx.TextWizardFont.SetSize(9);
    auto grow = RunKind(88, 5, ctx);
    for (int i = 1; i < 5; ++i)
        EXPECT_TRUE(grow[i] == grow[0]) << i;
    ctx.TextWizardFont.SetSize(12);
    grow = RunKind(88, 5, ctx);
    EXPECT_LT(Inked(grow[0]), Inked(grow[4]));

    // Lines: three lines, n = 5: steps 4 and 5 repeat the third line.
    ctx.TextWizardText = {"one", "two", "three"};
    const auto lines = RunKind(90, 5, ctx);
    EXPECT_FALSE(lines[0] == lines[1]);
    EXPECT_FALSE(lines[1] == lines[2]);
    EXPECT_TRUE(lines[3] == lines[2]);
    EXPECT_TRUE(lines[4] == lines[2]);

    // Accent: a 4-letter text, n = 6: letters 1..4 in the accent colour, then plain text.
    ctx.TextWizardText = {"WWWW"};
    ctx.AccentColor = clRed;
    const auto accent = RunKind(91, 6, ctx);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Contains(accent[i], clRed)) << i;
    EXPECT_FALSE(Contains(accent[4], clRed));
    EXPECT_TRUE(accent[5] == accent[4]);
    // The accent travels to the right.
    auto leftmostRed = [](const TBitmap& b) {
        for (int x = 0; x < b.Width(); ++x)
            for (int y = 0; y < b.Height(); ++y)
                if (b.Pixel(x, y) == clRed)
                    return x;
        return -1;
    };
    EXPECT_LT(leftmostRed(accent[0]), leftmostRed(accent[1]));
    EXPECT_LT(leftmostRed(accent[2]), leftmostRed(accent[3]));
    // The plain text equals what Type shows once all letters are typed.
    const auto typed = RunKind(87, 6, ctx);
    EXPECT_TRUE(typed[5] == accent[5]);
}

TEST(ActorWizards, PositionsFollowTheFormulas)
{
    const std::vector<TPoint> none;
    // Circle Left on 200 x 100 with a 20 x 20 actor, n = 4.
    const TPoint circle[4] = {{90, 0}, {0, 40}, {90, 80}, {180, 40}};
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(ActorPositions(99, i, 4, 200, 100, 20, 20, {}, none), std::vector<TPoint>{circle[i - 1]}) << i;
    // Circle Right runs the other way: step 1 is at the bottom.
    EXPECT_EQ(ActorPositions(100, 1, 4, 200, 100, 20, 20, {}, none), std::vector<TPoint>{TPoint(90, 80)});
    // Swing stays in the lower half.
    EXPECT_EQ(ActorPositions(101, 1, 4, 200, 100, 20, 20, {}, none), std::vector<TPoint>{TPoint(90, 80)});
    // Quatro at step n reaches the corners, inset by half the actor.
    EXPECT_EQ(ActorPositions(102, 4, 4, 200, 100, 20, 20, {}, none),
              (std::vector<TPoint>{{180, 80}, {0, 80}, {180, 0}, {0, 0}}));
    EXPECT_EQ(ActorPositions(102, 0, 4, 200, 100, 20, 20, {}, none),
              (std::vector<TPoint>{{90, 40}, {90, 40}, {90, 40}, {90, 40}}));
    // Straight lines from the marked position, one frame width over the run.
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(ActorPositions(94, i, 10, 200, 100, 20, 20, {}, none), std::vector<TPoint>{TPoint(20 * i, 0)});
        EXPECT_EQ(ActorPositions(95, i, 10, 200, 100, 20, 20, TPoint(5, 7), none),
                  std::vector<TPoint>{TPoint(5 + 200 - 20 * i, 7)});
    }
    EXPECT_EQ(ActorPositions(96, 5, 10, 200, 100, 20, 20, TPoint(5, 7), none), std::vector<TPoint>{TPoint(5, 57)});
    EXPECT_EQ(ActorPositions(97, 10, 10, 200, 100, 20, 20, TPoint(5, 7), none), std::vector<TPoint>{TPoint(5, 7)});
    // Spiral: at step n the radius is 0 and the actor overshoots the centre by its half size.
    EXPECT_EQ(ActorPositions(103, 4, 4, 200, 100, 20, 20, {}, none), std::vector<TPoint>{TPoint(80, 40)});
    // Path: one point per step while the path lasts.
    const std::vector<TPoint> path{{1, 2}, {3, 4}, {5, 6}};
    EXPECT_EQ(ActorPositions(98, 3, 10, 200, 100, 20, 20, {}, path), std::vector<TPoint>{TPoint(5, 6)});
    EXPECT_TRUE(ActorPositions(98, 4, 10, 200, 100, 20, 20, {}, path).empty());
}

TEST(ActorWizards, DrawTheActorOverAOrCopyA)
{
    TWizardContext ctx;
    ctx.ActorPath = {{1, 1}, {5, 2}, {0, 0}};
    const TBitmap A = SolidBitmap(10, 6, kA);
    TBitmap work;
    std::vector<TBitmap> images;
    // No actor picture: every step of every actor kind is a plain copy of A.
    for (int kind = 94; kind <= 104; ++kind) {
        images.clear();
        RunWizardSteps(kind, A, A, 4, work, ctx, images);
        for (const TBitmap& img : images)
            ASSERT_TRUE(img == A) << kind;
    }
    // A transparent 2 x 2 actor whose bottom-left (transparent) pixel is left out.
    TBitmap actor = BitmapFromRows({"gg", "wg"}, {{'g', clLime}, {'w', clWhite}});
    actor.SetTransparent(true);
    ctx.ActorPicture = TActorPicture(actor);
    images.clear();
    RunWizardSteps(98, A, A, 4, work, ctx, images);
    ASSERT_EQ(images.size(), 4u);
    EXPECT_EQ(RowsFromBitmap(images[1], {{'a', kA}, {'g', clLime}}), (std::vector<std::string>{
                                              "aaaaaaaaaa",
                                              "aaaaaaaaaa",
                                              "aaaaaggaaa",
                                              "aaaaaagaaa",
                                              "aaaaaaaaaa",
                                              "aaaaaaaaaa",
                                          }));
    EXPECT_TRUE(images[3] == A); // the path has three points
}

TEST(DancingSpot, DrawsOneRandomCircleOfOneDiameterPerRun)
{
    TWizardContext ctx;
    ctx.AccentColor = clRed;
    const TBitmap A = SolidBitmap(60, 60, kA);
    TBitmap work;
    std::vector<TBitmap> images;
    const std::uint32_t saved = RandomState();
    // A start of the sequence that gives a circle large enough to look at.
    std::uint32_t seed = 1;
    int x0 = 0, y0 = 0, d = 0, x1 = 0, y1 = 0;
    for (;; ++seed) {
        SetRandomState(seed);
        // The same draws, in the same order, as the steps make them.
        x0 = Random(40), y0 = Random(40), d = Random(30);
        x1 = Random(40), y1 = Random(40);
        if (d >= 8)
            break;
    }
    SetRandomState(seed);
    RunWizardSteps(93, A, A, 2, work, ctx, images);
    SetRandomState(saved);
    ASSERT_EQ(images.size(), 2u);
    // Step 2 draws at a new place with the diameter chosen at step 1.
    EXPECT_EQ(images[0].Pixel(x0 + d / 2, y0 + d / 2), clRed);
    EXPECT_EQ(images[1].Pixel(x1 + d / 2, y1 + d / 2), clRed);
    // Nothing away from the circle's box changes.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (x < x0 - 1 || y < y0 - 1 || x > x0 + d || y > y0 + d) {
                ASSERT_EQ(images[0].Pixel(x, y), kA) << x << "," << y;
            }
    // A frame 1 pixel high draws circles of diameter 0: nothing shows.
    images.clear();
    const TBitmap flat = SolidBitmap(30, 1, kA);
    RunWizardSteps(93, flat, flat, 3, work, ctx, images);
    for (const TBitmap& img : images)
        EXPECT_TRUE(img == flat);
}

// Soft PNG edges blend; positions anywhere, however far out, clip; an actor larger than the
// frame still runs every kind.
TEST(ActorWizards, BlendAndClipAnywhere)
{
    const TBitmap colours = SolidBitmap(3, 1, clWhite);
    const std::uint8_t alpha[3] = {0, 128, 255};
    const TActorPicture soft(colours, alpha);
    TBitmap dest = SolidBitmap(4, 2, clBlack);
    EXPECT_EQ(DrawActorPicture(dest, 1, 1, soft), TRect(1, 1, 4, 2));
    EXPECT_EQ(dest.Pixel(1, 1), clBlack);
    EXPECT_EQ(dest.Pixel(2, 1), RGB(128, 128, 128));
    EXPECT_EQ(dest.Pixel(3, 1), clWhite);
    for (const TPoint p : {TPoint(INT_MIN, INT_MIN), TPoint(INT_MAX, 0), TPoint(0, INT_MAX - 1), TPoint(-3, 0), TPoint(4, 0)})
        EXPECT_TRUE(DrawActorPicture(dest, p.X, p.Y, soft).IsEmpty()) << p.X << "," << p.Y;
    EXPECT_EQ(DrawActorPicture(dest, -2, 0, soft), TRect(0, 0, 1, 1)); // only its opaque end is in
    EXPECT_EQ(dest.Pixel(0, 0), clWhite);

    TWizardContext ctx;
    ctx.ActorPicture = TActorPicture(SolidBitmap(50, 40, clLime)); // not transparent: all covers
    ctx.ActorPath = {{INT_MAX, INT_MIN}, {-49, -39}};
    ctx.TextPosition = TPoint(INT_MAX - 5, INT_MIN + 5);
    const TBitmap A = SolidBitmap(10, 6, kA);
    TBitmap work;
    for (int kind = 94; kind <= 104; ++kind) {
        std::vector<TBitmap> images;
        RunWizardSteps(kind, A, A, 4, work, ctx, images);
        ASSERT_EQ(images.size(), 4u) << kind;
    }
    std::vector<TBitmap> images;
    RunWizardSteps(98, A, A, 4, work, ctx, images);
    EXPECT_TRUE(images[0] == A);
    EXPECT_EQ(images[1].Pixel(0, 0), clLime); // the actor's bottom-right pixel
    EXPECT_EQ(images[1].Pixel(1, 0), kA);
    EXPECT_TRUE(images[2] == A);
}

TEST(ActorPath, PointListsAsTyped)
{
    EXPECT_EQ(ParsePointList("1,2; -3 , 4;5,6;"), (std::vector<TPoint>{{1, 2}, {-3, 4}, {5, 6}}));
    EXPECT_TRUE(ParsePointList("").empty());
    EXPECT_EQ(ParsePointList("7,8;;\n"), (std::vector<TPoint>{{7, 8}}));
    EXPECT_EQ(ThrownMessage([] { ParsePointList("1,2;3;4,5"); }), "Point 2 of the path is not X,Y: '3'");
    EXPECT_THROW(ParsePointList("1,99999999999"), EInvalidArgument);
    EXPECT_EQ(ParsePoint("2147483647,-2147483648"), TPoint(INT_MAX, INT_MIN));
    EXPECT_FALSE(ParsePoint("1;2"));
}
