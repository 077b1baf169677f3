// The command table of anivor-cli. Each command lives in its own file and registers
// itself with ANIVOR_CLI_COMMAND; main() dispatches on the first argument.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct CliCommand {
    std::string name;
    std::string usage;   // arguments after the name, e.g. "FILE"
    std::string summary; // one line for --help
    std::function<int(const std::vector<std::string>& args)> run;
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
