#include "DrawIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <tuple>

namespace {

const QColor kInk(30, 30, 30);
const QColor kBlue(20, 70, 190);
const QColor kRed(200, 20, 20);

void pen(QPainter& p, QColor c, double w = 1.2)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
}

void arrow(QPainter& p, bool back)
{
    pen(p, kBlue, 1.8);
    QPainterPath path;
    if (back) {
        path.moveTo(14, 13);
        path.cubicTo(14, 5, 6, 4, 4, 9);
        p.drawPath(path);
        p.drawLine(QPointF(4, 9), QPointF(3, 5));
        p.drawLine(QPointF(4, 9), QPointF(8, 9));
    } else {
        path.moveTo(2, 13);
        path.cubicTo(2, 5, 10, 4, 12, 9);
        p.drawPath(path);
        p.drawLine(QPointF(12, 9), QPointF(13, 5));
        p.drawLine(QPointF(12, 9), QPointF(8, 9));
    }
}

} // namespace

QIcon DrawIcon(const QString& name)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (name == "editor.pointer") {
        QPainterPath path;
        path.moveTo(4, 1);
        path.lineTo(4, 14);
        path.lineTo(7, 11);
        path.lineTo(10, 15);
        path.lineTo(12, 14);
        path.lineTo(9, 10);
        path.lineTo(13, 10);
        path.closeSubpath();
        p.fillPath(path, Qt::white);
        pen(p, kInk, 1);
        p.drawPath(path);
    } else if (name == "editor.rectangle") {
        pen(p, kInk, 1.5);
        p.drawRect(QRectF(2.5, 3.5, 11, 9));
    } else if (name == "editor.line") {
        pen(p, kInk, 1.6);
        p.drawLine(QPointF(2, 14), QPointF(14, 2));
    } else if (name == "editor.ellipse") {
        pen(p, kInk, 1.5);
        p.drawEllipse(QRectF(1.5, 3.5, 13, 9));
    } else if (name == "editor.round-rectangle") {
        pen(p, kInk, 1.5);
        p.drawRoundedRect(QRectF(2.5, 3.5, 11, 9), 3, 3);
    } else if (name == "editor.freehand") {
        pen(p, kInk, 1.5);
        QPainterPath path;
        path.moveTo(2, 12);
        path.cubicTo(5, 2, 8, 16, 14, 4);
        p.drawPath(path);
    } else if (name == "editor.flood-fill") {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(240, 240, 240));
        p.drawPolygon(QPolygonF({QPointF(3, 8), QPointF(8, 3), QPointF(13, 8), QPointF(8, 13)}));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawEllipse(QRectF(11, 9, 4, 6));
    } else if (name == "editor.select") {
        p.setPen(QPen(kInk, 1, Qt::DotLine));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
    } else if (name == "editor.paste") {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(200, 160, 90));
        p.drawRect(QRectF(2.5, 3.5, 9, 11));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 6.5, 8, 8));
    } else if (name == "editor.color-dropper") {
        pen(p, kInk, 1.5);
        p.drawLine(QPointF(3, 13), QPointF(10, 6));
        p.setBrush(kInk);
        p.drawEllipse(QRectF(9, 2, 5, 5));
    } else if (name == "editor.erase-frame") {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(250, 190, 200));
        p.drawPolygon(QPolygonF({QPointF(2, 10), QPointF(8, 4), QPointF(14, 10), QPointF(10, 14), QPointF(6, 14)}));
    } else if (name == "editor.clear-brush") {
        p.setPen(QPen(kInk, 1));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        pen(p, kRed, 1.2);
        p.drawLine(QPointF(3, 13), QPointF(13, 3));
    } else if (name == "editor.solid-brush") {
        p.setPen(QPen(kInk, 1));
        p.setBrush(kBlue);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
    } else if (name == "editor.text-gadget") {
        QFont f("Liberation Serif");
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kRed);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "A");
    } else if (name == "editor.gradient-gadget") {
        QLinearGradient g(0, 0, 0, 16);
        g.setColorAt(0, QColor(255, 255, 0));
        g.setColorAt(1, QColor(255, 0, 0));
        QFont f("Liberation Serif");
        f.setPixelSize(15);
        f.setBold(true);
        f.setItalic(true);
        QPainterPath path;
        path.addText(2, 13, f, "G");
        p.fillPath(path, g);
        p.strokePath(path, QPen(kInk, 0.5));
    } else if (name == "editor.smart-gadget") {
        p.setPen(QPen(kInk, 1));
        QLinearGradient g(0, 0, 16, 16);
        g.setColorAt(0, QColor(120, 200, 255));
        g.setColorAt(1, kBlue);
        p.setBrush(g);
        p.drawPolygon(QPolygonF({QPointF(8, 1), QPointF(15, 8), QPointF(8, 15), QPointF(1, 8)}));
    } else if (name == "editor.shape-move" || name == "editor.shape-move-text") {
        pen(p, name == "editor.shape-move" ? kInk : kBlue, 1.3);
        p.drawLine(QPointF(8, 1), QPointF(8, 15));
        p.drawLine(QPointF(1, 8), QPointF(15, 8));
        for (const auto& [a, b, c] : {std::tuple{QPointF(5, 4), QPointF(8, 1), QPointF(11, 4)},
                                      std::tuple{QPointF(5, 12), QPointF(8, 15), QPointF(11, 12)},
                                      std::tuple{QPointF(4, 5), QPointF(1, 8), QPointF(4, 11)},
                                      std::tuple{QPointF(12, 5), QPointF(15, 8), QPointF(12, 11)}})
            p.drawPolyline(QPolygonF({a, b, c}));
    } else if (name == "editor.shape-size") {
        p.setPen(QPen(kInk, 1, Qt::DotLine));
        p.drawRect(QRectF(1.5, 1.5, 9, 9));
        pen(p, kInk, 1.3);
        p.drawLine(QPointF(7, 7), QPointF(14, 14));
        p.drawPolyline(QPolygonF({QPointF(10, 14), QPointF(14, 14), QPointF(14, 10)}));
    } else if (name == "editor.shape-rotate-text") {
        pen(p, kBlue, 1.4);
        p.drawArc(QRectF(2, 2, 12, 12), 30 * 16, 270 * 16);
        p.drawPolyline(QPolygonF({QPointF(10, 2), QPointF(13, 4), QPointF(11, 7)}));
    } else if (name == "editor.shape-size-to-frame") {
        p.setPen(QPen(kInk, 1));
        p.drawRect(QRectF(0.5, 0.5, 15, 15));
        p.setBrush(QColor(120, 200, 255));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
    } else if (name == "editor.shape-paint") {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(120, 200, 255));
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        pen(p, kRed, 1.8);
        p.drawLine(QPointF(8, 14), QPointF(14, 8));
    } else if (name == "editor.undo") {
        arrow(p, true);
    } else if (name == "editor.redo") {
        arrow(p, false);
    }
    p.end();
    return QIcon(pm);
}
