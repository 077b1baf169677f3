// gif-frames: the frames Animation > Open makes of a GIF file, written as BMP files.
#include "CliCommand.h"
#include "CliOptions.h"

#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "workspace/FrameImport.h"

#include <filesystem>
#include <iostream>

namespace {

int run(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        throw CliUsageError{"expected a GIF file and an output folder"};
    const std::filesystem::path outDir(args[1]);
    std::error_code ec;
    if (std::filesystem::exists(outDir, ec) && !std::filesystem::is_directory(outDir, ec))
        throw CliUsageError{args[1] + " is not a folder"};
    TFrameStrip strip;
    std::vector<std::string> warnings;
    OpenGIFFile(strip, args[0], &warnings);
    CliPrintWarnings("gif-frames", args[0], warnings);
    if (strip.Count() == 0)
        throw EInvalidGraphic(args[0] + ": the GIF file has no picture");
    // A missing output folder is made (with its parents) once the GIF has frames to write.
    if (!std::filesystem::create_directories(outDir, ec) && ec)
        throw Exception("Cannot create the folder " + args[1] + ": " + ec.message());
    // Every frame written first, then all made durable in one step.
    TDurableBatch batch;
    for (int i = 0; i < strip.Count(); ++i) {
        const TFrameRecord& f = strip.FindFrameImage(i);
        const std::string name = f.Name + ".bmp";
        SaveBmpFile(f.Bitmap, (outDir / name).string());
        std::cout << name << ": " << f.Bitmap.Width() << " x " << f.Bitmap.Height() << ", delay " << f.DelayText
                  << ", transparent " << (f.Bitmap.Transparent() ? "yes" : "no") << "\n";
    }
    batch.Finish();
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("gif-frames", "IN.gif OUTDIR",
                   "Writes the frames Animation > Open makes of a GIF file as BMP files (Frame1.bmp, ...) "
                   "into OUTDIR, made when missing.", run);
