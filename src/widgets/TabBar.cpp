#include "TabBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

QRect toQRect(const TRect& r)
{
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

// A 3D frame `width` pixels thick: `topLeft` colour on top and left, `bottomRight` on
// bottom and right; right and bottom bounds exclusive.
void frame3D(QPainter& p, QRect r, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width && r.width() > 1 && r.height() > 1; ++i) {
        p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------

TqorTabSection::TqorTabSection(TqorTabBar* bar, const QString& caption)
    : QScrollArea(bar), m_bar(bar), m_caption(caption)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setGeometry(10, 10, 20, 20);
    if (m_bar)
        m_bar->sectionInserted(this);
}

TqorTabSection::~TqorTabSection()
{
    if (m_bar)
        m_bar->sectionRemoved(this);
}

int TqorTabSection::TabIndex() const
{
    if (!m_bar)
        return -1;
    const auto& s = m_bar->m_sections;
    return static_cast<int>(std::find(s.begin(), s.end(), this) - s.begin());
}

void TqorTabSection::SetTabIndex(int index)
{
    if (m_bar)
        m_bar->setTabIndex(this, index);
}

void TqorTabSection::setActiveFlag(bool on)
{
    if (m_active == on)
        return;
    m_active = on;
    if (on && OnShow)
        OnShow();
    if (!on && OnHide)
        OnHide();
}

// ---------------------------------------------------------------------------------------

TqorTabBar::TqorTabBar(QWidget* parent) : QWidget(parent)
{
    setGeometry(10, 10, 140, 110);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TqorTabBar::~TqorTabBar()
{
    // The sections are children and go with the bar: stop them calling back.
    for (TqorTabSection* s : m_sections)
        s->m_bar = nullptr;
    m_sections.clear();
}

TqorTabSection* TqorTabBar::Section(int tabIndex) const
{
    if (tabIndex < 0 || tabIndex >= SectionCount())
        return nullptr;
    return m_sections[static_cast<std::size_t>(tabIndex)];
}

TqorTabSection* TqorTabBar::ActiveSection() const
{
    for (auto it = m_sections.rbegin(); it != m_sections.rend(); ++it)
        if ((*it)->m_active)
            return *it;
    return nullptr;
}

int TqorTabBar::activeIndex() const
{
    const TqorTabSection* a = ActiveSection();
    return a ? a->TabIndex() : -1;
}

void TqorTabBar::SetActiveSection(TqorTabSection* section)
{
    if (OnChanging) {
        bool allow = true;
        OnChanging(section, allow);
        if (!allow)
            return;
    }
    activate(section);
    if (OnChange)
        OnChange();
}

void TqorTabBar::activate(TqorTabSection* section)
{
    for (TqorTabSection* s : m_sections)
        if (s != section)
            s->setActiveFlag(false);
    if (section)
        section->setActiveFlag(true);
    layoutSections();
    if (section) {
        if (section->m_active)
            section->raise();
        else
            section->lower();
    }
    for (TqorTabSection* s : m_sections)
        s->setVisible(s->m_active);
    update();
}

void TqorTabBar::SetFrameWidth(int width)
{
    if (width < 0 || width > 10)
        return;
    m_frameWidth = width;
    update();
}

void TqorTabBar::SetTabHeight(int height)
{
    if (height < 0 || height > 50)
        return;
    m_tabHeight = height;
    layoutSections();
    update();
}

TRect TqorTabBar::TabRect(int a) const
{
    const int count = SectionCount();
    if (a < 0 || a >= count)
        return TRect();
    const int active = std::max(activeIndex(), 0);
    const int top = a <= active ? a * m_tabHeight + 1 : height() - m_tabHeight * (count - a) - 1;
    return TRect(2, top, width() - 2, top + m_tabHeight - 1);
}

TRect TqorTabBar::ContentRect() const
{
    const int count = SectionCount();
    const int a = std::max(activeIndex(), 0);
    return TRect(1, (a + 1) * m_tabHeight, width() - 2, height() - std::max(0, count - a - 1) * m_tabHeight - 1);
}

int TqorTabBar::TabAt(const QPoint& p) const
{
    for (int i = 0; i < SectionCount(); ++i)
        if (TabRect(i).Contains(TPoint(p.x(), p.y())))
            return i;
    return -1;
}

QSize TqorTabBar::sizeHint() const
{
    return QSize(163, 200);
}

void TqorTabBar::sectionInserted(TqorTabSection* section)
{
    m_sections.push_back(section);
    activate(section);
}

void TqorTabBar::sectionRemoved(TqorTabSection* section)
{
    const bool wasActive = section->m_active;
    std::erase(m_sections, section);
    if (m_pressedTab >= SectionCount())
        m_pressedTab = -1;
    m_hotTab = -1;
    if (m_sections.empty()) {
        update();
        return;
    }
    if (wasActive || !ActiveSection())
        activate(m_sections.front());
    else
        layoutSections();
}

void TqorTabBar::setTabIndex(TqorTabSection* section, int index)
{
    if (index < 0 || index >= SectionCount())
        return;
    std::erase(m_sections, section);
    m_sections.insert(m_sections.begin() + index, section);
    layoutSections();
    update();
}

void TqorTabBar::layoutSections()
{
    const QRect content = toQRect(ContentRect());
    for (TqorTabSection* s : m_sections)
        s->setGeometry(content);
}

void TqorTabBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutSections();
}

void TqorTabBar::paintEvent(QPaintEvent*)
{
    layoutSections();
    QPainter p(this);
    const QColor face = buttonFace();
    const QColor highlight = QApplication::palette().color(QPalette::Light);
    p.fillRect(rect(), face);
    frame3D(p, rect(), Qt::black, highlight, m_frameWidth);

    for (int i = SectionCount() - 1; i >= 0; --i) {
        const TqorTabSection* s = m_sections[static_cast<std::size_t>(i)];
        const QRect r = toQRect(TabRect(i));
        if (r.isEmpty())
            continue;
        p.setFont(s->font());
        p.fillRect(r, face);
        // The tab under the mouse shows its caption in blue.
        p.setPen(i == m_hotTab ? QColor(0, 0, 255) : s->palette().color(QPalette::WindowText));
        const QRect textRect = r.adjusted(2, 1, -2, -1);
        const QString text = p.fontMetrics().elidedText(s->m_caption, Qt::ElideRight, textRect.width());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        if (i == m_pressedTab)
            frame3D(p, r, Qt::black, highlight, 1);
        else
            frame3D(p, r, highlight, Qt::black, 1);
    }
}

void TqorTabBar::keyPressEvent(QKeyEvent* event)
{
    const int count = SectionCount();
    if (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (count < 2)
        return;
    const int a = std::max(activeIndex(), 0);
    const int next = event->key() == Qt::Key_Up ? (a == 0 ? count - 1 : a - 1) : (a == count - 1 ? 0 : a + 1);
    SetActiveSection(Section(next));
}

void TqorTabBar::mousePressEvent(QMouseEvent* event)
{
    m_pressedTab = TabAt(event->position().toPoint());
    setFocus(Qt::MouseFocusReason);
    update();
}

void TqorTabBar::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressedTab = -1;
    TqorTabSection* s = Section(TabAt(event->position().toPoint()));
    if (s && !s->m_active)
        SetActiveSection(s);
    update();
}

void TqorTabBar::mouseMoveEvent(QMouseEvent* event)
{
    const int tab = TabAt(event->position().toPoint());
    if (tab != m_hotTab) {
        m_hotTab = tab;
        update();
    }
}

void TqorTabBar::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (m_hotTab != -1) {
        m_hotTab = -1;
        update();
    }
}
