// Gradient fills: colours and pieces of the directions, tiling, the zero-divisor cases.
#include "ShapeTestUtil.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using D = TqorFillDirection;

TShapeModel GradientShape(TqorShapeType type, int w, int h, TColor brush, TColor gradient, D direction)
{
    TShapeModel s = MakeShape(type, w, h);
    s.Brush.SetColor(brush);
    s.GradientColor = gradient;
    s.Gradient = true;
    s.FillDirection = direction;
    return s;
}

} // namespace

TEST(Gradient, UpAndDownRampRowByRow)
{
    // Blue to white on 10 x 256: row y has blue 255 and red = green = MulDiv(y, 255, 255) = y.
    TShapeModel s = GradientShape(TqorShapeType::qstRectangle, 10, 256, clBlue, clWhite, D::qgdUp);
    TBitmap b = PaintOnto(s, 10, 256, clBlack);
    for (int y = 1; y < 255; ++y)
        for (int x = 1; x < 9; ++x)
            ASSERT_EQ(b.Pixel(x, y), RGB(y, y, 255)) << x << "," << y;
    // qgdDown starts from the gradient colour: white at the top, blue at the bottom.
    s.FillDirection = D::qgdDown;
    b = PaintOnto(s, 10, 256, clBlack);
    for (int y = 1; y < 255; ++y)
        ASSERT_EQ(b.Pixel(5, y), RGB(255 - y, 255 - y, 255)) << y;
    // A shorter shape takes every 256th of its height per step: row 0 starts blue, the
    // last row ends in the last step's colour.
    s.FillDirection = D::qgdUp;
    s.Pen.Style = TPenStyle::psClear;
    s.SetSize(4, 16);
    b = PaintOnto(s, 4, 16, clBlack);
    // Row 0 is the band [MulDiv(7, 16, 256), MulDiv(8, 16, 256)) = [0, 1); row 15 that of
    // step 247, [15, 16).
    EXPECT_EQ(b.Pixel(1, 0), RGB(7, 7, 255));
    EXPECT_EQ(b.Pixel(1, 15), RGB(247, 247, 255));
}

TEST(Gradient, EqualColoursGiveAFlatFillInEveryDirection)
{
    const TColor c = RGB(90, 160, 30);
    for (int d = 0; d < kFillDirectionCount; ++d) {
        const auto direction = static_cast<D>(d);
        SCOPED_TRACE(FillDirectionName(direction));
        const TShapeModel s = GradientShape(TqorShapeType::qstEllipse, 60, 40, c, c, direction);
        const TBitmap b = PaintOnto(s, 60, 40, clWhite);
        // Only the colour, the black outline and the background outside the ellipse.
        EXPECT_EQ(CountOf(b, c) + CountOf(b, clBlack) + CountOf(b, clWhite), 60 * 40);
        EXPECT_GT(CountOf(b, c), 1500);
    }
}

TEST(Gradient, BandsTileTheAreaWithoutGaps)
{
    // Every direction but the concentric ellipses covers the whole area; a few leave a
    // row or column at the edge to the outline (the nested rectangles start at a 510th of
    // the size, a whole pixel from 510 pixels up). Pen clear, so only the fill shows, on a background
    // no step has.
    const TColor background = RGB(0, 255, 0);
    for (int d = 0; d < kFillDirectionCount; ++d) {
        const auto direction = static_cast<D>(d);
        if (direction == D::qgdCircOut || direction == D::qgdCircIn)
            continue;
        const bool leavesEdges = direction == D::qgdRectOut || direction == D::qgdRectIn || direction == D::qgdRCMix || direction == D::qgdRCModulo || direction == D::qgdQuatro
                                 || direction == D::qgdDuo || direction == D::qgdUpDown || direction == D::qgdLeftRight;
        for (const auto& [w, h] : {std::pair{37, 23}, std::pair{170, 50}, std::pair{21, 543}}) {
            SCOPED_TRACE(std::string(FillDirectionName(direction)) + " " + std::to_string(w) + "x" + std::to_string(h));
            TShapeModel s = GradientShape(TqorShapeType::qstRectangle, w, h, clBlack, clRed, direction);
            s.Pen.Style = TPenStyle::psClear;
            const TBitmap b = PaintOnto(s, w, h, background);
            EXPECT_EQ(CountOf(b, background, leavesEdges ? TRect(1, 1, w - 1, h - 1) : TRect(0, 0, w, h)), 0);
        }
    }
}

TEST(Gradient, DiagonalsStopOneStepShortAndRampsMeetTheirEnds)
{
    TRecordingPieces rec;
    PaintGradient(rec, clBlack, clWhite, D::qgdNWSE, 100, 50);
    ASSERT_EQ(rec.Pieces.size(), 255u);
    EXPECT_EQ(rec.Pieces.front().color, clBlack);
    EXPECT_EQ(rec.Pieces.back().color, RGB(254, 254, 254));
    EXPECT_EQ(rec.Ends, 1);
    // Painted: nothing reaches white.
    TShapeModel s = GradientShape(TqorShapeType::qstRectangle, 100, 50, clBlack, clWhite, D::qgdNWSE);
    s.Pen.Style = TPenStyle::psClear;
    const TBitmap b = PaintOnto(s, 100, 50, clRed);
    EXPECT_EQ(CountOf(b, clWhite), 0);
    EXPECT_LE(GetRValue(b.Pixel(0, 0)), 2); // the first bands are thinner than a pixel
    EXPECT_EQ(b.Pixel(99, 49), RGB(254, 254, 254));

    // Directions with 256 steps end exactly in the end colour; the reversed ones start
    // from the gradient colour.
    for (D direction : {D::qgdUp, D::qgdRectOut, D::qgdCircIn, D::qgdLNE}) {
        rec.Pieces.clear();
        PaintGradient(rec, clBlue, clRed, direction, 80, 60);
        const bool reversed = direction == D::qgdRectOut;
        EXPECT_EQ(rec.Pieces.front().color, reversed ? clRed : clBlue) << FillDirectionName(direction);
        EXPECT_EQ(rec.Pieces.back().color, reversed ? clBlue : clRed) << FillDirectionName(direction);
    }
}

TEST(Gradient, CentreDirectionsWithNothingToSpreadPaintTheEndColour)
{
    // qgdHorizCenter on a shape 1 pixel wide has W div 2 = 0 steps to spread over: one
    // flat piece in the end colour instead of a division by zero.
    TRecordingPieces rec;
    PaintGradient(rec, clBlue, clYellow, D::qgdHorizCenter, 1, 30);
    ASSERT_EQ(rec.Pieces.size(), 1u);
    EXPECT_EQ(rec.Pieces[0].kind, "FillRect");
    EXPECT_EQ(rec.Pieces[0].v, (std::vector<int>{0, 0, 1, 30}));
    EXPECT_EQ(rec.Pieces[0].color, clYellow);
    rec.Pieces.clear();
    PaintGradient(rec, clBlue, clYellow, D::qgdVertCenter, 30, 1);
    ASSERT_EQ(rec.Pieces.size(), 1u);
    EXPECT_EQ(rec.Pieces[0].color, clYellow);

    TShapeModel s = GradientShape(TqorShapeType::qstRectangle, 1, 30, clBlue, clYellow, D::qgdHorizCenter);
    s.Pen.Style = TPenStyle::psClear;
    const TBitmap b = PaintOnto(s, 1, 30, clWhite);
    EXPECT_EQ(CountOf(b, clYellow), 30);

    // With room to spread: the edges in the start colour, the middle in the end colour, and
    // the mirrored column lands on the right edge.
    s.SetSize(9, 4);
    const TBitmap wide = PaintOnto(s, 9, 4, clWhite);
    EXPECT_EQ(wide.Pixel(0, 1), clBlue);
    EXPECT_EQ(wide.Pixel(8, 1), clBlue);
    EXPECT_EQ(wide.Pixel(4, 1), clYellow);
    EXPECT_EQ(CountOf(wide, clWhite), 0);
}

TEST(Gradient, RoundedRectanglesAndEllipsesAlternate)
{
    TRecordingPieces rec;
    PaintGradient(rec, clBlue, clWhite, D::qgdRCModulo, 200, 100);
    ASSERT_EQ(rec.Pieces.size(), 256u);
    EXPECT_EQ(rec.Pieces[0].kind, "RoundRect");
    EXPECT_EQ(rec.Pieces[0].v, (std::vector<int>{0, 0, 200, 99, 0, 0}));
    EXPECT_EQ(rec.Pieces[9].kind, "RoundRect");
    EXPECT_EQ(rec.Pieces[10].kind, "Ellipse");
    EXPECT_EQ(rec.Pieces[19].kind, "Ellipse");
    EXPECT_EQ(rec.Pieces[20].kind, "RoundRect");
    // Step 20: dx = 200/2/255, so (trunc 7.84, trunc 3.92, trunc 192.15, trunc 95.07) and
    // corners trunc(200 - 15.69) div 4, trunc(100 - 7.84) div 4.
    EXPECT_EQ(rec.Pieces[20].v, (std::vector<int>{7, 3, 192, 95, 46, 23}));
    EXPECT_EQ(rec.Pieces[255].kind, "Ellipse");

    rec.Pieces.clear();
    PaintGradient(rec, clBlue, clWhite, D::qgdRCMix, 200, 100);
    EXPECT_EQ(rec.Pieces[62].kind, "RoundRect");
    EXPECT_EQ(rec.Pieces[63].kind, "Ellipse");
}

TEST(Gradient, PiecesOfTheOtherDirectionsFollowTheirLayout)
{
    TRecordingPieces rec;
    // Quatro: four rectangles per step, the first step from the corners to past the middle.
    PaintGradient(rec, clBlue, clWhite, D::qgdQuatro, 100, 80);
    ASSERT_EQ(rec.Pieces.size(), 4u * 256);
    EXPECT_EQ(rec.Pieces[0].v, (std::vector<int>{0, 0, 51, 41}));
    EXPECT_EQ(rec.Pieces[3].v, (std::vector<int>{49, 39, 99, 79}));
    // The U bands: the first U spans the whole area, opening to the right.
    rec.Pieces.clear();
    PaintGradient(rec, clBlue, clWhite, D::qgdUright, 255, 51);
    EXPECT_EQ(rec.Pieces[0].v, (std::vector<int>{254, 0, 0, 0, 0, 50, 254, 50, 254, 49, 1, 49, 1, 0, 254, 0}));
    // The split bands: left half downwards, right half upwards.
    rec.Pieces.clear();
    PaintGradient(rec, clBlue, clWhite, D::qgdUpDown, 100, 255);
    EXPECT_EQ(rec.Pieces[0].v, (std::vector<int>{0, 0, 50, 1}));
    EXPECT_EQ(rec.Pieces[1].v, (std::vector<int>{50, 253, 99, 254}));
}
