// wizard: one wizard kind run between two images, written as the animation the program's
// wizard preview shows (same steps, same assembly, the optimizer window's start-up palette
// and dithering).
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"
#include "CliWords.h"

#include "graphics/Exception.h"
#include "graphics/ImageFile.h"
#include "graphics/MemoryBudget.h"
#include "wizards/ActorPath.h"
#include "wizards/WizardKinds.h"
#include "workspace/ActorImport.h"
#include "workspace/FrameImport.h"
#include "workspace/StripCommands.h"
#include "workspace/WizardRun.h"

#include <algorithm>
#include <cctype>
#include <iostream>

namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// A kind by number (0..104) or by its menu path under "Wizards" ("Wipe/Right",
// "effects/light/spot", any letter case). -1 when neither matches.
int parseKind(const std::string& text)
{
    int kind = -1;
    if (TryParseInt(text, kind))
        return FindWizardKind(kind) ? kind : -1;
    const std::string wanted = lower(text);
    for (const TWizardKind& k : WizardKinds())
        if (lower(k.MenuPath) == wanted)
            return k.Kind;
    return -1;
}

int run(const std::vector<std::string>& args)
{
    std::string out, actorFile;
    std::vector<std::string> positional;
    TWizardRunHooks hooks;
    TFrameStrip strip;
    strip.Session.WizardFrameCount = 10;
    strip.Session.DefaultDelay = 10;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o")
            out = CliTextOption(args, i);
        else if (a == "-n")
            strip.Session.WizardFrameCount = CliIntOption(args, i, 4, 50);
        else if (a == "--text")
            strip.Session.TextWizardText = SplitLines(CliTextOption(args, i));
        else if (a == "--font")
            strip.Session.TextWizardFont.Name = CliTextOption(args, i);
        else if (a == "--size")
            strip.Session.TextWizardFont.Size = CliIntOption(args, i, 1, 500);
        else if (a == "--actor")
            actorFile = CliTextOption(args, i);
        else if (a == "--path") {
            // "@FILE" reads the points from a file: a long path does not fit a command line.
            std::string text = CliTextOption(args, i);
            if (text.size() > 1 && text[0] == '@') {
                const std::vector<std::uint8_t> bytes = ReadFileBytes(text.substr(1));
                text.assign(bytes.begin(), bytes.end());
                for (char& c : text)
                    if (c == '\n' || c == '\r')
                        c = ';';
            }
            try {
                hooks.ActorPath = ParsePointList(text);
            } catch (const EInvalidArgument& e) {
                throw CliUsageError{std::string("--path: ") + e.what()};
            }
        } else if (a == "--text-position") {
            const auto p = ParsePoint(CliTextOption(args, i));
            if (!p)
                throw CliUsageError{"--text-position takes X,Y"};
            strip.Session.TextPosition = *p;
        } else if (CliIsOption(a))
            throw CliUsageError{"unknown option " + a};
        else
            positional.push_back(a);
    }
    if (positional.size() != 3)
        throw CliUsageError{"expected KIND and two image files"};
    if (out.empty())
        throw CliUsageError{"expected -o OUT.gif"};
    const int kind = parseKind(positional[0]);
    if (kind < 0)
        throw CliUsageError{"KIND is a number from 0 to 104 or a menu path such as Wipe/Right; '" + positional[0]
                            + "' is neither"};

    // The whole run is weighed against the memory budget from A's header, before any
    // picture is decoded: a huge picture is refused at once, naming the size it needs.
    const TImageInfo info = ReadImageFileInfo(positional[1]);
    CheckBitmapSize(info.Width, info.Height, (info.Format + " file").c_str());
    MemoryBudget::Check(MemoryBudget::PictureBytes(info.Width, info.Height, 2)
                            + WizardRunMemoryNeed(kind, strip.Session.WizardFrameCount, info.Width, info.Height),
                        WizardRunDescription(kind, strip.Session.WizardFrameCount, info.Width, info.Height));

    // The actor first: a bad actor file is reported before any frame work.
    if (!actorFile.empty())
        hooks.ActorPicture = LoadActorPicture(actorFile);

    // A sets the frame size; B is fitted into it as Import fits a picture.
    const TBitmap a = LoadCliPicture(positional[1], "wizard");
    const TBitmap b = LoadCliPicture(positional[2], "wizard");
    if (a.Empty())
        throw EInvalidGraphic(positional[1] + ": the picture is empty");
    strip.SetFrameSize(a.Width(), a.Height());
    strip.Append(a);
    strip.Append(FitToFrame(b, a.Width(), a.Height()));
    strip.SelectOnly(0);

    const TWizardOutcome outcome = RunWizard(strip, kind, hooks);
    const TAssemblyResult& preview = outcome.Preview;
    if (!preview.Document)
        throw Exception("The wizard made no images");
    if (!preview.Succeeded())
        std::rethrow_exception(preview.Error);
    SavePreview(out, TPreviewState::Animation, preview.Document.get(), preview.LastFrame);
    CliReport() << "Wrote " << out << " (" << FindWizardKind(kind)->MenuPath << ", " << preview.Document->Count()
              << " frames, " << strip.FrameWidth() << " x " << strip.FrameHeight() << ", " << preview.Size << " bytes)\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("wizard", "KIND A.img B.img [-n N] [--text TEXT] [--font NAME] [--size PT] [--actor IMAGE] "
                   "[--path \"X,Y;X,Y;...\"|@FILE] [--text-position X,Y] -o OUT.gif",
                   "Runs one wizard (0..104 or its menu path, e.g. Wipe/Right) from picture A to picture B and "
                   "writes the preview animation. The actor kinds (94..104, Actor/...) draw the --actor picture "
                   "(BMP, ICO, PNG, JPEG or a GIF's first image); Actor/Path follows --path, the straight kinds "
                   "start from --text-position.",
                   run,
                   {{"-n", "N", "Frames between the pictures, 4 to 50 (default 10); the two-pass kinds write twice as many."},
                    {"--text", "TEXT", "The text of the text kinds, a line for each line of TEXT."},
                    {"--font", "NAME", "The text kinds' font."},
                    {"--size", "PT", "The text kinds' font size in points, 1 to 500."},
                    {"--actor", "IMAGE", "The actor kinds' picture (BMP, ICO, PNG, JPEG or a GIF's first image).",
                     {"image"}},
                    {"--path", "X,Y;X,Y;...",
                     "The points Actor/Path follows; @FILE reads them from a file, one point a line or separated by "
                     "semicolons."},
                    {"--text-position", "X,Y", "Where the straight actor kinds start."},
                    {"-o", "OUT.gif", "The animated GIF to write.", {"gif"}}},
                   {{"", CliWizardWords}, {"image"}});
