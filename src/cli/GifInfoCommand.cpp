// anivor-cli gif-info FILE: the block tree of a GIF file.
#include "CliCommand.h"

#include "gif/GIFInfo.h"

#include <iostream>

ANIVOR_CLI_COMMAND("gif-info", "FILE", "Lists the blocks of a GIF file: header, palettes, frames and extensions.",
                   [](const std::vector<std::string>& args) -> int {
                       if (args.size() != 1)
                           throw CliUsageError{"expects one GIF file"};
                       TGIFImage gif;
                       gif.OnWarning = [](const TGIFObject& sender, int, const std::string& text) {
                           std::cerr << "warning: " << text << " (" << sender.ClassName() << ")\n";
                           return true;
                       };
                       gif.LoadFromFile(args[0]);
                       std::cout << GIFBlockTreeText(gif);
                       return 0;
                   },
                   {}, {{"gif"}});
