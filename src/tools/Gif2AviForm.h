// Tgif2aviF, the "GIF to AVI converter" window: open an animated GIF, see it play, write
// it as an uncompressed AVI beside it (same name, ".AVI") and watch the AVI play. A window
// of its own, opened without modality from the Tools menu; the writing is WriteGifAsAvi.
#pragma once

#include <QWidget>

#include <string>

class QProgressBar;
class QPushButton;
class TAviPlayer;
class TCaptionPanel;
class TImageControl;

class Tgif2aviF : public QWidget {
    Q_OBJECT
public:
    explicit Tgif2aviF(QWidget* parent = nullptr);
    ~Tgif2aviF() override;

    void ButtonOpenClick();
    void ButtonAbortClick();
    void ButtonSaveClick();

    // The GIF file's name after a failed open, the AVI file's once a GIF is shown.
    const std::string& FileName() const { return m_fileName; }
    bool Writing() const { return m_writing; }

    TCaptionPanel* PanelGIF = nullptr;
    TImageControl* ImageGIF = nullptr;
    QWidget* PanelButton = nullptr;
    QPushButton* ButtonOpen = nullptr;
    QPushButton* ButtonAbort = nullptr;
    QPushButton* ButtonSave = nullptr;
    TCaptionPanel* PanelAVI = nullptr;
    TAviPlayer* Animate = nullptr;
    QProgressBar* ProgressBar = nullptr;

protected:
    // Closing the window while writing aborts it.
    void closeEvent(QCloseEvent* event) override;

private:
    void progress(int stage, int percent);
    std::string m_fileName;
    bool m_abort = false;
    bool m_writing = false;
};
