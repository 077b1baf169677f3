#include "ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A frame as the strip shows it: a small white page with a dark edge.
void page(QPainter& p, QRectF r, QColor fill = Qt::white)
{
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(fill);
    p.drawRect(r);
}

void plus(QPainter& p, QPointF c, QColor color = QColor(0, 140, 0))
{
    p.setPen(QPen(color, 2));
    p.drawLine(c + QPointF(-3, 0), c + QPointF(3, 0));
    p.drawLine(c + QPointF(0, -3), c + QPointF(0, 3));
}

void triangle(QPainter& p, QPointF a, QPointF b, QPointF c, QColor color)
{
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    p.fillPath(path, color);
}

} // namespace

const char* WizardGlyph(int mouseX, int buttonLeft)
{
    return mouseX < buttonLeft + 12 ? "wizards" : "wizards-hot";
}

QIcon ToolbarIcon(const QString& name)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (name == "animation.new") {
        page(p, QRectF(4.5, 2.5, 11, 15));
        plus(p, QPointF(10, 10));
    } else if (name == "animation.open") {
        p.setPen(QPen(QColor(120, 90, 0), 1));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(2.5, 6.5, 15, 10));
        p.drawRect(QRectF(2.5, 4.5, 6, 2));
    } else if (name == "frame.new") {
        page(p, QRectF(2.5, 5.5, 13, 9));
        plus(p, QPointF(15, 5));
    } else if (name == "frame.edit") {
        page(p, QRectF(2.5, 5.5, 13, 9));
        p.setPen(QPen(QColor(0, 0, 160), 2));
        p.drawLine(QPointF(8, 16), QPointF(17, 4));
    } else if (name == "effects") {
        page(p, QRectF(2.5, 5.5, 15, 10), QColor(200, 230, 255));
        p.setPen(QPen(QColor(160, 0, 160), 1.5));
        p.drawText(QRectF(2, 5, 16, 11), Qt::AlignCenter, "fx");
    } else if (name == "image.duplicate") {
        page(p, QRectF(2.5, 3.5, 11, 8));
        page(p, QRectF(6.5, 8.5, 11, 8), QColor(220, 220, 220));
    } else if (name == "frame.delete") {
        page(p, QRectF(2.5, 5.5, 13, 9));
        p.setPen(QPen(QColor(200, 0, 0), 2));
        p.drawLine(QPointF(12, 2), QPointF(18, 8));
        p.drawLine(QPointF(18, 2), QPointF(12, 8));
    } else if (name == "frame.delay") {
        p.setPen(QPen(QColor(40, 40, 40), 1.2));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(2.5, 2.5, 15, 15));
        p.drawLine(QPointF(10, 10), QPointF(10, 5));
        p.drawLine(QPointF(10, 10), QPointF(14, 10));
    } else if (name == "wizards" || name == "wizards-hot") {
        // The hot glyph: the wand's star lit, with sparks.
        const bool hot = name == "wizards-hot";
        p.setPen(QPen(QColor(90, 60, 0), 2));
        p.drawLine(QPointF(4, 17), QPointF(12, 8));
        triangle(p, QPointF(14, 2), QPointF(17, 9), QPointF(10, 6), hot ? QColor(255, 120, 0) : QColor(230, 180, 0));
        if (hot) {
            p.setPen(QPen(QColor(255, 200, 0), 1.5));
            p.drawLine(QPointF(18, 12), QPointF(19, 15));
            p.drawLine(QPointF(7, 3), QPointF(9, 5));
            p.drawLine(QPointF(17, 0.5), QPointF(19, 2));
        }
    } else if (name == "animation.stop") {
        p.fillRect(QRectF(5, 5, 10, 10), QColor(190, 0, 0));
    } else if (name == "wizard.insert") {
        page(p, QRectF(2.5, 10.5, 6, 7));
        page(p, QRectF(11.5, 10.5, 6, 7));
        triangle(p, QPointF(6, 2), QPointF(14, 2), QPointF(10, 8), QColor(0, 120, 200));
    } else if (name == "animation.create") {
        triangle(p, QPointF(5, 3), QPointF(16, 10), QPointF(5, 17), QColor(0, 150, 0));
    } else if (name == "animation.create-selection") {
        triangle(p, QPointF(3, 4), QPointF(11, 10), QPointF(3, 16), QColor(0, 150, 0));
        triangle(p, QPointF(10, 4), QPointF(18, 10), QPointF(10, 16), QColor(0, 150, 0));
    } else {
        return QIcon();
    }
    p.end();
    return QIcon(pm);
}
