#include "DialogConversions.h"

#include <QFontInfo>

namespace {

QString patternsOf(const QString& list)
{
    QStringList patterns;
    for (QString p : list.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p == QLatin1String("*.*"))
            p = QStringLiteral("*");
        if (!p.isEmpty())
            patterns << p;
    }
    return patterns.join(QLatin1Char(' '));
}

} // namespace

QStringList QtNameFilters(const std::vector<std::string>& filters)
{
    QStringList out;
    for (const std::string& entry : filters) {
        const QStringList parts = QString::fromStdString(entry).split(QLatin1Char('|'));
        if (parts.size() == 1) {
            // A bare pattern list without a description.
            const QString p = patternsOf(parts[0]);
            if (!p.isEmpty())
                out << p;
            continue;
        }
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            const QString description = parts[i].trimmed();
            const QString p = patternsOf(parts[i + 1]);
            if (p.isEmpty())
                continue;
            // A description that already shows its patterns, "AVI file (*.avi)", stays as it is.
            if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('(')))
                out << description;
            else
                out << (description.isEmpty() ? p : description + QStringLiteral(" (") + p + QLatin1Char(')'));
        }
    }
    return out;
}

QColor ToQColor(TColor c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromQColor(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return RGB(rgb.red(), rgb.green(), rgb.blue());
}

QFont ToQFont(const TFontChoice& choice)
{
    QFont f(QString::fromStdString(choice.Name));
    if (choice.Size > 0)
        f.setPointSize(choice.Size);
    f.setBold((choice.Style & 1) != 0);
    f.setItalic((choice.Style & 2) != 0);
    f.setUnderline((choice.Style & 4) != 0);
    f.setStrikeOut((choice.Style & 8) != 0);
    return f;
}

TFontChoice FromQFont(const QFont& font, TColor color)
{
    TFontChoice c;
    c.Name = font.family().toStdString();
    c.Size = font.pointSize() > 0 ? font.pointSize() : static_cast<int>(font.pointSizeF() + 0.5);
    c.Style = (font.bold() ? 1u : 0u) | (font.italic() ? 2u : 0u) | (font.underline() ? 4u : 0u)
        | (font.strikeOut() ? 8u : 0u);
    c.Color = color;
    return c;
}

TFontDialogStart FontDialogStart(const TFontChoice& choice)
{
    TFontDialogStart start{ToQFont(choice), {}};
    const QString wanted = start.Font.family();
    const QString installed = QFontInfo(start.Font).family();
    if (!wanted.isEmpty() && !installed.isEmpty() && installed.compare(wanted, Qt::CaseInsensitive) != 0) {
        start.Font.setFamily(installed);
        start.Note = wanted + QStringLiteral(" is not installed: ") + installed + QStringLiteral(" stands in");
    }
    return start;
}

TFontChoice FontDialogAnswer(const TFontChoice& initial, const QFont& start, const QFont& chosen)
{
    const TFontChoice a = FromQFont(start, initial.Color), b = FromQFont(chosen, initial.Color);
    if (QString::fromStdString(a.Name).compare(QString::fromStdString(b.Name), Qt::CaseInsensitive) == 0 && a.Size == b.Size
        && a.Style == b.Style)
        return initial;
    return b;
}
