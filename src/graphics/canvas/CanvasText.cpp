// Text output, text extents and rotated text.
#include "CanvasPrivate.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstdlib>
#include <limits>

using namespace canvasdetail;

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    if (text.empty() || !prepareSurface())
        return;
    const QFont font = ToQFont(Font);
    const QFontMetrics fm(font);
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, false);
    if (Brush.Style() == TBrushStyle::bsSolid)
        p.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(Brush.Color()));
    p.setFont(font);
    p.setPen(ToQColor(Font.Color));
    p.drawText(QPoint(x, y + fm.ascent()), s);
}

int TCanvas::DrawText(TRect& rect, const std::string& text, unsigned format)
{
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QFont font = ToQFont(Font);
    int flags = Qt::AlignTop;
    flags |= (format & dtRight) ? Qt::AlignRight : (format & dtCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
    if (format & dtWordBreak)
        flags |= Qt::TextWordWrap;
    const QRect box(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
    if (format & dtCalcRect) {
        if (s.isEmpty()) {
            rect.Right = rect.Left;
            rect.Bottom = rect.Top;
            return 0;
        }
        // Measured in a box as high as needed: only the width limits the layout.
        const QRect room(box.left(), box.top(), box.width(), std::numeric_limits<int>::max() / 4);
        const QRect used = QFontMetrics(font).boundingRect(room, flags, s);
        rect.Right = rect.Left + used.width();
        rect.Bottom = rect.Top + used.height();
        return used.height();
    }
    if (s.isEmpty() || !prepareSurface())
        return 0;
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, false);
    p.setFont(font);
    p.setPen(ToQColor(Font.Color));
    QRect used;
    p.drawText(box, flags, s, &used);
    return used.height();
}

int TCanvas::TextWidth(const std::string& text)
{
    if (text.empty())
        return 0;
    const QFontMetrics fm(ToQFont(Font));
    return fm.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int TCanvas::TextHeight(const std::string&)
{
    return QFontMetrics(ToQFont(Font)).height();
}

void TCanvas::TextOutRotated(int x, int y, const std::string& text, int escapement)
{
    if (text.empty() || !prepareSurface())
        return;
    // The rotated font selects by cell height and never strikes out.
    const QFont font = ToQFontWithHeight(Font, std::abs(Font.Height()), false);
    const QFontMetrics fm(font);
    QImage img = ImageOf(*m_bitmap);
    QPainter p(&img);
    setupPainter(p, false);
    p.translate(x, y);
    // Escapement runs counter-clockwise; Qt turns clockwise on a y-down surface.
    p.rotate(-escapement / 10.0);
    p.setFont(font);
    p.setPen(ToQColor(Font.Color));
    p.drawText(QPoint(0, fm.ascent()), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}
