// The QActions of a window's command table: one per command, named after its id, with its
// caption, shortcut and hint (never an object name), put into menus and tool bars by id.
// Enabled and checked states, changing captions and hints follow the table's rules on
// every Update(): after each command, when a menu opens, and wherever the window calls it
// because its state changed. Handlers run inside the command guard.
#pragma once

#include "platform/CommandTable.h"

#include <QIcon>
#include <QObject>

#include <functional>
#include <initializer_list>
#include <string>
#include <unordered_map>

class QAction;
class QMenu;
class QToolBar;
class QWidget;

class TCommandActions : public QObject {
public:
    // Makes the actions of every command in `table`, as children of `window`. A command
    // with a shortcut is added to the window, so its key works wherever the focus is.
    // `icon` gives a command's glyph (a null icon: none).
    TCommandActions(QWidget* window, TCommandTable& table, const std::function<QIcon(const std::string&)>& icon = {});

    // The action of that command; throws std::logic_error for an unknown id.
    QAction* Action(const std::string& id) const;
    // The command an action belongs to; nullptr when it is none of this table's.
    const TCommand* CommandOf(const QAction* action) const;

    // Appends the commands to a menu or a tool bar in this order; "-" adds a separator.
    void AddTo(QMenu* menu, std::initializer_list<const char*> ids);
    void AddTo(QToolBar* bar, std::initializer_list<const char*> ids);

    // States, captions and hints from the rules.
    void Update();

    // Runs after a command's handler (also after one that failed), before the states are
    // updated; the main window names the strip's undo step here.
    std::function<void(const TCommand&)> AfterCommand;
    // Runs at the end of every Update(), for states that are not commands' own.
    std::function<void()> AfterUpdate;

private:
    void run(const TCommand& command);
    void watch(QMenu* menu);

    QWidget* m_window;
    TCommandTable& m_table;
    std::unordered_map<std::string, QAction*> m_actions;
    std::unordered_map<const QAction*, const TCommand*> m_commands;
    bool m_updating = false;
};
