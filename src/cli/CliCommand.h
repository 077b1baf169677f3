// The command table of anivor-cli. Each command lives in its own file and registers
// itself with ANIVOR_CLI_COMMAND; main() dispatches on the first argument.
#pragma once

#include <functional>
#include <string>
#include <vector>

// What a value is, for the shells' completion: files of a kind ("image", "image-or-project",
// "animation" (a GIF or a project), "gif", "video", "avi", "bmp", "bmp-png", "js", "dir",
// "file"; empty for none) or the words the program
// accepts (asked only when a completion script is made).
struct CliValues {
    std::string files = {};
    std::function<std::vector<std::string>()> words = {};
};

// One option of a command: "--palette" with its value's name ("METHOD", empty for a
// switch), what it does, and what its value may be.
struct CliOption {
    std::string name;
    std::string value;
    std::string help;
    CliValues values = {};
};

struct CliCommand {
    std::string name;
    std::string usage;   // arguments after the name, e.g. "FILE"
    std::string summary; // what it does, for --help and the manual page
    std::function<int(const std::vector<std::string>& args)> run;
    std::vector<CliOption> options = {};  // described in --help; options only named in `usage` still complete
    std::vector<CliValues> operands = {}; // the arguments that are not options, in order; the last repeats
};

class CliRegistry {
public:
    static std::vector<CliCommand>& All();
    static const CliCommand* Find(const std::string& name);
    struct Adder {
        explicit Adder(CliCommand c) { All().push_back(std::move(c)); }
    };
};

// Raised by commands for wrong arguments; main() prints the message and the usage.
struct CliUsageError {
    std::string message;
};

#define ANIVOR_CLI_CONCAT2(a, b) a##b
#define ANIVOR_CLI_CONCAT(a, b) ANIVOR_CLI_CONCAT2(a, b)
#define ANIVOR_CLI_COMMAND(...) \
    static CliRegistry::Adder ANIVOR_CLI_CONCAT(cliCommand_, __LINE__)(CliCommand{__VA_ARGS__})
