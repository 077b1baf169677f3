// The result picture of the effect windows: a label that sizes itself to the bitmap it
// shows, inside a scroll area.
#pragma once

#include "graphics/Bitmap.h"

#include <QLabel>
#include <QScrollArea>

class TEffectImage : public QLabel {
    Q_OBJECT
public:
    explicit TEffectImage(QWidget* parent = nullptr);
    // Shows a copy of `bitmap` (nothing for an empty one).
    void ShowBitmap(const TBitmap& bitmap);
};

// A scroll area holding `image` at (8, 8), as the windows lay out their picture.
QScrollArea* EffectImageScrollBox(QWidget* parent, TEffectImage* image, const char* name);
