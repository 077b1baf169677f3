// Text output, text extents and rotated text.
#include "CanvasPrivate.h"

#include <QFontMetrics>

#include <cstdlib>

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
