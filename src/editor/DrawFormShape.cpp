// The smart shape's place in the frame editor: the gadget `qorShape1`, its show/hide
// button, its four mouse modes, "Size to frame" and "Paint shape". Until the smart shape
// control is in the program they are present and disabled.
#include "DrawForm.h"

#include <QAction>
#include <QActionGroup>

void TDrawF::createShapeActions()
{
    action("btnsmartshape", "Display/Hide smart gadget", nullptr);
    m_shapeModeGroup = new QActionGroup(this);
    for (const auto& [name, hint] : {std::pair{"btnomove", "Move shape"}, std::pair{"btnosize", "Size shape"},
                                     std::pair{"btntmove", "Move shape text"},
                                     std::pair{"btntextrotate", "Rotate shape text"}}) {
        QAction* a = action(name, hint, nullptr);
        a->setCheckable(true);
        m_shapeModeGroup->addAction(a);
    }
    Action("btnomove")->setChecked(true);
    action("ToolButton2", "Size to frame", nullptr);
    action("ToolButton12", "Paint shape", nullptr);
}

void TDrawF::createShape()
{
    qorShape1 = new QWidget(ScrollContent);
    qorShape1->setObjectName("qorShape1");
    qorShape1->hide();
}
