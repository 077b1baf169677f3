// Reading the values that follow command-line options; wrong values are usage errors.
#pragma once

#include "CliCommand.h"

#include "workspace/FrameStrip.h"

#include <string>
#include <vector>

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
