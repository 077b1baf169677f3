// Hand-computed steps of the rectangle, row and cell transitions, the cross-fade and the
// rotations.
#include "WizardTestHelpers.h"
#include "wizards/Transitions.h"

#include <gtest/gtest.h>

namespace {

using Generator = void (*)(const TBitmap&, const TBitmap&, int, int, TBitmap&);

std::vector<std::string> Step(Generator g, int w, int h, int i, int n)
{
    const TBitmap A = SolidBitmap(w, h, kA), B = SolidBitmap(w, h, kB);
    TBitmap W(w, h);
    g(A, B, i, n, W);
    return AbRows(W);
}

} // namespace

TEST(Tween, BlendsByWeightAndEndsOnB)
{
    const TBitmap A = SolidBitmap(3, 2, RGB(30, 20, 10)); // blue 10, green 20, red 30
    const TBitmap B = SolidBitmap(3, 2, RGB(0, 100, 250));
    TBitmap W;
    Tween(A, 3, B, 1, W);
    EXPECT_EQ(W.Width(), 3);
    EXPECT_EQ(W.Height(), 2);
    // (a * 3 + b) div 4 per channel: blue 280 / 4 = 70, green 160 / 4 = 40, red 90 / 4 = 22.
    EXPECT_EQ(W.Pixel(2, 1), RGB(22, 40, 70));
    Tween(A, 0, B, 4, W);
    EXPECT_TRUE(W == B);
    // Weights that add up to nothing leave W as it was, at A's size.
    TBitmap keep = SolidBitmap(3, 2, clLime);
    Tween(A, 0, B, 0, keep);
    EXPECT_EQ(keep.Pixel(1, 1), clLime);
}

TEST(Tween, RefusesMismatchedInputsFormatFirst)
{
    const TBitmap A = SolidBitmap(4, 4, kA);
    TBitmap W;
    auto message = [&](const TBitmap& a, const TBitmap& b) {
        try {
            Tween(a, 1, b, 1, W);
        } catch (const ETweenError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message(A, SolidBitmap(5, 4, kB)), "Tween:  Bitmap dimensions are not the same");
    EXPECT_EQ(message(A, SolidBitmap(4, 3, kB)), "Tween:  Bitmap dimensions are not the same");
    TBitmap indexed(5, 3, TPixelFormat::pf8bit);
    EXPECT_EQ(message(A, indexed), "Tween:  PixelFormats must be pf24fit");
    EXPECT_EQ(message(indexed, A), "Tween:  PixelFormats must be pf24fit");
    // The family's base class catches it too.
    EXPECT_THROW(Tween(A, 1, indexed, 1, W), Exception);
}

TEST(Rotation, SqueezesToTheCentreLineAndExpandsFromIt)
{
    const TBitmap A = PatternBitmap(10, 2, 1);
    TBitmap W;
    // n = 4, i = 1: s = 2 * 3 = 6 columns from left = 2; nearest columns 0 2 4 5 7 9.
    RotateSqueezeH(A, 1, 4, W);
    const int expectCols[10] = {0, 0, 0, 2, 4, 5, 7, 9, 0, 0};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(W.Pixel(x, 1), x < 2 || x >= 8 ? A.Pixel(0, 0) : A.Pixel(expectCols[x], 1)) << x;
    // At i = n nothing of A is left but the fill colour.
    RotateSqueezeH(A, 4, 4, W);
    EXPECT_TRUE(W == SolidBitmap(10, 2, A.Pixel(0, 0)));

    // Expanding B at i = n leaves (10 - 8) div 2 = 1 fill column on each side.
    const TBitmap B = PatternBitmap(10, 2, 2);
    RotateExpandH(B, 4, 4, W);
    EXPECT_EQ(W.Pixel(0, 1), B.Pixel(0, 0));
    EXPECT_EQ(W.Pixel(9, 1), B.Pixel(0, 0));
    EXPECT_EQ(W.Pixel(1, 1), B.Pixel(0, 1));
    EXPECT_EQ(W.Pixel(8, 1), B.Pixel(9, 1));

    // Vertical: h = 8, n = 4, i = 2: s = 2 * 2 = 4 rows from top = 2.
    const TBitmap V = PatternBitmap(2, 8, 3);
    RotateSqueezeV(V, 2, 4, W);
    EXPECT_EQ(W.Pixel(1, 1), V.Pixel(0, 0));
    EXPECT_EQ(W.Pixel(1, 2), V.Pixel(1, 1)); // (2*0+1)*8/8 = 1
    EXPECT_EQ(W.Pixel(1, 5), V.Pixel(1, 7));
    EXPECT_EQ(W.Pixel(1, 6), V.Pixel(0, 0));
    RotateExpandV(V, 4, 4, W);
    EXPECT_TRUE(W == V);
}

TEST(Blinds, BandsOfNRowsOrColumns)
{
    // n = 4, i = 1: rows with y mod 4 in {0, 1} show B.
    EXPECT_EQ(Step(BlindsDown, 2, 8, 1, 4),
              (std::vector<std::string>{"bb", "bb", "aa", "aa", "bb", "bb", "aa", "aa"}));
    // Steps n - 1 and n are both all B.
    EXPECT_EQ(Step(BlindsDown, 2, 8, 3, 4), AbRows(SolidBitmap(2, 8, kB)));
    EXPECT_EQ(Step(BlindsDown, 2, 8, 4, 4), AbRows(SolidBitmap(2, 8, kB)));
    EXPECT_EQ(Step(BlindsRight, 9, 1, 2, 4), (std::vector<std::string>{"bbbabbbab"}));
}

TEST(Wipes, RightRoundsHalvesToEvenOthersTruncate)
{
    EXPECT_EQ(Step(WipeRight, 10, 1, 1, 4), (std::vector<std::string>{"bbaaaaaaaa"}));  // Round(2.5) = 2
    EXPECT_EQ(Step(WipeRight, 10, 1, 3, 4), (std::vector<std::string>{"bbbbbbbbaa"}));  // Round(7.5) = 8
    EXPECT_EQ(Step(WipeLeft, 10, 1, 3, 4), (std::vector<std::string>{"aaabbbbbbb"}));   // 30 div 4 = 7
    EXPECT_EQ(Step(WipeLeft, 10, 1, 1, 4), (std::vector<std::string>{"aaaaaaaabb"}));   // 10 div 4 = 2
    EXPECT_EQ(Step(WipeDown, 1, 6, 3, 4), (std::vector<std::string>{"b", "b", "b", "b", "a", "a"}));
    EXPECT_EQ(Step(WipeUp, 1, 6, 3, 4), (std::vector<std::string>{"a", "a", "b", "b", "b", "b"}));
    EXPECT_EQ(Step(WipeRight, 10, 1, 4, 4), (std::vector<std::string>{"bbbbbbbbbb"}));
}

TEST(CurtainsBoxesCrosses, HandComputedSteps)
{
    // w = 10, n = 2: cx = 5, sx = 2.
    EXPECT_EQ(Step(CurtainOpenHoriz, 10, 1, 1, 2), (std::vector<std::string>{"aaabbbbaaa"}));
    EXPECT_EQ(Step(CurtainCloseHoriz, 10, 1, 1, 2), (std::vector<std::string>{"bbaaaaaabb"}));
    // Odd width: cx = 5, sx = 2; at i = n columns 0, 9 and 10 still show A.
    EXPECT_EQ(Step(CurtainOpenHoriz, 11, 1, 2, 2), (std::vector<std::string>{"abbbbbbbbaa"}));
    EXPECT_EQ(Step(CurtainOpenVert, 1, 6, 1, 2), (std::vector<std::string>{"a", "a", "b", "b", "a", "a"}));
    EXPECT_EQ(Step(CurtainCloseVert, 1, 6, 1, 2), (std::vector<std::string>{"b", "a", "a", "a", "a", "b"}));
    // 10 x 6, n = 2: sx = 2, sy = 1.
    EXPECT_EQ(Step(BoxOut, 10, 6, 1, 2), (std::vector<std::string>{
                                             "aaaaaaaaaa",
                                             "aaaaaaaaaa",
                                             "aaabbbbaaa",
                                             "aaabbbbaaa",
                                             "aaaaaaaaaa",
                                             "aaaaaaaaaa",
                                         }));
    // BoxIn at i = n keeps a (10 - 8) x (6 - 4) box of A in the centre.
    EXPECT_EQ(Step(BoxIn, 10, 6, 2, 2), (std::vector<std::string>{
                                            "bbbbbbbbbb",
                                            "bbbbbbbbbb",
                                            "bbbbaabbbb",
                                            "bbbbaabbbb",
                                            "bbbbbbbbbb",
                                            "bbbbbbbbbb",
                                        }));
    EXPECT_EQ(Step(CrossIn, 10, 6, 1, 2), (std::vector<std::string>{
                                              "bbaaaaaabb",
                                              "aaaaaaaaaa",
                                              "aaaaaaaaaa",
                                              "aaaaaaaaaa",
                                              "aaaaaaaaaa",
                                              "bbaaaaaabb",
                                          }));
    EXPECT_EQ(Step(CrossOut, 10, 6, 1, 2), (std::vector<std::string>{
                                               "aaabbbbaaa",
                                               "aaabbbbaaa",
                                               "bbbbbbbbbb",
                                               "bbbbbbbbbb",
                                               "aaabbbbaaa",
                                               "aaabbbbaaa",
                                           }));
}

TEST(CurtainsBoxesCrosses, EqualAWhenHalfWidthIsBelowN)
{
    // w div 2 = 5 < n = 20: sx = sy = 0, so nothing of B is ever copied.
    const TBitmap A = PatternBitmap(10, 10, 1), B = PatternBitmap(10, 10, 2);
    for (Generator g : {CurtainOpenHoriz, CurtainCloseHoriz, CurtainOpenVert, CurtainCloseVert, BoxIn, BoxOut, CrossIn,
                        CrossOut, CircleOut}) {
        for (int i = 1; i <= 20; ++i) {
            TBitmap W(10, 10);
            g(A, B, i, 20, W);
            ASSERT_TRUE(W == A) << "step " << i;
        }
    }
}

TEST(Diagonals, ShrinkACornerToNModuloRemainder)
{
    // 10 x 6, n = 4: dx = 2, dy = 1; at i = n a (10 mod 4) x (6 mod 4) corner of A remains.
    EXPECT_EQ(Step(DiagonalDownRight, 10, 6, 4, 4), (std::vector<std::string>{
                                                        "bbbbbbbbbb",
                                                        "bbbbbbbbbb",
                                                        "bbbbbbbbbb",
                                                        "bbbbbbbbbb",
                                                        "bbbbbbbbaa",
                                                        "bbbbbbbbaa",
                                                    }));
    EXPECT_EQ(Step(DiagonalDownLeft, 10, 6, 1, 4), (std::vector<std::string>{
                                                       "bbbbbbbbbb",
                                                       "aaaaaaaabb",
                                                       "aaaaaaaabb",
                                                       "aaaaaaaabb",
                                                       "aaaaaaaabb",
                                                       "aaaaaaaabb",
                                                   }));
    EXPECT_EQ(Step(DiagonalUpRight, 10, 6, 2, 4), (std::vector<std::string>{
                                                      "bbbbaaaaaa",
                                                      "bbbbaaaaaa",
                                                      "bbbbaaaaaa",
                                                      "bbbbaaaaaa",
                                                      "bbbbbbbbbb",
                                                      "bbbbbbbbbb",
                                                  }));
    EXPECT_EQ(Step(DiagonalUpLeft, 10, 6, 4, 4), (std::vector<std::string>{
                                                     "aabbbbbbbb",
                                                     "aabbbbbbbb",
                                                     "bbbbbbbbbb",
                                                     "bbbbbbbbbb",
                                                     "bbbbbbbbbb",
                                                     "bbbbbbbbbb",
                                                 }));
}

TEST(Marquees, ScrollWholeRowsAndColumns)
{
    const TBitmap A = PatternBitmap(10, 6, 1), B = PatternBitmap(10, 6, 2);
    TBitmap W(10, 6);
    // h = 6, n = 4, i = 1: d = Round(1.5) = 2.
    MarqueeUp(A, B, 1, 4, W);
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(W.Pixel(3, y), y < 4 ? A.Pixel(3, y + 2) : B.Pixel(3, y - 4)) << y;
    MarqueeDown(A, B, 1, 4, W);
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(W.Pixel(3, y), y < 2 ? A.Pixel(3, y + 4) : B.Pixel(3, y - 2)) << y;
    // w = 10, i = 1: d = Round(2.5) = 2.
    MarqueeLeft(A, B, 1, 4, W);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(W.Pixel(x, 5), x < 8 ? A.Pixel(x + 2, 5) : B.Pixel(x - 8, 5)) << x;
    MarqueeRight(A, B, 3, 4, W); // d = Round(7.5) = 8
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(W.Pixel(x, 5), x < 8 ? A.Pixel(x + 2, 5) : B.Pixel(x - 8, 5)) << x;
    // Up and Left end on B, Down and Right on A.
    MarqueeUp(A, B, 4, 4, W);
    EXPECT_TRUE(W == B);
    MarqueeLeft(A, B, 4, 4, W);
    EXPECT_TRUE(W == B);
    MarqueeDown(A, B, 4, 4, W);
    EXPECT_TRUE(W == A);
    MarqueeRight(A, B, 4, 4, W);
    EXPECT_TRUE(W == A);
}

TEST(CheckerBoard, EarlyCellsFirstThenLateCells)
{
    // n = 4 on 8 x 8: the top-left and bottom-right cells are late.
    EXPECT_EQ(Step(CheckerBoardRight, 8, 8, 1, 4), (std::vector<std::string>{
                                                       "aaaabbaa",
                                                       "aaaabbaa",
                                                       "aaaabbaa",
                                                       "aaaabbaa",
                                                       "bbaaaaaa",
                                                       "bbaaaaaa",
                                                       "bbaaaaaa",
                                                       "bbaaaaaa",
                                                   }));
    EXPECT_EQ(Step(CheckerBoardRight, 8, 8, 2, 4), (std::vector<std::string>{
                                                       "aaaabbbb",
                                                       "aaaabbbb",
                                                       "aaaabbbb",
                                                       "aaaabbbb",
                                                       "bbbbaaaa",
                                                       "bbbbaaaa",
                                                       "bbbbaaaa",
                                                       "bbbbaaaa",
                                                   }));
    EXPECT_EQ(Step(CheckerBoardRight, 8, 8, 3, 4), (std::vector<std::string>{
                                                       "bbaabbbb",
                                                       "bbaabbbb",
                                                       "bbaabbbb",
                                                       "bbaabbbb",
                                                       "bbbbbbaa",
                                                       "bbbbbbaa",
                                                       "bbbbbbaa",
                                                       "bbbbbbaa",
                                                   }));
    EXPECT_EQ(Step(CheckerBoardRight, 8, 8, 4, 4), AbRows(SolidBitmap(8, 8, kB)));
    // A partial cell at the right edge follows the same rule (x = 8 starts a late cell).
    EXPECT_EQ(Step(CheckerBoardRight, 10, 1, 3, 4), (std::vector<std::string>{"bbaabbbbbb"}));
}
