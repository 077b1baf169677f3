#include "widgets/TabBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QApplication>

#include <gtest/gtest.h>

namespace {

// A 140 x 200 bar with three sections; the last one created is active.
struct ThreeSections {
    TqorTabBar bar;
    TqorTabSection* s0;
    TqorTabSection* s1;
    TqorTabSection* s2;
    ThreeSections()
    {
        bar.resize(140, 200);
        s0 = new TqorTabSection(&bar, "Frames");
        s1 = new TqorTabSection(&bar, "Files");
        s2 = new TqorTabSection(&bar, "More");
    }
};

void Key(QWidget& w, int key)
{
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

void Click(QWidget& w, QPoint p)
{
    QMouseEvent press(QEvent::MouseButtonPress, p, w.mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w.mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &release);
}

} // namespace

TEST(TabBar, LayoutOfThreeSectionsFollowsTheActiveOne)
{
    ThreeSections t;
    EXPECT_EQ(t.bar.ActiveSection(), t.s2); // a new section becomes active
    t.bar.SetActiveSection(t.s1);
    EXPECT_TRUE(t.s1->IsActive());
    EXPECT_FALSE(t.s2->IsActive());
    // Tabs 0 and 1 at the top, tab 2 at the bottom; the content lies between.
    EXPECT_EQ(t.bar.TabRect(0), TRect(2, 1, 138, 20));
    EXPECT_EQ(t.bar.TabRect(1), TRect(2, 21, 138, 40));
    EXPECT_EQ(t.bar.TabRect(2), TRect(2, 200 - 20 - 1, 138, 198));
    EXPECT_EQ(t.bar.ContentRect(), TRect(1, 40, 138, 200 - 20 - 1));
    EXPECT_EQ(t.s1->geometry(), QRect(1, 40, 137, 139));
    EXPECT_TRUE(t.bar.TabRect(3).IsEmpty());
    EXPECT_TRUE(t.bar.TabRect(-1).IsEmpty());

    // The last one active: every tab stacks at the top.
    t.bar.SetActiveSection(t.s2);
    EXPECT_EQ(t.bar.TabRect(2), TRect(2, 41, 138, 60));
    EXPECT_EQ(t.bar.ContentRect(), TRect(1, 60, 138, 199));

    // Out-of-range settings are ignored.
    t.bar.SetTabHeight(51);
    EXPECT_EQ(t.bar.TabHeight(), 20);
    t.bar.SetFrameWidth(11);
    EXPECT_EQ(t.bar.FrameWidth(), 1);
    t.bar.SetTabHeight(30);
    EXPECT_EQ(t.bar.TabRect(1), TRect(2, 31, 138, 60));

    // Tab order.
    t.s2->SetTabIndex(0);
    EXPECT_EQ(t.bar.Section(0), t.s2);
    EXPECT_EQ(t.s0->TabIndex(), 1);
    t.s2->SetTabIndex(3); // ignored
    EXPECT_EQ(t.s2->TabIndex(), 0);
}

TEST(TabBar, KeysAndClicksChangeSectionUnlessVetoed)
{
    ThreeSections t;
    int shown0 = 0, hidden2 = 0, changes = 0;
    t.s0->OnShow = [&] { ++shown0; };
    t.s2->OnHide = [&] { ++hidden2; };
    t.bar.OnChange = [&] { ++changes; };

    // Down on the last section wraps to the first; Up on the first to the last.
    Key(t.bar, Qt::Key_Down);
    EXPECT_EQ(t.bar.ActiveSection(), t.s0);
    EXPECT_EQ(shown0, 1);
    EXPECT_EQ(hidden2, 1);
    EXPECT_EQ(changes, 1);
    Key(t.bar, Qt::Key_Up);
    EXPECT_EQ(t.bar.ActiveSection(), t.s2);

    // A click on the tab of section 1.
    const TRect r1 = t.bar.TabRect(1);
    Click(t.bar, QPoint(r1.Left + 5, r1.Top + 5));
    EXPECT_EQ(t.bar.ActiveSection(), t.s1);
    EXPECT_TRUE(t.s1->isVisibleTo(&t.bar));
    EXPECT_FALSE(t.s2->isVisibleTo(&t.bar));

    // A veto keeps the active section and its content where they are.
    TqorTabSection* asked = nullptr;
    t.bar.OnChanging = [&](TqorTabSection* s, bool& allow) {
        asked = s;
        allow = false;
    };
    const QRect before = t.s1->geometry();
    Key(t.bar, Qt::Key_Down);
    EXPECT_EQ(asked, t.s2);
    EXPECT_EQ(t.bar.ActiveSection(), t.s1);
    EXPECT_EQ(t.s1->geometry(), before);
    const TRect r0 = t.bar.TabRect(0);
    Click(t.bar, QPoint(r0.Left + 5, r0.Top + 5));
    EXPECT_EQ(t.bar.ActiveSection(), t.s1);
    EXPECT_EQ(changes, 3);
}

TEST(TabBar, RemovingSectionsActivatesTheFirst)
{
    ThreeSections t;
    delete t.s2;
    EXPECT_EQ(t.bar.SectionCount(), 2);
    EXPECT_EQ(t.bar.ActiveSection(), t.s0);
    delete t.s0;
    delete t.s1;
    EXPECT_EQ(t.bar.ActiveSection(), nullptr);
    // With fewer than two sections the keys change nothing (and nothing crashes).
    Key(t.bar, Qt::Key_Down);
    t.bar.repaint();
}
