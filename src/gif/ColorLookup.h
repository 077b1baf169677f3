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

// Nearest colour through a 32 x 32 x 32 cache indexed by the top five bits of blue, green
// and red. Every palette entry claims its own cell first (the lowest index wins), a miss
// searches the palette and keeps the answer, so all colours of one cell share the answer
// of the first colour that filled it: fast, not exact. A cell holds the index and the
// entry's channels together (index | red << 8 | green << 16 | blue << 24), so a hit is
// one load; an empty cell holds index 0 with the complement of entry 0's channels, which
// no answer can be.
class TFastColorLookup final : public TColorLookup {
public:
    explicit TFastColorLookup(std::vector<TColor> palette);

    static int CellOf(int red, int green, int blue) { return ((blue >> 3) << 10) | ((green >> 3) << 5) | (red >> 3); }
    // The cached index of a cell, -1 while it is empty.
    int Cell(int cell) const
    {
        const std::uint32_t v = m_cache[static_cast<std::size_t>(cell)];
        return v == m_empty ? -1 : static_cast<int>(v & 0xFF);
    }

    int Lookup(int red, int green, int blue, int& r, int& g, int& b) override { return View().Lookup(red, green, blue, r, g, b); }

    // The same lookup through raw pointers held by the caller: a pixel loop keeps them in
    // registers where its byte stores would make it reload the members every pixel.
    class TView {
    public:
        explicit TView(TFastColorLookup& owner) : m_owner(owner), m_cache(owner.m_cache.data()), m_empty(owner.m_empty) {}
        int Lookup(int red, int green, int blue, int& r, int& g, int& b)
        {
            std::uint32_t* cell = m_cache + CellOf(red, green, blue);
            std::uint32_t v = *cell;
            if (v == m_empty) [[unlikely]] {
                v = m_owner.entry(m_owner.search(red, green, blue));
                *cell = v;
            }
            r = static_cast<int>((v >> 8) & 0xFF);
            g = static_cast<int>((v >> 16) & 0xFF);
            b = static_cast<int>(v >> 24);
            return static_cast<int>(v & 0xFF);
        }

    private:
        TFastColorLookup& m_owner;
        std::uint32_t* m_cache;
        std::uint32_t m_empty;
    };
    TView View() { return TView(*this); }

private:
    std::uint32_t entry(int i) const
    {
        const std::size_t k = static_cast<std::size_t>(i);
        return static_cast<std::uint32_t>(i) | (std::uint32_t(m_red[k]) << 8) | (std::uint32_t(m_green[k]) << 16)
               | (std::uint32_t(m_blue[k]) << 24);
    }

    std::uint32_t m_empty;
    std::vector<std::uint32_t> m_cache;
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
