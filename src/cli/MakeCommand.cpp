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
        } else if (a == "--bits") {
            options.Reduction.Bits = CliIntOption(args, i, 3, 8);
        } else if (a == "--palette") {
            if (i + 1 >= args.size() || !ParsePaletteName(args[i + 1], options.Reduction.Palette))
                throw CliUsageError{"--palette takes none, windows-system, windows-halftone, windows-grayscale, "
                                    "monochrome, grayscale, netscape, optimized, optimized-windows or best"};
            ++i;
        } else if (a == "--dither") {
            if (i + 1 >= args.size() || !ParseDitherName(args[i + 1], options.Reduction.Dither))
                throw CliUsageError{"--dither takes nearest, floyd-steinberg, stucki, sierra, jajuni, "
                                    "stevenson-arce or burkes"};
            ++i;
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

    // The whole job is weighed against the memory budget from the first image's header
    // (its size is every frame's), before any picture is decoded. A header that makes
    // no sense is left to the import, which names the problem; a file that cannot be read
    // at all is refused here.
    TImageInfo first;
    try {
        first = ReadImageFileInfo(images[0]);
    } catch (const EInvalidGraphic&) {
    }
    if (first.Width > 0 && first.Height > 0) {
        const int n = static_cast<int>(images.size());
        CheckBitmapSize(first.Width, first.Height, (first.Format + " file").c_str());
        MemoryBudget::Check(MemoryBudget::PictureBytes(first.Width, first.Height, n + 1)
                                + AssemblyMemoryNeed(n, first.Width, first.Height),
                            AssemblyDescription(n, first.Width, first.Height));
    }

    // The frames come in as Import brings them: fitted into the first image's size.
    if (const int refused = ImportImageFiles(strip, images,
                                             [](const std::string& path, const std::vector<std::string>& warnings) {
                                                 CliPrintWarnings("make", path, warnings);
                                             });
        refused >= 0)
        throw EInvalidGraphic(images[static_cast<std::size_t>(refused)]
                              + ": not an image file Anivor imports (.bmp, .gif, .ico, .jpg, .jpeg, .png)");

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
                   "image's size.",
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
                   {{"image"}});
