// TTemplatesF: the "Templates" window, a plain text editor for the text wizards' lines
// with OK and Cancel. The caller fills `editor`, shows the window modally and takes the
// text back only on OK.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TTemplatesF : public QDialog {
    Q_OBJECT
public:
    explicit TTemplatesF(QWidget* parent = nullptr);

    QPlainTextEdit* editor;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // Cancel

    QString Text() const;
    void SetText(const QString& text);
};
