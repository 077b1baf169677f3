// make: an animation from image files and projects, built exactly as Create builds it in
// the window, written while the files are read: only a few pictures are in memory at a
// time.
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"
#include "CliWords.h"

#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/ImageFile.h"
#include "graphics/MemoryBudget.h"
#include "graphics/NumberRules.h"
#include "workspace/Assembly.h"
#include "workspace/FrameImport.h"
#include "workspace/ProjectFile.h"

#include <iostream>
#include <memory>
#include <optional>

namespace {

// What the command line asks for; settings it leaves out are empty, so that a project
// given first can lend its own.
struct TMakeJob {
    std::string Out;
    std::vector<std::string> Images;
    int Delay = 10;
    std::optional<int> Loops;
    bool Transparent = false;
    std::optional<int> Bits;
    std::optional<TColorReduction> Palette;
    std::optional<TDitherMode> Dither;
    bool Merge = false, Crop = false, FramePalettes = false;
};

TMakeJob parseArguments(const std::vector<std::string>& args)
{
    TMakeJob job;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o") {
            if (i + 1 >= args.size())
                throw CliUsageError{"-o needs a file name"};
            job.Out = args[++i];
        } else if (a == "--delay") {
            job.Delay = CliIntOption(args, i, 0, 65535);
        } else if (a == "--loops") {
            // As Set Loops: any count, the file keeps its low 16 bits.
            job.Loops = CliIntOption(args, i, 0, 2147483647);
        } else if (a == "--bits") {
            job.Bits = CliIntOption(args, i, 3, 8);
        } else if (a == "--palette") {
            TColorReduction palette{};
            if (i + 1 >= args.size() || !ParsePaletteName(args[i + 1], palette))
                throw CliUsageError{"--palette takes none, windows-system, windows-halftone, windows-grayscale, "
                                    "monochrome, grayscale, netscape, optimized, optimized-windows or best"};
            job.Palette = palette;
            ++i;
        } else if (a == "--dither") {
            TDitherMode dither{};
            if (i + 1 >= args.size() || !ParseDitherName(args[i + 1], dither))
                throw CliUsageError{"--dither takes nearest, floyd-steinberg, stucki, sierra, jajuni, "
                                    "stevenson-arce or burkes"};
            job.Dither = dither;
            ++i;
        } else if (a == "--transparent") {
            job.Transparent = true;
        } else if (a == "--merge") {
            job.Merge = true;
        } else if (a == "--crop") {
            job.Crop = true;
        } else if (a == "--frame-palettes") {
            job.FramePalettes = true;
        } else if (CliIsOption(a)) {
            throw CliUsageError{"unknown option " + a};
        } else {
            job.Images.push_back(a);
        }
    }
    if (job.Out.empty())
        throw CliUsageError{"expected -o OUT.gif"};
    if (job.Images.empty())
        throw CliUsageError{"expected at least one image file"};
    return job;
}

// The frames to assemble, read as Import reads them: the first frame sets the frame size,
// the others are fitted into it. An image file gives one frame, decoded only when the
// assembly asks for it; a project gives its frames with their own delays and
// transparency (held as it was read). Reader warnings (a GIF cut short, what a damaged
// project lost) wait in `Warnings` until their frame's turn.
struct TMakeInput {
    TAssemblyInput Frames;
    TAssemblyOptions Options;
    std::vector<std::string> Paths; // each frame's file
    std::shared_ptr<std::vector<std::vector<std::string>>> Warnings;
};

// A frame's picture before fitting: decoded from its file, or one a project holds.
struct TFrameOrigin {
    std::string Path;
    std::shared_ptr<const TBitmap> Held;
};

TMakeInput readInputs(const TMakeJob& job)
{
    TMakeInput input;
    TAssemblyInput& frames = input.Frames;
    std::vector<TFrameOrigin> origins;
    std::vector<std::vector<std::string>> warnings;
    std::optional<TProject> lender; // a project given first
    for (const std::string& path : job.Images) {
        if (IsProjectFile(path)) {
            TProjectLoad load = LoadProject(path);
            const std::size_t at = origins.size();
            for (const TFrameRecord& f : load.Project.Document.Frames) {
                origins.push_back({path, f.Picture});
                frames.Frames.push_back({StrToIntDef(f.DelayText, 30), f.Transparent()});
                warnings.emplace_back();
            }
            if (!load.Losses.empty()) {
                // Said with the project's first frame, or at once when none was left.
                if (at < warnings.size())
                    warnings[at] = std::move(load.Losses);
                else
                    CliPrintWarnings("make", path, load.Losses);
            }
            if (&path == &job.Images.front())
                lender = std::move(load.Project);
        } else if (ImportsFile(path)) {
            origins.push_back({path, nullptr});
            frames.Frames.push_back({job.Delay, job.Transparent});
            warnings.emplace_back();
        } else {
            throw EInvalidGraphic(path + ": not an image file Anivor imports (.bmp, .gif, .ico, .jpg, .jpeg, .png) "
                                         "or a project (.anivor)");
        }
    }
    if (origins.empty())
        throw EInvalidGraphic("Nothing to make: the inputs hold no frames");
    const int n = static_cast<int>(origins.size());

    // The options: the command line's, else the first project's, else Create's defaults.
    TAssemblyOptions& options = input.Options;
    if (lender)
        options = lender->Assembly;
    options.Reduction.Bits = job.Bits.value_or(options.Reduction.Bits);
    options.Reduction.Palette = job.Palette.value_or(options.Reduction.Palette);
    options.Reduction.Dither = job.Dither.value_or(options.Reduction.Dither);
    options.Merge = options.Merge || job.Merge;
    options.Crop = options.Crop || job.Crop;
    options.FramePalettes = options.FramePalettes || job.FramePalettes;
    frames.Loops = job.Loops.value_or(lender ? lender->Document.LoopCount : 0);

    // The whole job is weighed against the memory budget from the first frame's size
    // (every frame's), before any picture is decoded. A header that makes no sense is
    // left to the decoder, which names the problem.
    TImageInfo info;
    if (origins[0].Held) {
        info.Format = "project";
        info.Width = origins[0].Held->Width();
        info.Height = origins[0].Held->Height();
    } else {
        try {
            info = ReadImageFileInfo(origins[0].Path);
        } catch (const EInvalidGraphic&) {
        }
    }
    if (info.Width > 0 && info.Height > 0) {
        CheckBitmapSize(info.Width, info.Height, (info.Format + " file").c_str());
        MemoryBudget::Check(MemoryBudget::PictureBytes(info.Width, info.Height)
                                + StreamedAssemblyMemoryNeed(n, info.Width, info.Height),
                            AssemblyDescription(n, info.Width, info.Height));
    }

    input.Warnings = std::make_shared<std::vector<std::vector<std::string>>>(std::move(warnings));
    for (const TFrameOrigin& o : origins)
        input.Paths.push_back(o.Path);
    auto first = origins[0].Held ? origins[0].Held
                                 : std::make_shared<const TBitmap>(
                                       *LoadImportPicture(origins[0].Path, &(*input.Warnings)[0]));
    frames.Width = first->Width();
    frames.Height = first->Height();
    frames.Picture = [origins, first, warnings = input.Warnings, w = frames.Width, h = frames.Height](int i) {
        if (i == 0)
            return first;
        const TFrameOrigin& o = origins[static_cast<std::size_t>(i)];
        if (o.Held)
            return o.Held->Width() == w && o.Held->Height() == h ? o.Held
                                                                 : std::make_shared<const TBitmap>(FitToFrame(*o.Held, w, h));
        std::vector<std::string> found;
        std::optional<TBitmap> picture = LoadImportPicture(o.Path, &found);
        (*warnings)[static_cast<std::size_t>(i)] = std::move(found);
        if (picture->Width() != w || picture->Height() != h)
            picture = FitToFrame(*picture, w, h);
        return std::make_shared<const TBitmap>(std::move(*picture));
    };
    return input;
}

int run(const std::vector<std::string>& args)
{
    const TMakeJob job = parseArguments(args);
    const TMakeInput input = readInputs(job);
    const int count = input.Frames.Count();

    TAnimationWritten written;
    {
        TCliProgress progress("make", static_cast<std::uint64_t>(count));
        int done = 0;
        TAssemblyView view;
        view.ShowFrame = [&](const TBitmap&) {
            const std::vector<std::string>& warnings = (*input.Warnings)[static_cast<std::size_t>(done)];
            if (!warnings.empty()) {
                progress.Clear();
                CliPrintWarnings("make", input.Paths[static_cast<std::size_t>(done)], warnings);
            }
            progress.Show(static_cast<std::uint64_t>(++done));
        };
        WriteFileAtomic(job.Out,
                        [&](TFileSink& sink) { written = WriteAnimation(input.Frames, sink, input.Options, view); });
    }
    CliReport() << "Wrote " << job.Out << " (" << written.Frames << " frames, " << input.Frames.Width << " x "
                << input.Frames.Height << ", " << written.Size << " bytes)\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("make",
                   "-o OUT.gif [--delay N] [--loops N] [--palette METHOD] [--bits N] [--dither ENGINE] "
                   "[--transparent] [--merge] [--crop] [--frame-palettes] IMAGE...",
                   "Builds an animated GIF from image files as Animation > Create does, each fitted into the first "
                   "image's size. A project (.anivor) adds its frames with their delays; given first, it also lends "
                   "its loop count and assembly options to those the command line does not set.",
                   run,
                   {{"-o", "OUT.gif", "The animated GIF to write.", {"gif"}},
                    {"--delay", "N", "Every frame's delay in hundredths of a second, 0 to 65535 (default 10)."},
                    {"--loops", "N",
                     "How often the animation repeats; 0, the default, loops forever (the file keeps the low 16 bits)."},
                    {"--palette", "METHOD",
                     "The palette: none, windows-system, windows-halftone, windows-grayscale, monochrome, grayscale, "
                     "netscape, optimized, optimized-windows (the default) or best (chosen for the pictures).",
                     {"", CliPaletteWords}},
                    {"--bits", "N", "2^N colours for the optimized and best palettes, 3 to 8 (default 8)."},
                    {"--dither", "ENGINE",
                     "The dithering: nearest, floyd-steinberg (the default), stucki, sierra, jajuni, stevenson-arce "
                     "or burkes.",
                     {"", CliDitherWords}},
                    {"--transparent", "", "The frames are transparent (Options > Default Transparent)."},
                    {"--merge", "", "Pixels that repeat the previous frame become transparent (the optimizer's Merge)."},
                    {"--crop", "", "Transparent frames are cut to their visible pixels (the optimizer's Crop)."},
                    {"--frame-palettes", "",
                     "Every frame keeps its own colour table (Keep Frame Palettes) instead of one merged table."}},
                   {{"image-or-project"}});
