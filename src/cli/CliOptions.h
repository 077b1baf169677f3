// Reading the values that follow command-line options; wrong values are usage errors.
#pragma once

#include "CliCommand.h"

#include "workspace/FrameStrip.h"

#include <cctype>
#include <iostream>
#include <string>
#include <vector>

// An option: "-" and a letter, or "--" and a name. "-1" is a value (a negative number).
inline bool CliIsOption(const std::string& a)
{
    return a.size() > 1 && a[0] == '-' && !std::isdigit(static_cast<unsigned char>(a[1]));
}

// The reader's warnings about a file, one line each on standard error.
inline void CliPrintWarnings(const std::string& command, const std::string& path, const std::vector<std::string>& warnings)
{
    for (const std::string& w : warnings)
        std::cerr << "anivor-cli " << command << ": warning: " << path << ": " << w << "\n";
}

// The whole number after option args[i], within low..high; moves i onto it.
inline int CliIntOption(const std::vector<std::string>& args, std::size_t& i, int low, int high)
{
    if (i + 1 >= args.size())
        throw CliUsageError{args[i] + " needs a value"};
    int value = 0;
    if (!TryParseInt(args[i + 1], value) || value < low || value > high)
        throw CliUsageError{args[i] + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high)};
    ++i;
    return value;
}

// The text after option args[i]; moves i onto it.
inline std::string CliTextOption(const std::vector<std::string>& args, std::size_t& i)
{
    if (i + 1 >= args.size())
        throw CliUsageError{args[i] + " needs a value"};
    return args[++i];
}
