// The catalog, the scripting names, and every operation on degenerate input.
#include "effects/EffectCatalog.h"
#include "effects/PixelEffects.h"
#include "effects/ScriptEffects.h"

#include "graphics/Random.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <limits>

namespace {

const char* const kPixelNames[] = {
    "Contrast", "Lightness", "Darkness", "Saturation", "Grayscale", "Invert", "Soften", "AddColorNoise",
    "AddMonoNoise", "SplitBlur", "GaussianBlur", "AntiAlias", "Emboss", "Mosaic", "SplitLight", "Solarize",
    "Posterize", "FilterRed", "FilterGreen", "FilterBlue", "KeepRed", "KeepGreen", "KeepBlue", "Spotlight",
    "MandelbrotMask", "MaskMandelbrot", "MandelbrotRender", "Buttonize", "Seamless", "Trace", "ShadowUpLeft",
    "ShadowUpRight", "ShadowDownLeft", "ShadowDownRight", "Overlay50", "Overlay25"};

std::string Cased(std::string s, bool upper)
{
    for (char& c : s)
        c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c)) : std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TBitmap Pattern(int w, int h)
{
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, RGB(x * 40 % 256, y * 70 % 256, (x + y) * 90 % 256));
    return b;
}

} // namespace

TEST(EffectCatalog, FindsEveryOperationWhateverTheLetterCase)
{
    EXPECT_EQ(PixelEffectCatalog().size(), std::size(kPixelNames));
    for (const char* name : kPixelNames) {
        const TEffectEntry* e = FindEffect(name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->name, name);
        EXPECT_EQ(FindEffect(Cased(name, false)), e) << name;
        EXPECT_EQ(FindEffect(Cased(name, true)), e) << name;
    }
    EXPECT_EQ(FindEffect("Contras"), nullptr);
    EXPECT_EQ(FindEffect(""), nullptr);
}

TEST(EffectCatalog, EntriesApplyTheirOperationWithArgumentsInOrder)
{
    TBitmap b = SolidBitmap(2, 1, RGB(9, 9, 200));
    FindEffect("FilterBlue")->apply(b, {100, 255});
    EXPECT_EQ(b.Pixel(0, 0), clBlue);
    b = SolidBitmap(2, 1, RGB(9, 9, 200));
    FindEffect("FilterBlue")->apply(b, {200, 255}); // strict
    EXPECT_EQ(b.Pixel(0, 0), clBlack);

    // Halves round to even: 2.5 -> 2.
    TBitmap expected = SolidBitmap(3, 2, RGB(200, 100, 50));
    qorFX::Darkness(expected, 2);
    b = SolidBitmap(3, 2, RGB(200, 100, 50));
    FindEffect("darkness")->apply(b, {2.5});
    EXPECT_EQ(b, expected);

    // Source-to-destination operations read a copy of the bitmap.
    b = SolidBitmap(1, 1, RGB(200, 200, 200));
    FindEffect("Solarize")->apply(b, {100});
    EXPECT_EQ(b.Pixel(0, 0), RGB(55, 55, 55));
    b = SolidBitmap(2, 2, RGB(1, 2, 3));
    FindEffect("Trace")->apply(b, {1, static_cast<double>(clRed)});
    EXPECT_EQ(b, SolidBitmap(2, 2, RGB(1, 2, 3)));
}

TEST(EffectCatalog, DegenerateSizesAndExtremeArgumentsNeverCrashOrHang)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> values = {0, 1, -1, 2.5, 255, 256, -256, 1e9, -1e9, 2147483647.0, -2147483648.0,
                                        inf, -inf, std::nan("")};
    const std::pair<int, int> sizes[] = {{0, 0}, {0, 3}, {3, 0}, {1, 1}, {2, 3}, {5, 1}, {1, 6}};
    for (const TEffectEntry& e : PixelEffectCatalog())
        for (auto [w, h] : sizes)
            for (double v : values) {
                TBitmap b = Pattern(w, h);
                std::vector<double> args(e.params.size(), v);
                // Spotlight and the Mandelbrot plane want sensible rectangles too.
                if (e.name == "Spotlight" || e.name == "MandelbrotRender")
                    for (std::size_t i = 1; i < args.size(); ++i)
                        args[i] = i % 2 ? -v : v;
                e.apply(b, args);
                EXPECT_EQ(b.Width(), w) << e.name << " " << v;
                EXPECT_EQ(b.Height(), h) << e.name << " " << v;
                EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit) << e.name;
            }
    // Eight-bit input is converted by every operation that changes pixels.
    for (const TEffectEntry& e : PixelEffectCatalog()) {
        TBitmap b(3, 3, TPixelFormat::pf8bit);
        b.SetPalette({clRed, clWhite});
        e.apply(b, std::vector<double>(e.params.size(), 3));
        if (e.name != "Soften") {
            EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit) << e.name;
        }
        EXPECT_EQ(b.Width(), 3) << e.name;
    }
}

TEST(ScriptEffects, NamesAreLowerCasedAndValuesReadOnlyWhenTaken)
{
    EXPECT_EQ(FindScriptEffect("BLUR")->operation, "GaussianBlur");
    EXPECT_EQ(FindScriptEffect("blür"), nullptr);

    int asked = 0;
    auto value = [&](double v) {
        return [&asked, v](TScriptValueKind) {
            ++asked;
            return v;
        };
    };
    const TBitmap original = SolidBitmap(4, 4, RGB(10, 20, 30));
    TBitmap b = original;
    EXPECT_TRUE(ApplyScriptEffect(b, "Invert", value(7)));
    EXPECT_EQ(b, SolidBitmap(4, 4, RGB(245, 235, 225)));
    EXPECT_EQ(asked, 0);

    TBitmap pattern = Pattern(9, 9);
    TBitmap blurred = pattern;
    qorFX::SplitBlur(blurred, 3);
    b = pattern;
    EXPECT_TRUE(ApplyScriptEffect(b, "blur", value(0)));
    EXPECT_EQ(b, blurred);
    EXPECT_EQ(asked, 1);
    b = pattern;
    EXPECT_TRUE(ApplyScriptEffect(b, "blur", value(-1)));
    EXPECT_EQ(b, pattern);

    b = SolidBitmap(2, 2, RGB(200, 200, 200));
    EXPECT_TRUE(ApplyScriptEffect(b, "Solarize", value(100)));
    EXPECT_EQ(b.Pixel(1, 1), RGB(55, 55, 55));

    // Unknown names change no pixel but still leave the picture 24-bit.
    TBitmap indexed(2, 2, TPixelFormat::pf8bit);
    indexed.SetPalette({clRed});
    asked = 0;
    EXPECT_FALSE(ApplyScriptEffect(indexed, "sparkle", value(1)));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(indexed.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(indexed, SolidBitmap(2, 2, clRed));
}
