// The toolbar and menu glyphs (the image list ImageList1), drawn rather than loaded.
#pragma once

#include <QIcon>
#include <QString>

// Glyph of a command by its id ("animation.new", "frame.new", ...) or of a drop-down
// button ("effects", "wizards", "wizards-hot"); an empty icon for the others.
QIcon ToolbarIcon(const QString& name);

// The Wizards button's glyph while the mouse moves over the tool bar or the strip: "wizards"
// while its X (in the control under it) is left of the button's left edge + 12,
// "wizards-hot" from there on.
const char* WizardGlyph(int mouseX, int buttonLeft);
