#include "SystemPalettes.h"

namespace {

std::vector<TColor> buildWindows20()
{
    return {
        RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),
        RGB(0, 0, 128),     RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192),
        RGB(192, 220, 192), RGB(166, 202, 240), // money green, sky blue
        RGB(255, 251, 240), RGB(160, 160, 164), // cream, medium gray
        RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(255, 255, 0),
        RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255),
    };
}

void appendCube(std::vector<TColor>& p)
{
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back(RGB(51 * r, 51 * g, 51 * b));
}

std::vector<TColor> buildHalftone()
{
    const std::vector<TColor>& statics = Windows20Palette();
    std::vector<TColor> p(statics.begin(), statics.begin() + 10);
    appendCube(p);
    for (int k = 1; k <= 20; ++k) {
        const int v = (k * 255 + 10) / 21;
        p.push_back(RGB(v, v, v));
    }
    p.insert(p.end(), statics.begin() + 10, statics.end());
    return p;
}

} // namespace

const std::vector<TColor>& Windows20Palette()
{
    static const std::vector<TColor> palette = buildWindows20();
    return palette;
}

const std::vector<TColor>& HalftonePalette()
{
    static const std::vector<TColor> palette = buildHalftone();
    return palette;
}

const std::vector<TColor>& WindowsGrayPalette()
{
    static const std::vector<TColor> palette = {RGB(0, 0, 0), RGB(128, 128, 128), RGB(192, 192, 192),
                                                RGB(255, 255, 255)};
    return palette;
}

const std::vector<TColor>& MonochromePalette()
{
    static const std::vector<TColor> palette = {RGB(0, 0, 0), RGB(255, 255, 255)};
    return palette;
}

const std::vector<TColor>& GrayScalePalette()
{
    static const std::vector<TColor> palette = [] {
        std::vector<TColor> p;
        for (int i = 0; i < 256; ++i)
            p.push_back(RGB(i, i, i));
        return p;
    }();
    return palette;
}

const std::vector<TColor>& NetscapePalette()
{
    static const std::vector<TColor> palette = [] {
        std::vector<TColor> p;
        appendCube(p);
        return p;
    }();
    return palette;
}
