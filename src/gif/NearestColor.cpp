#include "NearestColor.h"

#include "graphics/Bitmap.h"

#include <algorithm>
#include <climits>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

TNearestColorLookup::TNearestColorLookup(const std::vector<TColor>& palette)
{
    Reset(palette);
}

void TNearestColorLookup::Reset(const std::vector<TColor>& palette)
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
    m_all.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        m_all[i] = static_cast<std::uint16_t>(i);
    m_cellStart.assign(32 * 32 * 32, -1);
    m_blockStart.assign(8 * 8 * 8, -1);
    m_blockLaneStart.assign(8 * 8 * 8, -1);
    m_paletteLanes.clear();
    m_lanes.clear();
    m_pool.clear();
    m_entries.clear();
}

void TNearestColorLookup::appendLanes(const std::uint16_t* from, int count, std::vector<std::int16_t>& lanes) const
{
    // Padding entries lie too far away to count.
    constexpr std::int16_t kFar = 4000;
    const std::size_t padded = static_cast<std::size_t>((count + 7) & ~7);
    const std::size_t at = lanes.size();
    lanes.resize(at + 3 * padded, kFar);
    std::int16_t* r16 = lanes.data() + at;
    std::int16_t* g16 = r16 + padded;
    std::int16_t* b16 = g16 + padded;
    for (int k = 0; k < count; ++k) {
        r16[k] = static_cast<std::int16_t>(m_red[from[k]]);
        g16[k] = static_cast<std::int16_t>(m_green[from[k]]);
        b16[k] = static_cast<std::int16_t>(m_blue[from[k]]);
    }
}

std::int32_t TNearestColorLookup::buildList(const int lo[3], int size, const std::uint16_t* from, int count,
                                            const std::int16_t* lanes)
{
    // An entry can be nearest to a colour of the box only when its nearest distance to the
    // box is within the smallest farthest distance of any entry.
    const int hi[3] = {lo[0] + size - 1, lo[1] + size - 1, lo[2] + size - 1};
    const std::size_t start = m_pool.size();
    m_pool.push_back(0);
#if defined(__SSE2__)
    // Eight entries at a time in 16-bit lanes (`lanes`: the channels of `from`, padded);
    // squares summed in 32 bits by pairing the channels for _mm_madd_epi16.
    const int padded = (count + 7) & ~7;
    const std::int16_t* r16 = lanes;
    const std::int16_t* g16 = r16 + padded;
    const std::int16_t* b16 = g16 + padded;
    const __m128i zero = _mm_setzero_si128();
    const __m128i loR = _mm_set1_epi16(static_cast<short>(lo[0])), hiR = _mm_set1_epi16(static_cast<short>(hi[0]));
    const __m128i loG = _mm_set1_epi16(static_cast<short>(lo[1])), hiG = _mm_set1_epi16(static_cast<short>(hi[1]));
    const __m128i loB = _mm_set1_epi16(static_cast<short>(lo[2])), hiB = _mm_set1_epi16(static_cast<short>(hi[2]));
    // Sums of squares of eight (r, g, b) distances: four in `low`, four in `high`.
    auto squares = [&](__m128i r, __m128i g, __m128i b, __m128i& low, __m128i& high) {
        const __m128i rgLow = _mm_unpacklo_epi16(r, g), rgHigh = _mm_unpackhi_epi16(r, g);
        const __m128i bLow = _mm_unpacklo_epi16(b, zero), bHigh = _mm_unpackhi_epi16(b, zero);
        low = _mm_add_epi32(_mm_madd_epi16(rgLow, rgLow), _mm_madd_epi16(bLow, bLow));
        high = _mm_add_epi32(_mm_madd_epi16(rgHigh, rgHigh), _mm_madd_epi16(bHigh, bHigh));
    };
    auto load = [](const std::int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    auto min32 = [](__m128i a, __m128i b) {
        const __m128i bSmaller = _mm_cmpgt_epi32(a, b);
        return _mm_or_si128(_mm_and_si128(bSmaller, b), _mm_andnot_si128(bSmaller, a));
    };
    __m128i least = _mm_set1_epi32(INT_MAX);
    for (int k = 0; k < padded; k += 8) {
        const __m128i r = load(r16 + k), g = load(g16 + k), b = load(b16 + k);
        __m128i low, high;
        squares(_mm_max_epi16(_mm_sub_epi16(r, loR), _mm_sub_epi16(hiR, r)),
                _mm_max_epi16(_mm_sub_epi16(g, loG), _mm_sub_epi16(hiG, g)),
                _mm_max_epi16(_mm_sub_epi16(b, loB), _mm_sub_epi16(hiB, b)), low, high);
        least = min32(least, min32(low, high));
    }
    least = min32(least, _mm_shuffle_epi32(least, _MM_SHUFFLE(1, 0, 3, 2)));
    least = min32(least, _mm_shuffle_epi32(least, _MM_SHUFFLE(2, 3, 0, 1)));
    const __m128i limit = least;
    for (int k = 0; k < padded; k += 8) {
        const __m128i r = load(r16 + k), g = load(g16 + k), b = load(b16 + k);
        auto near = [&](__m128i v, __m128i l, __m128i h) {
            return _mm_add_epi16(_mm_max_epi16(_mm_sub_epi16(l, v), zero), _mm_max_epi16(_mm_sub_epi16(v, h), zero));
        };
        __m128i low, high;
        squares(near(r, loR, hiR), near(g, loG, hiG), near(b, loB, hiB), low, high);
        const int beyond = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(low, limit)))
                           | (_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(high, limit))) << 4);
        for (int j = 0; j < 8 && k + j < count; ++j)
            if (!(beyond & (1 << j)))
                m_pool.push_back(from[k + j]);
    }
#else
    (void)lanes;
    int limit = INT_MAX;
    for (int k = 0; k < count; ++k) {
        const std::size_t i = from[k];
        const int er = std::max(m_red[i] - lo[0], hi[0] - m_red[i]);
        const int eg = std::max(m_green[i] - lo[1], hi[1] - m_green[i]);
        const int eb = std::max(m_blue[i] - lo[2], hi[2] - m_blue[i]);
        limit = std::min(limit, er * er + eg * eg + eb * eb);
    }
    for (int k = 0; k < count; ++k) {
        const std::size_t i = from[k];
        const int er = std::max(0, lo[0] - m_red[i]) + std::max(0, m_red[i] - hi[0]);
        const int eg = std::max(0, lo[1] - m_green[i]) + std::max(0, m_green[i] - hi[1]);
        const int eb = std::max(0, lo[2] - m_blue[i]) + std::max(0, m_blue[i] - hi[2]);
        if (er * er + eg * eg + eb * eb <= limit)
            m_pool.push_back(static_cast<std::uint16_t>(i));
    }
#endif
    m_pool[start] = static_cast<std::uint16_t>(m_pool.size() - start - 1);
    return static_cast<std::int32_t>(start);
}

void TNearestColorLookup::buildCell(int cell)
{
    const int r = cell >> 10, g = (cell >> 5) & 31, b = cell & 31;
    const int block = ((r >> 2) << 6) | ((g >> 2) << 3) | (b >> 2);
    std::int32_t& blockStart = m_blockStart[static_cast<std::size_t>(block)];
    std::int32_t& blockLanes = m_blockLaneStart[static_cast<std::size_t>(block)];
    if (blockStart < 0) {
        if (m_paletteLanes.empty())
            appendLanes(m_all.data(), Colors(), m_paletteLanes);
        const int lo[3] = {(r >> 2) << 5, (g >> 2) << 5, (b >> 2) << 5};
        blockStart = buildList(lo, 32, m_all.data(), Colors(), m_paletteLanes.data());
        // The block's channels, for the lists of its 64 cells.
        blockLanes = static_cast<std::int32_t>(m_lanes.size());
        const std::size_t from = static_cast<std::size_t>(blockStart);
        appendLanes(m_pool.data() + from + 1, m_pool[from], m_lanes);
    }
    // Copied out: building the cell's list may move the pool.
    const std::size_t from = static_cast<std::size_t>(blockStart);
    m_scratch.assign(m_pool.begin() + static_cast<std::ptrdiff_t>(from) + 1,
                     m_pool.begin() + static_cast<std::ptrdiff_t>(from) + 1 + m_pool[from]);
    const int lo[3] = {r << 3, g << 3, b << 3};
    const std::int32_t start = buildList(lo, 8, m_scratch.data(), static_cast<int>(m_scratch.size()),
                                         m_lanes.data() + blockLanes);
    // Sorted by distance from the centre (3.5 from each face), lower index first on ties;
    // the distances are multiples of a quarter, exact in doubles.
    const std::size_t first = static_cast<std::size_t>(start) + 1, n = m_pool[static_cast<std::size_t>(start)];
    auto centre = [&](std::uint16_t i) {
        const double dr = m_red[i] - lo[0] - 3.5, dg = m_green[i] - lo[1] - 3.5, db = m_blue[i] - lo[2] - 3.5;
        return dr * dr + dg * dg + db * db;
    };
    m_keyed.clear();
    for (std::size_t k = first; k < first + n; ++k)
        m_keyed.push_back({centre(m_pool[k]), m_pool[k]});
    std::sort(m_keyed.begin(), m_keyed.end(), [](const TKeyed& a, const TKeyed& b) {
        return a.Distance != b.Distance ? a.Distance < b.Distance : a.Index < b.Index;
    });
    // The cell's list is written out; the pool keeps only block lists.
    m_pool.resize(static_cast<std::size_t>(start));
    const std::size_t at = m_entries.size();
    m_cellStart[static_cast<std::size_t>(cell)] = static_cast<std::int32_t>(at);
    TCellEntry header{};
    const std::uint32_t count = static_cast<std::uint32_t>(n);
    __builtin_memcpy(&header, &count, sizeof(count));
    m_entries.push_back(header);
    // Half the cell's diagonal, a little more so rounding never cuts a winner.
    const double half = std::sqrt(3 * 3.5 * 3.5) + 0.01;
    for (const TKeyed& k : m_keyed) {
        const float reach = static_cast<float>(std::max(0.0, std::sqrt(k.Distance) - half));
        m_entries.push_back({reach * reach, k.Index, static_cast<std::uint8_t>(m_red[k.Index]),
                             static_cast<std::uint8_t>(m_green[k.Index]), static_cast<std::uint8_t>(m_blue[k.Index])});
    }
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
                m_slots[s] = (static_cast<std::int64_t>(key) << 8) | static_cast<std::int64_t>(i);
                break;
            }
            if (static_cast<std::uint32_t>(m_slots[s] >> 8) == key)
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
