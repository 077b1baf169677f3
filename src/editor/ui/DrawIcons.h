// The frame editor's tool bar and menu glyphs (its image list), drawn rather than loaded.
#pragma once

#include <QIcon>
#include <QString>

// Glyph of a command by its id ("editor.rectangle", "editor.select", "editor.undo", ...);
// an empty icon for the others.
QIcon DrawIcon(const QString& name);
