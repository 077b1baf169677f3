// The command guard: every command runs inside it. An exception a command raises (our
// Exception family, any std::exception, anything else) ends the command and is shown as one
// error message; the window stays usable and no exception crosses the Qt event loop.
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QWidget>
#include <QObject>

#include <exception>
#include <functional>
#include <string>
#include <type_traits>

// The text shown for an exception: the message of our own exceptions; "Not enough
// memory ..." for std::bad_alloc; the path and the system's reason for a file system
// error; a fixed text for anything else (whose own text, meant for programmers, goes to
// standard error).
std::string ExceptionMessage(const std::exception_ptr& e);

// Shows the exception with UI().MessageDlg(text, mtError). Never throws.
void ShowException(const std::exception_ptr& e);

// Runs `command`; true when it finished, false when it raised (the error was then shown).
// On a failure the wait cursor is brought back to the depth it had before the command.
bool RunGuarded(const std::function<void()>& command);

// Runs `command` guarded whenever the action is triggered.
QMetaObject::Connection ConnectGuarded(QAction* action, std::function<void()> command);

// A window's menu item or button: a QAction named `name` (its objectName, which tests and
// scripts find it by) with a "&" caption and an optional shortcut that works anywhere in
// the window; `handler`, when given, runs guarded on every trigger.
QAction* NamedAction(QWidget* window, const char* name, const char* caption, const QKeySequence& shortcut = QKeySequence(),
                     std::function<void()> handler = nullptr);

// Connects any signal to a guarded slot. `command` takes the signal's arguments, or none.
// The connection ends with `context`.
template <class Sender, class Signal, class Command>
QMetaObject::Connection ConnectGuarded(const Sender* sender, Signal signal, const QObject* context, Command command)
{
    if constexpr (std::is_invocable_v<Command&>) {
        return QObject::connect(sender, signal, context,
                                [command = std::move(command)]() mutable { RunGuarded([&] { command(); }); });
    } else {
        // Qt tries the slot with fewer and fewer of the signal's arguments to find how many
        // it takes; the constraint keeps those trials from compiling calls that cannot work.
        return QObject::connect(sender, signal, context,
                                [command = std::move(command)](auto&&... args) mutable
                                requires std::is_invocable_v<Command&, decltype(args)...>
                                { RunGuarded([&] { command(args...); }); });
    }
}
