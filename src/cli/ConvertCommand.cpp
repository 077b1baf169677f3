// convert: any picture file the program imports, written as a BMP file.
#include "CliCommand.h"
#include "CliOptions.h"
#include "CliProgress.h"

#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/ImageFile.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <unordered_set>

namespace {

bool endsWithBmp(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".bmp";
}

// True when the bitmap has at most 256 distinct colours.
bool fitsPalette(const TBitmap& bmp)
{
    if (bmp.PixelFormat() == TPixelFormat::pf8bit)
        return true;
    std::unordered_set<std::uint32_t> colours;
    for (int y = 0; y < bmp.Height(); ++y) {
        const std::uint8_t* row = bmp.ScanLine(y);
        for (int x = 0; x < bmp.Width(); ++x) {
            colours.insert(row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16));
            if (colours.size() > 256)
                return false;
        }
    }
    return true;
}

int run(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    bool eightBit = false;
    for (const std::string& a : args) {
        if (a == "--8bit")
            eightBit = true;
        else if (CliIsOption(a))
            throw CliUsageError{"unknown option " + a};
        else
            files.push_back(a);
    }
    if (files.size() != 2)
        throw CliUsageError{"expected an input file and an output file"};
    if (!endsWithBmp(files[1]))
        throw CliUsageError{"the output file must end in .bmp"};

    TBitmap bmp = LoadImageFile(files[0]);
    if (eightBit) {
        if (!fitsPalette(bmp))
            throw EInvalidGraphic(files[0] + " has more than 256 colours; it cannot be written as an 8-bit BMP");
        bmp.SetPixelFormat(TPixelFormat::pf8bit);
    } else {
        bmp.SetPixelFormat(TPixelFormat::pf24bit);
    }
    SaveBmpFile(bmp, files[1]);
    CliReport() << "Wrote " << files[1] << " (" << bmp.Width() << " x " << bmp.Height() << ", "
              << (eightBit ? 8 : 24) << " bits per pixel)\n";
    return 0;
}

} // namespace

ANIVOR_CLI_COMMAND("convert", "IN OUT.bmp [--8bit]",
                   "Writes a BMP, ICO, PNG or JPEG file as a 24-bit BMP (8-bit with --8bit, for at most 256 colours).",
                   run,
                   {{"--8bit", "", "Writes an 8-bit BMP with a palette; refused for a picture of more than 256 colours."}},
                   {{"image"}, {"bmp"}});
