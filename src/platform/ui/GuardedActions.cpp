#include "GuardedActions.h"

QMetaObject::Connection ConnectGuarded(QAction* action, std::function<void()> command)
{
    return QObject::connect(action, &QAction::triggered, action, [command = std::move(command)] { RunGuarded(command); });
}

QAction* NamedAction(QWidget* window, const char* name, const char* caption, const QKeySequence& shortcut,
                     std::function<void()> handler)
{
    auto* a = new QAction(QString::fromUtf8(caption), window);
    a->setObjectName(name);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    if (handler)
        ConnectGuarded(a, std::move(handler));
    window->addAction(a); // shortcuts work wherever the item sits
    return a;
}
