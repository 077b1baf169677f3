// The main window's wizards: the "Wizards" drop-down built from the wizard engine's menu
// data, one run of RunWizard with its progress and Stop, and the preview it leaves.
#include "AnivorForm.h"

#include "editor/ui/DrawForm.h"

#include "platform/ui/GuardedActions.h"
#include "platform/Ui.h"
#include "widgets/FrameViews.h"
#include "widgets/ImageControl.h"
#include "widgets/PainterReduceForm.h"
#include "widgets/TabBar.h"
#include "wizards/WizardKinds.h"
#include "wizards/WizardMenu.h"
#include "workspace/WizardRun.h"

#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cctype>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Letters and digits of a caption, for the object names of the submenus.
QString namePart(const std::string& caption)
{
    QString out;
    for (char c : caption)
        if (std::isalnum(static_cast<unsigned char>(c)))
            out += QChar(c);
    return out;
}

// Everything a run disables, and its state before, so the run can put it back on every
// way out (a failing step included).
class TRunLock {
public:
    TRunLock(QWidget* window, QAction* keep, const std::vector<QWidget*>& widgets)
    {
        // All states first: disabling a menu item also disables the toolbar button that
        // follows it, which must still be remembered as enabled.
        for (QAction* a : window->findChildren<QAction*>())
            if (a != keep)
                m_actions.emplace_back(a, a->isEnabled());
        for (QWidget* w : widgets)
            m_widgets.emplace_back(w, w->isEnabled());
        for (auto& [a, on] : m_actions)
            a->setEnabled(false);
        for (auto& [w, on] : m_widgets)
            w->setEnabled(false);
    }
    ~TRunLock()
    {
        for (auto& [a, on] : m_actions)
            if (a)
                a->setEnabled(on);
        for (auto& [w, on] : m_widgets)
            if (w)
                w->setEnabled(on);
    }
    TRunLock(const TRunLock&) = delete;
    TRunLock& operator=(const TRunLock&) = delete;

private:
    std::vector<std::pair<QPointer<QAction>, bool>> m_actions;
    std::vector<std::pair<QPointer<QWidget>, bool>> m_widgets;
};

} // namespace

void TAnivorF::createWizardMenu()
{
    // Items are named "Wizard" + kind (Wizard0 .. Wizard104); submenus "wiz" + their
    // caption path (wizBlinds, wizEffectsLight, ...).
    std::function<void(QMenu*, const std::vector<TWizardMenuItem>&, const QString&)> fill =
        [&](QMenu* menu, const std::vector<TWizardMenuItem>& items, const QString& path) {
            for (const TWizardMenuItem& item : items) {
                switch (item.ItemType) {
                case TWizardMenuItem::Type::Separator:
                    menu->addSeparator();
                    break;
                case TWizardMenuItem::Type::Submenu: {
                    const QString name = path + namePart(item.Caption);
                    QMenu* sub = menu->addMenu(QString::fromStdString(item.Caption));
                    sub->setObjectName(name + "Menu");
                    sub->menuAction()->setObjectName(name);
                    fill(sub, item.Items, name);
                    break;
                }
                case TWizardMenuItem::Type::Command: {
                    const int kind = item.Kind;
                    auto* a = new QAction(QString::fromStdString(item.Caption), this);
                    a->setObjectName(QString("Wizard%1").arg(kind));
                    ConnectGuarded(a, [this, kind] { runWizard(kind); });
                    menu->addAction(a);
                    break;
                }
                }
            }
        };
    fill(wizpop, WizardMenu(), "wiz");

    // Stop for a running wizard: Esc, or the button beside the progress in the status bar.
    auto* stop = new QAction("Stop Wizard", this);
    stop->setObjectName("btnwizstop");
    stop->setToolTip("Stop the running wizard (Esc)");
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    stop->setShortcutContext(Qt::WindowShortcut);
    stop->setEnabled(false);
    connect(stop, &QAction::triggered, this, [this] { stopWizard(); });
    addAction(stop);

    WizardProgress = new QProgressBar(this);
    WizardProgress->setObjectName("WizardProgress");
    WizardProgress->setMaximumWidth(160);
    WizardProgress->setTextVisible(true);
    WizardProgress->setFormat("%v / %m");
    auto* stopButton = new QToolButton(this);
    stopButton->setObjectName("WizardStopButton");
    stopButton->setDefaultAction(stop);
    stopButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    statusBar()->setObjectName("StatusBar");
    statusBar()->addPermanentWidget(WizardProgress);
    statusBar()->addPermanentWidget(stopButton);
    // The progress and Stop are there only while a wizard runs.
    WizardProgress->setVisible(false);
    stopButton->setVisible(false);
}

void TAnivorF::stopWizard()
{
    if (m_wizardRunning)
        m_wizardStop = true;
}

void TAnivorF::runWizard(int kind)
{
    // The commands are disabled during a run; this also keeps out a second run that a
    // queued event could start.
    if (m_wizardRunning)
        return;
    const TWizardKind* k = FindWizardKind(kind);
    if (!k)
        return;
    if (!WizardCanRun(m_strip.ItemIndex(), m_strip.Count())) {
        m_strip.ResetWizardList();
        return;
    }

    QAction* stop = Action("btnwizstop");
    std::optional<TRunLock> lock;
    lock.emplace(this, stop, std::vector<QWidget*>{ScrollBoxSource, TabBar, CheckBoxMerge, CheckBoxCrop});
    m_wizardRunning = true;
    m_wizardStop = false;
    stop->setEnabled(true);
    const int total = WizardImageCount(kind, m_strip.Session.WizardFrameCount);
    WizardProgress->setRange(0, total);
    WizardProgress->setValue(0);
    const QString title = QString("Wizard %1").arg(QString::fromUtf8(k->MenuPath));
    statusBar()->showMessage(title);
    WizardProgress->setVisible(true);
    findChild<QToolButton*>("WizardStopButton")->setVisible(true);

    // Ends the run's state: the indicators go and the commands come back. Runs before the
    // preview (which sets the save and stop commands itself) and on every other way out.
    auto endRun = [&] {
        if (!m_wizardRunning)
            return;
        stop->setEnabled(false);
        statusBar()->clearMessage();
        WizardProgress->setVisible(false);
        findChild<QToolButton*>("WizardStopButton")->setVisible(false);
        lock.reset();
        m_wizardRunning = false;
        // The run started from the drop-down's menu while the button was disabled under
        // the mouse: it never saw the mouse leave (or come up) and would keep its raised,
        // pressed look until touched again.
        if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(Action("btnwizard")))) {
            button->setDown(false);
            if (!button->rect().contains(button->mapFromGlobal(QCursor::pos())))
                button->setAttribute(Qt::WA_UnderMouse, false);
            button->update();
        }
    };
    struct TOnExit {
        std::function<void()> fn;
        ~TOnExit() { fn(); }
    } onExit{[&] {
        endRun();
        // The window was closed during the run: it closes now that the run has returned.
        if (m_closeAfterRun) {
            m_closeAfterRun = false;
            QTimer::singleShot(0, this, &QWidget::close);
        }
    }};

    TWizardRunHooks hooks;
    hooks.OnStep = [&](int step, int count) {
        WizardProgress->setValue(step);
        statusBar()->showMessage(QString("%1: %2 of %3 (Esc stops)").arg(title).arg(step).arg(count));
        UI().ProcessEvents();
        return !m_wizardStop;
    };
    hooks.ShowPreview = [&] {
        endRun();
        if (m_closeAfterRun)
            return;
        // The assembly runs no events: say what the window is busy with, at once.
        statusBar()->showMessage(title + ": building the preview");
        statusBar()->repaint();
        PreviewWizardFrames();
        statusBar()->clearMessage();
    };
    // The actor kinds draw the frame editor's first actor along its recorded path.
    if (m_draw) {
        hooks.ActorPicture = m_draw->Actors()[0].Picture;
        hooks.ActorPath = m_draw->Actors().Path().Points();
    }
    RunWizard(m_strip, kind, hooks);
}
