#include "CommandTable.h"

#include <stdexcept>

std::string PlainCaption(const std::string& caption)
{
    std::string out;
    out.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&')
                out += caption[++i];
            continue;
        }
        out += caption[i];
    }
    if (out.size() >= 3 && out.compare(out.size() - 3, 3, "...") == 0)
        out.resize(out.size() - 3);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string TCommand::StepName() const
{
    return UndoName.empty() ? PlainCaption(Caption) : UndoName;
}

std::string TCommand::CurrentCaption() const
{
    return CaptionRule ? CaptionRule() : Caption;
}

std::string TCommand::CurrentHint() const
{
    return HintRule ? HintRule() : Hint;
}

TCommand ToggleCommand(std::string id, std::string caption, bool& state, std::function<void()> after)
{
    TCommand c;
    c.Id = std::move(id);
    c.Caption = std::move(caption);
    c.Checked = [&state] { return state; };
    c.Handler = [&state, after = std::move(after)] {
        state = !state;
        if (after)
            after();
    };
    return c;
}

TCommand& TCommandTable::Add(TCommand command)
{
    if (command.Id.empty())
        throw std::logic_error("A command needs an id (caption \"" + command.Caption + "\")");
    if (m_index.count(command.Id))
        throw std::logic_error("Two commands with the id \"" + command.Id + "\"");
    m_index.emplace(command.Id, m_commands.size());
    m_commands.push_back(std::move(command));
    return m_commands.back();
}

const TCommand* TCommandTable::Find(const std::string& id) const
{
    const auto it = m_index.find(id);
    return it == m_index.end() ? nullptr : &m_commands[it->second];
}

const TCommand& TCommandTable::operator[](const std::string& id) const
{
    if (const TCommand* c = Find(id))
        return *c;
    throw std::logic_error("No command with the id \"" + id + "\"");
}

TCommand& TCommandTable::operator[](const std::string& id)
{
    return const_cast<TCommand&>(static_cast<const TCommandTable&>(*this)[id]);
}

bool TCommandTable::IsEnabled(const TCommand& command) const
{
    if (!command.Handler)
        return false;
    if (Available && !Available(command))
        return false;
    return !command.Enabled || command.Enabled();
}
