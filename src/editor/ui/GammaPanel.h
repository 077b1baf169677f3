// TGammaPanel: the frame editor's colour picker (`gamma`). A palette picture, two
// overlapping swatches (the first colour in front of the second, like foreground and
// background), a preview of the colour under the mouse with its red, green and blue
// values, and an "X" that swaps which swatch palette clicks set. Always 65 x 250 pixels.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Types.h"

#include <QFrame>

#include <functional>

class QLabel;

class TGammaPanel : public QFrame {
    Q_OBJECT
public:
    explicit TGammaPanel(QWidget* parent = nullptr);

    static constexpr int kWidth = 65;
    static constexpr int kHeight = 250;
    static constexpr TColor kPreviewGrey = 8421504;

    // Setting a colour shows it in its swatch and fires OnChange.
    TColor FirstColor() const { return m_first; }
    void SetFirstColor(TColor color);
    TColor SecondColor() const { return m_second; }
    void SetSecondColor(TColor color);
    std::function<void(TGammaPanel* sender)> OnChange;

    // False: palette clicks set the first colour; true: the second. "X" flips it.
    bool TargetIsSecond() const { return m_targetSecond; }

    // The palette picture: 45 x 96, hue from red at the top round to red at the bottom,
    // black at the left edge, the pure hue in the middle column, white at the right edge.
    static TBitmap GammaPicture();

    // What the mouse does, also called by the tests.
    void PaletteMouseMove(int x, int y); // picture pixels
    void PaletteClick();
    void SwatchMouseMove(bool first);
    void SwatchMouseDown(bool first); // left button: the colour dialog
    void XClick();
    void ResetPreview();

    // Children, by role.
    QLabel* PalettePicture = nullptr;
    QFrame* FirstSwatch = nullptr;
    QFrame* SecondSwatch = nullptr;
    QLabel* XLabel = nullptr;
    QLabel* Preview = nullptr;
    QLabel* RedLabel = nullptr;
    QLabel* GreenLabel = nullptr;
    QLabel* BlueLabel = nullptr;
    // The preview's colour, and its caption ("None" when it shows nothing).
    TColor PreviewColor() const { return m_preview; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPreview(TColor color);
    void paintSwatch(QFrame* swatch, TColor color);
    void changed();

    TColor m_first = clBlack;
    TColor m_second = clWhite;
    TColor m_preview = kPreviewGrey;
    bool m_targetSecond = false;
    TBitmap m_picture;
};
