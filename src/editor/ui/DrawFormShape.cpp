// The smart shape's place in the frame editor: the gadget `qorShape1` with its controller
// `qorShapeController1` as popup menu, its show/hide button, its four mouse modes, "Size to
// frame" and "Paint shape".
#include "DrawForm.h"

#include "DrawWidgets.h"

#include "shapes/ui/ShapeController.h"
#include "shapes/ui/ShapeWidget.h"

#include <QAction>
#include <QActionGroup>

void TDrawF::createShapeActions()
{
    action("btnsmartshape", "Display/Hide smart gadget", [this] { toggleGadget(qorShape1); });
    m_shapeModeGroup = new QActionGroup(this);
    for (const auto& [name, hint, mode] :
         {std::tuple{"btnomove", "Move shape", TShapeMouseMode::mmMoveObject},
          std::tuple{"btnosize", "Size shape", TShapeMouseMode::mmSizeObject},
          std::tuple{"btntmove", "Move shape text", TShapeMouseMode::mmMoveText},
          std::tuple{"btntextrotate", "Rotate shape text", TShapeMouseMode::mmRotateText}}) {
        const TShapeMouseMode m = mode;
        QAction* a = action(name, hint, [this, m] { qorShape1->SetMouseMode(m); });
        a->setCheckable(true);
        m_shapeModeGroup->addAction(a);
    }
    Action("btnomove")->setChecked(true);
    action("ToolButton2", "Size to frame", [this] {
        qorShape1->SetBounds(0, 0, pic->width(), pic->height());
        updateContentSize();
    });
    action("ToolButton12", "Paint shape", [this] {
        qorShape1->PaintOnCanvas(m_picture.Canvas(), qorShape1->x() - pic->x(), qorShape1->y() - pic->y(), 1.0, 1.0);
        m_picture.ChangedAll();
        m_picture.Commit("Paint Shape");
    });
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
