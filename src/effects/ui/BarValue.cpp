#include "BarValue.h"

#include <QScrollBar>

TBarValue::TBarValue(QScrollBar* bar, QWidget* parent) : QLabel(parent), m_bar(bar)
{
    setObjectName(bar->objectName() + "Value");
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the widest number, so the layout does not move while the bar does.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0000")));
    connect(bar, &QScrollBar::valueChanged, this, &TBarValue::Refresh);
    Refresh();
}

void TBarValue::Refresh()
{
    setText(QString::number(m_bar->value()));
}
