// painter: one node of the Painter Effects tree on a picture, at a bar position (a BMP
// file), or the series "Step Up"/"Step Down" appends, assembled as Create assembles it.
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"
#include "CliWords.h"

#include "effects/PainterEffects.h"
#include "graphics/BmpFile.h"
#include "workspace/Assembly.h"

#include <iostream>
#include <optional>

namespace {

std::string nodeList()
{
    std::string list;
    for (const TPainterEffectNode& n : PainterEffectNodes())
        if (n.Index >= 0)
            list += (list.empty() ? "" : ", ") + PainterEffectNodePath(n);
    return list;
}

int run(const std::vector<std::string>& args)
{
    std::string out;
    std::vector<std::string> positional;
    std::optional<int> turb, cx, cy;
    int series = 0; // 1 up, -1 down
    int n = 10;     // the Set Frames default
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o")
            out = CliTextOption(args, i);
        else if (a == "--turb")
            turb = CliIntOption(args, i, 1, 300);
        else if (a == "--cx")
            cx = CliIntOption(args, i, 0, kMaxFrameSide);
        else if (a == "--cy")
            cy = CliIntOption(args, i, 0, kMaxFrameSide);
        else if (a == "--step-up" || a == "--step-down")
            series = a == "--step-up" ? 1 : -1;
        else if (a == "-n")
            n = CliIntOption(args, i, 4, 50);
        else if (a.size() > 1 && a[0] == '-' && !(a.size() > 1 && std::isdigit(static_cast<unsigned char>(a[1]))))
            throw CliUsageError{"unknown option " + a};
        else
            positional.push_back(a);
    }
    if (out.empty())
        throw CliUsageError{series ? "expected -o OUT.gif" : "expected -o OUT.bmp"};
    if (positional.size() != (series ? 2u : 3u))
        throw CliUsageError{series ? "expected NODE and an image file" : "expected NODE, POSITION and an image file"};
    const int k = FindPainterEffectNode(positional[0]);
    if (k < 0)
        throw CliUsageError{"unknown node '" + positional[0] + "'; the nodes are " + nodeList()};
    const TPainterEffectNode& node = PainterEffectNodes()[static_cast<std::size_t>(k)];
    if (node.Index < 0)
        throw CliUsageError{"'" + positional[0] + "' is a group; pick one of its nodes"};
    int position = 0;
    if (!series && (!TryParseInt(positional[1], position) || position < node.Min || position > node.Max))
        throw CliUsageError{"POSITION for " + PainterEffectNodePath(node) + " is a whole number from "
                            + std::to_string(node.Min) + " to " + std::to_string(node.Max)};

    const TBitmap picture = LoadCliPicture(positional.back(), "painter");
    if (picture.Empty())
        throw EInvalidGraphic(positional.back() + ": the picture is empty");
    if ((cx && *cx > picture.Width()) || (cy && *cy > picture.Height()))
        throw CliUsageError{"--cx and --cy lie within 0.." + std::to_string(picture.Width()) + " and 0.."
                            + std::to_string(picture.Height())};

    // The window's way: the frame handed over, the bars set, the node picked.
    TPainterEffects effects;
    TFrameStrip strip;
    strip.SetFrameSize(picture.Width(), picture.Height());
    strip.Session.DefaultDelay = 10;
    effects.OnAppend = [&](const TBitmap& b) { strip.Append(b); };
    effects.SeriesLength = [n] { return n; };
    effects.Open(picture);
    if (turb)
        effects.SetExtraPosition(*turb);
    if (cx)
        effects.SetCxPosition(*cx);
    if (cy)
        effects.SetCyPosition(*cy);
    const int before = effects.Recomputations();
    effects.SelectNode(k);
    if (!series) {
        effects.SetEBarPosition(position);
        // Every change re-applies the node, so the last application saw these positions;
        // when nothing moved, the node is applied now.
        if (effects.Recomputations() == before)
            effects.Recompute();
        SaveBmpFile(effects.Image(), out);
        CliReport() << "Wrote " << out << " (" << PainterEffectNodePath(node) << " at " << position << ", "
                  << effects.Image().Width() << " x " << effects.Image().Height() << ")\n";
        return 0;
    }

    if (effects.Recomputations() == before)
        effects.Recompute();
    if (series > 0)
        effects.StepUp();
    else
        effects.StepDown();
    const TAssemblyResult result = CreateAnimation(strip, false, TAssemblyOptions{});
    if (!result.Succeeded())
        std::rethrow_exception(result.Error);
    SavePreview(out, TPreviewState::Animation, result.Document.get(), result.LastFrame);
    CliReport() << "Wrote " << out << " (" << PainterEffectNodePath(node) << ", " << strip.Count() << " frames, "
              << strip.FrameWidth() << " x " << strip.FrameHeight() << ", " << result.Size << " bytes)\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("painter",
                   "NODE POSITION [--turb X] [--cx X --cy Y] IN -o OUT.bmp | NODE --step-up|--step-down [-n N] IN -o OUT.gif",
                   "Applies one node of the Painter Effects tree (e.g. Twist, Wave/Normal) at a bar position, or "
                   "writes the Step Up / Step Down series as an animation.",
                   run,
                   {{"--turb", "X", "The Turb bar, 1 to 300 (default 1)."},
                    {"--cx", "X", "The centre's x of the effects that have one, within the picture (default the middle)."},
                    {"--cy", "Y", "The centre's y, likewise."},
                    {"--step-up", "", "Writes the series Step Up appends, assembled as Create does, as an animated GIF."},
                    {"--step-down", "", "The same for Step Down."},
                    {"-n", "N", "Frames of the series, 4 to 50 (default 10)."},
                    {"-o", "OUT", "The BMP file to write; with --step-up or --step-down, the animated GIF.", {"file"}}},
                   {{"", CliPainterWords}, {"image"}});
