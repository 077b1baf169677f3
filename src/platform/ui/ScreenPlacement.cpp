#include "ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace {

// The strip at the top of a window by which it can be grabbed and moved.
constexpr int kTitleBar = 30;

qint64 distanceSquared(const QRect& a, const QRect& b)
{
    const qint64 dx = std::max<qint64>({0, qint64(b.left()) - a.right(), qint64(a.left()) - b.right()});
    const qint64 dy = std::max<qint64>({0, qint64(b.top()) - a.bottom(), qint64(a.top()) - b.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

QRect PlaceOnScreens(const QRect& stored, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return stored;
    const QRect titleBar(stored.left(), stored.top(), stored.width(), std::min(stored.height(), kTitleBar));
    for (const QRect& s : screens)
        if (s.intersects(titleBar))
            return stored;
    const QRect* nearest = &screens.front();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& s : screens)
        if (const qint64 d = distanceSquared(stored, s); d < best) {
            best = d;
            nearest = &s;
        }
    const QSize size(std::min(stored.width(), nearest->width()), std::min(stored.height(), nearest->height()));
    const int left = std::clamp(stored.left(), nearest->left(), nearest->right() + 1 - size.width());
    const int top = std::clamp(stored.top(), nearest->top(), nearest->bottom() + 1 - size.height());
    return QRect(QPoint(left, top), size);
}

QRect PlaceOnScreens(const QRect& stored)
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return PlaceOnScreens(stored, areas);
}
