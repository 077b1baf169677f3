// TPainterQBF, the "QuickBack" window: the function list, the channel radio buttons, the
// offset and factor bars and the presets list over TPainterQB. Created once at start-up
// (it reads the presets file then); its settings and last picture stay for the whole run.
#pragma once

#include "effects/PainterQB.h"
#include "platform/CommandTable.h"

#include <QDialog>

class QAction;
class TCommandActions;
class QListWidget;
class QMenu;
class QRadioButton;
class QScrollArea;
class QScrollBar;
class QToolButton;
class TEffectImage;

class TPainterQBF : public QDialog {
    Q_OBJECT
public:
    // `presetsFile` is normally QuickBackPresetsFile().
    explicit TPainterQBF(const std::string& presetsFile, QWidget* parent = nullptr);

    TPainterQB& Model() { return m_model; }
    // The hand-over of a frame (only its size matters) without showing the window.
    void Prepare(const TBitmap& frame);
    // Prepare, then the window modally; true when it closed with "Use". The picture to
    // take is then Model().Image().
    bool Execute(const TBitmap& frame);
    // The presets popup's commands: "presets.add", "presets.delete", "presets.update".
    // Action throws std::logic_error for an unknown id.
    const TCommandTable& Commands() const { return m_commands; }
    QAction* Action(const QString& id) const;

    QListWidget* QBList = nullptr;
    QRadioButton* redradio = nullptr;
    QRadioButton* greenradio = nullptr;
    QRadioButton* blueradio = nullptr;
    QScrollBar* trkred = nullptr;
    QScrollBar* trkgreen = nullptr;
    QScrollBar* trkblue = nullptr;
    QScrollBar* trkfactor = nullptr;
    QListWidget* qbpresets = nullptr;
    QMenu* presetspop = nullptr;
    QToolButton* btnUse = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    TEffectImage* image = nullptr;

private:
    // Shows the model: radio captions, bar positions, the presets list, the picture.
    void sync();
    void fillPresets(int select);
    void radioClicked(int channel);

    TPainterQB m_model;
    TCommandTable m_commands;
    TCommandActions* m_actions = nullptr;
};
