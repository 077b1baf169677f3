// The shape controller: its menu and icons, its commands and prompts, and how selection,
// grouping, alignment, connectors and deletion reach the shape controls (the arithmetic
// itself is ShapeArrangementTest's).
#include "ShapeTestUtil.h"

#include "platform/ScriptedUi.h"
#include "shapes/ui/ShapeController.h"
#include "shapes/ui/ShapeWidget.h"
#include "shapes/ui/ShapesDemoForm.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <set>

namespace {

QAction* Item(const QObject& root, const char* name)
{
    QAction* a = root.findChild<QAction*>(name);
    EXPECT_NE(a, nullptr) << name;
    return a;
}

void ShiftClick(TqorShape& s)
{
    const QPoint p(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, p, s.mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&s, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, s.mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    QApplication::sendEvent(&s, &release);
}

std::set<TColor> Colours(const TBitmap& b)
{
    std::set<TColor> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            out.insert(b.Pixel(x, y));
    return out;
}

// A host with a controller and shapes that use it as their popup menu.
struct Host {
    QWidget parent;
    TqorShapeController controller;
    std::vector<TqorShape*> shapes;
    explicit Host(int count)
    {
        parent.resize(500, 400);
        controller.BuildMenu();
        for (int i = 0; i < count; ++i) {
            auto* s = new TqorShape(&parent);
            s->SetBounds(10 + 80 * i, 10 + 20 * i, 50 + 10 * i, 40 + 5 * i);
            s->SetActiveMouse(true);
            s->SetPopupMenu(&controller);
            shapes.push_back(s);
        }
        if (count)
            controller.SetPopupComponent(shapes[0]);
    }
};

} // namespace

TEST(ShapeController, BuildsItsMenuAndIconsFromTheEnumerations)
{
    TqorShapeController c;
    c.MouseMode = TShapeMouseMode::mmSizeObject;
    c.MouseModeController = true;
    c.BuildMenu();
    EXPECT_EQ(c.MouseMode, TShapeMouseMode::mmfixed);
    EXPECT_FALSE(c.MouseModeController);
    std::vector<std::string> top;
    for (QAction* a : c.actions())
        top.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    EXPECT_EQ(top, (std::vector<std::string>{"Shape Style", "GradientStyle", "Gradient", "Gradient Color...",
                                             "Brush Color...", "Brush Style", "Pen", "Caption", "Mouse Mode",
                                             "ActiveMouse", "Align/Size", "GroupName", "ConnectorN", "ConnectorE",
                                             "ConnectorS", "ConnectorW", "PolyLineMode", "-", "BringToFront",
                                             "SendToBack", "Delete Object"}));
    // No user shapes: 76 figure icons, then the 26 gradients starting at 76.
    ASSERT_EQ(c.IconCount(), 102);
    EXPECT_EQ(Item(c, "qstCircle")->parent()->objectName(), "Shape Style");
    EXPECT_FALSE(Item(c, "qstCircle")->icon().isNull());
    EXPECT_EQ(Colours(c.Icon(0)), (std::set<TColor>{clBlack, clBlue}));           // a blue rectangle
    EXPECT_EQ(c.Icon(5).Pixel(0, 0), clWhite);                                      // the circle leaves corners
    EXPECT_GT(Colours(c.Icon(76)).size(), 8u);                                      // qgdUp, a ramp on a square
    // Row 1 of 16 is the band of step 23, row 14 that of step 231: MulDiv(i, 16, 256).
    EXPECT_EQ(c.Icon(76).Pixel(8, 1), RGB(23, 23, 255));
    EXPECT_EQ(c.Icon(76).Pixel(8, 14), RGB(231, 231, 255));

    // With user shapes: their item and one icon each after the gradients.
    c.SetUserShapes({"usrTri=0.5,0,1,1,0,1", "usrBar=0,0.4,1,0.4,1,0.6,0,0.6"});
    c.BuildMenu();
    EXPECT_EQ(c.actions()[1]->text(), "UserShape Style");
    EXPECT_EQ(c.IconCount(), 104);
    EXPECT_EQ(c.Icon(102).Pixel(7, 12), clBlue); // inside the triangle
    EXPECT_EQ(c.Icon(102).Pixel(1, 2), clWhite); // beside its apex
    ASSERT_NE(c.CaptionItem("usrBar"), nullptr);
    // Rebuilding replaces every item: one "qstCircle" only.
    EXPECT_EQ(c.findChildren<QAction*>("qstCircle").size(), 1);
}

TEST(ShapeController, ItemsChangeTheShapeTheMenuIsOn)
{
    Host h(1);
    TqorShape& s = *h.shapes[0];
    h.controller.SetUserShapes({"usrTri=0.5,0,1,1,0,1"});
    h.controller.BuildMenu();
    Item(h.controller, "qstHexagon")->trigger();
    EXPECT_EQ(s.Shape(), TqorShapeType::qstHexagon);
    // A gradient direction turns the gradient on.
    EXPECT_FALSE(s.Gradient());
    Item(h.controller, "qgdLNW")->trigger();
    EXPECT_EQ(s.FillDirection(), TqorFillDirection::qgdLNW);
    EXPECT_TRUE(s.Gradient());
    Item(h.controller, "usrTri")->trigger();
    EXPECT_EQ(s.Shape(), TqorShapeType::qstUser);
    EXPECT_EQ(s.UserVectorString(), "usrTri=0.5,0,1,1,0,1");
    Item(h.controller, "bsDiagCross")->trigger();
    EXPECT_EQ(s.Brush().Style(), TBrushStyle::bsDiagCross);
    Item(h.controller, "psDot")->trigger();
    EXPECT_EQ(s.Pen().Style, TPenStyle::psDot);
    Item(h.controller, "Centered")->trigger();
    EXPECT_FALSE(s.CaptionCentered());

    // Check items follow the shape when the menu pops up, then toggle it.
    s.SetPolyLineMode(true);
    s.SetActiveMouse(false);
    s.SetMouseMode(TShapeMouseMode::mmMoveText);
    h.controller.OnPopup();
    EXPECT_TRUE(Item(h.controller, "Gradient")->isChecked());
    EXPECT_TRUE(Item(h.controller, "PolyLineMode")->isChecked());
    EXPECT_FALSE(Item(h.controller, "ActiveMouse")->isChecked());
    EXPECT_TRUE(Item(h.controller, "mmMoveText")->isChecked());
    EXPECT_TRUE(Item(h.controller, "bsDiagCross")->isChecked());
    EXPECT_FALSE(Item(h.controller, "bsSolid")->isChecked());
    EXPECT_TRUE(Item(h.controller, "psDot")->isChecked());
    EXPECT_FALSE(Item(h.controller, "qstHexagon")->isChecked());
    // The figure, the gradient direction and Centered show their state too.
    EXPECT_TRUE(Item(h.controller, "usrTri")->isChecked());
    EXPECT_TRUE(Item(h.controller, "qgdLNW")->isChecked());
    EXPECT_FALSE(Item(h.controller, "Centered")->isChecked());
    s.SetShape(TqorShapeType::qstHexagon);
    s.SetCaptionCentered(true);
    h.controller.OnPopup();
    EXPECT_TRUE(Item(h.controller, "qstHexagon")->isChecked());
    EXPECT_FALSE(Item(h.controller, "usrTri")->isChecked());
    EXPECT_TRUE(Item(h.controller, "Centered")->isChecked());
    Item(h.controller, "Gradient")->trigger();
    EXPECT_FALSE(s.Gradient());
    Item(h.controller, "ActiveMouse")->trigger();
    EXPECT_TRUE(s.ActiveMouse());

    TShapeMouseMode reported = TShapeMouseMode::mmfixed;
    h.controller.onMouseModeChanged = [&](TqorShapeController*, TShapeMouseMode m) { reported = m; };
    Item(h.controller, "mmRotateText")->trigger();
    EXPECT_EQ(s.MouseMode(), TShapeMouseMode::mmRotateText);
    EXPECT_EQ(reported, TShapeMouseMode::mmRotateText);
}

TEST(ShapeController, PromptsAndDialogsTakeOnlyWhatTheyAccept)
{
    Host h(1);
    TqorShape& s = *h.shapes[0];
    ScriptedUi ui;
    auto penSize = [&](const std::string& answer) {
        ui.AnswerInput(answer);
        Item(h.controller, "Size...")->trigger();
        return s.Pen().Width;
    };
    EXPECT_EQ(penSize("20"), 20);
    EXPECT_EQ(ui.Last().Caption, "Shape Controller");
    EXPECT_EQ(ui.Last().Prompt, "Enter Pen Size (1..20)");
    EXPECT_EQ(ui.Last().Proposed, "1");
    EXPECT_EQ(penSize("21"), 20);
    EXPECT_EQ(ui.Messages().back(), "21 is outside 1..20: the pen size stays as it was.");
    EXPECT_EQ(penSize("0"), 20);
    EXPECT_EQ(penSize("wide"), 1);
    EXPECT_EQ(ui.Messages().back(), "\"wide\" is not a whole number: the pen size is 1.");
    ui.AnswerInputCancel();
    Item(h.controller, "Size...")->trigger();
    EXPECT_EQ(s.Pen().Width, 1);

    auto angle = [&](const std::string& answer) {
        ui.AnswerInput(answer);
        Item(h.controller, "Angle")->trigger();
        return s.CaptionAngle();
    };
    EXPECT_EQ(angle("-180"), -180);
    EXPECT_EQ(ui.Last().Prompt, "Enter Caption Angle (-180..0..180)");
    EXPECT_EQ(angle("180"), 180);
    EXPECT_EQ(angle("181"), 180);
    EXPECT_EQ(angle("steep"), 0);

    ui.AnswerInput("Hello");
    Item(h.controller, "Caption...")->trigger();
    EXPECT_EQ(s.Caption(), "Hello");
    EXPECT_EQ(ui.Last().Prompt, "Enter Caption");
    // A host's caption editor replaces the prompt, and may refuse.
    h.controller.onCaptionEdit = [](TqorShapeController*, std::string& caption, bool& accept) {
        accept = caption == "Hello";
        caption = "Edited";
    };
    Item(h.controller, "Caption...")->trigger();
    EXPECT_EQ(s.Caption(), "Edited");
    Item(h.controller, "Caption...")->trigger();
    EXPECT_EQ(s.Caption(), "Edited");

    ui.AnswerInput("north");
    Item(h.controller, "ConnectorN")->trigger();
    EXPECT_EQ(s.ConnectorN, "north");
    EXPECT_EQ(ui.Last().Caption, "ShapeController");
    EXPECT_EQ(ui.Last().Prompt, "Enter ConnectorN");

    ui.AnswerColor(clRed);
    Item(h.controller, "Brush Color...")->trigger();
    EXPECT_EQ(s.Brush().Color(), clRed);
    ui.AnswerColorCancel();
    Item(h.controller, "Gradient Color...")->trigger();
    EXPECT_EQ(s.GradientColor(), clBlack);
    ui.AnswerColor(clLime);
    Item(h.controller, "Color...")->trigger();
    EXPECT_EQ(s.Pen().Color, clLime);
    ui.AnswerFont({"Times New Roman", 14, fsItalic, clNavy});
    Item(h.controller, "Font...")->trigger();
    EXPECT_EQ(s.Font().Name, "Times New Roman");
    EXPECT_EQ(s.Font().Size(), 14);
    EXPECT_EQ(s.Font().Style, unsigned(fsItalic));
    EXPECT_EQ(s.Font().Color, clNavy);
    EXPECT_EQ(ui.PendingAnswers(), 0);
    EXPECT_TRUE(ui.Unanswered().empty());
}

TEST(ShapeController, ShiftClickSelectsShapesAndGroups)
{
    Host h(3);
    TqorShape& a = *h.shapes[0];
    TqorShape* selected = nullptr;
    h.controller.onShapeSelected = [&](TqorShapeController*, TqorShape* s) { selected = s; };
    ShiftClick(a);
    EXPECT_TRUE(a.Selected());
    EXPECT_EQ(selected, &a);
    EXPECT_EQ(h.controller.SelectedShapes(), std::vector<TqorShape*>{&a});
    EXPECT_EQ(CountOf(a.Snapshot(), clRed), 36); // the red mark
    ShiftClick(a);
    EXPECT_FALSE(a.Selected());
    EXPECT_TRUE(h.controller.SelectedShapes().empty());

    // A grouped shape is selected through the registered shapes: none registered, nothing.
    for (TqorShape* s : h.shapes)
        s->GroupName = "pair";
    h.shapes[2]->GroupName = "other";
    ShiftClick(a);
    EXPECT_FALSE(a.Selected());
    EXPECT_TRUE(h.controller.SelectedShapes().empty());
    for (TqorShape* s : h.shapes)
        h.controller.RegisterShape(s);
    ShiftClick(*h.shapes[1]);
    EXPECT_EQ(h.controller.SelectedShapes(), (std::vector<TqorShape*>{h.shapes[0], h.shapes[1]}));
    EXPECT_TRUE(a.Selected());
    EXPECT_FALSE(h.shapes[2]->Selected());
    ShiftClick(a);
    EXPECT_TRUE(h.controller.SelectedShapes().empty());
    EXPECT_FALSE(h.shapes[1]->Selected());

    // Without ActiveMouse a shift+click selects nothing.
    h.shapes[2]->SetActiveMouse(false);
    ShiftClick(*h.shapes[2]);
    EXPECT_TRUE(h.controller.SelectedShapes().empty());
}

TEST(ShapeController, AlignsSizesAndNamesTheSelection)
{
    Host h(3);
    for (TqorShape* s : h.shapes)
        h.controller.ToggleShapeSelection(s);
    // Reference: the first selected, (10, 10) 50 x 40. Others (90, 30) 60 x 45, (170, 50) 70 x 50.
    Item(h.controller, "Right")->trigger();
    EXPECT_EQ(h.shapes[1]->BoundsRect(), TRect(0, 30, 60, 75));
    EXPECT_EQ(h.shapes[2]->BoundsRect(), TRect(-10, 50, 60, 100));
    Item(h.controller, "Equal Width")->trigger();
    Item(h.controller, "Equal Height")->trigger();
    EXPECT_EQ(h.shapes[2]->BoundsRect(), TRect(-10, 50, 40, 90));
    EXPECT_EQ(h.shapes[0]->BoundsRect(), TRect(10, 10, 60, 50));

    ScriptedUi ui;
    h.shapes[0]->GroupName = "first";
    ui.AnswerInput("team");
    Item(h.controller, "GroupName")->trigger();
    EXPECT_EQ(ui.Last().Proposed, "first");
    EXPECT_EQ(ui.Last().Prompt, "Enter Groupname");
    for (TqorShape* s : h.shapes)
        EXPECT_EQ(s->GroupName, "team");
}

TEST(ShapeController, DraggingMovesTheSelectionAndPullsConnectedShapes)
{
    Host h(3);
    TqorShape& a = *h.shapes[0]; // (10, 10) 50 x 40
    TqorShape& b = *h.shapes[1]; // (90, 30) 60 x 45
    TqorShape& c = *h.shapes[2]; // (170, 50) 70 x 50
    for (TqorShape* s : h.shapes)
        h.controller.RegisterShape(s);
    h.controller.MouseModeController = true;
    h.controller.MouseMode = TShapeMouseMode::mmMoveObject;
    h.controller.ToggleShapeSelection(&a);
    h.controller.ToggleShapeSelection(&b);
    c.GroupName = "bar";
    a.ConnectorE = "bar";
    // Drag a by (5, 3): b follows; c's left edge follows a's right edge (65), its right
    // edge stays at 240.
    const QPoint from(10, 10), to(15, 13);
    QMouseEvent press(QEvent::MouseButtonPress, from, a.mapToGlobal(from), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&a, &press);
    QMouseEvent move(QEvent::MouseMove, to, a.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&a, &move);
    EXPECT_EQ(a.BoundsRect(), TRect(15, 13, 65, 53));
    EXPECT_EQ(b.BoundsRect(), TRect(95, 33, 155, 78));
    EXPECT_EQ(c.BoundsRect(), TRect(65, 50, 240, 100));
}

TEST(ShapeController, DeletesOnlyRegisteredSelectedShapesAndKeepsZOrderBookkeeping)
{
    Host h(3);
    QPointer<TqorShape> a = h.shapes[0], b = h.shapes[1], c = h.shapes[2];
    h.controller.RegisterShape(a);
    h.controller.RegisterShape(b);
    h.controller.SetPopupComponent(a);
    Item(h.controller, "BringToFront")->trigger();
    EXPECT_EQ(h.controller.Shapes(), (std::vector<TqorShape*>{b, a}));
    Item(h.controller, "SendToBack")->trigger();
    EXPECT_EQ(h.controller.Shapes(), (std::vector<TqorShape*>{a, b}));

    h.controller.ToggleShapeSelection(a);
    h.controller.ToggleShapeSelection(c);
    int deletedEvents = 0;
    h.controller.onShapeDeleted = [&](TqorShapeController*) { ++deletedEvents; };
    Item(h.controller, "Delete Object")->trigger();
    EXPECT_TRUE(a.isNull());
    EXPECT_FALSE(c.isNull());
    EXPECT_TRUE(c->Selected()); // not registered: stays, still marked
    EXPECT_TRUE(h.controller.SelectedShapes().empty());
    EXPECT_EQ(h.controller.Shapes(), std::vector<TqorShape*>{b});
    EXPECT_EQ(deletedEvents, 1);
    EXPECT_EQ(h.controller.PopupComponent(), nullptr);
    // A shape destroyed by its owner leaves the lists.
    delete b.data();
    EXPECT_TRUE(h.controller.Shapes().empty());
}

TEST(ShapeController, DemoHostStampsItsShapesOntoThePicture)
{
    TShapesDemoF form;
    const std::vector<TqorShape*> shapes = form.Shapes();
    ASSERT_GE(shapes.size(), 5u);
    EXPECT_EQ(form.Controller()->Shapes().size(), shapes.size());
    EXPECT_TRUE(form.Controller()->MouseModeController);
    Item(form, "btnosize")->trigger();
    EXPECT_EQ(form.Controller()->MouseMode, TShapeMouseMode::mmSizeObject);
    const TBitmap before = form.Pic()->Picture();
    Item(form, "ToolButton12")->trigger();
    const TBitmap& after = form.Pic()->Picture();
    TqorShape* circle = shapes[0];
    const QPoint c = circle->geometry().center() - form.Pic()->pos();
    EXPECT_NE(after.Pixel(c.x(), c.y()), before.Pixel(c.x(), c.y()));
    EXPECT_EQ(after.Pixel(2, 395), before.Pixel(2, 395)); // no shape down there
    Item(form, "btnclear")->trigger();
    EXPECT_TRUE(form.Pic()->Picture() == before);
}

TEST(ShapeController, ItemsShowReadableNamesAndKeepTheCodeNames)
{
    Host h(1);
    // Item (found by the value's own name, as scripts and anivor-cli spell it) and the
    // text the menu shows.
    const std::pair<const char*, const char*> items[] = {
        {"qstTriangleRight", "Triangle Right"}, {"qstUBarUp", "U Bar Up"},   {"qst4Point", "4 Point"},
        {"qstflower", "Flower"},                {"qst2HoleHoriz", "2 Hole Horiz"}, {"qstDoubleOvalV", "Double Oval V"},
        {"qstIBar", "I Bar"},                   {"qgdRCMix", "RC Mix"},      {"qgdNWSE", "NWSE"},
        {"qgdHorizCenter", "Horiz Center"},     {"mmfixed", "Fixed"},        {"mmRotateText", "Rotate Text"},
        {"bsDiagCross", "Diag Cross"},          {"psDashDotDot", "Dash Dot Dot"}};
    for (const auto& [name, text] : items) {
        QAction* a = Item(h.controller, name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->text().toStdString(), text) << name;
        EXPECT_EQ(h.controller.CaptionItem(name), a) << name;
    }
    // No item of the menu shows a code name.
    const QRegularExpression codeName("^(qst|qgd|mm|bs|ps)");
    for (QAction* a : h.controller.findChildren<QAction*>())
        EXPECT_FALSE(codeName.match(a->text()).hasMatch()) << a->text().toStdString();
}
