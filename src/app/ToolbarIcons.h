// The toolbar and menu glyphs (the image list ImageList1), drawn rather than loaded.
#pragma once

#include <QIcon>
#include <QString>

// Glyph of a command by its id ("animation.new", "frame.new", ...) or of a drop-down
// button ("effects", "wizards"); an empty icon for the others.
QIcon ToolbarIcon(const QString& name);
