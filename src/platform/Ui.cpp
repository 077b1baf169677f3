#include "Ui.h"

#include "HeadlessUi.h"
#include "QtUi.h"

#include <QApplication>

#include <atomic>

namespace {

std::atomic<Ui*> g_installed{nullptr};

// Offscreen and minimal platforms have no one to click a dialog: a modal one would hang.
bool canShowDialogs()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

Ui& UI()
{
    if (Ui* ui = g_installed.load())
        return *ui;
    if (canShowDialogs()) {
        static QtUi qtUi;
        return qtUi;
    }
    static HeadlessUi headless;
    return headless;
}

void SetUI(Ui* ui)
{
    g_installed.store(ui);
}

Ui* InstalledUI()
{
    return g_installed.load();
}
