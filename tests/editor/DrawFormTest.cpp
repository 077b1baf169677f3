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

// The window's components and commands, by id, with the texts the user sees.
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
        {"editor.pointer", "Pointer", true}, {"editor.rectangle", "Rectangle", true}, {"editor.line", "Line", true},
        {"editor.ellipse", "Ellipse", true}, {"editor.round-rectangle", "Round Rectangle", true},
        {"editor.freehand", "Freehand", true}, {"editor.flood-fill", "FloodFill", true}, {"editor.select", "Select", true},
        {"editor.paste", "Paste", true}, {"editor.color-dropper", "Color Dropper", true},
        {"editor.erase-frame", "Erase Frame", true}, {"editor.clear-brush", "Clear Brush", true},
        {"editor.solid-brush", "Solid Brush", true}, {"editor.text-gadget", "Show/Hide Text Gadget", true},
        {"editor.gradient-gadget", "Hide/Show Gradient Gadget", true}, {"editor.smart-gadget", "Display/Hide smart gadget", true},
        {"editor.shape-move", "Move shape", true}, {"editor.shape-size", "Size shape", true}, {"editor.shape-move-text", "Move shape text", true},
        {"editor.shape-rotate-text", "Rotate shape text", true}, {"editor.shape-size-to-frame", "Size to frame", true},
        {"editor.shape-paint", "Paint shape", true}, {"editor.update-frame", "Update Frame", true}, {"editor.pen-1", "Pen 1", true},
        {"editor.pen-5", "Pen 5", true}, {"editor.pen-other", "Pen Other...", true}, {"editor.pen-solid", "Pen Solid", true},
        {"editor.pen-clear", "Pen Clear", true}, {"editor.zoom-1", "x1", true}, {"editor.zoom-2", "x2", true}, {"editor.zoom-4", "x4", true},
        {"editor.line-1", "Line 1", true}, {"editor.line-other", "Other...", true}, {"text.caption", "&Caption...", true},
        {"text.font", "&Font...", true}, {"text.bold", "&Bold", true}, {"text.italic", "&Italic", true},
        {"text.underline", "&Underline", true}, {"text.paint", "&Paint", true}, {"text.paint-shadow", "Paint Shadow", true},
        {"text.bring-to-front", "Bring to Front", true}, {"gradient.caption", "Caption...", true}, {"gradient.font", "Font...", true},
        {"gradient.begin-color", "Begin Color...", true}, {"gradient.end-color", "End Color...", true},
        {"gradient.horizontal-center", "Horizontal Center", true}, {"gradient.vertical", "Vertical", true},
        {"gradient.paint", "Paint", true}, {"gradient.bring-to-front", "Bring to Front", true}, {"editor.script", "&Script", false},
        {"editor.undo", "&Undo", false}, {"editor.redo", "&Redo", false},
    };
    for (const Item& it : items) {
        QAction* a = w->Action(it.name);
        EXPECT_EQ(a->text().toStdString(), it.text) << it.name;
        EXPECT_EQ(a->isEnabled(), it.enabled) << it.name;
    }
    EXPECT_EQ(w->Action("editor.script")->shortcut(), QKeySequence("F2"));
    EXPECT_EQ(w->Action("editor.undo")->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(w->Action("editor.redo")->shortcut(), QKeySequence("Ctrl+Y"));
    EXPECT_TRUE(w->Action("editor.solid-brush")->isChecked());
    EXPECT_TRUE(w->Action("editor.shape-move")->isChecked());
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

    Trigger("editor.rectangle");
    EXPECT_EQ(w->Tools().ToolName(), "rectangle");
    Drag(w->pic, {2, 2}, {20, 20});
    EXPECT_EQ(Picture().Pixel(2, 2), clBlack);
    EXPECT_EQ(Picture().Pixel(19, 19), clBlack);
    EXPECT_TRUE(w->Action("editor.undo")->isEnabled());
    EXPECT_EQ(w->Action("editor.undo")->text(), "&Undo Rectangle");
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
    EXPECT_FALSE(w->Action("editor.undo")->isEnabled());
    w->FinishEdit();
    EXPECT_EQ(strip.FindFrameImage(0).Bitmap(), pattern);
    // After x2 it is resampled back to the frame size.
    w->BeginEdit(strip, 0);
    Trigger("editor.zoom-2");
    EXPECT_EQ(w->pic->size(), QSize(80, 60));
    EXPECT_GE(w->ScrollContent->width(), 80);
    Trigger("editor.zoom-2");
    EXPECT_EQ(w->pic->size(), QSize(80, 60));
    w->FinishEdit();
    EXPECT_NE(strip.FindFrameImage(0).Bitmap(), pattern);
    EXPECT_EQ(strip.FindFrameImage(0).Bitmap().Width(), 40);

    // The modal run: Update Frame closes it with OK.
    QTimer::singleShot(0, [this] {
        Trigger("editor.rectangle");
        Drag(w->pic, {5, 5}, {30, 25});
        Trigger("editor.update-frame");
    });
    EXPECT_TRUE(w->EditFrame(strip, 1));
    EXPECT_EQ(strip.FindFrameImage(1).Bitmap().Pixel(5, 24), clBlack);
    QTimer::singleShot(0, [this] {
        Trigger("editor.erase-frame");
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
    Trigger("editor.pen-3");
    EXPECT_EQ(c.Pen.Width, 3);
    ui.AnswerInput("0");
    ui.AnswerInput("51");
    ui.AnswerInput("12");
    Trigger("editor.pen-other");
    Trigger("editor.pen-other");
    EXPECT_EQ(c.Pen.Width, 3);
    Trigger("editor.line-other");
    EXPECT_EQ(c.Pen.Width, 12);
    ASSERT_EQ(ui.Calls().size(), 3u);
    EXPECT_EQ(ui.Calls()[0].Caption, "Anivor Draw");
    EXPECT_EQ(ui.Calls()[0].Prompt, "Enter Line width: (1..50)");
    EXPECT_EQ(ui.Calls()[0].Proposed, "1");
    Trigger("editor.pen-clear");
    EXPECT_EQ(c.Pen.Style, TPenStyle::psClear);
    Trigger("editor.pen-solid");
    Trigger("editor.pen-1");

    // Erase Frame with the clear brush paints nothing and selects the solid brush.
    Trigger("editor.clear-brush");
    EXPECT_EQ(c.Brush.Style(), TBrushStyle::bsClear);
    Trigger("editor.erase-frame");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite));
    EXPECT_TRUE(w->Action("editor.solid-brush")->isChecked());

    // The colour panel sets pen and brush; the dropper sets the second colour, which sets
    // the pen to the first colour again.
    w->gamma->SetFirstColor(clRed);
    w->gamma->SetSecondColor(clLime);
    EXPECT_EQ(c.Pen.Color, clRed);
    EXPECT_EQ(c.Brush.Color(), clLime);
    Trigger("editor.erase-frame");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clLime));
    c.SetPixel(3, 3, clBlue);
    c.Pen.Color = clBlack;
    Trigger("editor.color-dropper");
    Drag(w->pic, {3, 3}, {3, 3}, Qt::ControlModifier);
    EXPECT_EQ(w->gamma->SecondColor(), clBlue);
    EXPECT_EQ(c.Brush.Color(), clBlue);
    EXPECT_EQ(c.Pen.Color, clRed);

    // Undo twice, redo once, from the actions.
    Trigger("editor.undo"); // the blue pixel drawn directly is taken back first
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clLime));
    Trigger("editor.undo");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite));
    Trigger("editor.redo");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clLime));
    EXPECT_TRUE(w->Action("editor.redo")->isEnabled());
}

// The gadgets: shown and hidden, captions through their prompts (an empty answer changes
// nothing), painted only with their corner on the picture, the gradient text's handle.
TEST_F(DrawWindow, Gadgets)
{
    w->show();
    Trigger("editor.text-gadget");
    EXPECT_TRUE(w->tex->isVisible());
    ui.AnswerInput("");
    Trigger("text.caption");
    EXPECT_EQ(w->tex->Caption(), "Anivor");
    ui.AnswerInput("Hi");
    Trigger("text.caption");
    EXPECT_EQ(w->tex->Caption(), "Hi");
    EXPECT_EQ(ui.Calls()[0].Caption, "Anivor Text");
    EXPECT_EQ(ui.Calls()[0].Prompt, "Enter Caption:");
    EXPECT_EQ(ui.Calls()[0].Proposed, "Anivor");
    Trigger("text.italic");
    EXPECT_EQ(w->tex->Font().Style, unsigned(fsBold | fsItalic));
    // Dragged by the mouse onto the picture, then painted.
    Mouse(w->tex, QEvent::MouseButtonPress, {2, 2});
    EXPECT_EQ(w->tex->Tag(), 1);
    Mouse(w->tex, QEvent::MouseMove, QPoint(2, 2) - QPoint(w->tex->x() - 3, w->tex->y() - 4));
    Mouse(w->tex, QEvent::MouseButtonRelease, {2, 2});
    EXPECT_EQ(w->tex->pos(), QPoint(3, 4));
    EXPECT_EQ(w->tex->Tag(), 0);
    Trigger("text.paint");
    EXPECT_NE(Picture(), SolidBitmap(40, 30, clWhite));
    EXPECT_EQ(w->Picture().Canvas().Brush.Style(), TBrushStyle::bsClear);
    EXPECT_TRUE(w->Action("editor.clear-brush")->isChecked());
    Trigger("editor.undo");
    w->tex->move(-1, 4);
    Trigger("text.paint");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite));

    Trigger("editor.gradient-gadget");
    TGradText* g = w->GradText1;
    EXPECT_TRUE(g->isVisible());
    EXPECT_EQ(g->Text(), "Anivor");
    EXPECT_EQ(g->pos(), QPoint(65, 156));
    ui.AnswerInput("");
    Trigger("gradient.caption");
    EXPECT_EQ(g->Text(), "Anivor");
    ui.AnswerInput("Two words");
    Trigger("gradient.caption");
    EXPECT_EQ(g->Text(), "Two words");
    EXPECT_EQ(ui.Calls().back().Caption, "Anivor Gradient Text");
    EXPECT_EQ(ui.Calls().back().Prompt, "Enter caption:");
    ui.AnswerColor(clBlue);
    Trigger("gradient.end-color");
    EXPECT_EQ(g->EndColor(), clBlue);
    ui.AnswerColorCancel();
    Trigger("gradient.begin-color");
    EXPECT_EQ(ui.Calls().back().InitialColor, clBlue); // the dialog starts where it ended
    Trigger("gradient.horizontal-center");
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
    Trigger("gradient.paint");
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
    Trigger("editor.zoom-4"); // 160 x 120 x 3 bytes: more than the room left
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_NE(ui.Errors()[0].find("Not enough memory: a 160 x 120 picture"), std::string::npos) << ui.Errors()[0];
    EXPECT_EQ(w->pic->size(), QSize(40, 30));
    Trigger("editor.line");
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
    Trigger("editor.smart-gadget");
    EXPECT_TRUE(shape->isVisible());
    Trigger("editor.shape-size");
    EXPECT_EQ(shape->MouseMode(), TShapeMouseMode::mmSizeObject);
    Trigger("editor.shape-rotate-text");
    EXPECT_EQ(shape->MouseMode(), TShapeMouseMode::mmRotateText);
    Trigger("editor.shape-move");
    EXPECT_EQ(shape->MouseMode(), TShapeMouseMode::mmMoveObject);
    Trigger("editor.shape-size-to-frame");
    EXPECT_EQ(shape->geometry(), QRect(0, 0, 40, 30));

    Trigger("editor.shape-paint");
    TBitmap expected = SolidBitmap(40, 30, clWhite);
    TCanvas c(expected);
    shape->PaintOnCanvas(c, 0, 0, 1.0, 1.0);
    EXPECT_EQ(Picture(), expected);
    EXPECT_NE(Picture(), SolidBitmap(40, 30, clWhite));
    EXPECT_EQ(w->Picture().History().UndoName(), "Paint Shape");
    Trigger("editor.undo");
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite));
    Trigger("editor.smart-gadget");
    EXPECT_FALSE(shape->isVisible());
}
