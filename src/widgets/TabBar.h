// TqorTabBar: a vertical stack of sections, each a tab (header strip) and a scrollable
// content area. Only the active section's content shows, between the tabs stacked above
// it and those stacked below. A click on a tab, or the Up and Down keys, activate another
// section; OnChanging may veto the change.
#pragma once

#include "graphics/Types.h"

#include <QScrollArea>
#include <QWidget>

#include <functional>
#include <vector>

class TqorTabBar;

// One section: its tab's look and the content area (a scroll box; put the content into
// setWidget() or give it the section as parent).
class TqorTabSection : public QScrollArea {
    Q_OBJECT
public:
    // A section created inside a bar becomes the bar's active section (without asking
    // OnChanging) and takes the next tab index.
    explicit TqorTabSection(TqorTabBar* bar, const QString& caption = QString());
    ~TqorTabSection() override;

    QString Caption() const { return m_caption; }

    // Position among the bar's sections; a value outside 0..count - 1 is ignored.
    int TabIndex() const;
    void SetTabIndex(int index);

    bool IsActive() const { return m_active; }
    TqorTabBar* Bar() const { return m_bar; }

    std::function<void()> OnShow;
    std::function<void()> OnHide;

private:
    friend class TqorTabBar;
    void setActiveFlag(bool on);

    TqorTabBar* m_bar;
    QString m_caption;
    bool m_active = false;
};

class TqorTabBar : public QWidget {
    Q_OBJECT
public:
    explicit TqorTabBar(QWidget* parent = nullptr);
    ~TqorTabBar() override;

    int SectionCount() const { return static_cast<int>(m_sections.size()); }
    // Sections in tab order.
    TqorTabSection* Section(int tabIndex) const;
    TqorTabSection* ActiveSection() const;
    // Asks OnChanging, switches the active flags, raises the section, then OnChange.
    void SetActiveSection(TqorTabSection* section);

    int FrameWidth() const { return m_frameWidth; }
    // 0..10; other values are ignored.
    void SetFrameWidth(int width);
    int TabHeight() const { return m_tabHeight; }
    // 0..50; other values are ignored.
    void SetTabHeight(int height);

    // Geometry of the tab with this index (empty outside 0..count - 1) and of the content
    // area every section is given.
    TRect TabRect(int tabIndex) const;
    TRect ContentRect() const;
    // Tab index under a point of the bar, -1 when none.
    int TabAt(const QPoint& p) const;

    // Before a change: set `allowChange` to false to veto it.
    std::function<void(TqorTabSection* newSection, bool& allowChange)> OnChanging;
    // After a change.
    std::function<void()> OnChange;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class TqorTabSection;
    void sectionInserted(TqorTabSection* section);
    void sectionRemoved(TqorTabSection* section);
    void setTabIndex(TqorTabSection* section, int index);
    // The flags, the stacking and OnShow/OnHide, without asking anyone.
    void activate(TqorTabSection* section);
    void layoutSections();
    int activeIndex() const;

    std::vector<TqorTabSection*> m_sections;
    int m_frameWidth = 1;
    int m_tabHeight = 20;
    int m_pressedTab = -1;
    int m_hotTab = -1;
};
