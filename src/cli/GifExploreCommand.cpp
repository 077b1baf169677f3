// anivor-cli gif-explore FILE [--json]: the GIF explorer's tree, with each node's
// property rows and text previews, as text or as one JSON document.
#include "CliCommand.h"

#include "tools/GIFExplorerModel.h"

#include <filesystem>
#include <iostream>

ANIVOR_CLI_COMMAND("gif-explore", "FILE [--json]",
                   "Shows a GIF file as the GIF Explorer does: the tree of blocks with their properties and text previews.",
                   [](const std::vector<std::string>& args) -> int {
                       std::string file;
                       bool json = false;
                       for (const std::string& a : args) {
                           if (a == "--json")
                               json = true;
                           else if (!a.empty() && a[0] == '-')
                               throw CliUsageError{"unknown option " + a};
                           else if (file.empty())
                               file = a;
                           else
                               throw CliUsageError{"expects one GIF file"};
                       }
                       if (file.empty())
                           throw CliUsageError{"expects one GIF file"};

                       TGIFImage gif;
                       std::vector<std::string> warnings;
                       gif.OnWarning = [&](const TGIFObject& sender, int, const std::string& text) {
                           warnings.push_back(text);
                           if (!json)
                               std::cerr << "warning: " << text << " (" << sender.ClassName() << ")\n";
                           return true;
                       };
                       std::string error;
                       if (std::exception_ptr failure = GIFExplorerLoad(gif, [&] { gif.LoadFromFile(file); })) {
                           try {
                               std::rethrow_exception(failure);
                           } catch (const std::exception& e) {
                               error = e.what();
                           }
                       }
                       // What was read is shown even when the file broke off; when not even
                       // the header could be read the message alone says it.
                       const bool read = !gif.Header.FileVersion.empty();
                       const std::string name = std::filesystem::path(file).filename().string();
                       const TGIFExplorerNode tree = BuildGIFExplorerTree(gif, name);
                       if (json)
                           std::cout << GIFExplorerJson(gif, read ? &tree : nullptr, file, warnings, error);
                       else if (read)
                           std::cout << GIFExplorerText(gif, tree);
                       if (!error.empty()) {
                           std::cerr << "anivor-cli gif-explore: " << error << "\n";
                           return 1;
                       }
                       return 0;
                   },
                   {{"--json", "", "Prints the tree, the warnings and the error as one JSON document."}}, {{"gif"}});
