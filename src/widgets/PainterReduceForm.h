// TPainterReduceF, the "GIF Optimizer" window: its Palette and Dithering menus are the
// palette and dithering choice every animation assembly uses; Convert previews that
// choice on one frame with the size of the resulting GIF.
#pragma once

#include "gif/ReduceSettings.h"
#include "graphics/Bitmap.h"

#include <QDialog>

class QAction;
class QActionGroup;
class QLabel;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QToolButton;
class TImageControl;

class TPainterReduceF : public QDialog {
    Q_OBJECT
public:
    explicit TPainterReduceF(QWidget* parent = nullptr);

    // The choice the menus show.
    TReduceSettings Settings() const;
    // Palette > Keep Frame Palettes: every frame of a created animation keeps its own
    // colour table instead of one merged table. Off at first start; the main window keeps
    // it in the settings file.
    bool KeepFramePalettes() const;
    void SetKeepFramePalettes(bool on);
    // The item of that name (palette, colour count or dithering); nullptr when none.
    QAction* Action(const QString& name) const;

    // Shows `frame` in ImageBitmap and clears ImageGIF (the frame popup's "&Optimize").
    void SetBitmap(const TBitmap& frame);
    // ButtonConvertClick.
    void Convert();
    // The note shown before choosing the halftone palette on a display of `bitsPerPixel`.
    static QString HalftoneNote(int bitsPerPixel);

    TImageControl* ImageBitmap = nullptr;
    TImageControl* ImageGIF = nullptr;
    QToolButton* ButtonConvert = nullptr;
    QLabel* sizecap = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QMenuBar* Menu = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QAction* item(QActionGroup* group, QMenu* menu, const char* name, const char* caption);
    QActionGroup* m_palette = nullptr;
    QActionGroup* m_bits = nullptr;
    QActionGroup* m_dither = nullptr;
    QAction* m_framePalettes = nullptr;
    QWidget* m_source = nullptr;
    TBitmap m_bitmap;
};
