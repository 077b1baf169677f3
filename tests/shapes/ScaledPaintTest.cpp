// Painting onto another canvas, scaled and offset; captions; bad sizes, pens and scales.
#include "ShapeTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

namespace {

const TColor kBackground = RGB(0, 255, 0);

// The figure's pixels at 1:1 and at 2 and 3 times the size must agree, away from the
// figure's edges: the fractions of the box (w/8, h/3, ...) are taken of the scaled box, so
// edges may move by up to a pixel of the 1:1 figure. Nothing lands outside the shape.
void ExpectSameFigure(const TShapeModel& s)
{
    const int w = s.Width(), h = s.Height(), ox = 3, oy = 5;
    const TBitmap one = PaintOnto(s, w, h, kBackground);
    // Inside at 1:1, and pixels within two of a change between inside and outside.
    std::vector<char> in(static_cast<std::size_t>(w * h)), nearEdge(in.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            in[static_cast<std::size_t>(y * w + x)] = !IsColour(one.ScanLine(y), x, kBackground);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const char here = in[static_cast<std::size_t>(y * w + x)];
            for (int v = std::max(0, y - 2); v <= std::min(h - 1, y + 2); ++v)
                for (int u = std::max(0, x - 2); u <= std::min(w - 1, x + 2); ++u)
                    if (in[static_cast<std::size_t>(v * w + u)] != here)
                        nearEdge[static_cast<std::size_t>(y * w + x)] = 1;
            // The area around the shape counts as outside.
            if (here && (x < 2 || y < 2 || x >= w - 2 || y >= h - 2))
                nearEdge[static_cast<std::size_t>(y * w + x)] = 1;
        }
    for (int k : {2, 3}) {
        const TBitmap big = PaintOnto(s, w * k + 10, h * k + 10, kBackground, {ox, oy, double(k), double(k)});
        ASSERT_EQ(InkOutside(big, Bounds(ox, oy, w * k, h * k), kBackground), 0) << "scale " << k;
        int mismatches = 0;
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* row = big.ScanLine(oy + y * k + k / 2);
            for (int x = 0; x < w; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * w + x);
                if (!nearEdge[i])
                    mismatches += !IsColour(row, ox + x * k + k / 2, kBackground) != (in[i] != 0);
            }
        }
        EXPECT_EQ(mismatches, 0) << "scale " << k;
    }
}

void ExpectSameFigures(int firstType, int lastType)
{
    for (int t = firstType; t <= lastType; ++t)
        for (int d = 0; d < kFillDirectionCount; ++d) {
            TShapeModel s = MakeShape(static_cast<TqorShapeType>(t), 15, 11);
            s.SetUserVectorString("kite=0.5,0,1,0.4,0.5,1,0,0.4");
            s.Gradient = true;
            s.GradientColor = clRed;
            s.FillDirection = static_cast<TqorFillDirection>(d);
            SCOPED_TRACE(std::string(ShapeTypeName(s.Shape)) + " " + FillDirectionName(s.FillDirection));
            ExpectSameFigure(s);
        }
}

} // namespace

// Every figure with every direction, at 2 and 3 times the size; in parts so that they can
// run side by side.
TEST(ScaledPaint, EveryDirectionOfFigures0To9CoversTheSameFigureScaled) { ExpectSameFigures(0, 9); }
TEST(ScaledPaint, EveryDirectionOfFigures10To19CoversTheSameFigureScaled) { ExpectSameFigures(10, 19); }
TEST(ScaledPaint, EveryDirectionOfFigures20To29CoversTheSameFigureScaled) { ExpectSameFigures(20, 29); }
TEST(ScaledPaint, EveryDirectionOfFigures30To39CoversTheSameFigureScaled) { ExpectSameFigures(30, 39); }
TEST(ScaledPaint, EveryDirectionOfFigures40To49CoversTheSameFigureScaled) { ExpectSameFigures(40, 49); }
TEST(ScaledPaint, EveryDirectionOfFigures50To59CoversTheSameFigureScaled) { ExpectSameFigures(50, 59); }
TEST(ScaledPaint, EveryDirectionOfFigures60To67CoversTheSameFigureScaled) { ExpectSameFigures(60, 67); }
TEST(ScaledPaint, EveryDirectionOfFigures68To75CoversTheSameFigureScaled) { ExpectSameFigures(68, 75); }

TEST(ScaledPaint, TheTargetKeepsItsPenBrushAndFont)
{
    TShapeModel s = MakeShape(TqorShapeType::qstCircle, 30, 30);
    s.Gradient = true;
    s.Caption = "A";
    TBitmap b(40, 40);
    TCanvas canvas(b);
    canvas.Pen.Color = clRed;
    canvas.Pen.Width = 3;
    canvas.Brush.SetStyle(TBrushStyle::bsClear);
    canvas.Font.Name = "Courier New";
    PaintShape(s, canvas, {5, 5, 1.0, 1.0});
    EXPECT_EQ(canvas.Pen.Color, clRed);
    EXPECT_EQ(canvas.Pen.Width, 3);
    EXPECT_EQ(canvas.Brush.Style(), TBrushStyle::bsClear);
    EXPECT_EQ(canvas.Font.Name, "Courier New");
    // No clip is left behind: the whole picture can still be drawn on.
    canvas.Pen.Width = 1;
    canvas.MoveTo(0, 39);
    canvas.LineTo(39, 39);
    EXPECT_EQ(b.Pixel(0, 39), clRed);
}

TEST(ScaledPaint, BadSizesPensAndScalesDrawNothingOutsideTheShape)
{
    for (int pen : {0, 1, -5, 30, 1000000})
        for (const auto& [w, h] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{-4, 9}, std::pair{25, 2}, std::pair{40, 30}}) {
            TShapeModel s = MakeShape(TqorShapeType::qstArrowRight, w, h);
            s.Pen.Width = pen;
            s.Gradient = true;
            s.FillDirection = TqorFillDirection::qgdCircIn;
            s.Caption = "caption";
            const TBitmap b = PaintOnto(s, 80, 60, kBackground, {10, 10, 1.5, 1.0});
            EXPECT_EQ(InkOutside(b, Bounds(10, 10, s.Width() * 3 / 2 + 1, s.Height()), kBackground), 0)
                << "pen " << pen << " size " << w << "x" << h;
        }
    TShapeModel s = MakeShape(TqorShapeType::qstRectangle, 20, 20);
    EXPECT_EQ(s.Width(), 20);
    s.SetSize(-3, 1 << 30);
    EXPECT_EQ(s.Width(), 0);
    EXPECT_EQ(s.Height(), kMaxShapeSide);
    s.SetSize(20, 20);
    // Scales that are not positive numbers paint nothing; a huge one fills the picture's
    // width within the shape's 20 rows.
    for (double scale : {0.0, -1.0, std::nan(""), 1e300})
        EXPECT_EQ(CountOf(PaintOnto(s, 50, 50, kBackground, {0, 0, scale, 1.0}), kBackground), scale == 1e300 ? 1500 : 2500)
            << scale;
    // A shape far larger than the picture paints only the picture's part of it, quickly.
    s.SetSize(kMaxShapeSide, kMaxShapeSide);
    s.Shape = TqorShapeType::qstEllipse;
    s.Gradient = true;
    s.Caption = "big";
    const auto start = std::chrono::steady_clock::now();
    const TBitmap big = PaintOnto(s, 64, 64, kBackground, {-8000, -8000, 1.0, 1.0});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(CountOf(big, kBackground), 0);
}

TEST(ScaledPaint, UserPointsFarOutsideTheBoxAreCutAtTheShape)
{
    TShapeModel s = MakeShape(TqorShapeType::qstUser, 30, 30);
    ASSERT_TRUE(s.SetUserVectorString("wild=-1e300,0.5,1e300,-7,2,1e12,0.5,0.5"));
    s.Gradient = true;
    const TBitmap b = PaintOnto(s, 90, 90, kBackground, {30, 30, 1.0, 1.0});
    EXPECT_EQ(InkOutside(b, Bounds(30, 30, 30, 30), kBackground), 0);
    EXPECT_GT(CountOf(b, kBackground), 0);
}

TEST(Caption, LinesWrapAtBlanksAndLineEnds)
{
    auto measure = [](const std::string& s) { return static_cast<int>(s.size()); };
    EXPECT_EQ(WrapCaptionLines("aa bb cc", 5, measure), (std::vector<std::string>{"aa bb", "cc"}));
    EXPECT_EQ(WrapCaptionLines("aa\r\nbb cc", 10, measure), (std::vector<std::string>{"aa", "bb cc"}));
    EXPECT_EQ(WrapCaptionLines("a verylongword b", 4, measure), (std::vector<std::string>{"a", "verylongword", "b"}));
    EXPECT_EQ(WrapCaptionLines("", 4, measure), (std::vector<std::string>{""}));
}

TEST(Caption, CentredRotatedAndPlacedCaptionsLandWhereTheyShould)
{
    TShapeModel s = MakeShape(TqorShapeType::qstRectangle, 60, 40);
    s.Pen.Style = TPenStyle::psClear;
    s.Brush.SetColor(clWhite);
    s.Font.Name = "Arial";
    s.Font.SetHeight(-12);
    s.Caption = "I";
    // Centred, angle 0: at the top, in the middle.
    TBitmap b = PaintOnto(s, 60, 40, clWhite);
    TRect ink = TRect(60, 40, 0, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            if (b.Pixel(x, y) == clBlack)
                ink = TRect(std::min(ink.Left, x), std::min(ink.Top, y), std::max(ink.Right, x + 1), std::max(ink.Bottom, y + 1));
    EXPECT_LT(ink.Top, 5);
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 30, 2);

    // A caption wider than the box's right edge starts 5 pixels in when turned.
    s.Caption = std::string(40, 'W');
    s.CaptionAngle = 1;
    b = PaintOnto(s, 60, 40, clWhite);
    int left = 60;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            if (b.Pixel(x, y) == clBlack)
                left = std::min(left, x);
    EXPECT_GE(left, 4);
    EXPECT_LE(left, 7);

    // Not centred and turned: at (CaptionX, CaptionY), scaled with the shape.
    s.Caption = "I";
    s.CaptionCentered = false;
    s.CaptionAngle = 90;
    s.CaptionX = 40;
    s.CaptionY = 30;
    b = PaintOnto(s, 120, 80, clWhite, {0, 0, 2.0, 2.0});
    int inkCount = 0, minX = 120, maxY = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            if (b.Pixel(x, y) == clBlack) {
                ++inkCount;
                minX = std::min(minX, x);
                maxY = std::max(maxY, y);
            }
    ASSERT_GT(inkCount, 0);
    // Turned a quarter counter-clockwise about (80, 60): the glyph lies left of 80+, above 60.
    EXPECT_GE(minX, 80);
    EXPECT_LE(maxY, 61);

    // byUser: no caption at all.
    s.byUser = true;
    EXPECT_EQ(CountOf(PaintOnto(s, 120, 80, clWhite, {0, 0, 2.0, 2.0}), clBlack), 0);
}

TEST(Caption, TenThousandCharactersStayInsideTheShape)
{
    TShapeModel s = MakeShape(TqorShapeType::qstEllipse, 50, 30);
    std::string text;
    for (int i = 0; i < 10000; ++i)
        text += i % 7 == 6 ? ' ' : static_cast<char>('a' + i % 26);
    s.Caption = text;
    const auto start = std::chrono::steady_clock::now();
    for (int angle : {0, 30}) {
        s.CaptionAngle = angle;
        for (bool centred : {true, false}) {
            s.CaptionCentered = centred;
            const TBitmap b = PaintOnto(s, 90, 70, kBackground, {20, 20, 1.0, 1.0});
            EXPECT_EQ(InkOutside(b, Bounds(20, 20, 50, 30), kBackground), 0);
        }
    }
    s.Caption = std::string(10000, 'M');
    const TBitmap b = PaintOnto(s, 90, 70, kBackground, {20, 20, 1.0, 1.0});
    EXPECT_EQ(InkOutside(b, Bounds(20, 20, 50, 30), kBackground), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}
