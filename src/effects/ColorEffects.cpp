// Colour adjustments, tone curves and channel filters: each channel of each pixel changes
// on its own (or from its pixel's other channels), so every operation is one pass over
// the rows, mostly through a 256-entry table.
#include "PixelEffects.h"

#include "PixelLoop.h"
#include "graphics/NumberRules.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qorFX {

using namespace detail;

void Contrast(TBitmap& bitmap, int amount)
{
    Ensure24(bitmap);
    const std::int64_t a = amount;
    ApplyLut(bitmap, MakeLut([a](int c) -> std::int64_t {
        const std::int64_t d = std::abs(127 - c) * a / 255;
        return c > 127 ? c + d : c - d;
    }));
}

void Lightness(TBitmap& bitmap, int amount)
{
    Ensure24(bitmap);
    const std::int64_t a = amount;
    ApplyLut(bitmap, MakeLut([a](int c) -> std::int64_t { return c + a * (255 - c) / 255; }));
}

void Darkness(TBitmap& bitmap, int amount)
{
    Ensure24(bitmap);
    const std::int64_t a = amount;
    ApplyLut(bitmap, MakeLut([a](int c) -> std::int64_t { return c - a * c / 255; }));
}

void Saturation(TBitmap& bitmap, int amount)
{
    Ensure24(bitmap);
    // amount * (c - g) div 255 for every difference -255..255, so the pixel loop only
    // looks values up.
    std::array<std::int32_t, 511> scaled{};
    for (int d = -255; d <= 255; ++d) {
        const std::int64_t v = static_cast<std::int64_t>(amount) * d / 255;
        scaled[d + 255] = static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -1024, 1024));
    }
    ForEachPixel(bitmap, [&scaled](std::uint8_t* p) {
        const int g = (p[0] + p[1] + p[2]) / 3;
        p[0] = ClampToByte(g + scaled[p[0] - g + 255]);
        p[1] = ClampToByte(g + scaled[p[1] - g + 255]);
        p[2] = ClampToByte(g + scaled[p[2] - g + 255]);
    });
}

void Grayscale(TBitmap& bitmap)
{
    Ensure24(bitmap);
    // The products are the same doubles the formula computes, so the sums and their
    // rounding are exact to the formula too.
    static const auto tables = [] {
        struct { double r[256], g[256], b[256]; } t{};
        for (int c = 0; c < 256; ++c) {
            t.r[c] = 0.30 * c;
            t.g[c] = 0.59 * c;
            t.b[c] = 0.11 * c;
        }
        return t;
    }();
    // Adding and taking away 1.5 * 2^52 rounds to the nearest integer, halves to even,
    // as Round does, without a library call per pixel (sums stay within 0..255.x).
    constexpr double kRounder = 6755399441055744.0;
    ForEachPixel(bitmap, [](std::uint8_t* p) {
        const double sum = tables.r[p[2]] + tables.g[p[1]] + tables.b[p[0]];
        const double shifted = sum + kRounder;
        const std::uint8_t g = ClampToByte(static_cast<std::int64_t>(shifted - kRounder));
        p[0] = p[1] = p[2] = g;
    });
}

void Invert(TBitmap& bitmap)
{
    Ensure24(bitmap);
    ForEachPixel(bitmap, [](std::uint8_t* p) {
        p[0] = static_cast<std::uint8_t>(255 - p[0]);
        p[1] = static_cast<std::uint8_t>(255 - p[1]);
        p[2] = static_cast<std::uint8_t>(255 - p[2]);
    });
}

void Soften(TBitmap&, int) {}

void SplitLight(TBitmap& bitmap, int passes)
{
    if (passes <= 0)
        return;
    Ensure24(bitmap);
    // The passes compose into one table. The curve never darkens, so repeated passes
    // settle within 256 steps; after that more passes change nothing.
    const Lut step = MakeLut([](int c) { return Round(255.0 * std::sin(c * std::numbers::pi / 510.0)); });
    Lut lut = MakeLut([](int c) { return c; });
    for (int i = 0; i < passes; ++i) {
        Lut next{};
        for (int c = 0; c < 256; ++c)
            next[c] = step[lut[c]];
        if (next == lut)
            break;
        lut = next;
    }
    ApplyLut(bitmap, lut);
}

void Solarize(const TBitmap& source, TBitmap& destination, int threshold)
{
    TBitmap holder;
    const TBitmap& src = Source24(source, holder);
    MatchDestination(src, destination);
    const int w = src.Width();
    for (int y = 0; y < src.Height(); ++y) {
        const std::uint8_t* s = src.ScanLine(y);
        std::uint8_t* d = destination.ScanLine(y);
        for (int x = 0; x < w; ++x, s += 3, d += 3) {
            const int m = (s[0] + s[1] + s[2]) / 3;
            const int flip = m > threshold ? 255 : 0;
            d[0] = static_cast<std::uint8_t>(flip ^ s[0]);
            d[1] = static_cast<std::uint8_t>(flip ^ s[1]);
            d[2] = static_cast<std::uint8_t>(flip ^ s[2]);
        }
    }
}

void Posterize(const TBitmap& source, TBitmap& destination, int level)
{
    TBitmap holder;
    const TBitmap& src = Source24(source, holder);
    MatchDestination(src, destination);
    // Level 0 would divide by zero; it copies. A negative level quantises like its
    // magnitude, since rounding halves to even is symmetric.
    const std::int64_t l = level;
    const Lut lut = MakeLut([l](int c) -> std::int64_t {
        if (l == 0)
            return c;
        const std::int64_t v = l * Round(static_cast<double>(c) / static_cast<double>(l));
        return v > 255 ? 255 : v;
    });
    const int w = src.Width();
    for (int y = 0; y < src.Height(); ++y) {
        const std::uint8_t* s = src.ScanLine(y);
        std::uint8_t* d = destination.ScanLine(y);
        for (int x = 0; x < 3 * w; ++x)
            d[x] = lut[s[x]];
    }
}

namespace {

// channel: 0 blue, 1 green, 2 red.
void filterChannel(TBitmap& bitmap, int channel, int low, int high)
{
    Ensure24(bitmap);
    const Lut band = MakeLut([low, high](int c) { return low < c && c < high ? 255 : 0; });
    const Lut zero{};
    ApplyLuts(bitmap, channel == 0 ? band : zero, channel == 1 ? band : zero, channel == 2 ? band : zero);
}

void keepChannel(TBitmap& bitmap, int channel, double factor)
{
    Ensure24(bitmap);
    // Round(factor * c) is limited to a byte: factors above 1 saturate, negative ones give 0.
    const Lut scaled = MakeLut([factor](int c) -> std::int64_t {
        const double v = factor * c;
        if (!(v > 0))
            return 0;
        return v >= 255 ? 255 : Round(v);
    });
    const Lut zero{};
    ApplyLuts(bitmap, channel == 0 ? scaled : zero, channel == 1 ? scaled : zero, channel == 2 ? scaled : zero);
}

} // namespace

void FilterRed(TBitmap& bitmap, int low, int high) { filterChannel(bitmap, 2, low, high); }
void FilterGreen(TBitmap& bitmap, int low, int high) { filterChannel(bitmap, 1, low, high); }
void FilterBlue(TBitmap& bitmap, int low, int high) { filterChannel(bitmap, 0, low, high); }
void KeepRed(TBitmap& bitmap, double factor) { keepChannel(bitmap, 2, factor); }
void KeepGreen(TBitmap& bitmap, double factor) { keepChannel(bitmap, 1, factor); }
void KeepBlue(TBitmap& bitmap, double factor) { keepChannel(bitmap, 0, factor); }

} // namespace qorFX
