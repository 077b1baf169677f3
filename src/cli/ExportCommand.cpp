// export: an animation (a GIF, a project, other animations or pictures) written as APNG,
// animated WebP, MP4, WebM, a PNG sequence or a sprite sheet.
#include "CliAnimationInput.h"
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"

#include "export/ExportAnimation.h"
#include "export/PngFrames.h"

#include <filesystem>
#include <iostream>
#include <optional>

namespace {

int run(const std::vector<std::string>& args)
{
    std::string out;
    std::vector<std::string> inputs;
    std::optional<TExportFormat> format;
    std::optional<int> loops;
    int delay = 10;
    TExportOptions options;
    // A quality asks for lossy WebP unless --lossless says otherwise.
    bool quality = false, lossless = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o") {
            out = CliTextOption(args, i);
        } else if (a == "--format") {
            const std::string name = CliTextOption(args, i);
            format = ParseExportFormat(name);
            if (!format)
                throw CliUsageError{"--format takes apng, webp, mp4, webm, sequence or sheet, not '" + name + "'"};
        } else if (a == "--quality") {
            options.Quality = CliIntOption(args, i, 0, 100);
            quality = true;
        } else if (a == "--lossless") {
            lossless = true;
        } else if (a == "--lossy") {
            quality = true;
        } else if (a == "--columns") {
            options.Columns = CliIntOption(args, i, 1, 65535);
        } else if (a == "--padding") {
            options.Padding = CliIntOption(args, i, 0, 4096);
        } else if (a == "--loops") {
            loops = CliIntOption(args, i, 0, 65535);
        } else if (a == "--delay") {
            delay = CliIntOption(args, i, 0, 65535);
        } else if (CliIsOption(a)) {
            throw CliUsageError{"unknown option " + a};
        } else {
            inputs.push_back(a);
        }
    }
    if (out.empty())
        throw CliUsageError{"expected -o OUT (.apng, .webp, .mp4, .webm, or .png with --format)"};
    if (inputs.empty())
        throw CliUsageError{"expected at least one input file"};
    if (!format)
        format = ExportFormatOfPath(out);
    if (!format)
        throw CliUsageError{"the format of " + out + " is not known by its extension: name it .apng, .webp, .mp4 or "
                            ".webm, or give --format apng, webp, mp4, webm, sequence or sheet"};
    options.Format = *format;
    options.Lossless = lossless || !quality;

    TExportAnimation animation = ReadCliAnimation(inputs, "export", delay);
    if (loops)
        animation.Loops = *loops;

    {
        TCliProgress progress("export", animation.Frames.size());
        ExportAnimation(animation, out, options, [&](int done, int) {
            progress.Show(static_cast<std::uint64_t>(done));
            return true;
        });
    }

    const int count = static_cast<int>(animation.Frames.size());
    const std::string what = std::to_string(count) + (count == 1 ? " frame, " : " frames, ") + std::to_string(animation.Width)
                             + " x " + std::to_string(animation.Height);
    std::error_code ec;
    if (options.Format == TExportFormat::PngSequence) {
        CliReport() << "Wrote " << PngSequenceFileName(out, 0, count) << " to " << PngSequenceFileName(out, count - 1, count)
                  << " and " << FrameListFileName(out) << " (" << what << ")\n";
    } else {
        CliReport() << "Wrote " << out;
        if (options.Format == TExportFormat::SpriteSheet)
            CliReport() << " and " << FrameListFileName(out);
        CliReport() << " (" << what << ", " << std::filesystem::file_size(out, ec) << " bytes)\n";
    }
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("export",
                   "INPUT... -o OUT [--format apng|webp|mp4|webm|sequence|sheet] [--quality N] [--lossless|--lossy] "
                   "[--columns N] [--padding N] [--loops N] [--delay N]",
                   "Writes a GIF, project, animation or pictures as APNG, WebP, MP4, WebM, a PNG sequence or a sprite "
                   "sheet. The format comes from OUT's extension or --format.",
                   run,
                   {{"-o", "OUT", "The file to write: .apng, .webp, .mp4, .webm, or .png with --format.", {"file"}},
                    {"--format", "F", "apng, webp, mp4, webm, sequence (numbered PNG files and a JSON list) or sheet "
                                      "(one PNG grid and a JSON list)."},
                    {"--quality", "N", "0 to 100 (default 80) for MP4, WebM and lossy WebP; with WebP it asks for lossy."},
                    {"--lossless", "", "Lossless WebP (the default unless --quality is given)."},
                    {"--lossy", "", "Lossy WebP."},
                    {"--columns", "N", "Sprite sheet columns (default: about as many as rows)."},
                    {"--padding", "N", "Sprite sheet pixels around and between the frames (default 0)."},
                    {"--loops", "N", "The loop count written instead of the input's; 0 loops forever."},
                    {"--delay", "N", "The delay of pictures in hundredths of a second (default 10)."}},
                   {{"file"}});
