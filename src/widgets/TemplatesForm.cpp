#include "TemplatesForm.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TTemplatesF::TTemplatesF(QWidget* parent) : QDialog(parent)
{
    setObjectName("TemplatesF");
    setWindowTitle("Templates");
    resize(378, 472);

    editor = new QPlainTextEdit(this);
    editor->setObjectName("editor");
    QFont font("Arial");
    font.setPixelSize(17);
    editor->setFont(font);

    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    BitBtn1 = new QPushButton("OK", panel);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(false);
    BitBtn1->setAutoDefault(false);
    BitBtn2 = new QPushButton("Cancel", panel);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setAutoDefault(false);
    auto* buttons = new QHBoxLayout(panel);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(editor, 1);
    layout->addWidget(panel);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

QString TTemplatesF::Text() const
{
    return editor->toPlainText();
}

void TTemplatesF::SetText(const QString& text)
{
    editor->setPlainText(text);
}
