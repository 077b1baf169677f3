#include "BestReduction.h"

#include "BestPalette.h"
#include "DitherEngine.h"

#include <algorithm>

namespace {

// The error a pixel may carry from its neighbours, per channel, and the part of its own
// error it hands on (of 16). Clamping stops the streaks a long run of one far colour
// builds up; handing on five eighths keeps the noise, and so the error against the
// picture, low (on our test animations 0.6 to 1.1 dB better than all of it, 0.2 to 0.4 dB
// better than three quarters) while gradients still come out without bands.
constexpr int kClampLimit = 16;
constexpr int kShare = 10;

void reportRow(const TProgressFn& progress, int y, int rows)
{
    if (progress && y % 32 == 0 && !progress(static_cast<int>(static_cast<std::int64_t>(y) * 100 / std::max(rows, 1))))
        throw EColorReductionAborted();
}

// Const access for a shared lookup: every cell built beforehand.
struct TSharedLookup {
    const TNearestColorLookup& L;
    TNearestColorLookup::TView View() const { return TNearestColorLookup::TView(L); }
    int Lookup(int red, int green, int blue, int& r, int& g, int& b) const
    {
        const int i = L.NearestBuilt(red, green, blue);
        r = L.Red(i);
        g = L.Green(i);
        b = L.Blue(i);
        return i;
    }
};

// The nearest entries of the colours a frame asked for, by the whole colour: dithered
// pictures ask for the same few thousand colours again and again, and a hit costs one
// load where the search walks a cell's list. Direct-mapped: the colour times an odd
// number (a one-to-one map of 24-bit values) gives the slot (high bits) and a tag (the
// rest), so a cell identifies its colour; 0 is an empty cell. Small enough to stay in
// the core's own cache: the lookup is on the path from one pixel to the next.
class TNearestMemo {
    static constexpr int kSlotBits = 14, kTagBits = 24 - kSlotBits;

public:
    explicit TNearestMemo(const std::vector<TColor>& palette)
    {
        static thread_local std::vector<std::uint32_t> cells;
        cells.assign(std::size_t(1) << kSlotBits, 0);
        m_cells = cells.data();
        for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
            m_red[i] = GetRValue(palette[i]);
            m_green[i] = GetGValue(palette[i]);
            m_blue[i] = GetBValue(palette[i]);
        }
    }
    template <class TView>
    int Lookup(TView& view, int red, int green, int blue, int& r, int& g, int& b)
    {
        const std::uint32_t mixed = ((static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(green) << 8
                                      | static_cast<std::uint32_t>(blue)) * 0x9E3779u) & 0xFFFFFFu;
        std::uint32_t& cell = m_cells[mixed >> kTagBits];
        const std::uint32_t tag = (1u << kTagBits) | (mixed & ((1u << kTagBits) - 1));
        int i;
        if ((cell >> 8) == tag) {
            i = static_cast<int>(cell & 0xFFu);
        } else {
            i = view.Lookup(red, green, blue, r, g, b);
            cell = tag << 8 | static_cast<std::uint32_t>(i);
        }
        r = m_red[i];
        g = m_green[i];
        b = m_blue[i];
        return i;
    }

private:
    std::uint32_t* m_cells = nullptr;
    int m_red[256] = {}, m_green[256] = {}, m_blue[256] = {};
};

// Serpentine Floyd-Steinberg with errors kept in sixteenths and clamped per pixel.
template <class TLookup>
void clampedFloydSteinberg(const TBitmap& source, TBitmap& dest, TLookup& lookup, const TProgressFn& progress)
{
    const int width = source.Width();
    const int limit = kClampLimit * 16, share = kShare;
    auto&& view = viewOf(lookup);
    TNearestMemo memo(dest.Palette());
    std::vector<int> rows(static_cast<std::size_t>(2 * 3 * (width + 2)), 0);
    int* current = rows.data() + 3;
    int* next = rows.data() + 3 * (width + 2) + 3;
    for (int y = 0; y < source.Height(); ++y) {
        reportRow(progress, y, source.Height());
        const std::uint8_t* s = source.ScanLine(y);
        std::uint8_t* d = dest.ScanLine(y);
        const int dir = (y & 1) ? -1 : 1;
        int x = dir > 0 ? 0 : width - 1;
        // The share handed ahead and the next row's cells still gathering shares stay in
        // registers; each cell of the next row (cleared) is stored once, when complete.
        int ahead[3] = {0, 0, 0}, here[3] = {0, 0, 0}, behind[3] = {0, 0, 0};
        for (int k = 0; k < width; ++k, x += dir) {
            const int* e = current + 3 * x;
            int v[3];
#pragma GCC unroll 3
            for (int c = 0; c < 3; ++c)
                v[c] = ClampByte(s[3 * x + 2 - c] + (std::clamp(e[c] + ahead[c], -limit, limit) + 8) / 16);
            int p[3];
            d[x] = static_cast<std::uint8_t>(memo.Lookup(view, v[0], v[1], v[2], p[0], p[1], p[2]));
            int* done = next + 3 * (x - dir);
#pragma GCC unroll 3
            for (int c = 0; c < 3; ++c) {
                // Sixteenths of the error, in sixteenths: 7 ahead, 3 behind, 5 below, 1 below ahead.
                const int q = (v[c] - p[c]) * share;
                done[c] = behind[c] + q * 3 / 16;
                behind[c] = here[c] + q * 5 / 16;
                here[c] = q / 16;
                ahead[c] = q * 7 / 16;
            }
        }
        if (width > 0) {
            int* last = next + 3 * (x - dir);
            for (int c = 0; c < 3; ++c) {
                last[c] = behind[c];
                last[c + 3 * dir] = here[c];
            }
        }
        std::swap(current, next);
        std::fill(next - 3, next + 3 * (width + 1), 0);
    }
}

template <class TLookup>
void mapWith(const TBitmap& source, TBitmap& dest, TLookup& lookup, TDitherMode dither, const TProgressFn& progress)
{
    if (dither == dmFloydSteinberg)
        return clampedFloydSteinberg(source, dest, lookup, progress);
    WithDitherEngine(dither, source.Width(), lookup, [&](auto& engine) {
        for (int y = 0; y < source.Height(); ++y) {
            reportRow(progress, y, source.Height());
            DitherRow(engine, source.ScanLine(y), dest.ScanLine(y), source.Width());
        }
    });
}

TBitmap trueColor(const TBitmap& source)
{
    TBitmap copy = source;
    copy.SetPixelFormat(TPixelFormat::pf24bit);
    return copy;
}

} // namespace

std::vector<TColor> BestFramePalette(const TBitmap& source, int bits, const std::vector<TColor>* start)
{
    const int colors = 1 << std::clamp(bits, 3, 8);
    TColorBins bins(colors);
    bins.Add(source);
    TBestPaletteOptions options;
    options.MaxColors = colors;
    options.Start = start;
    return BestPalette(bins, options);
}

TBitmap MapToPalette(const TBitmap& source, const std::vector<TColor>& palette, const TNearestColorLookup* shared,
                     TDitherMode dither, bool refit, const TProgressFn& progress)
{
    if (source.PixelFormat() != TPixelFormat::pf24bit)
        return MapToPalette(trueColor(source), palette, shared, dither, refit, progress);
    TBitmap dest(source.Width(), source.Height(), TPixelFormat::pf8bit);
    dest.SetPalette(palette);
    if (palette.empty() || source.Empty())
        return dest;
    // Exact colours need no search and carry no error.
    if (!MapExactColors(source, palette, dest)) {
        if (shared) {
            TSharedLookup lookup{*shared};
            mapWith(source, dest, lookup, dither, progress);
        } else {
            // The thread's own lookup: its tables are reused from frame to frame.
            thread_local TNearestColorLookup lookup({});
            lookup.Reset(palette);
            mapWith(source, dest, lookup, dither, progress);
        }
    }
    if (progress && !progress(100))
        throw EColorReductionAborted();
    if (!refit)
        return dest;
    // Each colour the mean of its pixels; unused colours dropped, most used first.
    const std::size_t n = palette.size();
    std::vector<std::uint64_t> count(n), sr(n), sg(n), sb(n);
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* s = source.ScanLine(y);
        const std::uint8_t* d = dest.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x, s += 3) {
            const std::size_t i = d[x];
            ++count[i];
            sr[i] += s[2];
            sg[i] += s[1];
            sb[i] += s[0];
        }
    }
    std::vector<int> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return count[static_cast<std::size_t>(a)] > count[static_cast<std::size_t>(b)]; });
    std::vector<TColor> fitted;
    std::uint8_t remap[256] = {};
    for (int i : order) {
        const std::size_t u = static_cast<std::size_t>(i);
        if (count[u] == 0)
            break;
        remap[u] = static_cast<std::uint8_t>(fitted.size());
        const std::uint64_t c = count[u];
        fitted.push_back(RGB(static_cast<int>((sr[u] + c / 2) / c), static_cast<int>((sg[u] + c / 2) / c),
                             static_cast<int>((sb[u] + c / 2) / c)));
    }
    for (int y = 0; y < dest.Height(); ++y) {
        std::uint8_t* d = dest.ScanLine(y);
        for (int x = 0; x < dest.Width(); ++x)
            d[x] = remap[d[x]];
    }
    dest.SetPalette(fitted);
    return dest;
}

TBitmap ReduceBest(const TBitmap& source, int bits, TDitherMode dither, const TProgressFn& progress,
                   const std::vector<TColor>* start)
{
    return MapToPalette(source, BestFramePalette(source, bits, start), nullptr, dither, true, progress);
}
