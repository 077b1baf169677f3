#include "editor/ui/DrawForm.h"
#include "editor/ui/DrawWidgets.h"
#include "editor/ui/GammaPanel.h"

#include "platform/IniFile.h"
#include "widgets/ArrayButton.h"
#include "shapes/ui/ShapeController.h"
#include "shapes/ui/ShapeWidget.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "workspace/FrameStrip.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

class DrawWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
        w = std::make_unique<TDrawF>(nullptr, dir.file("anivor.ini"));
        strip.SetFrameSize(40, 30);
        strip.NewFrame();
        strip.NewFrame();
        w->BeginEdit(strip, 1);
    }

    void Trigger(const char* name)
    {
        QAction* a = w->Action(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }

    void Mouse(QWidget* target, QEvent::Type type, QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, p, target->mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : button, held, mods);
        QApplication::sendEvent(target, &e);
    }
    void Drag(QWidget* target, QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Mouse(target, QEvent::MouseButtonPress, from);
        Mouse(target, QEvent::MouseMove, (from + to) / 2, mods);
        Mouse(target, QEvent::MouseMove, to, mods);
        Mouse(target, QEvent::MouseButtonRelease, to, mods);
    }
    const TBitmap& Picture() { return w->Picture().Bitmap(); }

    TempDir dir;
    ScriptedUi ui;
    TFrameStrip strip;
    std::unique_ptr<TDrawF> w;
};

} // namespace

// The window's components and commands, by name, with the texts the user sees.
TEST_F(DrawWindow, ComponentsAndCommands)
{
    EXPECT_EQ(w->windowTitle(), "Anivor Draw");
    EXPECT_EQ(w->objectName(), "DrawF");
    EXPECT_EQ(w->size(), QSize(594, 377));
    struct Item {
        const char* name;
        const char* text;
        bool enabled;
    };
    const Item items[] = {
        {"Pointer1", "Pointer", true}, {"Rectangle2", "Rectangle", true}, {"Line1", "Line", true},
        {"Ellipse1", "Ellipse", true}, {"RoundRectangle1", "Round Rectangle", true},
        {"Freehand1", "Freehand", true}, {"FloodFill1", "FloodFill", true}, {"btnselect", "ToolButton7", true},
        {"ToolButton7", "ToolButton7", true}, {"ToolButton16", "Color Dropper", true},
        {"ToolButton11", "Erase Frame", true}, {"btnclearbrush", "Clear Brush", true},
        {"btnsolidbrush", "Solid Brush", true}, {"ToolButton19", "Show/Hide Text Gadget", true},
        {"ToolButton3", "Hide/Show Gradient Gadget", true}, {"btnsmartshape", "Display/Hide smart gadget", true},
        {"btnomove", "Move shape", true}, {"btnosize", "Size shape", true}, {"btntmove", "Move shape text", true},
        {"btntextrotate", "Rotate shape text", true}, {"ToolButton2", "Size to frame", true},
        {"ToolButton12", "Paint shape", true}, {"btnOK", "Update Frame", true}, {"Pen11", "Pen 1", true},
        {"Pen51", "Pen 5", true}, {"PenOther1", "Pen Other...", true}, {"PenSolid1", "Pen Solid", true},
        {"PenClear1", "Pen Clear", true}, {"x11", "x1", true}, {"x21", "x2", true}, {"x41", "x4", true},
        {"Line11", "Line 1", true}, {"Other1", "Other...", true}, {"Caption1", "&Caption...", true},
        {"Font1", "&Font...", true}, {"Bold1", "&Bold", true}, {"Italic1", "&Italic", true},
        {"Underline1", "&Underline", true}, {"Paint1", "&Paint", true}, {"PaintShadow1", "Paint Shadow", true},
        {"BringtoFront1", "Bring to Front", true}, {"Caption2", "Caption...", true}, {"Font2", "Font...", true},
        {"BeginColor1", "Begin Color...", true}, {"EndColor1", "End Color...", true},
        {"HorizontalCenter1", "Horizontal Center", true}, {"Vertical1", "Vertical", true},
        {"Paint2", "Paint", true}, {"BringtoFront2", "Bring to Front", true}, {"Script1", "&Script", false},
        {"Undo1", "&Undo", false}, {"Redo1", "&Redo", false},
    };
    for (const Item& it : items) {
        QAction* a = w->Action(it.name);
        ASSERT_NE(a, nullptr) << it.name;
        EXPECT_EQ(a->text().toStdString(), it.text) << it.name;
        EXPECT_EQ(a->isEnabled(), it.enabled) << it.name;
    }
    EXPECT_EQ(w->Action("Script1")->shortcut(), QKeySequence("F2"));
    EXPECT_EQ(w->Action("Undo1")->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(w->Action("Redo1")->shortcut(), QKeySequence("Ctrl+Y"));
    EXPECT_TRUE(w->Action("btnsolidbrush")->isChecked());
    EXPECT_TRUE(w->Action("btnomove")->isChecked());
    EXPECT_FALSE(w->tex->isVisible());
    EXPECT_TRUE(w->qorArrayButton1->isEnabled());
    EXPECT_EQ(w->gamma->size(), QSize(65, 250));
    EXPECT_EQ(w->drawpop->actions().size(), 7);
    EXPECT_EQ(w->TTF.Precision(), 8);
}

// Drawing with the mouse on the picture: nothing until a tool is chosen, then the chosen
// tool draws; Update Frame writes an untouched frame back unchanged and a drawn one with
// what was drawn.
TEST_F(DrawWindow, DrawWithTheMouseAndUpdateFrame)
{
    ASSERT_EQ(w->pic->size(), QSize(40, 30));
    Drag(w->pic, {2, 2}, {20, 20});
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite));

    Trigger("Rectangle2");
    EXPECT_EQ(w->Tools().ToolName(), "rectangle");
    Drag(w->pic, {2, 2}, {20, 20});
    EXPECT_EQ(Picture().Pixel(2, 2), clBlack);
    EXPECT_EQ(Picture().Pixel(19, 19), clBlack);
    EXPECT_TRUE(w->Action("Undo1")->isEnabled());
    EXPECT_EQ(w->Action("Undo1")->text(), "&Undo Rectangle");
    // The right button opens the menu and draws nothing.
    Mouse(w->pic, QEvent::MouseButtonPress, {30, 25}, Qt::NoModifier, Qt::RightButton);
    EXPECT_FALSE(w->Tools().Pressed());

    w->FinishEdit();
    EXPECT_EQ(strip.FindFrameImage(1).Bitmap(), Picture());
    EXPECT_EQ(strip.FindFrameImage(0).Bitmap(), SolidBitmap(40, 30, clWhite));

    // A patterned frame opened and written back without a change stays exactly as it was.
    TBitmap pattern(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            pattern.SetPixel(x, y, RGB(x * 6, y * 8, (x ^ y) * 4));
    strip.SetPicture(0, pattern);
    w->BeginEdit(strip, 0);
    EXPECT_FALSE(w->Action("Undo1")->isEnabled());
    w->FinishEdit();
    EXPECT_EQ(strip.FindFrameImage(0).Bitmap(), pattern);
    // After x2 it is resampled back to the frame size.
    w->BeginEdit(strip, 0);
    Trigger("x21");
    EXPECT_EQ(w->pic->size(), QSize(80, 60));
    EXPECT_GE(w->ScrollContent->width(), 80);
    Trigger("x21");
    EXPECT_EQ(w->pic->size(), QSize(80, 60));
    w->FinishEdit();
    EXPECT_NE(strip.FindFrameImage(0).Bitmap(), pattern);
    EXPECT_EQ(strip.FindFrameImage(0).Bitmap().Width(), 40);

    // The modal run: Update Frame closes it with OK.
    QTimer::singleShot(0, [this] {
        Trigger("Rectangle2");
        Drag(w->pic, {5, 5}, {30, 25});
        Trigger("btnOK");
    });
    EXPECT_TRUE(w->EditFrame(strip, 1));
    EXPECT_EQ(strip.FindFrameImage(1).Bitmap().Pixel(5, 24), clBlack);
    QTimer::singleShot(0, [this] {
        Trigger("ToolButton11");
        w->reject();
    });
    const TBitmap before = strip.FindFrameImage(1).Bitmap();
    EXPECT_FALSE(w->EditFrame(strip, 1));
    EXPECT_EQ(strip.FindFrameImage(1).Bitmap(), before);
}

// Pen and brush commands, the colour panel and the dropper, undo and redo from the menu.
TEST_F(DrawWindow, PenBrushColoursUndo)
{
    TCanvas& c = w->Picture().Canvas();
    Trigger("Pen31");
    EXPECT_EQ(c.Pen.Width, 3);
    ui.AnswerInput("0");
    ui.AnswerInput("51");
    ui.AnswerInput("12");
    Trigger("PenOther1");
    Trigger("PenOther1");
    EXPECT_EQ(c.Pen.Width, 3);
    Trigger("Other1");
    EXPECT_EQ(c.Pen.Width, 12);
    ASSERT_EQ(ui.Calls().size(), 3u);
    EXPECT_EQ(ui.Calls()[0].Caption, "Anivor Draw");
    EXPECT_EQ(ui.Calls()[0].Prompt, "Enter Line width: (1..50)");
    EXPECT_EQ(ui.Calls()[0].Proposed, "1");
    Trigger("PenClear1");
    EXPECT_EQ(c.Pen.Style, TPenStyle::psClear);
    Trigger("PenSolid1");
    Trigger("Pen11");

    // Erase Frame with the clear brush paints nothing and selects the solid brush.
    Trigger("btnclearbrush");
    EXPECT_EQ(c.Brush.Style(), TBrushStyle::bsClear);
    Trigger("ToolButton11");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite));
    EXPECT_TRUE(w->Action("btnsolidbrush")->isChecked());

    // The colour panel sets pen and brush; the dropper sets the second colour, which sets
    // the pen to the first colour again.
    w->gamma->SetFirstColor(clRed);
    w->gamma->SetSecondColor(clLime);
    EXPECT_EQ(c.Pen.Color, clRed);
    EXPECT_EQ(c.Brush.Color(), clLime);
    Trigger("ToolButton11");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clLime));
    c.SetPixel(3, 3, clBlue);
    c.Pen.Color = clBlack;
    Trigger("ToolButton16");
    Drag(w->pic, {3, 3}, {3, 3}, Qt::ControlModifier);
    EXPECT_EQ(w->gamma->SecondColor(), clBlue);
    EXPECT_EQ(c.Brush.Color(), clBlue);
    EXPECT_EQ(c.Pen.Color, clRed);

    // Undo twice, redo once, from the actions.
    Trigger("Undo1"); // the blue pixel drawn directly is taken back first
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clLime));
    Trigger("Undo1");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite));
    Trigger("Redo1");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clLime));
    EXPECT_TRUE(w->Action("Redo1")->isEnabled());
}

// The gadgets: shown and hidden, captions through their prompts (an empty answer changes
// nothing), painted only with their corner on the picture, the gradient text's handle.
TEST_F(DrawWindow, Gadgets)
{
    w->show();
    Trigger("ToolButton19");
    EXPECT_TRUE(w->tex->isVisible());
    ui.AnswerInput("");
    Trigger("Caption1");
    EXPECT_EQ(w->tex->Caption(), "Anivor");
    ui.AnswerInput("Hi");
    Trigger("Caption1");
    EXPECT_EQ(w->tex->Caption(), "Hi");
    EXPECT_EQ(ui.Calls()[0].Caption, "Anivor Text");
    EXPECT_EQ(ui.Calls()[0].Prompt, "Enter Caption:");
    EXPECT_EQ(ui.Calls()[0].Proposed, "Anivor");
    Trigger("Italic1");
    EXPECT_EQ(w->tex->Font().Style, unsigned(fsBold | fsItalic));
    // Dragged by the mouse onto the picture, then painted.
    Mouse(w->tex, QEvent::MouseButtonPress, {2, 2});
    EXPECT_EQ(w->tex->Tag(), 1);
    Mouse(w->tex, QEvent::MouseMove, QPoint(2, 2) - QPoint(w->tex->x() - 3, w->tex->y() - 4));
    Mouse(w->tex, QEvent::MouseButtonRelease, {2, 2});
    EXPECT_EQ(w->tex->pos(), QPoint(3, 4));
    EXPECT_EQ(w->tex->Tag(), 0);
    Trigger("Paint1");
    EXPECT_NE(Picture(), SolidBitmap(40, 30, clWhite));
    EXPECT_EQ(w->Picture().Canvas().Brush.Style(), TBrushStyle::bsClear);
    EXPECT_TRUE(w->Action("btnclearbrush")->isChecked());
    Trigger("Undo1");
    w->tex->move(-1, 4);
    Trigger("Paint1");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite));

    Trigger("ToolButton3");
    TGradText* g = w->GradText1;
    EXPECT_TRUE(g->isVisible());
    EXPECT_EQ(g->Text(), "Anivor");
    EXPECT_EQ(g->pos(), QPoint(65, 156));
    ui.AnswerInput("");
    Trigger("Caption2");
    EXPECT_EQ(g->Text(), "Anivor");
    ui.AnswerInput("Two words");
    Trigger("Caption2");
    EXPECT_EQ(g->Text(), "Two words");
    EXPECT_EQ(ui.Calls().back().Caption, "Anivor Gradient Text");
    EXPECT_EQ(ui.Calls().back().Prompt, "Enter caption:");
    ui.AnswerColor(clBlue);
    Trigger("EndColor1");
    EXPECT_EQ(g->EndColor(), clBlue);
    ui.AnswerColorCancel();
    Trigger("BeginColor1");
    EXPECT_EQ(ui.Calls().back().InitialColor, clBlue); // the dialog starts where it ended
    Trigger("HorizontalCenter1");
    EXPECT_EQ(g->GradientStyle(), TGradientStyle::gsHorizCenter);

    // The rightmost 9 pixels resize: the text lays out in the new width, the height follows.
    Mouse(g, QEvent::MouseButtonPress, {g->width() - 3, 5});
    EXPECT_EQ(g->Tag(), 2);
    Mouse(g, QEvent::MouseMove, {300, 5});
    Mouse(g, QEvent::MouseButtonRelease, {300, 5});
    const QSize wide = g->size(); // one line: as wide as the text
    EXPECT_LT(wide.width(), 300);
    Mouse(g, QEvent::MouseButtonPress, {g->width() - 3, 5});
    EXPECT_EQ(g->Tag(), 2);
    Mouse(g, QEvent::MouseMove, {g->width() / 2, 5});
    Mouse(g, QEvent::MouseButtonRelease, {g->width() / 2, 5});
    EXPECT_LT(g->width(), wide.width());
    EXPECT_GT(g->height(), wide.height());
    Mouse(g, QEvent::MouseButtonPress, {2, 2});
    EXPECT_EQ(g->Tag(), 1);
    Mouse(g, QEvent::MouseMove, QPoint(2, 2) - g->pos() + QPoint(1, 1));
    Mouse(g, QEvent::MouseButtonRelease, {2, 2});
    EXPECT_EQ(g->pos(), QPoint(1, 1));
    Trigger("Paint2");
    EXPECT_NE(Picture(), SolidBitmap(40, 30, clWhite));
    EXPECT_EQ(w->Picture().History().UndoName(), "Paint Gradient Text");
}

// The placement is kept in the settings file; a window closed maximised keeps the
// placement it had before.
TEST_F(DrawWindow, PlacementIsRemembered)
{
    w->move(30, 40);
    w->resize(500, 300);
    w->FormDestroy();
    TIniFile32 ini(dir.file("anivor.ini"));
    EXPECT_EQ(ini.ReadInteger("DrawF", "Left", 0), 30);
    EXPECT_EQ(ini.ReadInteger("DrawF", "Width", 0), 500);
    TDrawF again(nullptr, dir.file("anivor.ini"));
    EXPECT_EQ(again.pos(), QPoint(30, 40));
    EXPECT_EQ(again.size(), QSize(500, 300));
    again.setWindowState(Qt::WindowMaximized);
    again.FormDestroy();
    TIniFile32 after(dir.file("anivor.ini"));
    EXPECT_TRUE(after.ReadBool("DrawF", "State", false));
    EXPECT_EQ(after.ReadInteger("DrawF", "Width", 0), 500);
}

// A frame too large to zoom is refused with a message, and the editor goes on working.
TEST_F(DrawWindow, RefusedZoomKeepsTheEditorUsable)
{
    MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + 50 * 1024);
    Trigger("x41"); // 160 x 120 x 3 bytes: more than the room left
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_NE(ui.Errors()[0].find("Not enough memory: a 160 x 120 picture"), std::string::npos) << ui.Errors()[0];
    EXPECT_EQ(w->pic->size(), QSize(40, 30));
    Trigger("Line1");
    Drag(w->pic, {0, 0}, {10, 0});
    EXPECT_EQ(Picture().Pixel(5, 0), clBlack);
}

// The smart shape: shown and hidden, its mouse modes, sized to the frame, stamped onto the
// picture as one undo step; its popup shows only the first eight items of the controller.
TEST_F(DrawWindow, SmartShape)
{
    w->show();
    TqorShape* shape = w->qorShape1;
    ASSERT_NE(shape, nullptr);
    EXPECT_FALSE(shape->isVisible());
    EXPECT_EQ(shape->Font().Name, "arial");
    EXPECT_EQ(shape->PopupMenu(), w->qorShapeController1);
    int shown = 0;
    for (QAction* a : w->qorShapeController1->actions())
        shown += a->isVisible() ? 1 : 0;
    EXPECT_EQ(shown, 8);
    Trigger("btnsmartshape");
    EXPECT_TRUE(shape->isVisible());
    Trigger("btnosize");
    EXPECT_EQ(shape->MouseMode(), TShapeMouseMode::mmSizeObject);
    Trigger("btntextrotate");
    EXPECT_EQ(shape->MouseMode(), TShapeMouseMode::mmRotateText);
    Trigger("btnomove");
    EXPECT_EQ(shape->MouseMode(), TShapeMouseMode::mmMoveObject);
    Trigger("ToolButton2");
    EXPECT_EQ(shape->geometry(), QRect(0, 0, 40, 30));

    Trigger("ToolButton12");
    TBitmap expected = SolidBitmap(40, 30, clWhite);
    TCanvas c(expected);
    shape->PaintOnCanvas(c, 0, 0, 1.0, 1.0);
    EXPECT_EQ(Picture(), expected);
    EXPECT_NE(Picture(), SolidBitmap(40, 30, clWhite));
    EXPECT_EQ(w->Picture().History().UndoName(), "Paint Shape");
    Trigger("Undo1");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite));
    Trigger("btnsmartshape");
    EXPECT_FALSE(shape->isVisible());
}
