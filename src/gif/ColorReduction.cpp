#include "ColorReduction.h"

#include "BestReduction.h"
#include "ColorLookup.h"
#include "ColorQuantizer.h"
#include "DitherEngine.h"
#include "NearestColor.h"
#include "SystemPalettes.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Rows of the source as 24-bit blue, green, red bytes; an 8-bit source is expanded
// through its palette (indices beyond the palette read as black).
class TDIBReader {
public:
    explicit TDIBReader(const TBitmap& source) : m_source(source)
    {
        if (source.PixelFormat() == TPixelFormat::pf8bit) {
            m_row.resize(static_cast<std::size_t>(source.Width()) * 3);
            const std::vector<TColor>& palette = source.Palette();
            for (std::size_t i = 0; i < palette.size(); ++i)
                m_palette[i] = palette[i];
        }
    }

    const std::uint8_t* Row(int y)
    {
        const std::uint8_t* line = m_source.ScanLine(y);
        if (m_source.PixelFormat() == TPixelFormat::pf24bit)
            return line;
        std::uint8_t* out = m_row.data();
        for (int x = 0; x < m_source.Width(); ++x, out += 3) {
            const TColor c = m_palette[line[x]];
            out[0] = static_cast<std::uint8_t>(GetBValue(c));
            out[1] = static_cast<std::uint8_t>(GetGValue(c));
            out[2] = static_cast<std::uint8_t>(GetRValue(c));
        }
        return m_row.data();
    }

private:
    const TBitmap& m_source;
    std::vector<std::uint8_t> m_row;
    TColor m_palette[256] = {};
};

// Reports rows done as a percentage within [from, to]; every 32 rows and at the end.
class TRowProgress {
public:
    TRowProgress(const TProgressFn& fn, int rows, int from, int to) : m_fn(fn), m_rows(rows), m_from(from), m_to(to) {}

    void Row(int y) const
    {
        if (m_fn && y % 32 == 0)
            report(m_from + static_cast<int>(static_cast<std::int64_t>(m_to - m_from) * y / std::max(m_rows, 1)));
    }
    void Done() const
    {
        if (m_fn)
            report(m_to);
    }

private:
    void report(int percent) const
    {
        if (!m_fn(percent))
            throw EColorReductionAborted();
    }

    const TProgressFn& m_fn;
    int m_rows, m_from, m_to;
};

// `everyColor` (when given) tells whether the palette holds every colour of the picture.
std::vector<TColor> octreePalette(const TBitmap& source, int maxColors, const TRowProgress& progress,
                                  bool* everyColor)
{
    TColorQuantizer quantizer(maxColors);
    TDIBReader reader(source);
    for (int y = 0; y < source.Height(); ++y) {
        progress.Row(y);
        quantizer.AddRow(reader.Row(y), source.Width());
    }
    progress.Done();
    if (everyColor)
        *everyColor = quantizer.EveryColorKept();
    return quantizer.Palette();
}

std::vector<TColor> paletteFor(const TBitmap& source, TColorReduction method, int bits, const TRowProgress& progress,
                               bool* everyColor = nullptr)
{
    switch (method) {
    case rmNone:
        return {};
    case rmWindows20:
        return Windows20Palette();
    case rmWindows256:
        return HalftonePalette();
    case rmWindowsGray:
        return WindowsGrayPalette();
    case rmMonochrome:
        return MonochromePalette();
    case rmGrayScale:
        return GrayScalePalette();
    case rmNetscape:
        return NetscapePalette();
    case rmQuantize:
        return octreePalette(source, 1 << std::clamp(bits, 3, 8), progress, everyColor);
    case rmQuantizeWindows: {
        const std::vector<TColor>& statics = Windows20Palette();
        std::vector<TColor> palette(statics.begin(), statics.begin() + 10);
        const std::vector<TColor> optimized = octreePalette(source, 236, progress, everyColor);
        palette.insert(palette.end(), optimized.begin(), optimized.end());
        palette.resize(246, RGB(0, 0, 0));
        palette.insert(palette.end(), statics.begin() + 10, statics.end());
        return palette;
    }
    case rmBest:
        return BestFramePalette(source, bits);
    }
    throw EInvalidArgument("Invalid color reduction method " + std::to_string(static_cast<int>(method)));
}

template <class TLookup>
void reduceWith(TLookup& lookup, TDitherMode dither, const TBitmap& source, TBitmap& dest,
                const TRowProgress& progress)
{
    WithDitherEngine(dither, source.Width(), lookup, [&](auto& engine) {
        TDIBReader reader(source);
        for (int y = 0; y < source.Height(); ++y) {
            progress.Row(y);
            DitherRow(engine, reader.Row(y), dest.ScanLine(y), source.Width());
        }
        progress.Done();
    });
}

void checkArguments(TColorReduction method, TDitherMode dither)
{
    if ((method < rmNone || method > rmQuantizeWindows) && method != rmBest)
        throw EInvalidArgument("Invalid color reduction method " + std::to_string(static_cast<int>(method)));
    if (dither < dmNearest || dither > dmBurkes)
        throw EInvalidArgument("Invalid dither mode " + std::to_string(static_cast<int>(dither)));
}

bool optimized(TColorReduction method)
{
    return method == rmQuantize || method == rmQuantizeWindows;
}

} // namespace

std::vector<TColor> ReductionPalette(const TBitmap& source, TColorReduction method, int bits,
                                     const TProgressFn& progress)
{
    checkArguments(method, dmNearest);
    return paletteFor(source, method, bits, TRowProgress(progress, source.Height(), 0, 100));
}

TBitmap ReduceColors(const TBitmap& source, TColorReduction method, TDitherMode dither, int bits,
                     const TProgressFn& progress)
{
    checkArguments(method, dither);
    if (method == rmNone) {
        TBitmap copy = source;
        if (copy.PixelFormat() != TPixelFormat::pf24bit)
            copy.SetPixelFormat(TPixelFormat::pf24bit);
        return copy;
    }
    if (method == rmBest) {
        TBitmap result = ReduceBest(source, bits, dither, progress);
        result.SetTransparent(source.Transparent());
        return result;
    }

    // The optimized palettes scan the picture once before it is mapped: half the progress
    // each.
    const int split = optimized(method) ? 50 : 0;
    bool everyColor = false;
    const std::vector<TColor> palette =
        paletteFor(source, method, bits, TRowProgress(progress, source.Height(), 0, split), &everyColor);

    TBitmap result(source.Width(), source.Height(), TPixelFormat::pf8bit);
    result.SetPalette(palette);
    result.SetTransparent(source.Transparent());
    if (palette.empty() || source.Empty())
        return result;
    // Every colour is an entry: written exactly, where the lookup's cache could answer a
    // neighbour that claimed the same cell. Nothing to diffuse, so every engine agrees.
    if (everyColor && source.PixelFormat() == TPixelFormat::pf24bit && MapExactColors(source, palette, result)) {
        TRowProgress(progress, 1, split, 100).Done();
        return result;
    }

    const TRowProgress mapping(progress, source.Height(), split, 100);
    switch (method) {
    case rmMonochrome: {
        TMonochromeLookup lookup;
        reduceWith(lookup, dither, source, result, mapping);
        break;
    }
    case rmGrayScale: {
        TGrayScaleLookup lookup;
        reduceWith(lookup, dither, source, result, mapping);
        break;
    }
    case rmNetscape: {
        TNetscapeColorLookup lookup;
        reduceWith(lookup, dither, source, result, mapping);
        break;
    }
    default: {
        TFastColorLookup lookup(palette);
        reduceWith(lookup, dither, source, result, mapping);
        break;
    }
    }
    return result;
}
