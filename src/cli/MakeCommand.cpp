// make: an animation from image files, built exactly as Create builds it in the window.
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"
#include "CliWords.h"

#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/ImageFile.h"
#include "graphics/MemoryBudget.h"
#include "workspace/Assembly.h"
#include "workspace/FrameImport.h"
#include "workspace/ProjectFile.h"

#include <iostream>

namespace {

int run(const std::vector<std::string>& args)
{
    std::string out;
    std::vector<std::string> images;
    TFrameStrip strip;
    strip.Session.DefaultDelay = 10;
    strip.SetLoopCount(0);
    TAssemblyOptions options;
    // Which settings the command line gave: a project given first lends the others.
    bool loopsGiven = false, bitsGiven = false, paletteGiven = false, ditherGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o") {
            if (i + 1 >= args.size())
                throw CliUsageError{"-o needs a file name"};
            out = args[++i];
        } else if (a == "--delay") {
            strip.Session.DefaultDelay = CliIntOption(args, i, 0, 65535);
        } else if (a == "--loops") {
            // As Set Loops: any count, the file keeps its low 16 bits.
            strip.SetLoopCount(CliIntOption(args, i, 0, 2147483647));
            loopsGiven = true;
        } else if (a == "--bits") {
            options.Reduction.Bits = CliIntOption(args, i, 3, 8);
            bitsGiven = true;
        } else if (a == "--palette") {
            if (i + 1 >= args.size() || !ParsePaletteName(args[i + 1], options.Reduction.Palette))
                throw CliUsageError{"--palette takes none, windows-system, windows-halftone, windows-grayscale, "
                                    "monochrome, grayscale, netscape, optimized, optimized-windows or best"};
            ++i;
            paletteGiven = true;
        } else if (a == "--dither") {
            if (i + 1 >= args.size() || !ParseDitherName(args[i + 1], options.Reduction.Dither))
                throw CliUsageError{"--dither takes nearest, floyd-steinberg, stucki, sierra, jajuni, "
                                    "stevenson-arce or burkes"};
            ++i;
            ditherGiven = true;
        } else if (a == "--transparent") {
            strip.Session.DefTrans = true;
        } else if (a == "--merge") {
            options.Merge = true;
        } else if (a == "--crop") {
            options.Crop = true;
        } else if (a == "--frame-palettes") {
            options.FramePalettes = true;
        } else if (CliIsOption(a)) {
            throw CliUsageError{"unknown option " + a};
        } else {
            images.push_back(a);
        }
    }
    if (out.empty())
        throw CliUsageError{"expected -o OUT.gif"};
    if (images.empty())
        throw CliUsageError{"expected at least one image file"};

    // A project first: its frames as they are kept, its loop count and assembly options
    // where the command line gives none.
    if (IsProjectFile(images.front())) {
        const TProjectLoad load = LoadProject(images.front());
        CliPrintWarnings("make", images.front(), load.Losses);
        const TAssemblyOptions& kept = load.Project.Assembly;
        if (!loopsGiven)
            strip.SetLoopCount(load.Project.Document.LoopCount);
        if (!bitsGiven)
            options.Reduction.Bits = kept.Reduction.Bits;
        if (!paletteGiven)
            options.Reduction.Palette = kept.Reduction.Palette;
        if (!ditherGiven)
            options.Reduction.Dither = kept.Reduction.Dither;
        options.Merge = options.Merge || kept.Merge;
        options.Crop = options.Crop || kept.Crop;
        options.FramePalettes = options.FramePalettes || kept.FramePalettes;
        AppendProjectFrames(strip, load.Project);
        images.erase(images.begin());
    }

    // The whole job is weighed against the memory budget from the first image's header
    // (its size is every frame's), before any picture is decoded. A header that makes
    // no sense is left to the import, which names the problem; a file that cannot be read
    // at all is refused here.
    TImageInfo first;
    try {
        if (strip.Count() > 0) {
            first.Format = "project";
            first.Width = strip.FrameWidth();
            first.Height = strip.FrameHeight();
        } else if (!IsProjectFile(images[0]))
            first = ReadImageFileInfo(images[0]);
    } catch (const EInvalidGraphic&) {
    }
    if (first.Width > 0 && first.Height > 0) {
        const int n = static_cast<int>(images.size()) + strip.Count();
        CheckBitmapSize(first.Width, first.Height, (first.Format + " file").c_str());
        MemoryBudget::Check(MemoryBudget::PictureBytes(first.Width, first.Height, n + 1)
                                + AssemblyMemoryNeed(n, first.Width, first.Height),
                            AssemblyDescription(n, first.Width, first.Height));
    }

    // The frames come in as Import brings them: fitted into the first image's size.
    if (const int refused = images.empty() ? -1 : ImportImageFiles(strip, images,
                                             [](const std::string& path, const std::vector<std::string>& warnings) {
                                                 CliPrintWarnings("make", path, warnings);
                                             });
        refused >= 0)
        throw EInvalidGraphic(images[static_cast<std::size_t>(refused)]
                              + ": not an image file Anivor imports (.bmp, .gif, .ico, .jpg, .jpeg, .png) or a project (.anivor)");

    if (strip.Count() == 0)
        throw EInvalidGraphic("Nothing to make: the inputs hold no frames");
    TAssemblyResult result;
    {
        TCliProgress progress("make", static_cast<std::uint64_t>(strip.Count()));
        std::uint64_t done = 0;
        TAssemblyView view;
        view.ShowFrame = [&](const TBitmap&) { progress.Show(++done); };
        result = CreateAnimation(strip, false, options, view);
    }
    if (!result.Succeeded())
        std::rethrow_exception(result.Error);
    WriteFileAtomic(out, result.Bytes); // the bytes just measured: no second encoding
    CliReport() << "Wrote " << out << " (" << result.Document->Count() << " frames, " << strip.FrameWidth() << " x "
              << strip.FrameHeight() << ", " << result.Size << " bytes)\n";
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
