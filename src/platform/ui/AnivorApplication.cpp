#include "AnivorApplication.h"

#include "QtUi.h"

#include "platform/CommandGuard.h"

TAnivorApplication::TAnivorApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    UseDesktopDialogs();
}

bool TAnivorApplication::notify(QObject* receiver, QEvent* event)
{
    return GuardedNotify(this, receiver, event);
}

bool TAnivorApplication::GuardedNotify(QApplication* app, QObject* receiver, QEvent* event)
{
    try {
        return app->QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return false;
    }
}
