// The program's application object: the last line of the command guard. Whatever an event
// handler raises and nobody caught is shown as an error message instead of ending the
// program, so no exception leaves the Qt event loop. On a real display Qt's dialogs
// become the user-interface services.
#pragma once

#include <QApplication>

class TAnivorApplication : public QApplication {
public:
    TAnivorApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The guarded delivery used by notify(), for any QApplication.
    static bool GuardedNotify(QApplication* app, QObject* receiver, QEvent* event);
};
