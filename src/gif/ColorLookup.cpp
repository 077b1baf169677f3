#include "ColorLookup.h"

#include "SystemPalettes.h"

#include "graphics/Exception.h"

#include <cstdlib>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// Channel value of the padding entries: farther from any colour than any real entry.
constexpr std::int16_t kFarAway = 4000;
} // namespace

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
    const std::size_t padded = (m_palette.size() + 7) / 8 * 8;
    m_red16.assign(padded, kFarAway);
    m_green16.assign(padded, kFarAway);
    m_blue16.assign(padded, kFarAway);
    for (std::size_t i = 0; i < m_palette.size(); ++i) {
        m_red16[i] = m_red[i];
        m_green16[i] = m_green[i];
        m_blue16[i] = m_blue[i];
    }
}

int TColorLookup::search(int red, int green, int blue) const
{
    const int n = Colors();
    if (n == 0)
        return 0;
#if defined(__SSE2__)
    // Eight entries at a time, one pass: each lane keeps its smallest distance and the
    // first entry that had it; then the smallest distance of all lanes and, among the lanes
    // that have it, the lowest entry, so ties still go to the lower index. Distances stay
    // below 3 x 4000, well inside 16 bits.
    const int padded = static_cast<int>(m_red16.size());
    const __m128i R = _mm_set1_epi16(static_cast<short>(red));
    const __m128i G = _mm_set1_epi16(static_cast<short>(green));
    const __m128i B = _mm_set1_epi16(static_cast<short>(blue));
    const __m128i zero = _mm_setzero_si128();
    __m128i best = _mm_set1_epi16(0x7FFF);
    __m128i bestIndex = zero;
    __m128i index = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    const __m128i eight = _mm_set1_epi16(8);
    for (int i = 0; i < padded; i += 8) {
        const __m128i dr = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&m_red16[static_cast<std::size_t>(i)])), R);
        const __m128i dg = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&m_green16[static_cast<std::size_t>(i)])), G);
        const __m128i db = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&m_blue16[static_cast<std::size_t>(i)])), B);
        const __m128i ar = _mm_max_epi16(dr, _mm_sub_epi16(zero, dr));
        const __m128i ag = _mm_max_epi16(dg, _mm_sub_epi16(zero, dg));
        const __m128i ab = _mm_max_epi16(db, _mm_sub_epi16(zero, db));
        const __m128i d = _mm_add_epi16(_mm_add_epi16(ar, ag), ab);
        const __m128i nearer = _mm_cmplt_epi16(d, best);
        best = _mm_min_epi16(best, d);
        bestIndex = _mm_or_si128(_mm_and_si128(nearer, index), _mm_andnot_si128(nearer, bestIndex));
        index = _mm_add_epi16(index, eight);
    }
    alignas(16) std::int16_t distances[8], indices[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(distances), best);
    _mm_store_si128(reinterpret_cast<__m128i*>(indices), bestIndex);
    int found = indices[0], least = distances[0];
    for (int k = 1; k < 8; ++k) {
        if (distances[k] < least || (distances[k] == least && indices[k] < found)) {
            least = distances[k];
            found = indices[k];
        }
    }
    return found;
#else
    int bestIndex = 0;
    int bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < n; ++i) {
        const int d = std::abs(m_red[i] - red) + std::abs(m_green[i] - green) + std::abs(m_blue[i] - blue);
        if (d < bestDistance) {
            bestDistance = d;
            bestIndex = i;
            if (d == 0)
                break;
        }
    }
    return bestIndex;
#endif
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
    : TColorLookup(std::move(palette)), m_empty(entry(0) ^ 0xFFFFFF00u)
{
    // The cells hold 8-bit indices; a GIF palette never has more than 256 entries.
    if (Colors() > 256)
        throw EInvalidArgument("Palette has more than 256 colors");
    m_cache.assign(32 * 32 * 32, m_empty);
    const int n = Colors();
    for (int i = 0; i < n; ++i) {
        std::uint32_t& cell = m_cache[static_cast<std::size_t>(CellOf(m_red[i], m_green[i], m_blue[i]))];
        if (cell == m_empty)
            cell = entry(i);
    }
}

TNetscapeColorLookup::TNetscapeColorLookup() : TColorLookup(NetscapePalette()) {}

TGrayScaleLookup::TGrayScaleLookup() : TColorLookup(GrayScalePalette()) {}

TMonochromeLookup::TMonochromeLookup() : TColorLookup(MonochromePalette()) {}
