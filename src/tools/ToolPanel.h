// The panels of the two converter windows: lowered, with a bold title at the top, the
// picture below it, and a caption that can appear in the middle ("Cannot preview AVI").
#pragma once

#include "gif/GIFTypes.h"

#include <QFrame>
#include <QString>

#include <string>

class QLabel;

class TCaptionPanel : public QFrame {
    Q_OBJECT
public:
    // A lowered panel with a bold centred `title` at its top; the content goes below it.
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

class QProgressBar;
class QPushButton;

// A push button named as the windows' components are.
QPushButton* MakeToolButton(QWidget* parent, const char* name, const char* caption);

// The picture-progress handler of both windows: stage start → position 0 of 0..100,
// running → the percent, end → position 0. With `showHide` the bar also appears at the
// start and disappears at the end.
void ShowPictureProgress(QProgressBar* bar, TGIFProgressStage stage, int percent, bool showHide);

// The folder part of a path ("" when it has none), for dialogs that start there.
std::string FolderOf(const std::string& path);
