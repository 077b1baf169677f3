// glyph: one character of a TrueType font as straight strokes (or an SVG path).
#include "CliCommand.h"
#include "CliOptions.h"

#include "editor/TTFToVector.h"

#include <QList>
#include <QString>

#include <cstdio>
#include <iostream>

namespace {

int run(const std::vector<std::string>& args)
{
    std::string character;
    TTTFToVectorConverter ttf;
    ttf.UNICODE = true;
    bool svg = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--font")
            ttf.Font.Name = CliTextOption(args, i);
        else if (a == "--precision")
            ttf.SetPrecision(CliIntOption(args, i, 1, 100));
        else if (a == "--svg")
            svg = true;
        else if (a.size() > 1 && a[0] == '-' && a[1] == '-')
            throw CliUsageError{"unknown option " + a};
        else if (character.empty())
            character = a;
        else
            throw CliUsageError{"expected one character"};
    }
    const QList<uint> codes = QString::fromUtf8(character.data(), static_cast<qsizetype>(character.size())).toUcs4();
    if (codes.size() != 1)
        throw CliUsageError{"expected one character"};

    // A character the font lacks would come out as the font's empty box.
    if (!ttf.HasCharacter(static_cast<char32_t>(codes[0]))) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(codes[0]));
        throw Exception("The font " + ttf.ActualFamily() + " has no character " + character + " (" + code + ")");
    }
    const std::unique_ptr<TStrokeCollection> strokes = ttf.Convert(static_cast<char32_t>(codes[0]));
    if (svg) {
        std::cout << StrokesToSvg(strokes ? *strokes : TStrokeCollection());
        return 0;
    }
    std::cout << "# font " << ttf.ActualFamily() << ", 1024 units per em, precision " << ttf.Precision() << "\n";
    if (!strokes) {
        std::cout << "# no outline\n";
        return 0;
    }
    const TRect b = strokes->Bounds();
    std::cout << "# strokes " << strokes->StrokeCount() << ", segments " << strokes->Count() << ", bounds " << b.Left
              << " " << b.Top << " " << b.Right << " " << b.Bottom << "\n"
              << "# stroke x1 y1 x2 y2\n";
    for (const TStrokeSegment& s : strokes->Segments())
        std::cout << s.Stroke << " " << s.X1 << " " << s.Y1 << " " << s.X2 << " " << s.Y2 << "\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("glyph", "CHAR [--font NAME] [--precision N] [--svg]",
                   "Prints one character of a TrueType font as straight strokes (y up, 1024 units per em), "
                   "or as an SVG path.",
                   run,
                   {{"--font", "NAME",
                     "The font family (default Arial); a missing family falls back to one that exists, named in "
                     "the first line."},
                    {"--precision", "N", "Pieces each curve is cut into, 1 to 100 (default 8)."},
                    {"--svg", "", "Prints an SVG document with one path instead of the strokes."}});
