// anivor-cli effect: one operation of the effects library on a picture file.
#include "CliCommand.h"
#include "CliWords.h"

#include "effects/EffectCatalog.h"
#include "graphics/BmpFile.h"
#include "graphics/ImageFile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace {

void listEffects()
{
    for (const auto* catalog : {&PixelEffectCatalog(), &GeometricEffectCatalog()})
        for (const TEffectEntry& e : *catalog) {
            std::cout << e.name;
            for (const std::string& p : e.params)
                std::cout << " " << p;
            std::cout << "\n";
        }
}

double parseValue(const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v))
        throw CliUsageError{"not a number: '" + text + "'"};
    return v;
}

int runEffect(const std::vector<std::string>& args)
{
    if (args.size() == 1 && args[0] == "--list") {
        listEffects();
        return 0;
    }
    if (args.size() < 3)
        throw CliUsageError{"expected an effect name, an input file and an output file"};
    const TEffectEntry* effect = FindEffect(args[0]);
    if (!effect)
        throw CliUsageError{"unknown effect '" + args[0] + "' (anivor-cli effect --list shows them)"};
    std::vector<double> values;
    for (std::size_t i = 1; i + 2 < args.size(); ++i)
        values.push_back(parseValue(args[i]));
    if (values.size() > effect->params.size()) {
        std::string wanted;
        for (const std::string& p : effect->params)
            wanted += " " + p;
        throw CliUsageError{effect->name + " takes " + std::to_string(effect->params.size()) + " value(s)"
                            + (wanted.empty() ? std::string() : ":" + wanted)};
    }
    TBitmap bitmap = LoadImageFile(args[args.size() - 2]);
    // Operations work on 24-bit pixels; missing values count as 0.
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    ApplyEffect(*effect, bitmap, values);
    SaveBmpFile(bitmap, args.back());
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("effect", "NAME [VALUE...] IN OUT.bmp | --list",
                   "Applies one effect to a picture (BMP, PNG, JPEG, ICO) and writes a BMP file. The name ignores "
                   "letter case; the values follow the effect's parameters in order, missing ones count as 0.",
                   runEffect, {{"--list", "", "Lists every effect with its parameters."}},
                   {{"", CliEffectWords}, {"image"}});
