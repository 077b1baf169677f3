// make: an animation from image files, built exactly as Create builds it in the window,
// written while the files are read: only a few pictures are in memory at a time.
#include "CliCommand.h"
#include "CliOptions.h"

#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/ImageFile.h"
#include "graphics/MemoryBudget.h"
#include "workspace/Assembly.h"
#include "workspace/FrameImport.h"

#include <unistd.h>

#include <iostream>
#include <memory>

namespace {

// What the command line asks for.
struct TMakeJob {
    std::string Out;
    std::vector<std::string> Images;
    int Delay = 10;
    int Loops = 0;
    bool Transparent = false;
    TAssemblyOptions Options;
};

TMakeJob parseArguments(const std::vector<std::string>& args)
{
    TMakeJob job;
    TAssemblyOptions& options = job.Options;
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
            job.Transparent = true;
        } else if (a == "--merge") {
            options.Merge = true;
        } else if (a == "--crop") {
            options.Crop = true;
        } else if (a == "--frame-palettes") {
            options.FramePalettes = true;
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

// The frames to assemble, read as Import reads them: the first image sets the frame size,
// the others are fitted into it. Every image but the first is decoded only when the
// assembly asks for it. A file's reader warnings (a GIF cut short) wait in `warnings`
// until its frame's turn.
struct TMakeInput {
    TAssemblyInput Frames;
    std::shared_ptr<std::vector<std::vector<std::string>>> Warnings;
};

TMakeInput readInputs(const TMakeJob& job)
{
    const std::vector<std::string>& images = job.Images;
    for (const std::string& path : images)
        if (!ImportsFile(path))
            throw EInvalidGraphic(path + ": not an image file Anivor imports (.bmp, .gif, .ico, .jpg, .jpeg, .png)");
    const int n = static_cast<int>(images.size());

    // The whole job is weighed against the memory budget from the first image's header
    // (its size is every frame's), before any picture is decoded. A header that makes
    // no sense is left to the decoder, which names the problem.
    TImageInfo info;
    try {
        info = ReadImageFileInfo(images[0]);
    } catch (const EInvalidGraphic&) {
    }
    if (info.Width > 0 && info.Height > 0) {
        CheckBitmapSize(info.Width, info.Height, (info.Format + " file").c_str());
        MemoryBudget::Check(MemoryBudget::PictureBytes(info.Width, info.Height)
                                + StreamedAssemblyMemoryNeed(n, info.Width, info.Height),
                            AssemblyDescription(n, info.Width, info.Height));
    }

    TMakeInput input;
    input.Warnings = std::make_shared<std::vector<std::vector<std::string>>>(images.size());
    auto first = std::make_shared<const TBitmap>(*LoadImportPicture(images[0], &(*input.Warnings)[0]));
    TAssemblyInput& frames = input.Frames;
    frames.Width = first->Width();
    frames.Height = first->Height();
    frames.Loops = job.Loops;
    frames.Frames.assign(images.size(), TAssemblyFrame{job.Delay, job.Transparent});
    frames.Picture = [images, first, warnings = input.Warnings, w = frames.Width, h = frames.Height](int i) {
        if (i == 0)
            return first;
        std::vector<std::string> found;
        std::optional<TBitmap> picture = LoadImportPicture(images[static_cast<std::size_t>(i)], &found);
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

    const bool terminal = isatty(STDERR_FILENO) != 0;
    int done = 0;
    TAssemblyView view;
    view.ShowFrame = [&](const TBitmap&) {
        const std::vector<std::string>& warnings = (*input.Warnings)[static_cast<std::size_t>(done)];
        if (!warnings.empty()) {
            if (terminal)
                std::cerr << "\r" << std::string(30, ' ') << "\r";
            CliPrintWarnings("make", job.Images[static_cast<std::size_t>(done)], warnings);
        }
        ++done;
        if (terminal)
            std::cerr << "\rFrame " << done << " of " << count << std::flush;
    };
    TAnimationWritten written;
    try {
        WriteFileAtomic(job.Out, [&](TFileSink& sink) { written = WriteAnimation(input.Frames, sink, job.Options, view); });
    } catch (...) {
        if (terminal)
            std::cerr << "\r" << std::string(30, ' ') << "\r" << std::flush;
        throw;
    }
    if (terminal)
        std::cerr << "\r" << std::string(30, ' ') << "\r" << std::flush;
    std::cout << "Wrote " << job.Out << " (" << written.Frames << " frames, " << input.Frames.Width << " x "
              << input.Frames.Height << ", " << written.Size << " bytes)\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("make",
                   "-o OUT.gif [--delay N] [--loops N] [--palette METHOD] [--bits N] [--dither ENGINE] "
                   "[--transparent] [--merge] [--crop] [--frame-palettes] IMAGE...",
                   "Builds an animated GIF from image files as Animation > Create does.", run);
