// The toolbar and menu glyphs (the image list ImageList1), drawn rather than loaded.
#pragma once

#include <QIcon>
#include <QString>

// Glyph for a toolbar button by its name ("btnnew", "btnopen", ...); an empty icon for
// names without one.
QIcon ToolbarIcon(const QString& buttonName);
