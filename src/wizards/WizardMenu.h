// Layout of the "Wizards" drop-down menu as data, so the main window builds the menu from
// it and tests can walk it: submenus, captions, separators and order as they appear.
#pragma once

#include <string>
#include <vector>

struct TWizardMenuItem {
    enum class Type { Command, Submenu, Separator };
    Type ItemType = Type::Command;
    std::string Caption;                 // empty for separators
    int Kind = -1;                       // wizard kind a command runs; -1 otherwise
    std::vector<TWizardMenuItem> Items;  // items of a submenu, in display order
};

// The top-level items of the drop-down, in display order.
const std::vector<TWizardMenuItem>& WizardMenu();
