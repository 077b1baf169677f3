// Window commands run inside the command guard: actions and signals connected so that
// whatever a command raises is shown as one error message.
#pragma once

#include "platform/CommandGuard.h"

#include <QAction>
#include <QObject>

#include <functional>
#include <type_traits>

// Runs `command` guarded whenever the action is triggered.
QMetaObject::Connection ConnectGuarded(QAction* action, std::function<void()> command);

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
