// The actors' place in the frame editor: the three actor views in the scroll box, shown
// magnified with the picture and placed in picture pixels, dragged with the mouse (a
// Ctrl-release records the place into the actor path, a Shift-release empties it), and
// the array button `qorArrayButton1` whose rows are the actors and whose columns load,
// show/hide and paint them.
#include "DrawForm.h"

#include "DrawWidgets.h"

#include "platform/AppDir.h"
#include "platform/CommandGuard.h"
#include "widgets/ArrayButton.h"

void TDrawF::createActors()
{
    TActorView** views[TActors::kCount] = {&actor, &actor2, &actor3};
    const char* names[TActors::kCount] = {"actor", "actor2", "actor3"};
    for (int i = 0; i < TActors::kCount; ++i) {
        auto* v = new TActorView(ScrollContent);
        v->setObjectName(names[i]);
        *views[i] = v;
        v->OnMouseDown = [this, v, i](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
            if (button != Qt::LeftButton)
                return;
            v->raise();
            m_actors.Press(i, TPoint(x, y));
        };
        v->OnMouseMove = [this, i](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            m_actors.Move(i, TPoint(x, y));
        };
        v->OnMouseUp = [this, i](Qt::MouseButton, Qt::KeyboardModifiers modifiers, int, int) {
            m_actors.Release(i, (modifiers & Qt::ShiftModifier) != 0, (modifiers & Qt::ControlModifier) != 0);
            // The path may have changed: its markers and count follow.
            pic->update();
            UpdateCommands();
        };
        syncActor(i);
    }
    m_actors.OnChange = [this](int i) { syncActor(i); };

    qorArrayButton1->setRows(3);
    qorArrayButton1->setCols(3);
    qorArrayButton1->SetCaptions({"L1", "S1", "P1", "L2", "S2", "P2", "L3", "S3", "P3"});
    qorArrayButton1->SetHints({"Load actor 1", "Show actor 1", "Paint actor 1", "Load actor 2", "Show actor 2",
                               "Paint actor 2", "Load actor 3", "Show actor 3", "Paint actor 3"});
    qorArrayButton1->SetBackColors(std::vector<std::string>(9, "clbtnface"));
    qorArrayButton1->SetHint("Actor controls");
    qorArrayButton1->SetShowHint(true);
    qorArrayButton1->onArrayButtonClicked = [this](int ACol, int ARow) {
        RunGuarded([&] { qorArrayButton1ArrayButtonClicked(ACol, ARow); });
    };
}

void TDrawF::qorArrayButton1ArrayButtonClicked(int ACol, int ARow)
{
    if (ARow < 0 || ARow >= TActors::kCount)
        return;
    switch (ACol) {
    case 0:
        if (m_actors.Load(ARow, AppDir()))
            m_actors.PlaceOnPicture(ARow, m_picture.Bitmap().Width(), m_picture.Bitmap().Height());
        break;
    case 1: m_actors.ToggleVisible(ARow); break;
    case 2: paintActor(ARow); break;
    default: break;
    }
}

TActorView* TDrawF::actorView(int i) const
{
    TActorView* views[TActors::kCount] = {actor, actor2, actor3};
    return views[i];
}

void TDrawF::syncActor(int i)
{
    TActorView* v = actorView(i);
    const TActor& a = m_actors[i];
    // While dragging only the place changes; otherwise the picture may be a new one.
    if (a.Tag == 0)
        v->SetPicture(a.Picture);
    v->SetZoom(m_zoom.K);
    v->move(pic->pos() + QPoint(m_zoom.ToView(a.Position.X), m_zoom.ToView(a.Position.Y)));
    v->setVisible(a.Visible);
    if (a.Visible && a.Tag == 0)
        v->raise();
    updateContentSize();
}

void TDrawF::paintActor(int i)
{
    if (m_tools.Pressed())
        return;
    const TRect area = m_actors.Paint(i, m_picture.Picture());
    if (area.IsEmpty())
        return;
    m_picture.Changed(area);
    m_picture.Commit("Paint Actor");
}
