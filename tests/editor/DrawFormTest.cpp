#include "EditorTestHelpers.h"

#include "editor/ui/DrawForm.h"
#include "editor/ui/DrawWidgets.h"
#include "editor/ui/GammaPanel.h"

#include "graphics/BmpFile.h"
#include "platform/IniFile.h"
#include "widgets/ArrayButton.h"
#include "shapes/ui/ShapeController.h"
#include "shapes/ui/ShapeWidget.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "workspace/FrameStrip.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
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
    const TBitmap pattern = Pattern(40, 30);
    strip.SetPicture(0, pattern);
    w->BeginEdit(strip, 0);
    EXPECT_FALSE(w->Action("editor.undo")->isEnabled());
    w->FinishEdit();
    EXPECT_EQ(strip.FindFrameImage(0).Bitmap(), pattern);
    // Zoom is a view: x2, x4, x1 show the picture magnified and leave its pixels alone.
    w->BeginEdit(strip, 0);
    for (const char* zoom : {"editor.zoom-2", "editor.zoom-4", "editor.zoom-1"})
        Trigger(zoom);
    Trigger("editor.zoom-2");
    EXPECT_EQ(w->pic->size(), QSize(80, 60));
    EXPECT_GE(w->ScrollContent->width(), 80);
    EXPECT_TRUE(w->Action("editor.zoom-2")->isChecked());
    EXPECT_FALSE(w->Action("editor.undo")->isEnabled());
    Trigger("editor.zoom-4");
    Trigger("editor.zoom-1");
    EXPECT_EQ(w->pic->size(), QSize(40, 30));
    w->FinishEdit();
    EXPECT_EQ(strip.FindFrameImage(0).Bitmap(), pattern);

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
        ui.AnswerButton(1); // "Update the frame?": Discard
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
    const std::vector<TUiCall> prompts = ui.CallsOf(TUiCallKind::InputBox);
    ASSERT_EQ(prompts.size(), 3u);
    EXPECT_EQ(prompts[0].Caption, "Anivor Draw");
    EXPECT_EQ(prompts[0].Prompt, "Enter Line width: (1..50)");
    EXPECT_EQ(prompts[0].Proposed, "3"); // the width in force
    // A width outside the range is not used, and the user is told so.
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"0 is outside 1..50: the pen width stays as it was.",
                                                       "51 is outside 1..50: the pen width stays as it was."}));
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
    w->tex->move(-w->tex->width(), 4); // wholly left of the picture
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
    EXPECT_EQ(ui.Calls().back().InitialColor, TColor(65535)); // the dialog starts on the colour it changes
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

// Zoom keeps no magnified copy: with no memory to spare, x4 shows and draws all the same.
TEST_F(DrawWindow, ZoomNeedsNoMemory)
{
    MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + 1024);
    Trigger("editor.zoom-4");
    EXPECT_EQ(w->pic->size(), QSize(160, 120));
    Trigger("editor.line");
    Drag(w->pic, {0, 0}, {40, 0});
    EXPECT_EQ(Picture().Pixel(5, 0), clBlack);
    EXPECT_EQ(Picture().Pixel(10, 0), clWhite);
    for (const std::string& e : ui.Errors())
        ADD_FAILURE() << e;
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

namespace {

QImage Rgb(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

// Zoom is a view: at x4 the picture view shows each picture pixel as a 4 x 4 block, and a
// line drawn at x2 changes only its own pixels, also once written back to the frame.
TEST_F(DrawWindow, ZoomShowsBlocksAndDrawsPicturePixels)
{
    const TBitmap pattern = Pattern(40, 30);
    strip.SetPicture(1, pattern);
    w->BeginEdit(strip, 1);
    w->show();
    Trigger("editor.zoom-4");
    const QImage shown = Rgb(w->pic->grab());
    ASSERT_EQ(shown.size(), QSize(160, 120));
    int wrong = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const TColor c = pattern.Pixel(x / 4, y / 4);
            wrong += shown.pixel(x, y) != qRgb(GetRValue(c), GetGValue(c), GetBValue(c)) ? 1 : 0;
        }
    EXPECT_EQ(wrong, 0);

    // From view (11, 21) to (61, 21) at x2: picture (5, 10) to (30, 10); the end point is
    // not drawn, as at x1.
    Trigger("editor.zoom-2");
    Trigger("editor.line");
    Drag(w->pic, {11, 21}, {61, 21});
    w->FinishEdit();
    const TBitmap& frame = strip.FindFrameImage(1).Bitmap();
    std::vector<TPoint> changed;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (frame.Pixel(x, y) != pattern.Pixel(x, y))
                changed.emplace_back(x, y);
    std::vector<TPoint> line;
    for (int x = 5; x < 30; ++x)
        line.emplace_back(x, 10);
    EXPECT_EQ(changed, line);
    for (const TPoint& p : line)
        EXPECT_EQ(frame.Pixel(p.X, p.Y), clBlack);
}

// Every tool does at x4 exactly what it does at x1 when the mouse is anywhere inside the
// blocks of the same picture pixels: figures, freehand, flood fill, dropper, select and
// paste, the Ctrl-kept band.
TEST_F(DrawWindow, ToolsActInPicturePixelsAtAnyZoom)
{
    TBitmap scene = Pattern(40, 30);
    for (int y = 8; y < 20; ++y)
        for (int x = 10; x < 25; ++x)
            scene.SetPixel(x, y, clYellow); // an area for the flood fill
    strip.SetPicture(1, scene);
    struct Case {
        const char* tool;
        std::vector<QPoint> path; // press, moves, release, in picture pixels
        bool ctrl;
    };
    const Case cases[] = {
        {"editor.line", {{3, 4}, {20, 9}, {33, 25}}, false},
        {"editor.rectangle", {{30, 2}, {12, 12}, {5, 20}}, false},
        {"editor.ellipse", {{2, 2}, {30, 20}, {36, 27}}, false},
        {"editor.round-rectangle", {{4, 3}, {35, 26}}, false},
        {"editor.rectangle", {{6, 6}, {20, 18}}, true},
        {"editor.freehand", {{1, 1}, {9, 4}, {9, 20}, {30, 28}}, false},
        {"editor.flood-fill", {{15, 10}}, false},
        {"editor.select", {{24, 18}, {12, 9}, {8, 5}}, false},
        {"editor.paste", {{20, 21}}, false},
        {"editor.color-dropper", {{17, 3}}, false},
    };
    auto run = [&](const Case& c, int k, int offset) {
        Trigger(k == 1 ? "editor.zoom-1" : "editor.zoom-4");
        Trigger(c.tool);
        auto view = [&](QPoint p) { return p * k + QPoint(offset, offset); };
        const Qt::KeyboardModifiers mods = c.ctrl ? Qt::ControlModifier : Qt::NoModifier;
        Mouse(w->pic, QEvent::MouseButtonPress, view(c.path.front()));
        for (const QPoint& p : c.path)
            Mouse(w->pic, QEvent::MouseMove, view(p), mods);
        Mouse(w->pic, QEvent::MouseButtonRelease, view(c.path.back()), mods);
    };
    w->Picture().Canvas().Pen.Width = 2;
    for (const Case& c : cases) {
        w->BeginEdit(strip, 1);
        run(c, 1, 0);
        const TBitmap atX1 = Picture();
        const TColor brushAtX1 = w->Picture().Canvas().Brush.Color();
        for (int offset : {0, 3}) {
            w->BeginEdit(strip, 1);
            run(c, 4, offset);
            EXPECT_EQ(Picture(), atX1) << c.tool << " at offset " << offset;
            EXPECT_EQ(w->Picture().Canvas().Brush.Color(), brushAtX1) << c.tool;
        }
        const std::string tool = c.tool;
        if (tool != "editor.color-dropper" && tool != "editor.select") {
            EXPECT_NE(atX1, scene) << c.tool; // the case does draw
        }
    }
    EXPECT_EQ(w->Tools().SelectionRect(), TRect(8, 5, 24, 18));
}

// A gadget or an actor looks over the zoomed picture as it will look painted, and paints
// onto the picture where it shows, the same pixels at x1, x2 and x4.
TEST_F(DrawWindow, GadgetsAndActorsLandWhereTheyShow)
{
    TFrameStrip big;
    big.SetFrameSize(120, 80);
    big.Append(Pattern(120, 80));
    SaveBmpFile(BitmapFromRows({"gggw", "wggg", "gwgg"}, {{'g', RGB(0, 160, 0)}, {'w', clWhite}}), dir.file("a.bmp"));
    w->Actors().LoadFile(0, dir.file("a.bmp"));
    w->show();
    const TPoint at(6, 5); // picture pixels
    struct Gadget {
        const char* name;
        std::function<void(int k)> place;
        std::function<void()> paint;
        QWidget* widget;
    };
    const Gadget gadgets[] = {
        {"text", [&](int k) { w->tex->move(at.X * k, at.Y * k); }, [&] { Trigger("text.paint"); }, w->tex},
        {"gradient text", [&](int k) { w->GradText1->move(at.X * k, at.Y * k); }, [&] { Trigger("gradient.paint"); },
         w->GradText1},
        {"smart shape",
         [&](int k) {
             w->qorShape1->SetBounds(at.X * k, at.Y * k, 30 * k, 20 * k);
             w->qorShape1->SetCaption("Hi");
         },
         [&] { Trigger("editor.shape-paint"); }, w->qorShape1},
        {"actor",
         [&](int k) {
             // Dragged with the mouse from where it stands, by whole blocks.
             const TPoint from = w->Actors()[0].Position;
             Mouse(w->actor, QEvent::MouseButtonPress, {1, 1});
             Mouse(w->actor, QEvent::MouseMove, QPoint(1 + (at.X - from.X) * k, 1 + (at.Y - from.Y) * k));
             Mouse(w->actor, QEvent::MouseButtonRelease, {1, 1});
         },
         [&] { w->qorArrayButton1->onArrayButtonClicked(2, 0); }, w->actor},
    };
    for (const Gadget& g : gadgets) {
        TBitmap painted;
        for (int k : {1, 2, 4}) {
            w->BeginEdit(big, 0);
            Trigger(k == 1 ? "editor.zoom-1" : k == 2 ? "editor.zoom-2" : "editor.zoom-4");
            if (g.widget != w->actor) // the actor shows since it was loaded
                g.widget->show();
            g.widget->raise();
            g.place(k);
            ASSERT_EQ(g.widget->pos(), QPoint(at.X * k, at.Y * k)) << g.name << " x" << k;
            const QRect view(QPoint(0, 0), w->pic->size());
            const QImage before = Rgb(w->ScrollContent->grab(view));
            g.paint();
            g.widget->hide();
            ASSERT_FALSE(g.widget->isVisible()) << g.name;
            const QImage after = Rgb(w->ScrollContent->grab(view));
            EXPECT_EQ(before, after) << g.name << " x" << k;

            if (k == 1)
                painted = Picture();
            EXPECT_EQ(Picture(), painted) << g.name << " x" << k;
            EXPECT_NE(Picture(), Pattern(120, 80)) << g.name;
        }
    }
}

// Esc and the close box with a drawing the frame does not have ask "Update the frame?":
// Update writes it and closes, Discard closes leaving the frame, Cancel (or closing the
// question) keeps the editor open with the drawing. Nothing to write back: no question.
TEST_F(DrawWindow, UpdateTheFrameQuestion)
{
    enum { kUpdate, kDiscard, kCancel, kClosed = -1 };
    const TBitmap original = strip.FindFrameImage(1).Bitmap();
    auto leave = [this](bool esc) {
        if (esc) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(w.get(), &key);
        } else {
            w->close();
        }
    };
    for (bool esc : {true, false})
        for (int answer : {kUpdate, kDiscard, kCancel, kClosed}) {
            strip.SetPicture(1, original);
            ui.ClearCalls();
            bool stayed = false;
            QTimer::singleShot(0, [&] {
                Trigger("editor.rectangle");
                Drag(w->pic, {5, 5}, {30, 25});
                ui.AnswerButton(answer);
                leave(esc);
                stayed = w->isVisible();
                if (stayed) {
                    EXPECT_EQ(Picture().Pixel(5, 5), clBlack);
                    Trigger("editor.update-frame");
                }
            });
            const bool updated = w->EditFrame(strip, 1);
            const std::string what = std::string(esc ? "Esc" : "close") + " answered " + std::to_string(answer);
            const auto asked = ui.CallsOf(TUiCallKind::ChooseButton);
            ASSERT_EQ(asked.size(), 1u) << what;
            EXPECT_EQ(asked[0].Caption, "Anivor Draw");
            EXPECT_EQ(asked[0].Text.rfind("Update the frame?", 0), 0u) << asked[0].Text;
            EXPECT_NE(asked[0].Text.find("\"Frame2\""), std::string::npos) << asked[0].Text;
            EXPECT_EQ(asked[0].Buttons, (std::vector<std::string>{"&Update", "&Discard", "&Cancel"}));
            EXPECT_EQ(stayed, answer == kCancel || answer == kClosed) << what;
            EXPECT_EQ(updated, answer != kDiscard) << what;
            EXPECT_EQ(strip.FindFrameImage(1).Bitmap().Pixel(5, 5), answer == kDiscard ? clWhite : clBlack) << what;
        }

    // Nothing drawn, a drawing undone, or the frame just updated: closing asks nothing.
    strip.SetPicture(1, original);
    ui.ClearCalls();
    QTimer::singleShot(0, [this, leave] { leave(true); });
    EXPECT_FALSE(w->EditFrame(strip, 1));
    QTimer::singleShot(0, [this, leave] {
        Trigger("editor.line");
        Drag(w->pic, {1, 1}, {20, 1});
        EXPECT_TRUE(w->HasUnwrittenChanges());
        Trigger("editor.undo");
        EXPECT_FALSE(w->HasUnwrittenChanges());
        leave(false);
    });
    EXPECT_FALSE(w->EditFrame(strip, 1));
    QTimer::singleShot(0, [this] {
        Trigger("editor.line");
        Drag(w->pic, {1, 1}, {20, 1});
        Trigger("editor.update-frame");
    });
    EXPECT_TRUE(w->EditFrame(strip, 1));
    w->BeginEdit(strip, 1);
    EXPECT_FALSE(w->HasUnwrittenChanges());
    EXPECT_TRUE(ui.CallsOf(TUiCallKind::ChooseButton).empty());
    EXPECT_EQ(strip.FindFrameImage(1).Bitmap().Pixel(1, 1), clBlack);
}

// The menus show the state in force however it was set, the prompts and dialogs start on
// it, and an OK that changes nothing changes nothing.
TEST_F(DrawWindow, MenusShowTheStateAndDialogsStartOnIt)
{
    TCanvas& c = w->Picture().Canvas();
    // What is set, and the items that must then be checked (of the group named second).
    const struct {
        std::function<void()> Set;
        std::vector<const char*> Checked;
        std::vector<const char*> Group;
    } cases[] = {
        {[&] { c.Pen.Width = 3; }, {"editor.pen-3", "editor.line-3"},
         {"editor.pen-1", "editor.pen-2", "editor.pen-3", "editor.pen-4", "editor.pen-5", "editor.pen-other", "editor.line-3",
          "editor.line-other"}},
        {[&] { c.Pen.Width = 17; }, {"editor.pen-other", "editor.line-other"},
         {"editor.pen-1", "editor.pen-5", "editor.pen-other", "editor.line-1", "editor.line-other"}},
        {[&] { c.Pen.Style = TPenStyle::psClear; }, {"editor.pen-clear"}, {"editor.pen-solid", "editor.pen-clear"}},
        {[&] {
             TFont f = w->tex->Font();
             f.Style = fsItalic | fsUnderline;
             w->tex->SetFont(f);
         },
         {"text.italic", "text.underline"}, {"text.bold", "text.italic", "text.underline"}},
        {[&] { w->GradText1->SetGradientStyle(TGradientStyle::gsRectangle); }, {"gradient.rectangle"},
         {"gradient.horizontal-center", "gradient.horizontal", "gradient.rectangle", "gradient.vertical-center",
          "gradient.vertical"}},
    };
    for (const auto& k : cases) {
        k.Set();
        w->UpdateCommands();
        for (const char* id : k.Group) {
            const bool expected = std::find_if(k.Checked.begin(), k.Checked.end(),
                                               [&](const char* x) { return std::string(x) == id; })
                != k.Checked.end();
            EXPECT_TRUE(w->Action(id)->isCheckable()) << id;
            EXPECT_EQ(w->Action(id)->isChecked(), expected) << id;
        }
    }
    // Pen Other proposes the width in force.
    ui.AnswerInputCancel();
    Trigger("editor.pen-other");
    EXPECT_EQ(ui.Last().Proposed, "17");

    // The text gadget's colour: its popup has it, the dialog opens on it.
    EXPECT_TRUE(w->texpop->actions().contains(w->Action("text.color")));
    ui.AnswerColor(clBlue);
    Trigger("text.color");
    EXPECT_EQ(ui.Last().InitialColor, clRed);
    EXPECT_EQ(w->tex->Font().Color, clBlue);
    // Font... starts on the gadget's font; an OK that changed nothing keeps it whole.
    TFont bold = w->tex->Font();
    bold.Style = fsBold;
    w->tex->SetFont(bold);
    const TFont before = w->tex->Font();
    ui.AnswerFont(TFontChoice{before.Name, before.Size(), before.Style, before.Color}); // OK, nothing changed
    Trigger("text.font");
    const TUiCall font = ui.Last();
    EXPECT_EQ(font.InitialFont.Name, "Arial");
    EXPECT_EQ(font.InitialFont.Style, unsigned(fsBold));
    EXPECT_EQ(font.InitialFont.Color, clBlue);
    EXPECT_EQ(w->tex->Font().Name, before.Name);
    EXPECT_EQ(w->tex->Font().Height(), before.Height());
    EXPECT_EQ(w->tex->Font().Style, unsigned(fsBold));
    // The gradient colours open on the colour each changes.
    ui.AnswerColorCancel();
    Trigger("gradient.end-color");
    EXPECT_EQ(ui.Last().InitialColor, TColor(255));
}

// A loaded actor lands on the picture, whatever its place was; the recorded path shows as
// markers (View > Actor Path) over the picture, never on it, with its count below.
TEST_F(DrawWindow, ActorsOnThePictureAndTheirPathShown)
{
    SaveBmpFile(SolidBitmap(6, 4, clBlue), dir.file("a.bmp"));
    w->show();
    for (int i = 0; i < TActors::kCount; ++i) {
        ui.AnswerOpenFile(dir.file("a.bmp"));
        w->qorArrayButton1->onArrayButtonClicked(0, i);
        const TActor& a = w->Actors()[i];
        EXPECT_TRUE(a.Visible);
        EXPECT_TRUE(QRect(0, 0, 40, 30).contains(QRect(a.Position.X, a.Position.Y, 6, 4))) << i;
        const TActorView* views[] = {w->actor, w->actor2, w->actor3};
        EXPECT_TRUE(w->pic->geometry().contains(views[i]->geometry())) << i;
    }
    // Three actors, three places.
    EXPECT_NE(w->Actors()[0].Position, w->Actors()[1].Position);
    EXPECT_NE(w->Actors()[1].Position, w->Actors()[2].Position);
    EXPECT_TRUE(w->PathStatus->text().startsWith("Actor path: no points"));

    // Two places recorded with Ctrl: numbered marks on the view, the count in the status bar.
    EXPECT_TRUE(w->Action("editor.show-path")->isChecked());
    const QImage clean = Rgb(w->pic->grab());
    for (QPoint to : {QPoint(0, 0), QPoint(10, 8)}) {
        const TPoint from = w->Actors()[1].Position;
        Mouse(w->actor2, QEvent::MouseButtonPress, {1, 1});
        Mouse(w->actor2, QEvent::MouseMove, QPoint(1 + to.x() - from.X, 1 + to.y() - from.Y));
        Mouse(w->actor2, QEvent::MouseButtonRelease, {1, 1}, Qt::ControlModifier);
    }
    ASSERT_EQ(w->Actors().Path().Count(), 2);
    EXPECT_EQ(w->PathStatus->text(), "Actor path: 2 points");
    w->actor2->hide();
    w->actor->hide();
    w->actor3->hide();
    const QImage marked = Rgb(w->pic->grab());
    EXPECT_NE(marked, clean);
    EXPECT_EQ(Picture(), SolidBitmap(40, 30, clWhite)); // marks are not drawn on the picture
    Trigger("editor.show-path");
    EXPECT_FALSE(w->Action("editor.show-path")->isChecked());
    EXPECT_EQ(Rgb(w->pic->grab()), clean);
}
