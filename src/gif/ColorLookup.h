// Colour lookups: map a colour to a palette index and hand back that entry's colour.
// The concrete lookups are final with inline Lookup, so the dithering engines (templates
// over the lookup type) call them directly in their pixel loops.
#pragma once

#include "graphics/Types.h"

#include <cstdint>
#include <vector>

class TColorLookup {
public:
    explicit TColorLookup(std::vector<TColor> palette);
    virtual ~TColorLookup() = default;
    TColorLookup(const TColorLookup&) = delete;
    TColorLookup& operator=(const TColorLookup&) = delete;

    const std::vector<TColor>& Palette() const { return m_palette; }
    int Colors() const { return static_cast<int>(m_palette.size()); }

    // Index of the entry with the smallest sum of absolute channel differences (lower
    // index on ties); `r`, `g`, `b` receive that entry. An empty palette answers 0, black.
    virtual int Lookup(int red, int green, int blue, int& r, int& g, int& b);

protected:
    int search(int red, int green, int blue) const;
    // Palette unpacked into channels, at least one (black) entry so that index 0 is
    // always readable.
    std::vector<std::uint8_t> m_red, m_green, m_blue;

private:
    // The channels again as 16-bit lanes for the search, padded to a multiple of 8 with
    // entries too far away to ever be nearest.
    std::vector<std::int16_t> m_red16, m_green16, m_blue16;

    std::vector<TColor> m_palette;
};

// Nearest colour through a 32 x 32 x 32 cache of 16-bit cells indexed by the top five
// bits of blue, green and red. Every palette entry claims its own cell first (the lowest
// index wins), a miss searches the palette and keeps the answer, so all colours of one
// cell share the answer of the first colour that filled it: fast, not exact.
class TFastColorLookup final : public TColorLookup {
public:
    explicit TFastColorLookup(std::vector<TColor> palette);

    static int CellOf(int red, int green, int blue) { return ((blue >> 3) << 10) | ((green >> 3) << 5) | (red >> 3); }
    // The cached index of a cell, -1 while it is empty.
    int Cell(int cell) const { return m_cache[static_cast<std::size_t>(cell)]; }

    int Lookup(int red, int green, int blue, int& r, int& g, int& b) override
    {
        std::int16_t& cell = m_cache[static_cast<std::size_t>(CellOf(red, green, blue))];
        if (cell < 0)
            cell = static_cast<std::int16_t>(search(red, green, blue));
        const int i = cell;
        r = m_red[i];
        g = m_green[i];
        b = m_blue[i];
        return i;
    }

private:
    std::vector<std::int16_t> m_cache;
};

// The 6 x 6 x 6 cube: level = (value + 3) div 51 per channel, index 36r + 6g + b.
class TNetscapeColorLookup final : public TColorLookup {
public:
    TNetscapeColorLookup();

    int Lookup(int red, int green, int blue, int& r, int& g, int& b) override
    {
        const int lr = (red + 3) / 51, lg = (green + 3) / 51, lb = (blue + 3) / 51;
        r = 51 * lr;
        g = 51 * lg;
        b = 51 * lb;
        return 36 * lr + 6 * lg + lb;
    }
};

// 256 grays: gray = (77 red + 150 green + 29 blue) shr 8 is both index and colour.
class TGrayScaleLookup final : public TColorLookup {
public:
    TGrayScaleLookup();

    int Lookup(int red, int green, int blue, int& r, int& g, int& b) override
    {
        const int gray = (77 * red + 150 * green + 29 * blue) >> 8;
        r = g = b = gray;
        return gray;
    }
};

// Black (0) or white (1) by the weighted sum 77 red + 150 green + 29 blue against 32513.
class TMonochromeLookup final : public TColorLookup {
public:
    TMonochromeLookup();

    int Lookup(int red, int green, int blue, int& r, int& g, int& b) override
    {
        const bool white = 77 * red + 150 * green + 29 * blue >= 32513;
        r = g = b = white ? 255 : 0;
        return white ? 1 : 0;
    }
};
