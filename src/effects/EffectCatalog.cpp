// The pixel operations under their stable names, and the lookup over both catalogs.
#include "EffectCatalog.h"

#include "PixelEffects.h"
#include "graphics/NumberRules.h"

#include <cmath>
#include <limits>

double EffectArg(const std::vector<double>& args, std::size_t i)
{
    return i < args.size() ? args[i] : 0.0;
}

int EffectIntArg(const std::vector<double>& args, std::size_t i)
{
    const double v = EffectArg(args, i);
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(Round(v));
}

namespace {

using Args = std::vector<double>;

double real(const Args& args, std::size_t i)
{
    return EffectArg(args, i);
}

int integer(const Args& args, std::size_t i)
{
    return EffectIntArg(args, i);
}

TColor colour(const Args& args, std::size_t i)
{
    const int v = integer(args, i);
    return v < 0 ? clBlack : static_cast<TColor>(v) & 0xFFFFFF;
}

TEffectEntry plain(const char* name, void (*op)(TBitmap&))
{
    return {name, {}, [op](TBitmap& b, const Args&) { op(b); }};
}

TEffectEntry oneInt(const char* name, const char* param, void (*op)(TBitmap&, int))
{
    return {name, {param}, [op](TBitmap& b, const Args& a) { op(b, integer(a, 0)); }};
}

TEffectEntry twoInts(const char* name, const char* p1, const char* p2, void (*op)(TBitmap&, int, int))
{
    return {name, {p1, p2}, [op](TBitmap& b, const Args& a) { op(b, integer(a, 0), integer(a, 1)); }};
}

TEffectEntry oneReal(const char* name, const char* param, void (*op)(TBitmap&, double))
{
    return {name, {param}, [op](TBitmap& b, const Args& a) { op(b, real(a, 0)); }};
}

// Source-to-destination operations read a copy of the bitmap and write the bitmap.
TEffectEntry fromCopy(const char* name, const char* param, void (*op)(const TBitmap&, TBitmap&, int))
{
    return {name, {param}, [op](TBitmap& b, const Args& a) {
                const TBitmap copy = b;
                op(copy, b, integer(a, 0));
            }};
}

TEffectEntry overlay(const char* name, void (*op)(const TBitmap&, TBitmap&))
{
    return {name, {}, [op](TBitmap& b, const Args&) {
                const TBitmap copy = b;
                op(copy, b);
            }};
}

bool sameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

const std::vector<TEffectEntry>& PixelEffectCatalog()
{
    using namespace qorFX;
    static const std::vector<TEffectEntry> catalog = {
        oneInt("Contrast", "amount", Contrast),
        oneInt("Lightness", "amount", Lightness),
        oneInt("Darkness", "amount", Darkness),
        oneInt("Saturation", "amount", Saturation),
        plain("Grayscale", Grayscale),
        plain("Invert", Invert),
        oneInt("Soften", "amount", Soften),
        oneInt("AddColorNoise", "amount", AddColorNoise),
        oneInt("AddMonoNoise", "amount", AddMonoNoise),
        oneInt("SplitBlur", "amount", SplitBlur),
        oneInt("GaussianBlur", "passes", GaussianBlur),
        plain("AntiAlias", AntiAlias),
        plain("Emboss", Emboss),
        oneInt("Mosaic", "size", Mosaic),
        oneInt("SplitLight", "passes", SplitLight),
        fromCopy("Solarize", "threshold", Solarize),
        fromCopy("Posterize", "level", Posterize),
        twoInts("FilterRed", "low", "high", FilterRed),
        twoInts("FilterGreen", "low", "high", FilterGreen),
        twoInts("FilterBlue", "low", "high", FilterBlue),
        oneReal("KeepRed", "factor", KeepRed),
        oneReal("KeepGreen", "factor", KeepGreen),
        oneReal("KeepBlue", "factor", KeepBlue),
        {"Spotlight", {"level", "left", "top", "right", "bottom"},
         [](TBitmap& b, const Args& a) {
             Spotlight(b, integer(a, 0), TRect(integer(a, 1), integer(a, 2), integer(a, 3), integer(a, 4)));
         }},
        oneInt("MandelbrotMask", "threshold", MandelbrotMask),
        oneInt("MaskMandelbrot", "threshold", MaskMandelbrot),
        {"MandelbrotRender", {"limit", "mandelbrot", "xmin", "ymin", "xmax", "ymax"},
         [](TBitmap& b, const Args& a) {
             MandelbrotRender(b, integer(a, 0), real(a, 1) != 0, real(a, 2), real(a, 3), real(a, 4), real(a, 5));
         }},
        twoInts("Buttonize", "bevel", "amount", Buttonize),
        oneInt("Seamless", "divisor", Seamless),
        {"Trace", {"passes", "color"},
         [](TBitmap& b, const Args& a) { Trace(b, integer(a, 0), colour(a, 1)); }},
        plain("ShadowUpLeft", ShadowUpLeft),
        plain("ShadowUpRight", ShadowUpRight),
        plain("ShadowDownLeft", ShadowDownLeft),
        plain("ShadowDownRight", ShadowDownRight),
        overlay("Overlay50", Overlay50),
        overlay("Overlay25", Overlay25),
    };
    return catalog;
}

const TEffectEntry* FindEffect(const std::string& name)
{
    for (const auto* catalog : {&PixelEffectCatalog(), &GeometricEffectCatalog()})
        for (const TEffectEntry& e : *catalog)
            if (sameName(e.name, name))
                return &e;
    return nullptr;
}

void ApplyEffect(const TEffectEntry& effect, TBitmap& bitmap, const std::vector<double>& args)
{
    MemoryBudget::Check(MemoryBudget::PictureBytes(bitmap.Width(), bitmap.Height(), 2),
                        "the effect " + effect.name + " on a " + std::to_string(bitmap.Width()) + " x "
                            + std::to_string(bitmap.Height()) + " picture");
    effect.apply(bitmap, args);
}
