// The frame editor's tool bar and menu glyphs (its image list), drawn rather than loaded.
#pragma once

#include <QIcon>
#include <QString>

// Glyph for an item or button by its name ("Rectangle2", "btnselect", "Undo1", ...); an
// empty icon for names without one.
QIcon DrawIcon(const QString& name);
