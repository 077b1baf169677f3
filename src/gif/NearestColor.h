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
        return search(m_entries.data() + m_cellStart[static_cast<std::size_t>(cell)], red, green, blue);
    }
    int NearestBuilt(int red, int green, int blue) const
    {
        return search(m_entries.data() + m_cellStart[static_cast<std::size_t>(cellOf(red, green, blue))], red, green, blue);
    }

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

    // One entry of a cell's list: the palette entry's channels and index, and the square of
    // its distance from the cell's centre less the centre's farthest reach into the cell
    // (0 when that is not positive): no colour of the cell is nearer to it than that.
    struct TCellEntry {
        float Reach2;
        std::uint16_t Index;
        std::uint8_t Red, Green, Blue;
    };

    // The engines' interface through raw pointers a pixel loop keeps in registers (its
    // byte stores would make it reload the members every pixel). Made from a lookup it
    // builds cells on demand; made from a const one, every cell must have been built.
    class TView {
    public:
        explicit TView(TNearestColorLookup& owner) : m_owner(&owner) { load(owner); }
        explicit TView(const TNearestColorLookup& built) { load(built); }
        int Lookup(int red, int green, int blue, int& r, int& g, int& b)
        {
            const int cell = cellOf(red, green, blue);
            std::int32_t start = m_cellStart[cell];
            if (start < 0) [[unlikely]] {
                m_owner->buildCell(cell);
                load(*m_owner);
                start = m_cellStart[cell];
            }
            const int i = search(m_entries + start, red, green, blue);
            r = m_red[i];
            g = m_green[i];
            b = m_blue[i];
            return i;
        }

    private:
        void load(const TNearestColorLookup& l)
        {
            m_cellStart = l.m_cellStart.data();
            m_entries = l.m_entries.data();
            m_red = l.m_red.data();
            m_green = l.m_green.data();
            m_blue = l.m_blue.data();
        }
        TNearestColorLookup* m_owner = nullptr;
        const std::int32_t* m_cellStart = nullptr;
        const TCellEntry* m_entries = nullptr;
        const int *m_red = nullptr, *m_green = nullptr, *m_blue = nullptr;
    };
    TView View() { return TView(*this); }

private:
    static int cellOf(int red, int green, int blue) { return ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3); }
    void buildCell(int cell);
    // Appends to m_pool the count and the entries among `from` that can be nearest to a
    // colour of the box lo..lo+size-1; returns where the list starts.
    // `lanes`: the channels of `from` as appendLanes gives them.
    std::int32_t buildList(const int lo[3], int size, const std::uint16_t* from, int count, const std::int16_t* lanes);
    // Appends the channels of `from` as 16-bit lanes: all reds, then greens, then blues,
    // each padded to a multiple of eight with entries too far away to ever count.
    void appendLanes(const std::uint16_t* from, int count, std::vector<std::int16_t>& lanes) const;
    // The cell's entries come by their distance from the cell's centre, which bounds the
    // distance from any colour of the cell: the search stops once no later entry can win.
    // `list` starts with a header whose first four bytes hold the count.
    static int search(const TCellEntry* list, int red, int green, int blue)
    {
        std::uint32_t n;
        static_assert(sizeof(TCellEntry) >= sizeof(n));
        __builtin_memcpy(&n, list, sizeof(n));
        const TCellEntry* e = list + 1;
        int best = e[0].Index;
        int bestDistance = 1 << 30;
        for (std::uint32_t k = 0; k < n; ++k) {
            if (e[k].Reach2 > static_cast<float>(bestDistance))
                break;
            const int dr = e[k].Red - red, dg = e[k].Green - green, db = e[k].Blue - blue;
            const int d = dr * dr + dg * dg + db * db;
            const int i = e[k].Index;
            if (d < bestDistance || (d == bestDistance && i < best)) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }

    std::vector<int> m_red, m_green, m_blue;
    std::vector<std::int32_t> m_cellStart;  // offset of the cell's list in m_entries, -1 until built
    std::vector<std::int32_t> m_blockStart; // offset of the block's list in m_pool, -1 until built
    std::vector<std::uint16_t> m_all;       // 0..n-1
    std::vector<std::uint16_t> m_scratch;
    std::vector<std::int16_t> m_paletteLanes;  // the palette's channels for the block lists
    std::vector<std::int16_t> m_lanes;         // every built block list's channels
    std::vector<std::int32_t> m_blockLaneStart; // offset of a block's channels in m_lanes
    std::vector<std::uint16_t> m_pool; // per list: count, then the entries
    // Per cell: a header holding the count, then the entries by distance from the centre.
    std::vector<TCellEntry> m_entries;
    struct TKeyed {
        double Distance;
        std::uint16_t Index;
    };
    std::vector<TKeyed> m_keyed; // buildCell's entries with their distance from the centre
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
