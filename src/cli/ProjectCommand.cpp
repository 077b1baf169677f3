// project: a project file (".anivor") from GIFs, pictures and other projects, as dropping
// the files on an empty strip and Save Project make it.
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"

#include "graphics/Exception.h"
#include "workspace/FrameImport.h"
#include "workspace/ProjectFile.h"

#include <iostream>

namespace {

int run(const std::vector<std::string>& args)
{
    std::string out;
    std::vector<std::string> inputs;
    TFrameStrip strip;
    strip.Session.DefaultDelay = 10;
    int loops = -1; // -1: the first project's, else forever
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o") {
            if (i + 1 >= args.size())
                throw CliUsageError{"-o needs a file name"};
            out = args[++i];
        } else if (a == "--delay") {
            strip.Session.DefaultDelay = CliIntOption(args, i, 0, 65535);
        } else if (a == "--loops") {
            loops = CliIntOption(args, i, 0, 2147483647);
        } else if (a == "--transparent") {
            strip.Session.DefTrans = true;
        } else if (CliIsOption(a)) {
            throw CliUsageError{"unknown option " + a};
        } else {
            inputs.push_back(a);
        }
    }
    if (out.empty())
        throw CliUsageError{"expected -o OUT.anivor"};
    if (inputs.empty())
        throw CliUsageError{"expected at least one GIF, picture or project file"};

    // A project given first lends the new one its loop count and assembly options.
    TProject project;
    if (IsProjectFile(inputs.front())) {
        const TProjectLoad first = LoadProject(inputs.front());
        project.Assembly = first.Project.Assembly;
        if (loops < 0)
            loops = first.Project.Document.LoopCount;
    }
    const TInsertResult result = InsertFiles(strip, inputs);
    // Any input that could not be taken refuses the job: nothing is written.
    std::string refused;
    for (const std::string& path : result.Skipped)
        refused += "\n  " + path + ": not a GIF, picture or project file";
    for (const std::string& r : result.Refused)
        refused += "\n  " + r;
    if (!refused.empty())
        throw Exception("Nothing written; these inputs could not be taken:" + refused);
    for (const std::string& w : result.Warnings)
        std::cerr << "anivor-cli project: warning: " << w << "\n";
    for (const std::string& loss : result.Losses)
        std::cerr << "anivor-cli project: warning: " << loss << "\n";
    if (strip.Count() == 0)
        throw Exception("Nothing written: the inputs hold no frames");

    strip.SetLoopCount(loops < 0 ? 0 : loops);
    project.Document = strip.Document();
    TProjectWriter().Save(out, project);
    CliReport() << "Wrote " << out << " (" << strip.Count() << " frames, " << strip.FrameWidth() << " x "
              << strip.FrameHeight() << ")\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("project", "-o OUT.anivor [--delay N] [--loops N] [--transparent] INPUT...",
                   "Builds a project file from GIFs (every frame as Open composes it, with its delay), pictures "
                   "(fitted into the first frame's size) and other projects, in order. A project given first "
                   "lends its loop count and assembly options. An input that cannot be read refuses the job.",
                   run,
                   {{"-o", "OUT.anivor", "The project file to write.", {"anivor"}},
                    {"--delay", "N", "The delay of frames made from pictures, 0 to 65535 (default 10)."},
                    {"--loops", "N", "How often the animation repeats; 0 loops forever (the default, or the first "
                                     "project's count)."},
                    {"--transparent", "", "Frames made from pictures are transparent."}},
                   {{"image-or-project"}});
