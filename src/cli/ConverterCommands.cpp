// avi2gif and gif2avi: the two converter windows' work from the shell.
#include "CliCommand.h"
#include "CliProgress.h"
#include "CliWords.h"

#include "gif/GIFImage.h"
#include "gif/ReduceSettings.h"
#include "tools/AviToGif.h"
#include "tools/GifToAvi.h"
#include "workspace/Assembly.h"
#include "workspace/ProjectFile.h"

#include <iostream>

namespace {

// IN -o OUT, in any order; `palette` (when given) takes --palette METHOD.
void inAndOut(const std::vector<std::string>& args, std::string& in, std::string& out, const char* outKind,
              TColorReduction* palette = nullptr)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (palette && args[i] == "--palette") {
            if (i + 1 >= args.size() || !ParsePaletteName(args[i + 1], *palette) || *palette == rmNone)
                throw CliUsageError{"--palette takes netscape (the default), best, optimized, optimized-windows, "
                                    "windows-system, windows-halftone, windows-grayscale, monochrome or grayscale"};
            ++i;
        } else if (args[i] == "-o") {
            if (i + 1 >= args.size())
                throw CliUsageError{std::string("-o needs ") + outKind};
            out = args[++i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            throw CliUsageError{"unknown option " + args[i]};
        } else if (in.empty()) {
            in = args[i];
        } else {
            throw CliUsageError{"one input file only"};
        }
    }
    if (in.empty())
        throw CliUsageError{"expected an input file"};
    if (out.empty())
        throw CliUsageError{std::string("expected -o ") + outKind};
}

int avi2gif(const std::vector<std::string>& args)
{
    std::string in, out;
    TColorReduction palette = rmNetscape;
    inAndOut(args, in, out, "OUT.gif", &palette);
    TVideoReader reader(in);
    const TVideoStreamInfo& info = reader.Info();
    std::unique_ptr<TGIFImage> image;
    {
        TCliProgress progress("avi2gif", info.Timing.Length - info.Timing.Start);
        TAviToGifView view;
        view.Step = [&](std::uint32_t position) {
            progress.Show(position - info.Timing.Start + 1);
            return true;
        };
        view.Warning = [&](const std::string& message) {
            progress.Clear();
            std::cerr << "anivor-cli avi2gif: warning: " << in << ": " << message << "\n";
        };
        image = ConvertAviToGif(reader, view, palette);
    }
    const int frames = image->Count(); // the optimiser may fold repeated frames together
    SaveConvertedGif(*image, out);
    CliReport() << "Wrote " << out << " (" << frames << " frames, " << info.Width << " x " << info.Height
              << ", delay " << AviFrameDelay(info.Timing) << ")\n";
    return 0;
}

int gif2avi(const std::vector<std::string>& args)
{
    std::string in, out;
    inAndOut(args, in, out, "OUT.avi");
    // A project is assembled as Create makes it, with its own options.
    std::shared_ptr<TGIFImage> loaded = std::make_shared<TGIFImage>();
    if (IsProjectFile(in)) {
        const TProjectLoad load = LoadProject(in);
        for (const std::string& loss : load.Losses)
            std::cerr << "anivor-cli gif2avi: warning: " << in << ": " << loss << "\n";
        TFrameStrip strip;
        strip.SetDocument(load.Project.Document);
        if (strip.Count() == 0)
            throw GIFException(in + ": the project has no frames");
        const TAssemblyResult made = CreateAnimation(strip, false, load.Project.Assembly, {});
        if (!made.Succeeded())
            std::rethrow_exception(made.Error);
        loaded = made.Document;
    } else {
        loaded->LoadFromFile(in);
    }
    TGIFImage& image = *loaded;
    if (image.Empty())
        throw GIFException(in + ": the GIF has no frames");
    TGifToAviResult result;
    {
        TCliProgress progress("gif2avi", static_cast<std::uint64_t>(image.Count()));
        TGifToAviView view;
        view.Step = [&](int index) {
            progress.Show(static_cast<std::uint64_t>(index) + 1);
            return true;
        };
        result = WriteGifAsAvi(image, out, view);
    }
    const std::uint32_t duration = GifAviFrameDuration(image);
    CliReport() << "Wrote " << out << " (" << result.Frames << " frames, " << image.Width() << " x " << image.Height()
              << ", " << duration << "/100 s a frame)\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("avi2gif", "IN -o OUT.gif [--palette METHOD]",
                   "Converts a video (AVI, MP4, MOV, MKV, WebM) to an animated GIF as the AVI to GIF converter does.",
                   avi2gif,
                   {{"-o", "OUT.gif", "The animated GIF to write.", {"gif"}},
                    {"--palette", "METHOD",
                     "The palette: netscape (the web palette, the default), best, optimized, optimized-windows, "
                     "windows-system, windows-halftone, windows-grayscale, monochrome or grayscale.",
                     {"", [] {
                          std::vector<std::string> words = CliPaletteWords();
                          std::erase(words, "none");
                          return words;
                      }}}},
                   {{"video"}});
ANIVOR_CLI_COMMAND("gif2avi", "IN.gif|IN.anivor -o OUT.avi",
                   "Writes an animated GIF (or a project, assembled as Animation > Create makes it) as an "
                   "uncompressed AVI as the GIF to AVI converter does: 8-bit frames composed as a browser shows "
                   "them, one frame duration.",
                   gif2avi, {{"-o", "OUT.avi", "The AVI file to write.", {"avi"}}}, {{"animation"}});
