#include "ColorBins.h"

#include <algorithm>
#include <numeric>

namespace {
constexpr int kCells = 64 * 64 * 64;
int cellOf(int red, int green, int blue) { return ((red >> 2) << 12) | ((green >> 2) << 6) | (blue >> 2); }
} // namespace

TColorBins::TColorBins(int exactLimit) : m_exactLimit(std::clamp(exactLimit, 0, 256))
{
    m_exact = m_exactLimit > 0;
    if (m_exact)
        m_exactSlots.assign(1024, -1);
}

void TColorBins::addExact(std::uint32_t rgb, std::uint64_t count)
{
    // Open addressing over 1024 slots, at most a quarter full.
    std::uint32_t s = (rgb * 2654435761u) >> 22;
    for (;; s = (s + 1) & 1023) {
        const std::int32_t i = m_exactSlots[s];
        if (i < 0)
            break;
        if (m_exactColors[static_cast<std::size_t>(i)] == rgb) {
            m_exactCounts[static_cast<std::size_t>(i)] += count;
            return;
        }
    }
    if (static_cast<int>(m_exactColors.size()) >= m_exactLimit) {
        m_exact = false;
        m_exactColors.clear();
        m_exactCounts.clear();
        m_exactSlots.clear();
        return;
    }
    m_exactSlots[s] = static_cast<std::int32_t>(m_exactColors.size());
    m_exactColors.push_back(rgb);
    m_exactCounts.push_back(count);
}

void TColorBins::addColor(std::vector<std::int32_t>& slots, std::uint32_t rgb, std::uint64_t count)
{
    const int r = static_cast<int>(rgb >> 16), g = static_cast<int>((rgb >> 8) & 0xFF), b = static_cast<int>(rgb & 0xFF);
    const int cell = cellOf(r, g, b);
    std::int32_t& slot = slots[static_cast<std::size_t>(cell)];
    if (slot < 0) {
        slot = static_cast<std::int32_t>(m_bins.size());
        m_bins.emplace_back().Cell = cell;
    }
    TColorBin& bin = m_bins[static_cast<std::size_t>(slot)];
    bin.Count += count;
    bin.Red += count * static_cast<std::uint64_t>(r);
    bin.Green += count * static_cast<std::uint64_t>(g);
    bin.Blue += count * static_cast<std::uint64_t>(b);
    if (m_exact)
        addExact(rgb, count);
    m_pixels += count;
}

void TColorBins::Add(const TBitmap& picture)
{
    TBitmap converted;
    const TBitmap* p = &picture;
    if (picture.PixelFormat() != TPixelFormat::pf24bit) {
        converted = picture;
        converted.SetPixelFormat(TPixelFormat::pf24bit);
        p = &converted;
    }
    // The cell table is the thread's own, kept between pictures; a gathering that already
    // holds bins (adding a second picture) uses its own.
    thread_local std::vector<std::int32_t> threadSlots;
    const bool own = !m_bins.empty() || !m_slot.empty();
    if (own)
        ownSlots();
    else if (threadSlots.empty())
        threadSlots.assign(kCells, -1);
    std::vector<std::int32_t>& slots = own ? m_slot : threadSlots;
    // Runs of one colour are counted once: flat areas cost a comparison a pixel.
    const int width = p->Width();
    for (int y = 0; y < p->Height(); ++y) {
        const std::uint8_t* s = p->ScanLine(y);
        int x = 0;
        while (x < width) {
            const std::uint32_t rgb = (std::uint32_t(s[3 * x + 2]) << 16) | (std::uint32_t(s[3 * x + 1]) << 8) | s[3 * x];
            int run = 1;
            while (x + run < width && s[3 * (x + run)] == s[3 * x] && s[3 * (x + run) + 1] == s[3 * x + 1]
                   && s[3 * (x + run) + 2] == s[3 * x + 2])
                ++run;
            addColor(slots, rgb, static_cast<std::uint64_t>(run));
            x += run;
        }
    }
    if (!own)
        for (const TColorBin& bin : m_bins)
            threadSlots[static_cast<std::size_t>(bin.Cell)] = -1;
}

void TColorBins::ownSlots()
{
    if (!m_slot.empty())
        return;
    m_slot.assign(kCells, -1);
    for (std::size_t i = 0; i < m_bins.size(); ++i)
        m_slot[static_cast<std::size_t>(m_bins[i].Cell)] = static_cast<std::int32_t>(i);
}

void TColorBins::Add(const TColorBins& other)
{
    ownSlots();
    for (const TColorBin& add : other.m_bins) {
        std::int32_t& slot = m_slot[static_cast<std::size_t>(add.Cell)];
        if (slot < 0) {
            slot = static_cast<std::int32_t>(m_bins.size());
            m_bins.emplace_back().Cell = add.Cell;
        }
        TColorBin& bin = m_bins[static_cast<std::size_t>(slot)];
        bin.Count += add.Count;
        bin.Red += add.Red;
        bin.Green += add.Green;
        bin.Blue += add.Blue;
    }
    m_pixels += other.m_pixels;
    if (!other.m_exact) {
        m_exact = false;
        m_exactColors.clear();
        m_exactCounts.clear();
        m_exactSlots.clear();
    }
    for (std::size_t i = 0; m_exact && i < other.m_exactColors.size(); ++i)
        addExact(other.m_exactColors[i], other.m_exactCounts[i]);
}

bool TColorBins::ExactColors(std::vector<TColor>& colors) const
{
    if (!m_exact)
        return false;
    std::vector<std::size_t> order(m_exactColors.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return m_exactCounts[a] != m_exactCounts[b] ? m_exactCounts[a] > m_exactCounts[b]
                                                    : m_exactColors[a] < m_exactColors[b];
    });
    colors.clear();
    for (std::size_t i : order) {
        const std::uint32_t c = m_exactColors[i];
        colors.push_back(RGB(static_cast<int>(c >> 16), static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)));
    }
    return true;
}
