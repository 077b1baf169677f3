// image-info: what a picture file holds, from its headers.
#include "CliCommand.h"

#include "graphics/ImageFile.h"

#include <iostream>

namespace {

int run(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        throw CliUsageError{"expected one file"};
    const TImageInfo info = ReadImageFileInfo(args[0]);
    std::cout << "Format: " << info.Format << "\n"
              << "Width: " << info.Width << "\n"
              << "Height: " << info.Height << "\n"
              << "Bits per pixel: " << info.BitsPerPixel << "\n";
    if (info.Format == "ICO")
        std::cout << "Images: " << info.ImageCount << "\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("image-info", "FILE", "Shows the format, size and depth of a BMP, ICO, PNG, JPEG or GIF file.", run,
                   {}, {{"image"}});
