// A window's commands as one table: what each is called, its shortcut and hint, when it
// can run, the state it shows and what it does. Menus, tool bars, the names of undo steps
// and the tests all read the table. A command is found by its id, a short stable name
// ("animation.new", "image.mirror-right") that is never shown to the user.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <unordered_map>

struct TCommand {
    std::string Id = {};
    std::string Caption = {};  // the menu text with its "&" mnemonic ("Save &As...")
    std::string Shortcut = {}; // key text such as "Ctrl+Alt+U"; empty: none
    std::string Hint = {};     // tool tip and status text; empty: the caption without "&"
    // When the command can run; absent: always.
    std::function<bool()> Enabled = {};
    // The check mark a menu item or a tool bar button shows; absent: the command shows none.
    std::function<bool()> Checked = {};
    // What the command does; absent: the command is present but disabled.
    std::function<void()> Handler = {};
    // The undo step the command makes, when its caption alone would not tell it apart
    // ("Mirror Down" beside "Scroll Down", both "Down" in their submenus); empty: the
    // caption without "&" and a trailing "...".
    std::string UndoName = {};
    // Texts that follow the state (absent: the fixed ones above): the caption ("Save GIF
    // &As...", "&Undo Invert"), the hint, and the text a tool bar button shows instead of
    // a glyph ("GIF", "BMP").
    std::function<std::string()> CaptionRule = {};
    std::function<std::string()> HintRule = {};
    std::function<std::string()> ButtonText = {};
    // Whether the item shows at all; absent: always (the Recent items show one per file).
    std::function<bool()> Visible = {};

    // The name of its undo step.
    std::string StepName() const;
    // Caption and hint as they stand now.
    std::string CurrentCaption() const;
    std::string CurrentHint() const;
};

// `caption` without its "&" mnemonics ("&&" stays one "&") and without a trailing "...".
std::string PlainCaption(const std::string& caption);

// A command that flips `state` and shows it as its check mark; `after` runs once the state
// has changed. `state` must outlive the table.
TCommand ToggleCommand(std::string id, std::string caption, bool& state, std::function<void()> after = nullptr);

class TCommandTable {
public:
    TCommandTable() = default;
    TCommandTable(const TCommandTable&) = delete;
    TCommandTable& operator=(const TCommandTable&) = delete;

    // Adds a command after the others. Throws std::logic_error when its id is empty or
    // already taken. The reference stays valid as more commands are added.
    TCommand& Add(TCommand command);
    // The command of that id; throws std::logic_error naming the id when there is none.
    const TCommand& operator[](const std::string& id) const;
    TCommand& operator[](const std::string& id);
    // nullptr when there is none.
    const TCommand* Find(const std::string& id) const;

    // In the order they were added.
    const std::deque<TCommand>& Commands() const { return m_commands; }
    std::size_t Size() const { return m_commands.size(); }

    // A condition of the whole window, asked before each command's own rule: while a
    // wizard runs the main window lets only its Stop through. Absent: every command.
    std::function<bool(const TCommand&)> Available;
    // Whether `command` can run now: it has a handler, the window lets it through and its
    // own rule allows it.
    bool IsEnabled(const TCommand& command) const;
    bool IsEnabled(const std::string& id) const { return IsEnabled((*this)[id]); }

private:
    std::deque<TCommand> m_commands;
    std::unordered_map<std::string, std::size_t> m_index;
};
