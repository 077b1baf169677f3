// Conversions between the program's dialog values and Qt's.
#pragma once

#include "platform/Ui.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

// "GIF Files|*.gif" becomes "GIF Files (*.gif)"; "Images|*.gif;*.png" becomes
// "Images (*.gif *.png)". One entry may also hold several pairs ("A|*.a|B|*.b"). "*.*"
// becomes "*" so that files without an extension are listed too. A description that
// already ends in its patterns, "AVI file (*.avi)|*.avi", is taken as it stands.
QStringList QtNameFilters(const std::vector<std::string>& filters);

QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);

// Name, point size and the style flags (bold 1, italic 2, underline 4, strike-out 8).
QFont ToQFont(const TFontChoice& choice);
// The colour is not part of a QFont; it is taken from `color`.
TFontChoice FromQFont(const QFont& font, TColor color);

// The font dialog's start: the choice's font with its family replaced by the installed one
// that stands in for it, and a note naming both ("Arial is not installed: Liberation Sans
// stands in"), empty when the family is installed.
struct TFontDialogStart {
    QFont Font;
    QString Note;
};
TFontDialogStart FontDialogStart(const TFontChoice& choice);
// The dialog's answer: `initial` itself when `chosen` is still the font it started on
// (family, size and style), so an OK without a change keeps the missing family's name.
TFontChoice FontDialogAnswer(const TFontChoice& initial, const QFont& start, const QFont& chosen);
