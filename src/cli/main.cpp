// anivor-cli: Anivor's engine from the shell, for scripts, batch jobs and timing.
#include "CliCommand.h"
#include "CliCompletion.h"
#include "CliHelp.h"
#include "CliProgress.h"

#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "platform/AppDir.h"
#include "platform/CommandGuard.h"
#include "platform/MemoryPolicy.h"
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

// Takes every "--quiet" out of the arguments; true when there was one.
static bool takeQuiet(std::vector<std::string>& args)
{
    const auto quiet = std::remove(args.begin(), args.end(), std::string("--quiet"));
    const bool found = quiet != args.end();
    args.erase(quiet, args.end());
    return found;
}

// Answers the requests that only print text (help, version, manual page, completion
// script) before anything starts; nothing when the arguments ask for work.
static std::optional<int> answerTextRequest(const std::vector<std::string>& given)
{
    std::vector<std::string> args;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (given[i] == "--memory-limit" && i + 1 < given.size())
            ++i; // and its value
        else if (given[i].rfind("--memory-limit=", 0) != 0)
            args.push_back(given[i]);
    }
    const std::string first = args.empty() ? "" : args[0];
    if (args.empty() || first == "--help" || first == "-h" || first == "help") {
        if (args.size() > 1) {
            const CliCommand* cmd = CliRegistry::Find(args[1]);
            if (!cmd) {
                std::cerr << "anivor-cli: unknown command '" << args[1] << "' (see anivor-cli --help)\n";
                return 2;
            }
            std::cout << ManualHelpText(CliCommandPage(*cmd));
            return 0;
        }
        std::cout << ManualHelpText(CliProgramPage());
        return args.empty() ? 2 : 0;
    }
    if (first == "--version") {
        std::cout << CliVersionText() << "\n";
        return 0;
    }
    if (first == "--manual-page") {
        std::cout << ManualRoff(CliProgramPage(), "Anivor " ANIVOR_VERSION);
        return 0;
    }
    if (first == "--completion") {
        const std::string shell = args.size() > 1 ? args[1] : "";
        if (shell != "bash" && shell != "zsh") {
            std::cerr << "anivor-cli: --completion takes bash or zsh\n";
            return 2;
        }
        std::cout << (shell == "bash" ? CliBashCompletion() : CliZshCompletion());
        return 0;
    }
    if (const CliCommand* cmd = CliRegistry::Find(first))
        if (std::find_if(args.begin() + 1, args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; })
            != args.end()) {
            std::cout << ManualHelpText(CliCommandPage(*cmd));
            return 0;
        }
    return std::nullopt;
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
    std::vector<std::string> all(argv + 1, argv + argc);
    CliSetQuiet(takeQuiet(all));
    if (const std::optional<int> answered = answerTextRequest(all))
        return *answered;

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
    // A file being written when Ctrl+C or a termination signal arrives leaves no
    // temporary file behind.
    RemoveTemporaryFilesOnInterrupt();

    // The memory budget: the settings file's, unless the command line names one.
    try {
        MemoryBudget::SetLimit(LoadSettings(SettingsFileName(), TSettings()).MemoryLimit);
    } catch (...) {
        // No usable settings folder: the default budget stays.
    }
    std::string limitError;
    if (!takeMemoryLimit(all, limitError)) {
        std::cerr << "anivor-cli: " << limitError << "\n";
        return 2;
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
