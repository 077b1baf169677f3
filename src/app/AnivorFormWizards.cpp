// The main window's wizards: the "Wizards" drop-down built from the wizard engine's menu
// data, one run of RunWizard with its progress and Stop, and the preview it leaves.
#include "AnivorForm.h"

#include "editor/ui/DrawForm.h"

#include "platform/ui/CommandActions.h"
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

#include <algorithm>
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

// What a run disables besides the commands (which the table's rule keeps disabled): the
// menus, the drop-down buttons and `widgets`, with their states before, so the run can put
// them back on every way out (a failing step included).
class TRunLock {
public:
    TRunLock(QWidget* window, const TCommandActions& commands, const std::vector<QWidget*>& widgets)
    {
        for (QAction* a : window->findChildren<QAction*>())
            if (!commands.CommandOf(a))
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

std::string WizardCommandId(int kind)
{
    const TWizardKind* k = FindWizardKind(kind);
    if (!k)
        throw std::logic_error("No wizard kind " + std::to_string(kind));
    std::string id = "wizard.";
    bool gap = false;
    for (const char* c = k->MenuPath; *c; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c))) {
            if (gap && id.back() != '.')
                id += '-';
            id += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
            gap = false;
        } else {
            gap = true;
        }
    }
    return id;
}

void TAnivorF::createWizardCommands()
{
    std::function<void(const std::vector<TWizardMenuItem>&)> add = [&](const std::vector<TWizardMenuItem>& items) {
        for (const TWizardMenuItem& item : items) {
            if (item.ItemType == TWizardMenuItem::Type::Submenu)
                add(item.Items);
            if (item.ItemType != TWizardMenuItem::Type::Command)
                continue;
            // Named by the whole path: many items read "Right" or "Up" in their submenus.
            const int kind = item.Kind;
            std::string path = FindWizardKind(kind)->MenuPath;
            std::replace(path.begin(), path.end(), '/', ' ');
            m_commands.Add({.Id = WizardCommandId(kind), .Caption = item.Caption, .Handler = [this, kind] { runWizard(kind); },
                            .UndoName = "Wizard " + path});
        }
    };
    add(WizardMenu());
    // Stop for a running wizard: Esc, or the button beside the progress in the status bar.
    m_commands.Add({.Id = "wizard.stop", .Caption = "Stop Wizard", .Shortcut = "Esc",
                    .Hint = "Stop the running wizard (Esc)", .Enabled = [this] { return m_wizardRunning; },
                    .Handler = [this] { stopWizard(); }});
    // While a wizard runs, its Stop is the one command that works.
    m_commands.Available = [this](const TCommand& c) { return !m_wizardRunning || c.Id == "wizard.stop"; };
}

void TAnivorF::createWizardMenu()
{
    // Submenus are named "wiz" + their caption path (wizBlinds, wizEffectsLight, ...).
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
                case TWizardMenuItem::Type::Command:
                    menu->addAction(Action(QString::fromStdString(WizardCommandId(item.Kind))));
                    break;
                }
            }
        };
    fill(wizpop, WizardMenu(), "wiz");

    WizardProgress = new QProgressBar(this);
    WizardProgress->setObjectName("WizardProgress");
    WizardProgress->setMaximumWidth(160);
    WizardProgress->setTextVisible(true);
    WizardProgress->setFormat("%v / %m");
    auto* stopButton = new QToolButton(this);
    stopButton->setObjectName("WizardStopButton");
    stopButton->setDefaultAction(Action("wizard.stop"));
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

    std::optional<TRunLock> lock;
    lock.emplace(this, *m_actions, std::vector<QWidget*>{ScrollBoxSource, TabBar, CheckBoxMerge, CheckBoxCrop});
    m_wizardRunning = true;
    m_wizardStop = false;
    UpdateCommands();
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
        statusBar()->clearMessage();
        WizardProgress->setVisible(false);
        findChild<QToolButton*>("WizardStopButton")->setVisible(false);
        lock.reset();
        m_wizardRunning = false;
        UpdateCommands();
        // The run started from the drop-down's menu while the button was disabled under
        // the mouse: it never saw the mouse leave (or come up) and would keep its raised,
        // pressed look until touched again.
        if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(wizpop->menuAction()))) {
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
