#include "CommandActions.h"

#include "platform/CommandGuard.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include <stdexcept>

TCommandActions::TCommandActions(QWidget* window, TCommandTable& table, const std::function<QIcon(const std::string&)>& icon)
    : QObject(window), m_window(window), m_table(table)
{
    for (const TCommand& c : table.Commands()) {
        auto* a = new QAction(QString::fromStdString(c.Caption), window);
        a->setObjectName(QString::fromStdString(c.Id));
        if (icon) {
            const QIcon glyph = icon(c.Id);
            if (!glyph.isNull())
                a->setIcon(glyph);
        }
        if (!c.Shortcut.empty()) {
            a->setShortcut(QKeySequence(QString::fromStdString(c.Shortcut), QKeySequence::PortableText));
            a->setShortcutContext(Qt::WindowShortcut);
            window->addAction(a);
        }
        if (!c.Hint.empty()) {
            a->setToolTip(QString::fromStdString(c.Hint));
            a->setStatusTip(QString::fromStdString(c.Hint));
        }
        a->setCheckable(static_cast<bool>(c.Checked));
        const TCommand* command = &c;
        connect(a, &QAction::triggered, this, [this, command] { run(*command); });
        m_actions.emplace(c.Id, a);
        m_commands.emplace(a, command);
    }
}

QAction* TCommandActions::Action(const std::string& id) const
{
    const auto it = m_actions.find(id);
    if (it == m_actions.end())
        throw std::logic_error("No command with the id \"" + id + "\"");
    return it->second;
}

const TCommand* TCommandActions::CommandOf(const QAction* action) const
{
    const auto it = m_commands.find(action);
    return it == m_commands.end() ? nullptr : it->second;
}

namespace {

// Menus and tool bars alike: an action per id, a separator for "-".
template <class Target>
void addCommands(const TCommandActions& commands, Target* target, std::initializer_list<const char*> ids)
{
    for (const char* id : ids) {
        if (std::string(id) == "-")
            target->addSeparator();
        else
            target->addAction(commands.Action(id));
    }
}

} // namespace

void TCommandActions::AddTo(QMenu* menu, std::initializer_list<const char*> ids)
{
    addCommands(*this, menu, ids);
    watch(menu);
}

void TCommandActions::AddTo(QToolBar* bar, std::initializer_list<const char*> ids)
{
    addCommands(*this, bar, ids);
}

void TCommandActions::watch(QMenu* menu)
{
    // Once per menu: the states are fresh whenever it opens.
    if (menu->property("commandsWatched").toBool())
        return;
    menu->setProperty("commandsWatched", true);
    connect(menu, &QMenu::aboutToShow, this, [this] { Update(); });
}

void TCommandActions::run(const TCommand& command)
{
    // The rule is asked again: a state may have changed since the last update.
    if (m_table.IsEnabled(command))
        RunGuarded(command.Handler);
    if (AfterCommand)
        RunGuarded([&] { AfterCommand(command); });
    Update();
}

void TCommandActions::Update()
{
    if (m_updating)
        return;
    struct TUpdating {
        bool& flag;
        ~TUpdating() { flag = false; }
    } updating{m_updating = true};
    for (const TCommand& c : m_table.Commands()) {
        QAction* a = m_actions.at(c.Id);
        a->setEnabled(m_table.IsEnabled(c));
        if (c.Checked)
            a->setChecked(c.Checked());
        if (c.Visible)
            a->setVisible(c.Visible());
        if (c.CaptionRule)
            a->setText(QString::fromStdString(c.CaptionRule()));
        if (c.ButtonText)
            a->setIconText(QString::fromStdString(c.ButtonText()));
        if (c.HintRule) {
            const QString hint = QString::fromStdString(c.HintRule());
            a->setToolTip(hint);
            a->setStatusTip(hint);
        }
    }
    if (AfterUpdate)
        AfterUpdate();
}
