// The colours of one or more pictures gathered for choosing a palette: cells of 4 x 4 x 4
// colours (6 bits a channel) with their pixel counts and channel sums, so a cell stands for
// the mean of its pixels, and the exact colours while there are few enough of them.
#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <vector>

struct TColorBin {
    int Cell = 0; // (red >> 2) << 12 | (green >> 2) << 6 | blue >> 2
    std::uint64_t Count = 0;
    std::uint64_t Red = 0, Green = 0, Blue = 0; // channel sums
};

class TColorBins {
public:
    // Keeps the exact colours while there are at most `exactLimit` (0..256) of them.
    explicit TColorBins(int exactLimit = 256);

    // Adds the pixels of a 24-bit picture (an 8-bit one is read through its palette).
    void Add(const TBitmap& picture);
    // Adds another gathering (the exact colours stay known while their union fits).
    void Add(const TColorBins& other);

    const std::vector<TColorBin>& Bins() const { return m_bins; }
    std::uint64_t Pixels() const { return m_pixels; }
    // Every colour added, with its pixel count, most used first (ties by colour), when
    // there are at most exactLimit; otherwise false.
    bool ExactColors(std::vector<TColor>& colors) const;

private:
    void addColor(std::vector<std::int32_t>& slots, std::uint32_t rgb, std::uint64_t count);
    void addExact(std::uint32_t rgb, std::uint64_t count);
    void ownSlots(); // builds m_slot from the bins

    int m_exactLimit;
    std::uint64_t m_pixels = 0;
    std::vector<std::int32_t> m_slot; // cell -> index in m_bins, -1 while empty (for Add(bins))
    std::vector<TColorBin> m_bins;
    // Exact colours (rgb) and their counts, until there are more than m_exactLimit.
    bool m_exact = true;
    std::vector<std::uint32_t> m_exactColors;
    std::vector<std::uint64_t> m_exactCounts;
    std::vector<std::int32_t> m_exactSlots; // hash of m_exactColors: index, -1 for empty
};
