// Tavi2gifF, the "AVI to GIF converter" window: open a video, play it, convert it to an
// animated GIF (web palette, Floyd-Steinberg) shown below, save it optimised. A window of
// its own, opened without modality from the Tools menu; the conversion and the saving are
// the plain functions of AviToGif.h.
#pragma once

#include "gif/GIFImage.h"

#include <QWidget>

#include <memory>
#include <string>

class QProgressBar;
class QPushButton;
class TAviPlayer;
class TCaptionPanel;
class TImageControl;

class Tavi2gifF : public QWidget {
    Q_OBJECT
public:
    explicit Tavi2gifF(QWidget* parent = nullptr);
    ~Tavi2gifF() override;

    void ButtonOpenClick();
    void ButtonConvertClick();
    void ButtonAbortClick();
    void ButtonSaveClick();

    const std::string& FileName() const { return m_fileName; }
    bool Converting() const { return m_converting; }
    // The last finished conversion, what Save GIF writes (nullptr: none).
    const TGIFImage* Converted() const { return m_converted.get(); }

    TCaptionPanel* PanelAVI = nullptr;
    TAviPlayer* Animate = nullptr;
    QWidget* PanelButton = nullptr;
    QPushButton* ButtonOpen = nullptr;
    QPushButton* ButtonConvert = nullptr;
    QPushButton* ButtonAbort = nullptr;
    QPushButton* ButtonSave = nullptr;
    TCaptionPanel* PanelGIF = nullptr;
    TImageControl* ImageGIF = nullptr;
    QProgressBar* ProgressBar = nullptr;

protected:
    // Closing the window during a conversion aborts it.
    void closeEvent(QCloseEvent* event) override;

private:
    void progress(int stage, int percent);
    std::string m_fileName;
    bool m_abort = false;
    bool m_converting = false;
    std::unique_ptr<TGIFImage> m_converted;
};
