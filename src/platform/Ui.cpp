#include "Ui.h"

#include "HeadlessUi.h"

#include <atomic>

namespace {

std::atomic<Ui*> g_installed{nullptr};
std::atomic<Ui*> g_desktop{nullptr};

} // namespace

Ui& UI()
{
    if (Ui* ui = g_installed.load())
        return *ui;
    if (Ui* ui = g_desktop.load())
        return *ui;
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

void SetDesktopUI(Ui* ui)
{
    g_desktop.store(ui);
}
