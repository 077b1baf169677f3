#include "AnimationSpeedForm.h"

#include "gif/GIFTypes.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

TFormAnimationSpeed::TFormAnimationSpeed(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName("FormAnimationSpeed");
    setWindowTitle("Animation Speed");
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(4);
    LabelSpeed = new QLabel("Speed", this);
    LabelSpeed->setObjectName("LabelSpeed");
    UpDownSpeed = new QSpinBox(this);
    UpDownSpeed->setObjectName("UpDownSpeed");
    UpDownSpeed->setRange(0, 1000);
    UpDownSpeed->setSingleStep(10);
    UpDownSpeed->setGroupSeparatorShown(false);
    UpDownSpeed->setWrapping(false);
    UpDownSpeed->setValue(100);
    EditSpeed = UpDownSpeed->findChild<QLineEdit*>();
    EditSpeed->setObjectName("EditSpeed");
    EditSpeed->setMaxLength(4);
    row->addWidget(LabelSpeed);
    row->addWidget(UpDownSpeed, 1);
    setFixedSize(std::max(110, sizeHint().width()), std::max(29, sizeHint().height()));

    connect(UpDownSpeed, &QSpinBox::valueChanged, this, [this](int v) { EditSpeedChange(v); });
}

void TFormAnimationSpeed::SetSpeed(int percent)
{
    UpDownSpeed->setValue(percent);
}

int TFormAnimationSpeed::GetSpeed() const
{
    return UpDownSpeed->value();
}

void TFormAnimationSpeed::EditSpeedChange(int position)
{
    if (OnSpeedChange)
        OnSpeedChange(std::clamp(position, 0, 1000));
}

void TFormAnimationSpeed::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
