// The shape control: painting itself and elsewhere, the selection mark, the mouse modes.
#include "ShapeTestUtil.h"

#include "shapes/ui/ShapeController.h"
#include "shapes/ui/ShapeWidget.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {

void Press(QWidget& w, QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier, Qt::MouseButton b = Qt::LeftButton)
{
    QMouseEvent e(QEvent::MouseButtonPress, p, w.mapToGlobal(p), b, b, mods);
    QApplication::sendEvent(&w, &e);
}

void Move(QWidget& w, QPoint p)
{
    QMouseEvent e(QEvent::MouseMove, p, w.mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

void Release(QWidget& w, QPoint p)
{
    QMouseEvent e(QEvent::MouseButtonRelease, p, w.mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

// Drags inside the shape from `from` to `to` (positions in the shape at the time of each
// event, as the platform reports them).
void Drag(TqorShape& s, QPoint from, QPoint to)
{
    Press(s, from);
    Move(s, to);
    Release(s, to);
}

} // namespace

TEST(ShapeWidget, StartsAsTheControlDoesAndRepaintsFromItsSetters)
{
    QWidget parent;
    TqorShape shape(&parent);
    EXPECT_EQ(shape.width(), 65);
    EXPECT_EQ(shape.height(), 65);
    EXPECT_EQ(shape.Shape(), TqorShapeType::qstRectangle);
    EXPECT_EQ(shape.UserVectorString(), "usrRectangle=0,0,1,0,1,1,0,1");
    EXPECT_EQ(shape.MouseMode(), TShapeMouseMode::mmfixed);
    EXPECT_FALSE(shape.ActiveMouse());
    EXPECT_TRUE(shape.CaptionCentered());
    EXPECT_EQ(shape.Brush().Color(), clWhite);
    EXPECT_EQ(shape.Pen().Width, 1);

    shape.SetBounds(5, 6, 40, -3);
    EXPECT_EQ(shape.BoundsRect(), TRect(5, 6, 45, 6));
    EXPECT_EQ(shape.Model().Height(), 0);
    shape.SetBounds(0, 0, 1 << 30, 50);
    EXPECT_EQ(shape.Model().Width(), kMaxShapeSide);
    shape.resize(30, 20); // a host may resize it the Qt way too
    EXPECT_EQ(shape.Model().Width(), 30);

    shape.SetUserVectorString("bad=1,2,3");
    EXPECT_EQ(shape.UserVectorString(), "usrRectangle=0,0,1,0,1,1,0,1");
    shape.SetUserVectorString("tri=0.5,0,1,1,0,1");
    EXPECT_EQ(shape.Model().UserPoints().size(), 3u);
}

TEST(ShapeWidget, SelectionMarkStaysOnTheControl)
{
    QWidget parent;
    TqorShape shape(&parent);
    shape.SetBounds(0, 0, 40, 30);
    shape.SetSelected(true);
    // The mark: Rectangle(20 - 4, 15 - 4, 20 + 4, 15 + 4), red inside a black outline.
    const TBitmap own = shape.Snapshot();
    EXPECT_EQ(CountOf(own, clRed), 36);
    EXPECT_EQ(CountOf(own, clRed, TRect(17, 12, 23, 18)), 36);
    EXPECT_EQ(own.Pixel(16, 11), clBlack);

    // Stamped onto a picture, scaled and offset: the figure but no mark.
    TBitmap picture(100, 100);
    picture.Fill(clWhite);
    TCanvas canvas(picture);
    shape.PaintOnCanvas(canvas, 10, 10, 2.0, 2.0);
    EXPECT_EQ(CountOf(picture, clRed), 0);
    EXPECT_GT(CountOf(picture, clBlack), 0);
    EXPECT_EQ(InkOutside(picture, Bounds(10, 10, 80, 60), clWhite), 0);
}

TEST(ShapeWidget, ByUserCallsTheOwnersDrawingInsteadOfTheCaption)
{
    QWidget parent;
    TqorShape shape(&parent);
    shape.SetCaption("Text");
    shape.SetbyUser(true);
    TBitmap picture(65, 65);
    picture.Fill(clWhite);
    TCanvas canvas(picture);
    TCanvas* seen = nullptr;
    shape.onUserDraw = [&](TqorShape* sender) {
        seen = sender->Canvas();
        sender->Canvas()->SetPixel(30, 30, clRed);
    };
    shape.PaintOnCanvas(canvas, 0, 0, 1.0, 1.0);
    EXPECT_EQ(seen, &canvas);
    EXPECT_EQ(picture.Pixel(30, 30), clRed);
    EXPECT_EQ(shape.Canvas(), nullptr);
}

TEST(ShapeWidget, ShowsThroughAroundItsFigure)
{
    QWidget parent;
    parent.resize(100, 100);
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, Qt::red);
    parent.setPalette(pal);
    TqorShape shape(&parent);
    shape.SetBounds(10, 10, 60, 60);
    shape.SetShape(TqorShapeType::qstCircle);
    TBrush b;
    b.SetColor(clBlue);
    shape.SetBrush(b);
    const QImage image = parent.grab().toImage();
    EXPECT_EQ(image.pixelColor(12, 12), QColor(Qt::red));  // a corner of the control, outside the circle
    EXPECT_EQ(image.pixelColor(40, 40), QColor(Qt::blue)); // the middle of the circle
}

TEST(ShapeWidget, MouseMovesSizesAndTurnsTheCaption)
{
    QWidget parent;
    parent.resize(400, 400);
    TqorShape shape(&parent);
    shape.SetBounds(10, 10, 65, 65);
    shape.SetActiveMouse(true);

    // mmfixed: nothing moves.
    Drag(shape, {5, 5}, {25, 15});
    EXPECT_EQ(shape.BoundsRect(), TRect(10, 10, 75, 75));

    shape.SetMouseMode(TShapeMouseMode::mmMoveObject);
    Drag(shape, {5, 5}, {25, 15});
    EXPECT_EQ(shape.BoundsRect(), TRect(30, 20, 95, 85));

    // Sizing keeps the distance from the grab point to the bottom-right corner.
    shape.SetMouseMode(TShapeMouseMode::mmSizeObject);
    Drag(shape, {60, 40}, {80, 50});
    EXPECT_EQ(shape.BoundsRect(), TRect(30, 20, 30 + 85, 20 + 75));

    shape.SetMouseMode(TShapeMouseMode::mmMoveText);
    Drag(shape, {1, 1}, {12, 7});
    EXPECT_FALSE(shape.CaptionCentered());
    EXPECT_EQ(shape.CaptionX(), 12);
    EXPECT_EQ(shape.CaptionY(), 7);

    // Turning: the angle of the mouse seen from the middle; exactly on the vertical centre
    // line dx counts as 1, so far above it is 90 degrees and far below -90.
    shape.SetMouseMode(TShapeMouseMode::mmRotateText);
    shape.SetBounds(30, 20, 64, 64);
    Drag(shape, {10, 10}, {52, 12}); // dx = 20, dy = 20
    EXPECT_EQ(shape.CaptionAngle(), 45);
    Drag(shape, {10, 10}, {32, -2000});
    EXPECT_EQ(shape.CaptionAngle(), 90);
    Drag(shape, {10, 10}, {32, 2000});
    EXPECT_EQ(shape.CaptionAngle(), -90);
    Drag(shape, {10, 10}, {0, 32});
    EXPECT_EQ(shape.CaptionAngle(), 180);

    // Without ActiveMouse the mouse changes nothing.
    shape.SetActiveMouse(false);
    shape.SetMouseMode(TShapeMouseMode::mmMoveObject);
    Drag(shape, {5, 5}, {25, 15});
    EXPECT_EQ(shape.BoundsRect(), TRect(30, 20, 94, 84));

    // The host's events come after the shape's own handling.
    int downs = 0, moves = 0, ups = 0;
    shape.OnMouseDown = [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++downs; };
    shape.OnMouseMove = [&](Qt::KeyboardModifiers, int, int) { ++moves; };
    shape.OnMouseUp = [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++ups; };
    Drag(shape, {5, 5}, {6, 6});
    EXPECT_EQ(std::vector<int>({downs, moves, ups}), std::vector<int>({1, 1, 1}));
    EXPECT_FALSE(shape.Dragging());
}

TEST(ShapeWidget, TheControllersModeAndGridRuleWhenItSaysSo)
{
    QWidget parent;
    parent.resize(400, 400);
    TqorShapeController controller;
    TqorShape shape(&parent);
    shape.SetBounds(10, 10, 65, 65);
    shape.SetActiveMouse(true);
    shape.SetPopupMenu(&controller);
    controller.MouseMode = TShapeMouseMode::mmMoveObject;
    // Not ruling: the shape's own mode (mmfixed) stays.
    Drag(shape, {5, 5}, {25, 15});
    EXPECT_EQ(shape.BoundsRect(), TRect(10, 10, 75, 75));
    controller.MouseModeController = true;
    controller.MouseGrid = true;
    controller.MouseGridSize = 10;
    Drag(shape, {5, 5}, {28, 17});
    EXPECT_EQ(shape.MouseMode(), TShapeMouseMode::mmMoveObject);
    // 10 + 28 - 5 = 33 -> 30 - 1; 10 + 17 - 5 = 22 -> 20 - 1.
    EXPECT_EQ(shape.BoundsRect(), TRect(29, 19, 94, 84));
    controller.MouseMode = TShapeMouseMode::mmSizeObject;
    Drag(shape, {60, 60}, {60, 70}); // 65 - 60 + 60 = 65 -> 60 + 1; 75 -> 70 + 1
    EXPECT_EQ(shape.BoundsRect(), TRect(29, 19, 29 + 61, 19 + 71));
    // A grid of 1 does not act.
    controller.MouseGridSize = 1;
    Drag(shape, {60, 60}, {63, 62});
    EXPECT_EQ(shape.BoundsRect(), TRect(29, 19, 29 + 64, 19 + 73));
}
