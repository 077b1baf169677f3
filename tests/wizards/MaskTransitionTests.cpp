// The circle, sweeps and segments: B shows inside the shape, the corners outside the
// inscribed ellipse always show A, and a pure white pixel of B lets A through.
#include "WizardTestHelpers.h"
#include "wizards/Transitions.h"

#include <gtest/gtest.h>

namespace {

using Generator = void (*)(const TBitmap&, const TBitmap&, int, int, TBitmap&);

struct Named {
    const char* name;
    Generator g;
};

const Named kMaskGenerators[] = {
    {"CircleOut", CircleOut},     {"SweepLeft", SweepLeft},     {"SweepRight", SweepRight},
    {"SweepLeftRight", SweepLeftRight}, {"SegmentTop", SegmentTop}, {"SegmentLeft", SegmentLeft},
    {"SegmentRight", SegmentRight}, {"SegmentBottom", SegmentBottom},
};

} // namespace

TEST(MaskTransitions, CornersKeepAAndTheCentreShowsBAtTheLastStep)
{
    const int w = 20, h = 16, n = 4;
    const TBitmap A = SolidBitmap(w, h, kA), B = SolidBitmap(w, h, kB);
    for (const Named& t : kMaskGenerators) {
        TBitmap W(w, h);
        t.g(A, B, n, n, W);
        for (TPoint c : {TPoint(0, 0), TPoint(w - 1, 0), TPoint(0, h - 1), TPoint(w - 1, h - 1), TPoint(1, 1),
                         TPoint(w - 2, h - 2)})
            EXPECT_EQ(W.Pixel(c.X, c.Y), kA) << t.name << " corner " << c.X << "," << c.Y;
        EXPECT_EQ(W.Pixel(w / 2, h / 2), kB) << t.name;
        // The whole inscribed ellipse at the end: its edge midpoints show B.
        if (t.g != CircleOut) {
            EXPECT_EQ(W.Pixel(w / 2, 1), kB) << t.name;
            EXPECT_EQ(W.Pixel(1, h / 2), kB) << t.name;
            EXPECT_EQ(W.Pixel(w - 2, h / 2), kB) << t.name;
            EXPECT_EQ(W.Pixel(w / 2, h - 2), kB) << t.name;
        }
    }
}

TEST(MaskTransitions, PureWhiteInBShowsA)
{
    const int w = 20, h = 16;
    const TBitmap A = SolidBitmap(w, h, kA);
    TBitmap B = SolidBitmap(w, h, kB);
    B.SetPixel(10, 8, clWhite);
    B.SetPixel(11, 8, RGB(255, 255, 254)); // not quite white: B shows
    for (const Named& t : kMaskGenerators) {
        TBitmap W(w, h);
        t.g(A, B, 4, 4, W);
        EXPECT_EQ(W.Pixel(10, 8), kA) << t.name;
        EXPECT_EQ(W.Pixel(11, 8), RGB(255, 255, 254)) << t.name;
        EXPECT_EQ(W.Pixel(9, 8), kB) << t.name;
    }
}

TEST(MaskTransitions, ShapesGrowFromTheirStartingSide)
{
    const int w = 40, h = 40, n = 8;
    const TBitmap A = SolidBitmap(w, h, kA), B = SolidBitmap(w, h, kB);
    TBitmap W(w, h);
    auto at = [&](Generator g, int i, int x, int y) {
        W = TBitmap(w, h);
        g(A, B, i, n, W);
        return W.Pixel(x, y);
    };
    // A quarter turn: SweepLeft covers the upper left quarter, SweepRight the upper right.
    EXPECT_EQ(at(SweepLeft, 2, 12, 12), kB);
    EXPECT_EQ(at(SweepLeft, 2, 28, 12), kA);
    EXPECT_EQ(at(SweepLeft, 2, 12, 28), kA);
    EXPECT_EQ(at(SweepRight, 2, 28, 12), kB);
    EXPECT_EQ(at(SweepRight, 2, 12, 12), kA);
    // Left-Right opens both ways from twelve o'clock: at i = n / 2 it is the upper half.
    EXPECT_EQ(at(SweepLeftRight, 4, 12, 12), kB);
    EXPECT_EQ(at(SweepLeftRight, 4, 28, 12), kB);
    EXPECT_EQ(at(SweepLeftRight, 4, 20, 30), kA);
    // Segments start at their edge.
    EXPECT_EQ(at(SegmentTop, 2, 20, 2), kB);
    EXPECT_EQ(at(SegmentTop, 2, 20, 20), kA);
    EXPECT_EQ(at(SegmentBottom, 2, 20, 37), kB);
    EXPECT_EQ(at(SegmentBottom, 2, 20, 20), kA);
    EXPECT_EQ(at(SegmentLeft, 2, 2, 20), kB);
    EXPECT_EQ(at(SegmentLeft, 2, 37, 20), kA);
    EXPECT_EQ(at(SegmentRight, 2, 37, 20), kB);
    EXPECT_EQ(at(SegmentRight, 2, 2, 20), kA);
    // Half way, a segment is half the ellipse: the far side still shows A.
    EXPECT_EQ(at(SegmentTop, 4, 20, 18), kB);
    EXPECT_EQ(at(SegmentTop, 4, 20, 23), kA);
    // The circle grows from the centre: (cx - sx, cy - sy, cx + sx, cy + sy) at i = 1.
    EXPECT_EQ(at(CircleOut, 1, 20, 20), kB);
    EXPECT_EQ(at(CircleOut, 1, 20, 25), kA);
    EXPECT_EQ(at(CircleOut, 4, 20, 25), kB);
}
