// frame-op: one frame image operation of the Image menu or the frame effects drop-down on
// a picture, written as a BMP file. The overlays take the next frame as a second picture.
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"
#include "CliWords.h"

#include "graphics/BmpFile.h"
#include "workspace/FrameImport.h"
#include "workspace/FrameOperations.h"

#include <iostream>

namespace {

int run(const std::vector<std::string>& args)
{
    if (args.size() == 1 && args[0] == "--list") {
        for (const TFrameOperation& op : FrameOperations())
            std::cout << op.Name << "\n";
        return 0;
    }
    std::string out;
    std::vector<std::string> positional;
    TFrameStrip strip;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o")
            out = CliTextOption(args, i);
        else if (a == "--angle")
            strip.Session.RotationAngle = CliIntOption(args, i, -2147483647, 2147483647);
        else if (a.size() > 1 && a[0] == '-')
            throw CliUsageError{"unknown option " + a};
        else
            positional.push_back(a);
    }
    if (out.empty())
        throw CliUsageError{"expected -o OUT.bmp"};
    if (positional.size() < 2 || positional.size() > 3)
        throw CliUsageError{"expected an operation, an image file and, for the overlays, the next image"};
    const TFrameOperation* op = FindFrameOperation(positional[0]);
    if (!op)
        throw CliUsageError{"unknown operation '" + positional[0] + "' (anivor-cli frame-op --list shows them)"};
    const bool overlay = std::string(op->Name).rfind("Overlay", 0) == 0;
    if (overlay != (positional.size() == 3))
        throw CliUsageError{overlay ? std::string(op->Name) + " lays the next frame over the first: give both images"
                                    : std::string(op->Name) + " takes one image"};

    const TBitmap picture = LoadCliPicture(positional[1], "frame-op");
    if (picture.Empty())
        throw EInvalidGraphic(positional[1] + ": the picture is empty");
    strip.SetFrameSize(picture.Width(), picture.Height());
    strip.Append(picture);
    if (overlay)
        strip.Append(FitToFrame(LoadCliPicture(positional[2], "frame-op"), picture.Width(), picture.Height()));
    op->Apply(strip, 0);
    SaveBmpFile(strip.FindFrameImage(0).Bitmap(), out);
    CliReport() << "Wrote " << out << " (" << op->Name << ", " << picture.Width() << " x " << picture.Height() << ")\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("frame-op", "NAME IN [NEXT] [--angle DEG] -o OUT.bmp | --list",
                   "Runs one frame image operation (Blur, Scroll Left, Rotate, Overlay 50%, ...; --list shows "
                   "them; letter case, blanks and - ignored) on a picture and writes a BMP file; the overlays lay "
                   "the picture NEXT over IN.",
                   run,
                   {{"--angle", "DEG", "The Rotation Angle of Rotate, in degrees (default 90)."},
                    {"-o", "OUT.bmp", "The BMP file to write.", {"bmp"}},
                    {"--list", "", "Lists the operations."}},
                   {{"", CliFrameOpWords}, {"image"}});
