#include "ColorLookup.h"

#include "SystemPalettes.h"

#include "graphics/Exception.h"

#include <cstdlib>
#include <utility>

TColorLookup::TColorLookup(std::vector<TColor> palette) : m_palette(std::move(palette))
{
    const std::size_t n = m_palette.empty() ? 1 : m_palette.size();
    m_red.assign(n, 0);
    m_green.assign(n, 0);
    m_blue.assign(n, 0);
    for (std::size_t i = 0; i < m_palette.size(); ++i) {
        m_red[i] = static_cast<std::uint8_t>(GetRValue(m_palette[i]));
        m_green[i] = static_cast<std::uint8_t>(GetGValue(m_palette[i]));
        m_blue[i] = static_cast<std::uint8_t>(GetBValue(m_palette[i]));
    }
}

int TColorLookup::search(int red, int green, int blue) const
{
    int best = 0;
    int bestDistance = 0x7FFFFFFF;
    const int n = Colors();
    for (int i = 0; i < n; ++i) {
        const int d = std::abs(m_red[i] - red) + std::abs(m_green[i] - green) + std::abs(m_blue[i] - blue);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0)
                break;
        }
    }
    return best;
}

int TColorLookup::Lookup(int red, int green, int blue, int& r, int& g, int& b)
{
    const int i = search(red, green, blue);
    r = m_red[i];
    g = m_green[i];
    b = m_blue[i];
    return i;
}

TFastColorLookup::TFastColorLookup(std::vector<TColor> palette)
    : TColorLookup(std::move(palette)), m_cache(32 * 32 * 32, -1)
{
    // The cells hold 16-bit indices; a GIF palette never has more than 256 entries.
    if (Colors() > 256)
        throw EInvalidArgument("Palette has more than 256 colors");
    const int n = Colors();
    for (int i = 0; i < n; ++i) {
        std::int16_t& cell = m_cache[static_cast<std::size_t>(CellOf(m_red[i], m_green[i], m_blue[i]))];
        if (cell < 0)
            cell = static_cast<std::int16_t>(i);
    }
}

TNetscapeColorLookup::TNetscapeColorLookup() : TColorLookup(NetscapePalette()) {}

TGrayScaleLookup::TGrayScaleLookup() : TColorLookup(GrayScalePalette()) {}

TMonochromeLookup::TMonochromeLookup() : TColorLookup(MonochromePalette()) {}
