#include "NearestColor.h"

#include "graphics/Bitmap.h"

#include <algorithm>
#include <climits>

TNearestColorLookup::TNearestColorLookup(const std::vector<TColor>& palette)
    : m_cellStart(32 * 32 * 32, -1)
{
    // An empty palette answers index 0, black.
    const std::size_t n = std::max<std::size_t>(palette.size(), 1);
    m_red.assign(n, 0);
    m_green.assign(n, 0);
    m_blue.assign(n, 0);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        m_red[i] = GetRValue(palette[i]);
        m_green[i] = GetGValue(palette[i]);
        m_blue[i] = GetBValue(palette[i]);
    }
    m_pool.reserve(8192);
}

void TNearestColorLookup::buildCell(int cell)
{
    // The cell is the box lo..lo+7 per channel. An entry can be nearest to a colour of the
    // box only when its nearest distance to the box is within the smallest farthest
    // distance of any entry.
    const int lo[3] = {(cell >> 10) << 3, ((cell >> 5) & 31) << 3, (cell & 31) << 3};
    const int n = Colors();
    auto nearDistance = [&](int i) {
        const int v[3] = {m_red[static_cast<std::size_t>(i)], m_green[static_cast<std::size_t>(i)],
                          m_blue[static_cast<std::size_t>(i)]};
        int d = 0;
        for (int c = 0; c < 3; ++c) {
            const int e = v[c] < lo[c] ? lo[c] - v[c] : v[c] > lo[c] + 7 ? v[c] - lo[c] - 7 : 0;
            d += e * e;
        }
        return d;
    };
    int limit = INT_MAX;
    for (int i = 0; i < n; ++i) {
        const int v[3] = {m_red[static_cast<std::size_t>(i)], m_green[static_cast<std::size_t>(i)],
                          m_blue[static_cast<std::size_t>(i)]};
        int d = 0;
        for (int c = 0; c < 3; ++c) {
            const int e = std::max(std::abs(v[c] - lo[c]), std::abs(v[c] - lo[c] - 7));
            d += e * e;
        }
        limit = std::min(limit, d);
    }
    const std::size_t start = m_pool.size();
    m_pool.push_back(0);
    for (int i = 0; i < n; ++i)
        if (nearDistance(i) <= limit)
            m_pool.push_back(static_cast<std::uint16_t>(i));
    m_pool[start] = static_cast<std::uint16_t>(m_pool.size() - start - 1);
    m_cellStart[static_cast<std::size_t>(cell)] = static_cast<std::int32_t>(start);
}

void TNearestColorLookup::BuildAll()
{
    for (int cell = 0; cell < 32 * 32 * 32; ++cell)
        if (m_cellStart[static_cast<std::size_t>(cell)] < 0)
            buildCell(cell);
}

TExactColorIndex::TExactColorIndex(const std::vector<TColor>& palette) : m_slots(kMask + 1, -1)
{
    const std::size_t n = std::min<std::size_t>(palette.size(), 256);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t key = (static_cast<std::uint32_t>(GetRValue(palette[i])) << 16)
                                  | (static_cast<std::uint32_t>(GetGValue(palette[i])) << 8)
                                  | static_cast<std::uint32_t>(GetBValue(palette[i]));
        for (std::uint32_t s = hash(key);; s = (s + 1) & kMask) {
            if (m_slots[s] < 0) {
                m_slots[s] = static_cast<std::int32_t>((key << 8) | static_cast<std::uint32_t>(i));
                break;
            }
            if (static_cast<std::uint32_t>(m_slots[s]) >> 8 == key)
                break; // the lower index keeps the colour
        }
    }
}

bool MapExactColors(const TBitmap& source, const std::vector<TColor>& palette, TBitmap& dest)
{
    const TExactColorIndex index(palette);
    const int width = source.Width();
    std::uint32_t lastKey = 0xFFFFFFFF;
    int last = -1;
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* s = source.ScanLine(y);
        std::uint8_t* d = dest.ScanLine(y);
        for (int x = 0; x < width; ++x, s += 3) {
            const std::uint32_t key = (std::uint32_t(s[2]) << 16) | (std::uint32_t(s[1]) << 8) | s[0];
            if (key != lastKey) {
                last = index.Find(s[2], s[1], s[0]);
                if (last < 0)
                    return false;
                lastKey = key;
            }
            d[x] = static_cast<std::uint8_t>(last);
        }
    }
    return true;
}
