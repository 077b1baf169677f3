// anivor-cli: Anivor's engine from the shell, for scripts, batch jobs and timing.
#include "CliCommand.h"

#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "platform/AppDir.h"
#include "platform/CommandGuard.h"
#include "platform/MemoryPolicy.h"
#include "scripting/ScriptRunner.h"
#include "workspace/Settings.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

std::vector<CliCommand>& CliRegistry::All()
{
    static std::vector<CliCommand> commands;
    return commands;
}

const CliCommand* CliRegistry::Find(const std::string& name)
{
    for (const CliCommand& c : All())
        if (c.name == name)
            return &c;
    return nullptr;
}

static void printHelp()
{
    std::vector<CliCommand> cmds = CliRegistry::All();
    std::sort(cmds.begin(), cmds.end(), [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    std::cout << "Usage: anivor-cli COMMAND [ARGUMENTS]\n\n"
                 "Anivor 13 from the command line. Commands:\n";
    for (const CliCommand& c : cmds) {
        std::string head = "  " + c.name + (c.usage.empty() ? "" : " " + c.usage);
        std::cout << head << "\n      " << c.summary << "\n";
    }
    std::cout << "\n  --help, help\n      Shows this list.\n"
                 "\nEvery command also takes:\n"
                 "  --memory-limit SIZE\n"
                 "      The memory budget for pictures (such as 512M or 4G; at least 1M). Work that would\n"
                 "      need more is refused at once. Default: the settings file's [Memory] Limit, else 2G.\n";
}

// Takes "--memory-limit SIZE" (or "--memory-limit=SIZE") out of the arguments, wherever it
// stands, and sets the budget. False (with the message) for a value that is not a size.
static bool takeMemoryLimit(std::vector<std::string>& args, std::string& error)
{
    static const std::string option = "--memory-limit";
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value;
        std::size_t count = 0;
        if (args[i] == option) {
            if (i + 1 >= args.size()) {
                error = option + " needs a size such as 512M or 2G";
                return false;
            }
            value = args[i + 1];
            count = 2;
        } else if (args[i].rfind(option + "=", 0) == 0) {
            value = args[i].substr(option.size() + 1);
            count = 1;
        } else {
            continue;
        }
        const std::optional<std::uint64_t> limit = ParseMemoryLimit(value);
        if (!limit) {
            error = option + " takes a size such as 512M or 2G, not '" + value + "'";
            return false;
        }
        MemoryBudget::SetLimit(*limit);
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i + count));
        --i;
    }
    return true;
}

int main(int argc, char** argv)
{
    // Frames of a few megabytes come and go by the hundred: freed memory is kept for the
    // next one instead of fresh pages faulted in every time, as in the window program.
    KeepFreedPictureMemory();
    // Text and fonts need a GUI application object, but never a display.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt complains on every run when there is no runtime folder; give it a private one.
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/anivor-runtime-" + std::to_string(::getuid());
        ::mkdir(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    QGuiApplication app(argc, argv);
    // Started by a window or a `script` command to run one script apart from it.
    if (IsScriptRunnerCall(argc, argv))
        ScriptRunnerMain(argc, argv);
    // A file being written when Ctrl+C or a termination signal arrives leaves no
    // temporary file behind.
    RemoveTemporaryFilesOnInterrupt();

    // The memory budget: the settings file's, unless the command line names one.
    try {
        MemoryBudget::SetLimit(LoadSettings(SettingsFileName(), TSettings()).MemoryLimit);
    } catch (...) {
        // No usable settings folder: the default budget stays.
    }
    std::vector<std::string> all(argv + 1, argv + argc);
    std::string limitError;
    if (!takeMemoryLimit(all, limitError)) {
        std::cerr << "anivor-cli: " << limitError << "\n";
        return 2;
    }

    if (all.empty() || all[0] == "--help" || all[0] == "-h" || all[0] == "help") {
        printHelp();
        return all.empty() ? 2 : 0;
    }
    const CliCommand* cmd = CliRegistry::Find(all[0]);
    if (!cmd) {
        std::cerr << "anivor-cli: unknown command '" << all[0] << "' (see anivor-cli --help)\n";
        return 2;
    }
    std::vector<std::string> args(all.begin() + 1, all.end());
    try {
        return cmd->run(args);
    } catch (const CliUsageError& e) {
        std::cerr << "anivor-cli " << cmd->name << ": " << e.message << "\nUsage: anivor-cli " << cmd->name
                  << " " << cmd->usage << "\n";
        return 2;
    } catch (...) {
        // The same words the window shows: our messages, "Not enough memory ...", never a
        // library's own text.
        std::cerr << "anivor-cli " << cmd->name << ": " << ExceptionMessage(std::current_exception()) << "\n";
        return 1;
    }
}
