#include "MonkeyHands.h"

#include "app/AnivorForm.h"
#include "platform/CommandTable.h"
#include "widgets/FrameViews.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>

namespace {

using Announce = std::function<void(const std::string&)>;

std::string Str(const QString& s)
{
    return s.toStdString();
}

std::string PointText(const QPoint& p)
{
    return std::to_string(p.x()) + "," + std::to_string(p.y());
}

// Visible items of a menu, separators included (a click on one does nothing, as for a user).
QList<QAction*> VisibleActions(const QWidget* menu)
{
    QList<QAction*> shown;
    for (QAction* a : menu->actions())
        if (a->isVisible())
            shown << a;
    return shown;
}

const std::vector<std::pair<Qt::Key, const char*>>& Keys()
{
    static const std::vector<std::pair<Qt::Key, const char*>> keys = {
        {Qt::Key_A, "A"}, {Qt::Key_B, "B"}, {Qt::Key_C, "C"}, {Qt::Key_D, "D"}, {Qt::Key_E, "E"}, {Qt::Key_F, "F"},
        {Qt::Key_I, "I"}, {Qt::Key_L, "L"}, {Qt::Key_N, "N"}, {Qt::Key_O, "O"}, {Qt::Key_R, "R"}, {Qt::Key_S, "S"},
        {Qt::Key_T, "T"}, {Qt::Key_U, "U"}, {Qt::Key_V, "V"}, {Qt::Key_X, "X"}, {Qt::Key_Y, "Y"}, {Qt::Key_Z, "Z"},
        {Qt::Key_0, "0"}, {Qt::Key_1, "1"}, {Qt::Key_5, "5"}, {Qt::Key_9, "9"}, {Qt::Key_Space, "Space"},
        {Qt::Key_Return, "Return"}, {Qt::Key_Enter, "Enter"}, {Qt::Key_Escape, "Esc"}, {Qt::Key_Tab, "Tab"},
        {Qt::Key_Backtab, "Backtab"}, {Qt::Key_Backspace, "Backspace"}, {Qt::Key_Delete, "Del"},
        {Qt::Key_Insert, "Ins"}, {Qt::Key_Home, "Home"}, {Qt::Key_End, "End"}, {Qt::Key_PageUp, "PgUp"},
        {Qt::Key_PageDown, "PgDown"}, {Qt::Key_Left, "Left"}, {Qt::Key_Right, "Right"}, {Qt::Key_Up, "Up"},
        {Qt::Key_Down, "Down"}, {Qt::Key_F1, "F1"}, {Qt::Key_F2, "F2"}, {Qt::Key_F3, "F3"}, {Qt::Key_F4, "F4"},
        {Qt::Key_F5, "F5"}, {Qt::Key_F6, "F6"}, {Qt::Key_F7, "F7"}, {Qt::Key_F8, "F8"}, {Qt::Key_F9, "F9"},
        {Qt::Key_F10, "F10"}, {Qt::Key_F11, "F11"}, {Qt::Key_F12, "F12"}, {Qt::Key_Plus, "+"},
        {Qt::Key_Minus, "-"}, {Qt::Key_Comma, ","}, {Qt::Key_Period, "."}, {Qt::Key_Semicolon, ";"},
        {Qt::Key_ParenLeft, "("}, {Qt::Key_QuoteDbl, "\""},
    };
    return keys;
}

struct TModifiers {
    Qt::KeyboardModifiers Flags;
    std::string Text;
};

TModifiers RandomModifiers(TMonkeyRandom& random, int plainPercent)
{
    const int r = random.Below(100);
    if (r < plainPercent)
        return {Qt::NoModifier, ""};
    switch (random.Below(5)) {
    case 0:
    case 1:
        return {Qt::ControlModifier, "Ctrl+"};
    case 2:
        return {Qt::ShiftModifier, "Shift+"};
    case 3:
        return {Qt::AltModifier, "Alt+"};
    default:
        return {Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+"};
    }
}

} // namespace

std::string WidgetName(const QObject* widget)
{
    if (!widget)
        return "(none)";
    std::string name = widget->metaObject()->className();
    if (!widget->objectName().isEmpty())
        name += " " + Str(widget->objectName());
    return name;
}

TMonkeyHands::TMonkeyHands(TMonkeyRandom& random, const TMonkeyFiles& files, TAnivorF& main)
    : m_random(random), m_files(files), m_main(main)
{
}

void TMonkeyHands::Act(const Announce& announce)
{
    if (QWidget* popup = QApplication::activePopupWidget())
        actOnPopup(popup, announce);
    else if (QWidget* window = chooseWindow())
        actOnWindow(window, announce);
    else
        announce("nothing shown");
}

QWidget* TMonkeyHands::chooseWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    std::vector<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || !w->windowHandle() || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip)
            continue;
        // The main window is where the user spends most of the time.
        for (int weight = (w == &m_main ? 4 : 1); weight > 0; --weight)
            windows.push_back(w);
    }
    std::sort(windows.begin(), windows.end(), [](QWidget* a, QWidget* b) {
        return std::make_pair(WidgetName(a), a->winId()) < std::make_pair(WidgetName(b), b->winId());
    });
    return windows.empty() ? nullptr : m_random.Pick(windows);
}

QWidget* TMonkeyHands::chooseWidget(QWidget* window)
{
    std::vector<QWidget*> widgets{window};
    const QRect area = window->rect();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || w->width() <= 0 || w->height() <= 0)
            continue;
        if (!QRect(w->mapTo(window, QPoint(0, 0)), w->size()).intersects(area))
            continue;
        widgets.push_back(w);
    }
    return m_random.Pick(widgets);
}

QPoint TMonkeyHands::pointIn(QWidget* window, QWidget* widget)
{
    const QPoint local(m_random.Below(widget->width()), m_random.Below(widget->height()));
    const QPoint p = widget == window ? local : widget->mapTo(window, local);
    return QPoint(std::clamp(p.x(), 0, std::max(0, window->width() - 1)), std::clamp(p.y(), 0, std::max(0, window->height() - 1)));
}

void TMonkeyHands::actOnPopup(QWidget* popup, const Announce& announce)
{
    QPointer<QWidget> guard(popup);
    QWindow* handle = popup->windowHandle();
    const std::string name = WidgetName(popup);
    const QList<QAction*> items = VisibleActions(popup);
    auto* menu = qobject_cast<QMenu*>(popup);
    const int r = m_random.Below(100);
    if (!handle) {
        announce("close " + name);
        popup->close();
    } else if (r < 55 && menu && !items.isEmpty()) {
        QAction* a = items[m_random.Below(static_cast<int>(items.size()))];
        const QPoint at = menu->actionGeometry(a).center();
        announce("click item \"" + Str(a->text()) + "\" of " + name);
        QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, at);
    } else if (r < 55) {
        const QPoint at(m_random.Below(popup->width()), m_random.Below(popup->height()));
        announce("click " + name + " at " + PointText(at));
        QTest::mouseClick(handle, Qt::LeftButton, Qt::NoModifier, at);
    } else if (r < 78) {
        static const std::vector<std::pair<Qt::Key, const char*>> keys = {
            {Qt::Key_Up, "Up"}, {Qt::Key_Down, "Down"}, {Qt::Key_Left, "Left"}, {Qt::Key_Right, "Right"},
            {Qt::Key_Return, "Return"}, {Qt::Key_Space, "Space"}, {Qt::Key_E, "E"}, {Qt::Key_S, "S"}};
        const auto& k = m_random.Pick(keys);
        announce(std::string("key ") + k.second + " in " + name);
        QTest::keyClick(handle, k.first);
    } else if (r < 92) {
        announce("key Esc in " + name);
        QTest::keyClick(handle, Qt::Key_Escape);
    } else {
        // A click elsewhere closes the menu (and is not passed on).
        const QPoint at(m_random.Below(m_main.width()), m_random.Below(m_main.height()));
        announce("click outside " + name + " at " + PointText(at));
        QTest::mouseClick(m_main.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    }
}

void TMonkeyHands::actOnWindow(QWidget* window, const Announce& announce)
{
    // Commands are where most of the program is: more of them in the main window.
    const int commands = window == &m_main ? 26 : 14;
    const int r = m_random.Below(100);
    if (r < commands && command(window, announce))
        return;
    if (r >= commands && r < commands + 8 && menuBar(window, announce))
        return;
    const int k = m_random.Below(100);
    if (k < 35)
        key(window, announce);
    else if (k < 72)
        click(window, announce);
    else if (k < 87)
        drag(window, announce);
    else if (k < 92)
        wheel(window, announce);
    else if (k < 95 && window == &m_main)
        drop(announce);
    else if (k < 97) {
        const QSize size(m_random.Between(80, 1400), m_random.Between(60, 1000));
        announce("resize " + WidgetName(window) + " to " + PointText(QPoint(size.width(), size.height())));
        window->resize(size);
    } else if (window != &m_main) {
        // The title bar's close button (the main window's would end the program).
        announce("close " + WidgetName(window));
        window->close();
    } else {
        click(window, announce);
    }
}

bool TMonkeyHands::command(QWidget* window, const Announce& announce)
{
    if (window == &m_main) {
        // A command of the table, as its menu item or button would run it. The hundred
        // wizards are one choice among the others, or they would be most of the commands.
        std::vector<std::string> ids, wizards;
        for (const TCommand& c : m_main.Commands().Commands()) {
            const QAction* a = m_main.Action(QString::fromStdString(c.Id));
            if (a->isEnabled() && a->isVisible())
                (c.Id.rfind("wizard.", 0) == 0 && c.Id != "wizard.insert" && c.Id != "wizard.stop" ? wizards : ids).push_back(c.Id);
        }
        if (!wizards.empty() && (ids.empty() || m_random.Percent(15)))
            ids = wizards;
        if (ids.empty())
            return false;
        const std::string& id = m_random.Pick(ids);
        announce("command " + id);
        m_main.Action(QString::fromStdString(id))->trigger();
        return true;
    }
    // Another window's own actions (menus, tool buttons, shortcuts).
    std::vector<QAction*> actions;
    for (QAction* a : window->findChildren<QAction*>())
        if (a->isEnabled() && !a->isSeparator() && !a->menu() && !a->text().isEmpty())
            actions.push_back(a);
    if (actions.empty())
        return false;
    QAction* a = m_random.Pick(actions);
    announce("action \"" + Str(a->text()) + "\" of " + WidgetName(window));
    a->trigger();
    return true;
}

bool TMonkeyHands::menuBar(QWidget* window, const Announce& announce)
{
    auto* bar = window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (!bar || !bar->isVisible())
        return false;
    const QList<QAction*> items = VisibleActions(bar);
    if (items.isEmpty())
        return false;
    QAction* a = items[m_random.Below(static_cast<int>(items.size()))];
    const QPoint at = bar->mapTo(window, bar->actionGeometry(a).center());
    announce("open menu \"" + Str(a->text()) + "\" of " + WidgetName(window));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    return true;
}

void TMonkeyHands::key(QWidget* window, const Announce& announce)
{
    const auto& k = m_random.Pick(Keys());
    const TModifiers mods = RandomModifiers(m_random, 60);
    // Shortcuts reach the active window only: a user would have clicked it first.
    const bool activate = QApplication::activeWindow() != window && !QApplication::activeModalWidget();
    announce(std::string(activate ? "activate, " : "") + "key " + mods.Text + k.second + " in " + WidgetName(window) +
             " (focus " + WidgetName(window->focusWidget()) + ")");
    if (activate)
        window->activateWindow();
    QTest::keyClick(window->windowHandle(), k.first, mods.Flags);
}

void TMonkeyHands::click(QWidget* window, const Announce& announce)
{
    QWidget* widget = chooseWidget(window);
    const QPoint at = pointIn(window, widget);
    const int r = m_random.Below(100);
    const Qt::MouseButton button = r < 78 ? Qt::LeftButton : r < 96 ? Qt::RightButton : Qt::MiddleButton;
    const bool twice = m_random.Percent(12);
    const TModifiers mods = RandomModifiers(m_random, 80);
    const char* buttonName = button == Qt::LeftButton ? "left" : button == Qt::RightButton ? "right" : "middle";
    announce(std::string(twice ? "double-click " : "click ") + mods.Text + buttonName + " on " + WidgetName(widget) +
             " of " + WidgetName(window) + " at " + PointText(at));
    if (twice)
        QTest::mouseDClick(window->windowHandle(), button, mods.Flags, at);
    else
        QTest::mouseClick(window->windowHandle(), button, mods.Flags, at);
}

void TMonkeyHands::drag(QWidget* window, const Announce& announce)
{
    QWidget* widget = chooseWidget(window);
    const QPoint from = pointIn(window, widget);
    const QPoint to = m_random.Percent(70) ? pointIn(window, widget) : pointIn(window, window);
    const int steps = m_random.Between(2, 6);
    const Qt::MouseButton button = m_random.Percent(90) ? Qt::LeftButton : Qt::RightButton;
    const TModifiers mods = RandomModifiers(m_random, 85);
    announce("drag " + mods.Text + (button == Qt::LeftButton ? "left" : "right") + " on " + WidgetName(widget) +
             " of " + WidgetName(window) + " from " + PointText(from) + " to " + PointText(to));
    // The press may open a window of its own; the drag goes on only while its window stays.
    QPointer<QWidget> guard(window);
    QTest::mousePress(window->windowHandle(), button, mods.Flags, from);
    for (int i = 1; i <= steps && guard && guard->windowHandle(); ++i)
        QTest::mouseMove(guard->windowHandle(), from + (to - from) * i / steps);
    if (guard && guard->windowHandle())
        QTest::mouseRelease(guard->windowHandle(), button, mods.Flags, to);
}

void TMonkeyHands::wheel(QWidget* window, const Announce& announce)
{
    const QPoint at = pointIn(window, chooseWidget(window));
    QWidget* target = window->childAt(at);
    if (!target)
        target = window;
    const int delta = m_random.Pick(std::vector<int>{-360, -120, 120, 240});
    const TModifiers mods = RandomModifiers(m_random, 75);
    announce("wheel " + mods.Text + std::to_string(delta) + " on " + WidgetName(target) + " of " + WidgetName(window));
    const QPointF local = target->mapFrom(window, at);
    QWheelEvent e(local, target->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, mods.Flags,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
}

void TMonkeyHands::drop(const Announce& announce)
{
    // Files dropped from a file manager onto the strip or the frame list.
    QAbstractScrollArea* area = m_random.Percent(50) ? static_cast<QAbstractScrollArea*>(m_main.ScrollBoxSource)
                                                     : static_cast<QAbstractScrollArea*>(m_main.List);
    QWidget* viewport = area->viewport();
    const QPoint at(m_random.Below(std::max(1, viewport->width())), m_random.Below(std::max(1, viewport->height())));
    const std::vector<std::string> candidates = m_files.Candidates();
    QList<QUrl> urls;
    std::string shown;
    for (int n = m_random.Between(1, 3); n > 0; --n) {
        const std::string& path = m_random.Pick(candidates);
        urls << QUrl::fromLocalFile(QString::fromStdString(path));
        shown += " " + path;
    }
    announce("drop on " + WidgetName(area) + " at " + PointText(at) + ":" + shown);
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    if (!enter.isAccepted())
        return;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &dropped);
}

bool TMonkeyHands::CloseOne(const Announce& announce)
{
    if (QWidget* popup = QApplication::activePopupWidget()) {
        announce("close menu " + WidgetName(popup));
        popup->close();
        return true;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    if (modal != m_closing) {
        m_closing = modal;
        m_closeTries = 0;
    }
    // Esc first, then the close button; a question on the way gets a random answer, so
    // the tries go on until the window is gone.
    if (m_closeTries++ % 2 == 0 && modal->windowHandle()) {
        announce("key Esc to close " + WidgetName(modal));
        QTest::keyClick(modal->windowHandle(), Qt::Key_Escape);
    } else {
        announce("close " + WidgetName(modal));
        modal->close();
    }
    return true;
}
