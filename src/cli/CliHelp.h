// anivor-cli's own description: the help of the program and of each command, and the
// manual page made of the same text (platform/ManualPage.h).
#pragma once

#include "CliCommand.h"

#include "platform/ManualPage.h"

// Every command, by name.
std::vector<CliCommand> CliSortedCommands();

// "anivor-cli (Anivor 13) 13.0".
std::string CliVersionText();

// The options of a command: those it describes, then any other its usage line names
// (with a value when the next word of the usage, within the same brackets, starts with a
// capital).
std::vector<CliOption> CliOptionsOf(const CliCommand& command);

// The options every command takes (main() reads them before the command runs).
const std::vector<CliOption>& CliCommonOptions();

// `anivor-cli --help`: the commands with their summaries and the common options; the
// manual page adds every command's usage and options.
TManualPage CliProgramPage();

// `anivor-cli COMMAND --help`.
TManualPage CliCommandPage(const CliCommand& command);
