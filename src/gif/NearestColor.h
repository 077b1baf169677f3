// Exact colour lookups for palettes chosen from the picture: the entry nearest by squared
// RGB distance (the error PSNR counts), and the index of a colour the palette holds.
#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <vector>

// The nearest entry by squared RGB distance, lower index on ties. A grid of 32 x 32 x 32
// cells keeps, for each cell, the entries that can be nearest to some colour inside it
// (built the first time a colour of the cell is asked for, or all at once by BuildAll);
// a lookup compares only those, so it is exact and costs a handful of distances. A cell's
// entries are picked from those of its block of 4 x 4 x 4 cells, which are picked from
// the whole palette once per block.
class TNearestColorLookup {
public:
    explicit TNearestColorLookup(const std::vector<TColor>& palette);
    // Starts over with another palette, keeping the memory of the tables.
    void Reset(const std::vector<TColor>& palette);

    int Colors() const { return static_cast<int>(m_red.size()); }

    // Builds every cell; afterwards NearestBuilt may be called from several threads.
    void BuildAll();

    int Nearest(int red, int green, int blue)
    {
        const int cell = cellOf(red, green, blue);
        if (m_cellStart[static_cast<std::size_t>(cell)] < 0)
            buildCell(cell);
        return search(cell, red, green, blue);
    }
    int NearestBuilt(int red, int green, int blue) const { return search(cellOf(red, green, blue), red, green, blue); }

    // The interface of the dithering engines: index, and the entry's channels.
    int Lookup(int red, int green, int blue, int& r, int& g, int& b)
    {
        const int i = Nearest(red, green, blue);
        r = m_red[static_cast<std::size_t>(i)];
        g = m_green[static_cast<std::size_t>(i)];
        b = m_blue[static_cast<std::size_t>(i)];
        return i;
    }

    int Red(int i) const { return m_red[static_cast<std::size_t>(i)]; }
    int Green(int i) const { return m_green[static_cast<std::size_t>(i)]; }
    int Blue(int i) const { return m_blue[static_cast<std::size_t>(i)]; }

private:
    static int cellOf(int red, int green, int blue) { return ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3); }
    void buildCell(int cell);
    // Appends to m_pool the count and the entries among `from` that can be nearest to a
    // colour of the box lo..lo+size-1; returns where the list starts.
    std::int32_t buildList(const int lo[3], int size, const std::uint16_t* from, int count);
    // The cell's entries come by their distance from the cell's centre, which bounds the
    // distance from any colour of the cell: the search stops once no later entry can win.
    int search(int cell, int red, int green, int blue) const
    {
        const std::size_t start = static_cast<std::size_t>(m_cellStart[static_cast<std::size_t>(cell)]);
        const std::uint16_t* c = m_pool.data() + start;
        const float* reach = m_reach.data() + start;
        const int n = c[0];
        int best = c[1];
        int bestDistance = 1 << 30;
        for (int k = 1; k <= n; ++k) {
            if (reach[k] * reach[k] > static_cast<float>(bestDistance) && reach[k] > 0)
                break;
            const int i = c[k];
            const int dr = m_red[static_cast<std::size_t>(i)] - red, dg = m_green[static_cast<std::size_t>(i)] - green,
                      db = m_blue[static_cast<std::size_t>(i)] - blue;
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance || (d == bestDistance && i < best)) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }

    std::vector<int> m_red, m_green, m_blue;
    std::vector<std::int32_t> m_cellStart;  // offset of the cell's list in m_pool, -1 until built
    std::vector<std::int32_t> m_blockStart; // the same for the 8 x 8 x 8 blocks
    std::vector<std::uint16_t> m_all;       // 0..n-1
    std::vector<std::uint16_t> m_scratch;
    std::vector<std::int16_t> m_lanes; // buildList's channels, eight entries a step
    std::vector<std::uint16_t> m_pool; // per list: count, then the entries
    // Beside each cell list entry: its distance from the cell's centre less the centre's
    // farthest reach into the cell (a lower bound of its distance to any colour there).
    std::vector<float> m_reach;
};

// The lowest index of each colour a palette holds: an open-addressing table of 1024 slots.
class TExactColorIndex {
public:
    explicit TExactColorIndex(const std::vector<TColor>& palette);
    // The index of (red, green, blue) in the palette, -1 when it has no such entry.
    int Find(int red, int green, int blue) const
    {
        const std::uint32_t key = (static_cast<std::uint32_t>(red) << 16) | (static_cast<std::uint32_t>(green) << 8)
                                  | static_cast<std::uint32_t>(blue);
        for (std::uint32_t s = hash(key);; s = (s + 1) & kMask) {
            const std::int64_t v = m_slots[s];
            if (v < 0)
                return -1;
            if (static_cast<std::uint32_t>(v >> 8) == key)
                return static_cast<int>(v & 0xFF);
        }
    }

private:
    static constexpr std::uint32_t kMask = 1023;
    static std::uint32_t hash(std::uint32_t key) { return (key * 2654435761u) >> 22; }
    std::vector<std::int64_t> m_slots; // colour << 8 | index, -1 for an empty slot
};

// `source` (24 bits) written as indices of `palette` when every pixel's colour is an entry
// of it; false (and `dest` partly written) when some colour is not.
bool MapExactColors(const TBitmap& source, const std::vector<TColor>& palette, TBitmap& dest);
