// Reading the values that follow command-line options; wrong values are usage errors.
#pragma once

#include "CliCommand.h"

#include "gif/GIFImage.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/ImageFile.h"
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

// A picture file by its content; a GIF gives its first frame, as Import takes it.
inline TBitmap LoadCliPicture(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    if (DetectImageFormat(bytes.data(), bytes.size(), path) == TImageFormat::Gif) {
        TGIFImage image;
        image.LoadFromFile(path);
        if (image.Empty())
            throw EInvalidGraphic(path + ": the GIF file has no frame");
        return image.Bitmap();
    }
    return ReadImage(bytes.data(), bytes.size(), path);
}
