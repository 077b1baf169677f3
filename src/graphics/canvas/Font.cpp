// Font sizes, the font names the program uses and the Qt fonts the canvas draws text with.
#include "CanvasPrivate.h"

#include "graphics/Exception.h"
#include "graphics/NumberRules.h"

#include <QGuiApplication>
#include <QFontMetricsF>

#include <algorithm>
#include <cctype>
#include <cmath>

int TFont::Size() const
{
    return -MulDiv(m_height, 72, kPixelsPerInch);
}

void TFont::SetSize(int points)
{
    m_height = -MulDiv(points, kPixelsPerInch, 72);
}

std::string MapFontFamily(const std::string& name)
{
    std::string key;
    for (char c : name)
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (!key.empty() && key.back() == ' ')
        key.pop_back();
    if (key == "arial" || key == "ms sans serif" || key == "microsoft sans serif" || key == "helvetica")
        return "Liberation Sans";
    if (key == "times new roman" || key == "times")
        return "Liberation Serif";
    if (key == "courier new" || key == "courier")
        return "Liberation Mono";
    return name;
}

namespace canvasdetail {

QFont ToQFontWithHeight(const TFont& font, int height, bool strikeOut)
{
    // Qt's fonts need the GUI application object; without it they abort the program.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw Exception("Text cannot be drawn before the application's graphics system is started");
    QFont f(QString::fromStdString(MapFontFamily(font.Name)));
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setBold((font.Style & fsBold) != 0);
    f.setItalic((font.Style & fsItalic) != 0);
    f.setUnderline((font.Style & fsUnderline) != 0);
    f.setStrikeOut(strikeOut);
    if (height == 0)
        height = -11; // the default 8 points
    // Capped so that a wild height from a script cannot ask for giant glyph caches.
    height = std::clamp(height, -4096, 4096);
    if (height < 0) {
        // Character height: the em size.
        f.setPixelSize(std::max(1, -height));
    } else {
        // Cell height: ascent plus descent of the font.
        QFont probe = f;
        probe.setPixelSize(1000);
        const QFontMetricsF fm(probe);
        const double cell = fm.ascent() + fm.descent();
        const int em = cell > 0 ? static_cast<int>(std::lround(height * 1000.0 / cell)) : height;
        f.setPixelSize(std::max(1, em));
    }
    return f;
}

QFont ToQFont(const TFont& font)
{
    return ToQFontWithHeight(font, font.Height(), (font.Style & fsStrikeOut) != 0);
}

} // namespace canvasdetail
