// The actors of the frame editor: recording the path by dragging, loading through the array
// button, stamping with transparency, and the array button's cell arithmetic.
#include "editor/Actors.h"
#include "editor/ui/DrawForm.h"
#include "editor/ui/DrawWidgets.h"

#include "graphics/BmpFile.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "widgets/ArrayButton.h"
#include "workspace/FrameStrip.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>

namespace {

void mouse(QWidget* target, QEvent::Type type, QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier,
           Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, p, target->mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : button, held, mods);
    QApplication::sendEvent(target, &e);
}

// A press at `from` and a release at `to`, in the widget's own pixels.
void click(QWidget* target, QPoint from, QPoint to)
{
    mouse(target, QEvent::MouseButtonPress, from);
    mouse(target, QEvent::MouseButtonRelease, to);
}

// Drags a widget that follows the mouse: each event's position is taken in the widget's
// place of that moment, as the window system reports it.
void dragBy(QWidget* target, QPoint grab, QPoint delta, Qt::KeyboardModifiers atRelease)
{
    const QPoint start = target->pos();
    mouse(target, QEvent::MouseButtonPress, grab);
    mouse(target, QEvent::MouseMove, start + grab + delta / 2 - target->pos());
    mouse(target, QEvent::MouseMove, start + grab + delta - target->pos());
    mouse(target, QEvent::MouseButtonRelease, start + grab + delta - target->pos(), atRelease);
}

constexpr TColor kGreen = RGB(0, 160, 0);

} // namespace

TEST(Actors, DragRecordsThePathWithCtrlAndEmptiesItWithShift)
{
    TActors actors;
    EXPECT_EQ(actors[0].Position, TPoint(241, 208));
    EXPECT_EQ(actors[2].Position, TPoint(306, 208));
    int changes = 0;
    actors.Path().OnChange = [&] { ++changes; };
    const TPoint places[3] = {{10, 20}, {-5, 40}, {300, 7}};
    for (const TPoint& to : places) {
        actors.Press(1, TPoint(3, 4));
        EXPECT_EQ(actors[1].Tag, 1);
        actors.Move(1, TPoint(3 + to.X - actors[1].Position.X, 4 + to.Y - actors[1].Position.Y));
        actors.Release(1, false, true);
        EXPECT_EQ(actors[1].Tag, 0);
    }
    EXPECT_EQ(actors.Path().Points(), (std::vector<TPoint>{places[0], places[1], places[2]}));
    // A plain release records nothing; moving without a press does not move.
    actors.Release(1, false, false);
    EXPECT_FALSE(actors.Move(1, TPoint(50, 50)));
    EXPECT_EQ(actors.Path().Count(), 3);
    // Shift wins over Ctrl and starts the path over.
    actors.Release(0, true, true);
    EXPECT_TRUE(actors.Path().Empty());
    EXPECT_EQ(changes, 4);
}

namespace {

class ActorWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
        w = std::make_unique<TDrawF>(nullptr, dir.file("anivor.ini"));
        strip.SetFrameSize(40, 30);
        strip.NewFrame();
        w->BeginEdit(strip, 0);
        w->resize(600, 400);
        w->show();
        // A 3 x 2 actor: green, with a white bottom-left pixel and a white top-right one.
        SaveBmpFile(BitmapFromRows({"ggw", "wgg"}, {{'g', kGreen}, {'w', clWhite}}), dir.file("actor.bmp"));
    }
    // Clicks cell (column, row) of the array button.
    void Cell(int column, int row)
    {
        TqorArrayButton* b = w->qorArrayButton1;
        const QPoint p(column * b->CellWidth() + 5, row * b->CellHeight() + 5);
        click(b, p, p);
    }

    TempDir dir;
    ScriptedUi ui;
    TFrameStrip strip;
    std::unique_ptr<TDrawF> w;
};

} // namespace

// L1 loads the first actor and shows it; P1 stamps it without its white pixels as one undo
// step; S1 hides it; Ctrl-drags record the path the wizards follow.
TEST_F(ActorWindow, LoadShowPaintAndRecord)
{
    EXPECT_FALSE(w->actor->isVisible());
    ui.AnswerOpenFile(dir.file("actor.bmp"));
    Cell(0, 0);
    ASSERT_TRUE(ui.Errors().empty()) << ui.Errors().front();
    EXPECT_TRUE(w->actor->isVisible());
    EXPECT_EQ(w->actor->size(), QSize(3, 2));
    EXPECT_EQ(w->Actors().ActorFolder, dir.path().string());

    // Onto the picture at (4, 5): drag by the difference from its start.
    const QPoint target = w->pic->pos() + QPoint(4, 5);
    dragBy(w->actor, QPoint(1, 1), target - w->actor->pos(), Qt::ControlModifier);
    EXPECT_EQ(w->actor->pos(), target);
    dragBy(w->actor, QPoint(1, 1), QPoint(10, 0), Qt::ControlModifier);
    dragBy(w->actor, QPoint(1, 1), QPoint(0, 10), Qt::ControlModifier);
    const TPoint t(target.x(), target.y());
    EXPECT_EQ(w->Actors().Path().Points(),
              (std::vector<TPoint>{t, TPoint(t.X + 10, t.Y), TPoint(t.X + 10, t.Y + 10)}));
    dragBy(w->actor, QPoint(1, 1), QPoint(-10, -10), Qt::ShiftModifier);
    EXPECT_TRUE(w->Actors().Path().Empty());

    // Paint: green where the actor is green, the white frame elsewhere.
    const TBitmap before = w->Picture().Bitmap();
    Cell(2, 0);
    const TBitmap& after = w->Picture().Bitmap();
    EXPECT_EQ(RowsFromBitmap(after, {{'g', kGreen}, {'w', clWhite}})[5].substr(3, 5), "wggww");
    EXPECT_EQ(RowsFromBitmap(after, {{'g', kGreen}, {'w', clWhite}})[6].substr(3, 5), "wwggw");
    w->Action("editor.undo")->trigger();
    EXPECT_TRUE(w->Picture().Bitmap() == before);

    // S1 hides; painting a hidden actor still paints.
    Cell(1, 0);
    EXPECT_FALSE(w->actor->isVisible());
    Cell(2, 0);
    EXPECT_FALSE(w->Picture().Bitmap() == before);
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

// Cells outside the grid do nothing; the cell pressed is the one reported; a file that cannot
// be read says why and leaves the actor as it was.
TEST_F(ActorWindow, ArrayButtonCellsAndBadFiles)
{
    TqorArrayButton* b = w->qorArrayButton1;
    ASSERT_EQ(b->size(), QSize(73, 51));
    EXPECT_EQ(b->CellWidth(), 23);
    EXPECT_EQ(b->CellHeight(), 16);
    EXPECT_EQ(b->CellAt(70, 5), QPoint(3, 0));
    EXPECT_EQ(b->HintAt(30, 20), "Show actor 2");
    EXPECT_EQ(b->HintAt(70, 5), "Actor controls");
    click(b, QPoint(70, 5), QPoint(70, 5)); // no dialog: an unanswered one would fail
    EXPECT_TRUE(ui.Calls().empty());

    // Pressed on L2, released over P3: L2 is reported (its dialog opens).
    std::vector<QPoint> reported;
    auto handler = b->onArrayButtonClicked;
    b->onArrayButtonClicked = [&](int c, int r) {
        reported.emplace_back(c, r);
        handler(c, r);
    };
    ui.AnswerOpenFileCancel();
    mouse(b, QEvent::MouseButtonPress, QPoint(5, 20));
    EXPECT_TRUE(b->Pressed());
    mouse(b, QEvent::MouseMove, QPoint(60, 40));
    mouse(b, QEvent::MouseButtonRelease, QPoint(60, 40));
    EXPECT_EQ(reported, (std::vector<QPoint>{QPoint(0, 1)}));
    EXPECT_FALSE(w->actor2->isVisible());
    // The right button does nothing.
    mouse(b, QEvent::MouseButtonPress, QPoint(5, 5), Qt::NoModifier, Qt::RightButton);
    mouse(b, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(reported.size(), 1u);

    // A corrupt file: the message names it, the loaded actor stays.
    ui.AnswerOpenFile(dir.file("actor.bmp"));
    Cell(0, 2);
    WriteTestFile(dir.file("bad.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2});
    ui.AnswerOpenFile(dir.file("bad.png"));
    Cell(0, 2);
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_EQ(ui.Errors()[0].rfind("bad.png: ", 0), 0u) << ui.Errors()[0];
    EXPECT_TRUE(w->actor3->isVisible());
    EXPECT_EQ(w->Actors()[2].Picture.Width(), 3);
}
