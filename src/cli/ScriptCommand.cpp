// anivor-cli script: runs a script with "gfx" drawing on a picture, without a window.
#include "CliOptions.h"

#include "graphics/BmpFile.h"
#include "scripting/ScriptSession.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

std::string readScript(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

int runScript(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    std::string out;
    double timeout = 10;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o")
            out = CliTextOption(args, i);
        else if (args[i] == "--timeout") {
            const std::string text = CliTextOption(args, i);
            char* end = nullptr;
            errno = 0;
            timeout = std::strtod(text.c_str(), &end);
            if (text.empty() || *end || errno || !std::isfinite(timeout) || timeout <= 0 || timeout > 86400)
                throw CliUsageError{"--timeout takes a number of seconds above 0 (at most 86400)"};
        } else
            files.push_back(args[i]);
    }
    if (files.size() != 2 || out.empty())
        throw CliUsageError{"expected a script file, a picture file and -o OUT"};

    const std::string code = readScript(files[0]);
    TBitmapPictureTarget picture(LoadCliPicture(files[1], "script"));
    TScriptSession session(&picture);
    session.se.TimeoutSeconds = timeout;
    const std::optional<TScriptError> error = session.RunScript(code);
    if (error) {
        std::cerr << "anivor-cli script: " << files[0] << ": " << error->Text() << "\n";
        return 1;
    }
    SaveBmpFile(picture.Picture(), out);
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("script", "FILE.js IN -o OUT.bmp [--timeout SECONDS]",
                   "Runs a script whose gfx object draws on the picture IN and writes the picture as a BMP file "
                   "; the script is stopped after the timeout (10 s).",
                   runScript,
                   {{"-o", "OUT.bmp", "The BMP file to write.", {"bmp"}},
                    {"--timeout", "SECONDS",
                     "Stops a script that runs longer, above 0 and at most 86400 seconds (default 10)."}},
                   {{"js"}, {"image"}});
