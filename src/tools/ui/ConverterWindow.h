// What the two converter windows share: the lowered panels with a bold title (the video
// panel with its player, the GIF panel with its image control), the button row, the
// progress bar, the abort flag of a run on the GUI thread, and playing a written or
// opened video with "Cannot preview AVI" when that fails.
#pragma once

#include "gif/GIFTypes.h"

#include <QFrame>
#include <QString>
#include <QWidget>

#include <string>

class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class TAviPlayer;
class TImageControl;

// A lowered panel with a bold centred title at its top, its content below, and a caption
// that can appear in its middle.
class TCaptionPanel : public QFrame {
    Q_OBJECT
public:
    TCaptionPanel(const char* name, const char* titleName, const char* title, QWidget* parent);
    void SetCaption(const QString& caption);
    QString Caption() const { return m_caption; }
    QLabel* Title() const { return m_title; }
    // Puts `content` under the title, filling the rest of the panel.
    void SetContent(QWidget* content);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_title;
    QString m_caption;
};

class TConverterWindow : public QWidget {
    Q_OBJECT
public:
    // Sets the abort flag and disables Abort; the run stops before its next frame.
    void ButtonAbortClick();
    // True while a conversion or a writing runs.
    bool Running() const { return m_running; }

    TCaptionPanel* PanelAVI = nullptr;
    TAviPlayer* Animate = nullptr;
    TCaptionPanel* PanelGIF = nullptr;
    TImageControl* ImageGIF = nullptr;
    QWidget* PanelButton = nullptr;
    QPushButton* ButtonOpen = nullptr;
    QPushButton* ButtonAbort = nullptr;
    QPushButton* ButtonSave = nullptr;
    QProgressBar* ProgressBar = nullptr;

protected:
    // The window `name` titled `caption`, 361 x 511, font Arial. The panels come in the
    // order given (`videoFirst`); the upper one is 229 pixels high, the lower one takes
    // the rest. The button row holds Open on the left, the button `middleName` (when not
    // null; it is m_middle) and Abort (hidden) in the middle, Save (disabled) on the right.
    TConverterWindow(const char* name, const char* caption, bool videoFirst, const char* openCaption,
                     const char* middleName, const char* middleCaption, const char* saveCaption, QWidget* parent);
    ~TConverterWindow() override;
    // Closing the window during a run aborts it.
    void closeEvent(QCloseEvent* event) override;

    // The picture-progress handler: stage start → position 0 of 0..100, running → the
    // percent, end → position 0. With `showHide` the bar also appears at the start and
    // disappears at the end.
    void showPictureProgress(TGIFProgressStage stage, int percent, bool showHide);
    // Plays the video in Animate; when it cannot be played, hides the player and writes
    // "Cannot preview AVI" on the video panel.
    void playVideo(const std::string& path);
    // The folder of the current file name, where the open dialog starts.
    std::string folderOfFile() const;

    QPushButton* m_middle = nullptr;
    std::string m_fileName;
    bool m_abort = false;
    bool m_running = false;
};
