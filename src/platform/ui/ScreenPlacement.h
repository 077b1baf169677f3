// Where a window with a stored placement opens: where it was, when its title bar still
// meets a screen; otherwise on the screen nearest to where it was (a screen that was
// unplugged, a layout that changed), kept within that screen.
#pragma once

#include <QList>
#include <QRect>

// `screens`: the screens' available areas.
QRect PlaceOnScreens(const QRect& stored, const QList<QRect>& screens);
// Over the desktop's screens; as stored when there are none (offscreen).
QRect PlaceOnScreens(const QRect& stored);
