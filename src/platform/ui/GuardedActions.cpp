#include "GuardedActions.h"

QMetaObject::Connection ConnectGuarded(QAction* action, std::function<void()> command)
{
    return QObject::connect(action, &QAction::triggered, action, [command = std::move(command)] { RunGuarded(command); });
}
