// anivor-cli: Anivor's engine from the shell, for scripts, batch jobs and timing.
#include "CliCommand.h"

#include "graphics/Exception.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
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
    std::cout << "\n  --help, help\n      Shows this list.\n";
}

int main(int argc, char** argv)
{
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

    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h"
        || std::string(argv[1]) == "help") {
        printHelp();
        return argc < 2 ? 2 : 0;
    }
    const CliCommand* cmd = CliRegistry::Find(argv[1]);
    if (!cmd) {
        std::cerr << "anivor-cli: unknown command '" << argv[1] << "' (see anivor-cli --help)\n";
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        return cmd->run(args);
    } catch (const CliUsageError& e) {
        std::cerr << "anivor-cli " << cmd->name << ": " << e.message << "\nUsage: anivor-cli " << cmd->name
                  << " " << cmd->usage << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "anivor-cli " << cmd->name << ": " << e.what() << "\n";
        return 1;
    }
}
