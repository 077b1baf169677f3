// The smart shape's place in the frame editor: the gadget `qorShape1` with its controller
// `qorShapeController1` as popup menu, its show/hide button, its four mouse modes, "Size to
// frame" and "Paint shape".
#include "DrawForm.h"

#include "DrawWidgets.h"

#include "shapes/ui/ShapeController.h"
#include "shapes/ui/ShapeWidget.h"


void TDrawF::createShapeActions()
{
    TCommandTable& t = m_commands;
    t.Add({.Id = "editor.smart-gadget", .Caption = "Display/Hide smart gadget", .Hint = "Display/Hide smart gadget",
           .Handler = [this] { toggleGadget(qorShape1); }});
    // The four mouse modes show the shape's mode as their check mark.
    for (const auto& [id, hint, mode] :
         {std::tuple{"editor.shape-move", "Move shape", TShapeMouseMode::mmMoveObject},
          std::tuple{"editor.shape-size", "Size shape", TShapeMouseMode::mmSizeObject},
          std::tuple{"editor.shape-move-text", "Move shape text", TShapeMouseMode::mmMoveText},
          std::tuple{"editor.shape-rotate-text", "Rotate shape text", TShapeMouseMode::mmRotateText}}) {
        const TShapeMouseMode m = mode;
        t.Add({.Id = id, .Caption = hint, .Hint = hint, .Checked = [this, m] { return qorShape1 && qorShape1->MouseMode() == m; },
               .Handler = [this, m] { qorShape1->SetMouseMode(m); }});
    }
    t.Add({.Id = "editor.shape-size-to-frame", .Caption = "Size to frame", .Hint = "Size to frame", .Handler = [this] {
               qorShape1->SetBounds(0, 0, pic->width(), pic->height());
               updateContentSize();
           }});
    t.Add({.Id = "editor.shape-paint", .Caption = "Paint shape", .Hint = "Paint shape", .Handler = [this] {
               qorShape1->PaintOnCanvas(m_picture.Canvas(), qorShape1->x() - pic->x(), qorShape1->y() - pic->y(), 1.0, 1.0);
               m_picture.ChangedAll();
               m_picture.Commit(m_commands["editor.shape-paint"].StepName());
           }, .UndoName = "Paint Shape"});
}

void TDrawF::createShape()
{
    qorShape1 = new TqorShape(ScrollContent);
    qorShape1->setObjectName("qorShape1");
    qorShape1->hide();
    qorShape1->SetActiveMouse(true);
    qorShape1->SetMouseMode(TShapeMouseMode::mmMoveObject);
    TFont font = qorShape1->Font();
    font.Name = "arial";
    qorShape1->SetFont(font);
    qorShapeController1 = new TqorShapeController(this);
    qorShapeController1->setObjectName("qorShapeController1");
    qorShapeController1->BuildMenu();
    // This window has no user shapes: only the first eight items show (Shape Style,
    // GradientStyle, Gradient, Gradient Color..., Brush Color..., Brush Style, Pen, Caption).
    const QList<QAction*> items = qorShapeController1->actions();
    for (int i = 8; i < items.size(); ++i)
        items[i]->setVisible(false);
    qorShapeController1->RegisterShape(qorShape1);
    qorShape1->SetPopupMenu(qorShapeController1);
}
