// gif-frames: the frames Animation > Open makes of a GIF file, written as BMP files; with
// --raw the frames as the file stores them, for inspection.
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"

#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "workspace/FrameImport.h"
#include "workspace/ProjectFile.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

// Each stored frame that holds pixels at its own size and with its own colour table, with
// where it sits on the screen and how it is disposed of.
void writeRaw(const TGIFImage& image, const std::filesystem::path& outDir)
{
    int n = 0;
    for (const auto& frame : image.Images) {
        if (frame->Empty())
            continue;
        const std::string name = "Frame" + std::to_string(++n) + ".bmp";
        SaveBmpFile(frame->Bitmap(), (outDir / name).string());
        const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
        CliReport() << name << ": " << frame->Width() << " x " << frame->Height() << " at " << frame->Left << ", "
                  << frame->Top << ", delay " << frame->Delay() << ", disposal " << (gce ? gce->Disposal() : 0)
                  << ", transparent " << (frame->Transparent() ? "index " + std::to_string(frame->TransparentIndex()) : "no")
                  << "\n";
    }
}

int run(const std::vector<std::string>& given)
{
    std::vector<std::string> args;
    bool raw = false;
    for (const std::string& a : given) {
        if (a == "--raw")
            raw = true;
        else if (CliIsOption(a))
            throw CliUsageError{"unknown option " + a};
        else
            args.push_back(a);
    }
    if (args.size() != 2)
        throw CliUsageError{"expected a GIF file and an output folder"};
    const std::filesystem::path outDir(args[1]);
    std::error_code ec;
    if (std::filesystem::exists(outDir, ec) && !std::filesystem::is_directory(outDir, ec))
        throw CliUsageError{args[1] + " is not a folder"};
    TFrameStrip strip;
    TGIFImage image;
    std::vector<std::string> warnings;
    if (IsProjectFile(args[0])) {
        if (raw)
            throw CliUsageError{"--raw reads GIF files only"};
        TProjectLoad load = LoadProject(args[0]);
        warnings = std::move(load.Losses);
        strip.SetDocument(std::move(load.Project.Document));
    } else if (raw) {
        LoadGIFDocument(image, args[0], &warnings);
    } else {
        OpenGIFFile(strip, args[0], &warnings);
    }
    CliPrintWarnings("gif-frames", args[0], warnings);
    if (raw ? std::none_of(image.Images.begin(), image.Images.end(), [](const auto& f) { return !f->Empty(); })
            : strip.Count() == 0)
        throw EInvalidGraphic(args[0] + (IsProjectFile(args[0]) ? ": the project has no frame"
                                                                : ": the GIF file has no picture"));
    // A missing output folder is made (with its parents) once the GIF has frames to write.
    if (!std::filesystem::create_directories(outDir, ec) && ec)
        throw Exception("Cannot create the folder " + args[1] + ": " + ec.message());
    // Every frame written first, then all made durable in one step.
    TDurableBatch batch;
    if (raw) {
        writeRaw(image, outDir);
        batch.Finish();
        return 0;
    }
    // The list waits for the end: the progress bar stays alone on its line meanwhile.
    std::ostringstream list;
    TCliProgress progress("gif-frames", static_cast<std::uint64_t>(strip.Count()));
    for (int i = 0; i < strip.Count(); ++i) {
        const TFrameRecord& f = strip.FindFrameImage(i);
        const std::string name = f.Name + ".bmp";
        SaveBmpFile(f.Bitmap(), (outDir / name).string());
        progress.Show(static_cast<std::uint64_t>(i) + 1);
        list << name << ": " << f.Bitmap().Width() << " x " << f.Bitmap().Height() << ", delay " << f.DelayText
                  << ", transparent " << (f.Transparent() ? "yes" : "no") << "\n";
    }
    batch.Finish();
    progress.Clear();
    CliReport() << list.str();
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("gif-frames", "IN.gif|IN.anivor OUTDIR [--raw]",
                   "Writes the frames Animation > Open makes of a GIF file (each composed onto the logical screen "
                   "as a browser shows it), or a project's frames, as BMP files named after the frames "
                   "(Frame1.bmp, ...) into OUTDIR, made when missing. --raw "
                   "writes the frames as the file stores them instead: their own size, colours and transparent "
                   "index, with their place and disposal listed.",
                   run,
                   {{"--raw", "",
                     "Writes the frames as the file stores them (own size, colours and transparent index) and lists "
                     "their place, delay and disposal."}},
                   {{"animation"}, {"dir"}});
