#include "BarValue.h"

#include <QScrollBar>

TBarValue::TBarValue(QScrollBar* bar, QWidget* parent, bool showRange) : QLabel(parent), m_bar(bar), m_showRange(showRange)
{
    setObjectName(bar->objectName() + "Value");
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the widest text, so the layout does not move while the bar does.
    const QString widest = showRange ? QStringLiteral("-0000 (-0000..0000)") : QStringLiteral("-0000");
    setMinimumWidth(fontMetrics().horizontalAdvance(widest));
    connect(bar, &QScrollBar::valueChanged, this, &TBarValue::Refresh);
    connect(bar, &QScrollBar::rangeChanged, this, &TBarValue::Refresh);
    Refresh();
}

void TBarValue::Refresh()
{
    QString text = QString::number(m_bar->value());
    if (m_showRange)
        text += QStringLiteral(" (%1..%2)").arg(m_bar->minimum()).arg(m_bar->maximum());
    setText(text);
}
