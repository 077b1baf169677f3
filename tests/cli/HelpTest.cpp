// --help, help COMMAND and --version answer on standard output with exit code 0 and do
// nothing else; wrong arguments point at the command's --help.
#include "CliRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

namespace {

// The command names of `anivor-cli --help`: the "Commands:" lines indented by two.
std::vector<std::string> ListedCommands(const std::string& help)
{
    std::vector<std::string> names;
    std::istringstream lines(help);
    bool inList = false;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != ' ')
            inList = line == "Commands:";
        else if (inList && line.size() > 2 && line.compare(0, 2, "  ") == 0 && line[2] != ' ')
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
    }
    return names;
}

} // namespace

TEST(CliHelp, EveryCommandShowsItsUsageAndDoesNothingElse)
{
    TempDir dir;
    const CliRun list = RunCli(dir, "--help");
    ASSERT_EQ(list.Exit, 0) << list.Err;
    const std::vector<std::string> commands = ListedCommands(list.Out);
    ASSERT_GE(commands.size(), 16u) << list.Out;
    for (const std::string& name : commands) {
        SCOPED_TRACE(name);
        const CliRun r = RunCli(dir, name + " --help");
        EXPECT_EQ(r.Exit, 0);
        EXPECT_EQ(r.Err, "");
        EXPECT_EQ(r.Out.rfind("Usage: anivor-cli " + name + " ", 0), 0u) << r.Out;
        EXPECT_NE(r.Out.find("\nCommon options:\n  --memory-limit SIZE\n"), std::string::npos) << r.Out;
        // No line wider than a terminal.
        std::istringstream lines(r.Out);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 80u) << line;
        // The same text from -h, from `help NAME`, and from --help after other arguments,
        // which then do nothing: the output file named before it is not written.
        EXPECT_EQ(RunCli(dir, name + " -h").Out, r.Out);
        EXPECT_EQ(RunCli(dir, "help " + name).Out, r.Out);
        const std::string out = dir.file(name + ".out");
        const CliRun late = RunCli(dir, name + " in.png -o '" + out + "' --help --memory-limit 64M");
        EXPECT_EQ(late.Exit, 0);
        EXPECT_EQ(late.Out, r.Out);
        EXPECT_FALSE(std::filesystem::exists(out));
    }

    // make's options are described, with the names the program accepts.
    const CliRun make = RunCli(dir, "make --help");
    EXPECT_NE(make.Out.find("  --palette METHOD\n      The palette: none, windows-system,"), std::string::npos) << make.Out;
    EXPECT_NE(make.Out.find("  -o OUT.gif\n      The animated GIF to write.\n"), std::string::npos);

    // Wrong arguments: exit 2 with the usage.
    const CliRun wrong = RunCli(dir, "make");
    EXPECT_EQ(wrong.Exit, 2);
    EXPECT_NE(wrong.Err.find("Usage: anivor-cli make -o OUT.gif"), std::string::npos) << wrong.Err;
    const CliRun unknown = RunCli(dir, "help nosuch");
    EXPECT_EQ(unknown.Exit, 2);
    EXPECT_NE(unknown.Err.find("unknown command 'nosuch'"), std::string::npos);
    // Nothing at all: the list, on standard output, as a usage error.
    const CliRun none = RunCli(dir, "");
    EXPECT_EQ(none.Exit, 2);
    EXPECT_EQ(none.Out, list.Out);
}

TEST(CliHelp, Version)
{
    TempDir dir;
    const CliRun v = RunCli(dir, "--version");
    EXPECT_EQ(v.Exit, 0);
    EXPECT_TRUE(std::regex_match(v.Out, std::regex("anivor-cli \\(Anivor 13\\) [0-9]+\\.[0-9]+\n"))) << v.Out;
}
