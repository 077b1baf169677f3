// The number beside a scroll bar of the effect windows: its position, so a setting can be
// read and met again. It follows the bar as the user moves it; the windows call Refresh
// after they set a bar with its signals blocked.
#pragma once

#include <QLabel>

class QScrollBar;

class TBarValue : public QLabel {
    Q_OBJECT
public:
    TBarValue(QScrollBar* bar, QWidget* parent);
    void Refresh();

private:
    QScrollBar* m_bar;
};
