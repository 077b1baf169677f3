// Reading the values that follow command-line options; wrong values are usage errors.
#pragma once

#include "CliCommand.h"

#include "gif/GIFImage.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/ImageFile.h"
#include "workspace/FrameImport.h"
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

// The size "WIDTHxHEIGHT" after option args[i] (each side 1 to maxSide); moves i onto it.
inline void CliSizeOption(const std::vector<std::string>& args, std::size_t& i, int maxSide, int& width, int& height)
{
    const std::string option = args[i];
    const std::string text = CliTextOption(args, i);
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos || !TryParseInt(text.substr(0, x), width) || !TryParseInt(text.substr(x + 1), height)
        || width < 1 || height < 1 || width > maxSide || height > maxSide)
        throw CliUsageError{option + " takes WIDTHxHEIGHT, each from 1 to " + std::to_string(maxSide) + " (e.g. 640x480), not '"
                            + text + "'"};
}

// A picture file by its content; a GIF gives its first frame, as Import takes it.
// A GIF cut short gives the frame before the cut and a warning under `command`'s name.
inline TBitmap LoadCliPicture(const std::string& path, const std::string& command)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    if (DetectImageFormat(bytes.data(), bytes.size(), path) == TImageFormat::Gif) {
        std::vector<std::string> warnings;
        TBitmap picture = LoadGIFPicture(path, &warnings);
        CliPrintWarnings(command, path, warnings);
        return picture;
    }
    return ReadImage(bytes.data(), bytes.size(), path);
}
