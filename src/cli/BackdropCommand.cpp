// backdrop: a QuickBack backdrop of a given size, from settings or from a preset of the
// presets file, written as a BMP file.
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"

#include "effects/PainterQB.h"
#include "graphics/BmpFile.h"

#include <iostream>

namespace {

// Three comma-separated values of the option args[i].
std::vector<std::string> triple(const std::vector<std::string>& args, std::size_t& i)
{
    const std::string option = args[i];
    const std::string text = CliTextOption(args, i);
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (parts.size() != 3)
        throw CliUsageError{option + " takes three values separated by commas (red, green, blue)"};
    return parts;
}

int run(const std::vector<std::string>& args)
{
    std::string out, preset, presetsFile = QuickBackPresetsFile();
    int width = 0, height = 0;
    TQuickBackSettings settings;
    bool explicitSettings = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o") {
            out = CliTextOption(args, i);
        } else if (a == "-s") {
            CliSizeOption(args, i, kMaxFrameSide, width, height);
        } else if (a == "--modes") {
            const std::vector<std::string> names = triple(args, i);
            int* modes[3] = {&settings.RedMode, &settings.GreenMode, &settings.BlueMode};
            for (int k = 0; k < 3; ++k) {
                *modes[k] = FindQuickBackFunction(names[static_cast<std::size_t>(k)]);
                if (*modes[k] < 0)
                    throw CliUsageError{"--modes: '" + names[static_cast<std::size_t>(k)]
                                        + "' is neither a function name (Prod, Sum, ... DrawXor) nor 0..40"};
            }
            explicitSettings = true;
        } else if (a == "--offsets") {
            const std::vector<std::string> values = triple(args, i);
            int* offsets[3] = {&settings.RedOffset, &settings.GreenOffset, &settings.BlueOffset};
            for (int k = 0; k < 3; ++k)
                if (!TryParseInt(values[static_cast<std::size_t>(k)], *offsets[k]) || *offsets[k] < 0 || *offsets[k] > 255)
                    throw CliUsageError{"--offsets takes three whole numbers from 0 to 255"};
            explicitSettings = true;
        } else if (a == "--factor") {
            settings.Factor = CliIntOption(args, i, kQuickBackMinFactor, kQuickBackMaxFactor);
            explicitSettings = true;
        } else if (a == "--preset") {
            preset = CliTextOption(args, i);
        } else if (a == "--presets") {
            presetsFile = CliTextOption(args, i);
        } else {
            throw CliUsageError{"unknown argument " + a};
        }
    }
    if (width == 0)
        throw CliUsageError{"expected -s WIDTHxHEIGHT"};
    if (out.empty())
        throw CliUsageError{"expected -o OUT.bmp"};
    if (!preset.empty() && explicitSettings)
        throw CliUsageError{"--preset takes the place of --modes, --offsets and --factor"};

    TPainterQB qb(presetsFile);
    if (!preset.empty()) {
        qb.LoadPresets();
        const int k = qb.FindPreset(preset);
        if (k < 0)
            throw Exception("No preset named '" + preset + "' in " + presetsFile);
        TQuickBackSettings s = qb.Settings();
        if (ReadPreset(qb.Presets()[static_cast<std::size_t>(k)], s) != TPresetRead::Read)
            throw Exception(std::string(kErrorInPresets) + ": " + qb.Presets()[static_cast<std::size_t>(k)]);
        settings = s;
    }
    // The settings first: the backdrop is then drawn once, when the size comes.
    qb.SetSettings(settings);
    qb.SetSourceSize(width, height);
    SaveBmpFile(qb.Image(), out);
    const TQuickBackSettings& s = qb.Settings();
    CliReport() << "Wrote " << out << " (" << width << " x " << height << ", " << QuickBackFunctionName(s.RedMode) << ","
              << QuickBackFunctionName(s.GreenMode) << "," << QuickBackFunctionName(s.BlueMode) << ", offsets "
              << s.RedOffset << "," << s.GreenOffset << "," << s.BlueOffset << ", factor " << s.Factor << ")\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("backdrop",
                   "-s WxH [--modes R,G,B] [--offsets R,G,B] [--factor F] | --preset NAME [--presets FILE] -o OUT.bmp",
                   "Draws a QuickBack backdrop (functions by name or 0..40, offsets 0..255, factor 16..255; "
                   "or a preset of PainterQB.txt) and writes a BMP file.",
                   run,
                   {{"-s", "WxH", "The backdrop's width and height in pixels (e.g. 640x480)."},
                    {"--modes", "R,G,B",
                     "The functions of the red, green and blue channels, each by name (Prod, Sum, ... DrawXor) or "
                     "number 0 to 40 (default Prod)."},
                    {"--offsets", "R,G,B", "The channels' offsets, 0 to 255 (default 0)."},
                    {"--factor", "F", "The factor, 16 to 255 (default 255)."},
                    {"--preset", "NAME",
                     "A preset of the presets file, by name in any letter case, instead of --modes, --offsets and "
                     "--factor."},
                    {"--presets", "FILE", "The presets file (default: PainterQB.txt in the settings folder).", {"file"}},
                    {"-o", "OUT.bmp", "The BMP file to write.", {"bmp"}}});
