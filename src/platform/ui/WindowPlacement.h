// Where the program's windows open: centred over the window that opens them, never exactly
// on another window of the program (two windows opened one after the other would hide
// each other), clear of a part of the owner they must not cover, and inside the screen.
#pragma once

#include <QRect>

#include <vector>

class QWidget;

// The place of a window of `size` (its frame) over `owner` (frame, global coordinates) on
// `screen`: centred on the owner; when that covers `avoid`, below it, else above it when
// it fits there; moved 24 pixels down and right while its top-left corner is that of a
// rectangle in `taken`; then held inside the screen.
QRect PlaceOverOwner(QSize size, const QRect& owner, const QRect& screen, const std::vector<QRect>& taken,
                     const QRect& avoid = {});

// Moves `window` there, over `owner`, among the program's other shown windows. `avoid` is
// in global coordinates.
void PlaceWindow(QWidget& window, const QWidget& owner, const QRect& avoid = {});
// PlaceWindow the first time the window is shown; later it stays where the user put it.
void PlaceWindowOnce(QWidget& window, const QWidget& owner);
