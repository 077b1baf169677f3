#include "editor/TTFToVector.h"

#include <gtest/gtest.h>

// Every stroke is one closed contour: its segments join end to start and come back to
// where it began.
static void ExpectClosedStrokes(const TStrokeCollection& s)
{
    for (int k = 0; k < s.StrokeCount(); ++k) {
        const int first = s.FirstSegment(k), n = s.SegmentCount(k);
        ASSERT_GT(n, 2) << k;
        for (int i = first; i + 1 < first + n; ++i) {
            EXPECT_EQ(s.Segment(i).X2, s.Segment(i + 1).X1) << k << " " << i;
            EXPECT_EQ(s.Segment(i).Y2, s.Segment(i + 1).Y1) << k << " " << i;
        }
        EXPECT_EQ(s.Segment(first + n - 1).X2, s.Segment(first).X1) << k;
        EXPECT_EQ(s.Segment(first + n - 1).Y2, s.Segment(first).Y1) << k;
    }
}

// O has an outer and an inner contour; a space has no outline; Precision sets how many
// pieces each curve becomes (1: one straight piece per curve) and keeps 1..100.
TEST(TTFToVector, GlyphOutlines)
{
    TTTFToVectorConverter ttf;
    EXPECT_EQ(ttf.Precision(), 8);
    ttf.SetPrecision(0);
    ttf.SetPrecision(101);
    EXPECT_EQ(ttf.Precision(), 8);
    EXPECT_EQ(ttf.Convert(U' '), nullptr);

    const auto o = ttf.Convert(U'O');
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->StrokeCount(), 2);
    ExpectClosedStrokes(*o);
    const TRect b = o->Bounds();
    // At 1024 units per em a capital O stands about 700 units tall on the baseline.
    EXPECT_NEAR(b.Top, 0, 30);
    EXPECT_GT(b.Bottom, 600);
    EXPECT_LT(b.Bottom, 800);
    EXPECT_GT(b.Right - b.Left, 500);

    ttf.SetPrecision(1);
    const auto coarse = ttf.Convert(U'O');
    ttf.SetPrecision(100);
    const auto fine = ttf.Convert(U'O');
    ASSERT_NE(coarse, nullptr);
    ASSERT_NE(fine, nullptr);
    // An O is nothing but curves: every curve is one piece at 1 and (about) 100 at 100.
    EXPECT_GT(fine->Count(), 50 * coarse->Count());
    EXPECT_EQ(coarse->StrokeCount(), 2);
    ExpectClosedStrokes(*coarse);

    // Straight glyphs do not depend on the precision.
    ttf.SetPrecision(1);
    const auto l1 = ttf.Convert(U'L');
    ttf.SetPrecision(50);
    const auto l50 = ttf.Convert(U'L');
    ASSERT_NE(l1, nullptr);
    EXPECT_EQ(l1->Segments(), l50->Segments());
    EXPECT_EQ(l1->StrokeCount(), 1);
}

// A font the system lacks falls back to one it has; without UNICODE a code is Latin-1.
TEST(TTFToVector, FallbackAndCollectionQueries)
{
    TTTFToVectorConverter ttf;
    ttf.Font.Name = "No Such Font Anywhere";
    const auto a = ttf.Convert(U'A');
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(ttf.ActualFamily().empty());
    ttf.Font.Name = "Arial";
    const auto e = ttf.Convert(U'\u00e9');
    ASSERT_NE(e, nullptr);
    const auto latin = ttf.Convert(U'\u01e9'); // low byte 0xE9 without UNICODE
    ASSERT_NE(latin, nullptr);
    EXPECT_EQ(latin->Segments(), e->Segments());
    ttf.UNICODE = true;
    EXPECT_NE(ttf.Convert(U'\u01e9')->Segments(), e->Segments());

    TStrokeCollection s;
    EXPECT_EQ(s.StrokeCount(), 0);
    EXPECT_EQ(s.Bounds(), TRect());
    s.Add(0, 0, 0, 10, 0);
    s.Add(0, 10, 0, 10, 0); // no length: skipped
    s.Add(0, 10, 0, 0, 0);
    s.Add(1, 2.5, -3.5, 4.4, 7.6);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.StrokeCount(), 2);
    EXPECT_EQ(s.FirstSegment(1), 2);
    EXPECT_EQ(s.SegmentCount(0), 2);
    EXPECT_EQ(s.SegmentCount(2), -1);
    EXPECT_EQ(s.FirstSegment(-1), -1);
    EXPECT_EQ(s.Segment(2), (TStrokeSegment{1, 2, -4, 4, 8})); // halves to even
    EXPECT_EQ(s.Bounds(), TRect(0, -4, 10, 8));
    const std::string svg = StrokesToSvg(s);
    EXPECT_NE(svg.find("M0 0 L10 0 L0 0 M2 4 L4 -8"), std::string::npos) << svg;
    s.Clear();
    EXPECT_EQ(s.Count(), 0);
}
