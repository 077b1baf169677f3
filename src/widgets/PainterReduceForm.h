// TPainterReduceF, the "GIF Optimizer" window: its Palette and Dithering menus are the
// palette and dithering choice every animation assembly uses; Convert previews that
// choice on one frame with the size of the resulting GIF.
#pragma once

#include "gif/ReduceSettings.h"
#include "graphics/Bitmap.h"
#include "platform/CommandTable.h"

#include <QDialog>

class QAction;
class TCommandActions;
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
    TReduceSettings Settings() const { return m_settings; }
    // The menus show `settings` (a project opened brings its own).
    void SetSettings(const TReduceSettings& settings);
    // Palette > Keep Frame Palettes: every frame of a created animation keeps its own
    // colour table instead of one merged table. Off at first start; the main window keeps
    // it in the settings file.
    bool KeepFramePalettes() const { return m_keepFramePalettes; }
    void SetKeepFramePalettes(bool on);
    // The menus' commands by id: palettes ("palette.netscape"), the optimized palette's
    // colour counts ("palette.colors-16"), "palette.keep-frame-palettes" and ditherings
    // ("dither.stucki"). Action throws std::logic_error for an unknown id.
    const TCommandTable& Commands() const { return m_commands; }
    QAction* Action(const QString& id) const;

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
    TReduceSettings m_settings;
    bool m_keepFramePalettes = false;
    TCommandTable m_commands;
    TCommandActions* m_actions = nullptr;
    QWidget* m_source = nullptr;
    TBitmap m_bitmap;
};
