#include "WindowPlacement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int kStep = 24;

} // namespace

QRect PlaceOverOwner(QSize size, const QRect& owner, const QRect& screen, const std::vector<QRect>& taken, const QRect& avoid)
{
    QRect r(QPoint(0, 0), size);
    r.moveCenter(owner.center());
    if (!avoid.isEmpty() && r.intersects(avoid)) {
        if (avoid.bottom() + 1 + r.height() <= screen.bottom() + 1)
            r.moveTop(avoid.bottom() + 1);
        else if (avoid.top() - r.height() >= screen.top())
            r.moveBottom(avoid.top() - 1);
        else
            r.moveBottom(screen.bottom()); // covers as little of it as the screen allows
    }
    for (int tries = 0; tries < 64; ++tries) {
        const bool onAnother =
            std::any_of(taken.begin(), taken.end(), [&](const QRect& t) { return t.topLeft() == r.topLeft(); });
        if (!onAnother)
            break;
        r.translate(kStep, kStep);
    }
    if (!screen.isEmpty()) {
        r.moveLeft(std::clamp(r.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - r.width())));
        r.moveTop(std::clamp(r.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - r.height())));
    }
    return r;
}

void PlaceWindow(QWidget& window, const QWidget& owner, const QRect& avoid)
{
    std::vector<QRect> taken;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != &window && w != &owner && w->isVisible())
            taken.push_back(w->frameGeometry());
    const QScreen* screen = owner.screen() ? owner.screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    // The frame is what the user sees; before the first show it is the client size.
    const QSize frame = window.frameGeometry().size().expandedTo(window.size());
    const QRect place = PlaceOverOwner(frame, owner.frameGeometry(), area, taken, avoid);
    window.move(place.topLeft());
}

void PlaceWindowOnce(QWidget& window, const QWidget& owner)
{
    if (window.property("anivorPlaced").toBool())
        return;
    window.setProperty("anivorPlaced", true);
    PlaceWindow(window, owner);
}
