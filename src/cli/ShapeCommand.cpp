// shape: one smart shape painted filling a white picture (or painted onto a picture file),
// the way the frame editor's "Paint shape" stamps it.
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliWords.h"

#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/ImageFile.h"
#include "shapes/ShapePaint.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cctype>
#include <iostream>

namespace {

void listNames()
{
    std::cout << "Shape types:\n";
    for (int t = 0; t < kShapeTypeCount; ++t)
        std::cout << "  " << t << " " << ShapeTypeName(static_cast<TqorShapeType>(t)) << "\n";
    std::cout << "Gradient directions:\n";
    for (int d = 0; d < kFillDirectionCount; ++d)
        std::cout << "  " << d << " " << FillDirectionName(static_cast<TqorFillDirection>(d)) << "\n";
}

// A name of `shape --list` or the number it stands at there ("9" is qstTriangleRight).
template <class E>
std::optional<E> nameOrNumber(const std::string& text, int count, std::optional<E> (*fromText)(const std::string&))
{
    int n = 0;
    if (TryParseInt(text, n))
        return n >= 0 && n < count ? std::optional<E>(static_cast<E>(n)) : std::nullopt;
    return fromText(text);
}

TColor colorOption(const std::vector<std::string>& args, std::size_t& i)
{
    const std::string option = args[i];
    const std::string text = CliTextOption(args, i);
    bool ok = text.size() == 7 && text[0] == '#';
    for (std::size_t k = 1; ok && k < text.size(); ++k)
        ok = std::isxdigit(static_cast<unsigned char>(text[k])) != 0;
    if (!ok)
        throw CliUsageError{option + " takes a colour as #RRGGBB, not '" + text + "'"};
    const unsigned long v = std::stoul(text.substr(1), nullptr, 16);
    return RGB(static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF));
}

bool endsWith(std::string s, const std::string& tail)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void savePicture(const TBitmap& bmp, const std::string& path)
{
    if (!endsWith(path, ".png")) {
        SaveBmpFile(bmp, path);
        return;
    }
    const QImage image(bmp.Bits(), bmp.Width(), bmp.Height(), bmp.RowBytes(), QImage::Format_BGR888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw Exception("Unable to write to " + path);
    WriteFileAtomic(path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

int run(const std::vector<std::string>& args)
{
    if (args.size() == 1 && args[0] == "--list") {
        listNames();
        return 0;
    }
    TShapeModel shape;
    std::string out, on, type;
    int width = 0, height = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o")
            out = CliTextOption(args, i);
        else if (a == "-s")
            CliSizeOption(args, i, kMaxShapeSide, width, height);
        else if (a == "--on")
            on = CliTextOption(args, i);
        else if (a == "--pen-width")
            shape.Pen.Width = CliIntOption(args, i, 0, 1000);
        else if (a == "--pen-color")
            shape.Pen.Color = colorOption(args, i);
        else if (a == "--brush-color")
            shape.Brush.SetColor(colorOption(args, i));
        else if (a == "--brush-style") {
            const std::string s = CliTextOption(args, i);
            const std::optional<TBrushStyle> style = BrushStyleFromText(s);
            if (!style)
                throw CliUsageError{"unknown brush style '" + s + "' (bsSolid, bsClear, bsHorizontal, bsVertical, "
                                    "bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)"};
            shape.Brush.SetStyle(*style);
        } else if (a == "--gradient") {
            const std::string s = CliTextOption(args, i);
            const std::optional<TqorFillDirection> d = nameOrNumber(s, kFillDirectionCount, FillDirectionFromText);
            if (!d)
                throw CliUsageError{"unknown gradient direction '" + s + "' (anivor-cli shape --list shows them)"};
            shape.Gradient = true;
            shape.FillDirection = *d;
        } else if (a == "--gradient-color")
            shape.GradientColor = colorOption(args, i);
        else if (a == "--caption")
            shape.Caption = CliTextOption(args, i);
        else if (a == "--caption-angle")
            shape.CaptionAngle = CliIntOption(args, i, -360, 360);
        else if (a == "--vector") {
            const std::string s = CliTextOption(args, i);
            if (!shape.SetUserVectorString(s))
                throw CliUsageError{"--vector takes NAME=x1,y1,x2,y2,... with 1 to 50 points of numbers, not '" + s + "'"};
        } else if (a.size() > 1 && a[0] == '-')
            throw CliUsageError{"unknown option " + a};
        else if (type.empty())
            type = a;
        else
            throw CliUsageError{"unexpected argument '" + a + "'"};
    }
    if (type.empty())
        throw CliUsageError{"expected a shape type (anivor-cli shape --list shows them)"};
    const std::optional<TqorShapeType> t = nameOrNumber(type, kShapeTypeCount, ShapeTypeFromText);
    if (!t)
        throw CliUsageError{"unknown shape type '" + type + "' (anivor-cli shape --list shows them)"};
    shape.Shape = *t;
    if (out.empty())
        throw CliUsageError{"expected -o OUT (.bmp or .png)"};
    if (on.empty() && width == 0)
        throw CliUsageError{"expected -s WIDTHxHEIGHT or --on IMAGE"};

    TBitmap picture;
    if (!on.empty()) {
        picture = LoadImageFile(on);
        picture.SetPixelFormat(TPixelFormat::pf24bit);
    } else {
        picture = TBitmap(width, height);
        picture.Fill(clWhite);
    }
    // The shape fills the picture unless a size is given.
    if (width == 0) {
        width = std::min(picture.Width(), kMaxShapeSide);
        height = std::min(picture.Height(), kMaxShapeSide);
    }
    shape.SetSize(width, height);
    TCanvas canvas(picture);
    PaintShape(shape, canvas, {});
    savePicture(picture, out);
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("shape",
                   "TYPE -s WxH [--pen-width N] [--pen-color C] [--brush-color C] [--brush-style S] "
                   "[--gradient DIRECTION] [--gradient-color C] [--caption TEXT] [--caption-angle A] [--vector TEXT] "
                   "[--on IMAGE] -o OUT | --list",
                   "Paints one smart shape filling a white picture of WxH (or onto IMAGE) and writes it as BMP or "
                   "PNG; colours as #RRGGBB. TYPE and DIRECTION are names or numbers of --list (letter case and "
                   "the qst/qgd prefix may be left out).",
                   run,
                   {{"-s", "WxH",
                     "The picture's width and height, 1 to 16384 each (e.g. 200x120); with --on, the shape's size "
                     "(default: the picture's)."},
                    {"--pen-width", "N", "The outline's width, 0 to 1000."},
                    {"--pen-color", "C", "The outline's colour."},
                    {"--brush-color", "C", "The fill colour."},
                    {"--brush-style", "S",
                     "The fill pattern: bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross "
                     "or bsDiagCross.",
                     {"", CliBrushWords}},
                    {"--gradient", "DIRECTION", "Fills with a gradient from the brush colour to --gradient-color.",
                     {"", CliGradientWords}},
                    {"--gradient-color", "C", "The gradient's second colour."},
                    {"--caption", "TEXT", "A caption written across the shape."},
                    {"--caption-angle", "A", "The caption's angle in degrees, -360 to 360."},
                    {"--vector", "TEXT", "The user shape's outline: NAME=x1,y1,x2,y2,... with 1 to 50 points."},
                    {"--on", "IMAGE", "Paints onto this picture instead of a white one.", {"image"}},
                    {"-o", "OUT", "The file to write: PNG when its name ends in .png, else BMP.", {"bmp-png"}},
                    {"--list", "", "Lists the shape types and gradient directions with their numbers."}},
                   {{"", CliShapeWords}});
