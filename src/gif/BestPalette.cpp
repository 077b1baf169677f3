#include "BestPalette.h"

#include "NearestColor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace {

// Wu's method on moment tables of 33 x 33 x 33 (index 0 is the empty border): weights,
// channel sums and sums of squares, summed up so a box's moments take eight reads.
class TWuCube {
public:
    static constexpr int N = 33;
    struct TBox {
        int R0 = 0, R1 = 32, G0 = 0, G1 = 32, B0 = 0, B1 = 32; // (R0, R1] and so on
        int Volume() const { return (R1 - R0) * (G1 - G0) * (B1 - B0); }
    };
    struct TSum {
        double W = 0, R = 0, G = 0, B = 0;
    };

    explicit TWuCube(const TColorBins& bins)
    {
        const std::size_t n = static_cast<std::size_t>(N) * N * N;
        for (auto* m : {&m_w, &m_r, &m_g, &m_b, &m_m2})
            m->assign(n, 0.0);
        
        for (const TColorBin& bin : bins.Bins()) {
            const double w = static_cast<double>(bin.Count);
            const double r = static_cast<double>(bin.Red), g = static_cast<double>(bin.Green),
                         b = static_cast<double>(bin.Blue);
            const std::size_t i = at(static_cast<int>(bin.Red / bin.Count) / 8 + 1,
                                     static_cast<int>(bin.Green / bin.Count) / 8 + 1,
                                     static_cast<int>(bin.Blue / bin.Count) / 8 + 1);
            m_w[i] += w;
            m_r[i] += r;
            m_g[i] += g;
            m_b[i] += b;
            m_m2[i] += (r * r + g * g + b * b) / w;
        }
        for (auto* m : {&m_w, &m_r, &m_g, &m_b, &m_m2}) {
            std::vector<double>& v = *m;
            for (int r = 1; r < N; ++r)
                for (int g = 1; g < N; ++g)
                    for (int b = 1; b < N; ++b)
                        v[at(r, g, b)] += v[at(r - 1, g, b)] + v[at(r, g - 1, b)] + v[at(r, g, b - 1)]
                                          - v[at(r - 1, g - 1, b)] - v[at(r - 1, g, b - 1)] - v[at(r, g - 1, b - 1)]
                                          + v[at(r - 1, g - 1, b - 1)];
        }
    }

    TSum Sum(const TBox& x) const
    {
        return {volume(x, m_w), volume(x, m_r), volume(x, m_g), volume(x, m_b)};
    }
    double Variance(const TBox& x) const
    {
        const TSum s = Sum(x);
        return s.W > 0 ? volume(x, m_m2) - (s.R * s.R + s.G * s.G + s.B * s.B) / s.W : 0.0;
    }

    // Splits `a` into `a` and `b` where the two halves' variance drops most; false when
    // no split leaves pixels on both sides.
    bool Cut(TBox& a, TBox& b) const
    {
        const TSum whole = Sum(a);
        int cut[3];
        double best[3];
        for (int d = 0; d < 3; ++d)
            best[d] = maximize(a, d, whole, cut[d]);
        int dir = 0;
        if (best[1] > best[dir])
            dir = 1;
        if (best[2] > best[dir])
            dir = 2;
        if (cut[dir] < 0)
            return false;
        b = a;
        if (dir == 0)
            b.R0 = a.R1 = cut[0];
        else if (dir == 1)
            b.G0 = a.G1 = cut[1];
        else
            b.B0 = a.B1 = cut[2];
        return true;
    }

private:
    static std::size_t at(int r, int g, int b) { return (static_cast<std::size_t>(r) * N + g) * N + b; }
    static double volume(const TBox& x, const std::vector<double>& m)
    {
        return m[at(x.R1, x.G1, x.B1)] - m[at(x.R1, x.G1, x.B0)] - m[at(x.R1, x.G0, x.B1)] + m[at(x.R1, x.G0, x.B0)]
               - m[at(x.R0, x.G1, x.B1)] + m[at(x.R0, x.G1, x.B0)] + m[at(x.R0, x.G0, x.B1)] - m[at(x.R0, x.G0, x.B0)];
    }
    // The moments of the part of `x` up to `pos` along `dir`.
    TSum lower(const TBox& x, int dir, int pos) const
    {
        TBox part = x;
        if (dir == 0)
            part.R1 = pos;
        else if (dir == 1)
            part.G1 = pos;
        else
            part.B1 = pos;
        return Sum(part);
    }
    double maximize(const TBox& x, int dir, const TSum& whole, int& cut) const
    {
        const int first = (dir == 0 ? x.R0 : dir == 1 ? x.G0 : x.B0) + 1;
        const int last = dir == 0 ? x.R1 : dir == 1 ? x.G1 : x.B1;
        double best = 0;
        cut = -1;
        for (int i = first; i < last; ++i) {
            const TSum h = lower(x, dir, i);
            const TSum o{whole.W - h.W, whole.R - h.R, whole.G - h.G, whole.B - h.B};
            if (h.W <= 0 || o.W <= 0)
                continue;
            const double v = (h.R * h.R + h.G * h.G + h.B * h.B) / h.W + (o.R * o.R + o.G * o.G + o.B * o.B) / o.W;
            if (v > best) {
                best = v;
                cut = i;
            }
        }
        return best;
    }

    // Kept by the thread between pictures: zeroing them costs less than new pages.
    struct TTables {
        std::vector<double> W, R, G, B, M2;
    };
    static TTables& tables()
    {
        thread_local TTables t;
        return t;
    }
    std::vector<double>& m_w = tables().W;
    std::vector<double>& m_r = tables().R;
    std::vector<double>& m_g = tables().G;
    std::vector<double>& m_b = tables().B;
    std::vector<double>& m_m2 = tables().M2;
};

TColor roundColor(double r, double g, double b)
{
    auto c = [](double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); };
    return RGB(c(r), c(g), c(b));
}

// Colours by pixels using them, most first; unused ones dropped.
std::vector<TColor> byUse(const std::vector<TColor>& colors, const std::vector<double>& use)
{
    std::vector<std::size_t> order(colors.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return use[a] > use[b]; });
    std::vector<TColor> sorted;
    for (std::size_t i : order)
        if (use[i] > 0)
            sorted.push_back(colors[i]);
    return sorted;
}

// Lloyd's k-means over the cells (each its mean, weighted by its pixels), starting from
// `colors` and filled up to maxColors. A colour left without pixels moves to the cell
// that is worst served. Returns the palette with each colour's pixels.
std::vector<TColor> kMeans(const TColorBins& bins, std::vector<TColor> colors, int maxColors, int passes,
                           std::vector<double>& use, double& error)
{
    const std::vector<TColorBin>& cells = bins.Bins();
    const std::size_t n = cells.size();
    std::vector<int> mr(n), mg(n), mb(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double w = static_cast<double>(cells[i].Count);
        mr[i] = static_cast<int>(std::lround(static_cast<double>(cells[i].Red) / w));
        mg[i] = static_cast<int>(std::lround(static_cast<double>(cells[i].Green) / w));
        mb[i] = static_cast<int>(std::lround(static_cast<double>(cells[i].Blue) / w));
    }
    const std::size_t k = static_cast<std::size_t>(maxColors);
    std::vector<double> sw(k), sr(k), sg(k), sb(k);
    std::vector<std::pair<double, std::size_t>> worst;
    thread_local TNearestColorLookup lookup({});
    // The last pass measures its assignment (the error of the colours it moves to the
    // means is no larger) and keeps it as each colour's use.
    for (int pass = 0; pass < std::max(passes, 1); ++pass) {
        const bool last = pass + 1 >= passes;
        std::fill(sw.begin(), sw.end(), 0.0);
        std::fill(sr.begin(), sr.end(), 0.0);
        std::fill(sg.begin(), sg.end(), 0.0);
        std::fill(sb.begin(), sb.end(), 0.0);
        worst.clear();
        error = 0;
        lookup.Reset(colors);
        for (std::size_t i = 0; i < n; ++i) {
            const int j = lookup.Nearest(mr[i], mg[i], mb[i]);
            const double w = static_cast<double>(cells[i].Count);
            const std::size_t u = static_cast<std::size_t>(j);
            sw[u] += w;
            sr[u] += static_cast<double>(cells[i].Red);
            sg[u] += static_cast<double>(cells[i].Green);
            sb[u] += static_cast<double>(cells[i].Blue);
            const double dr = mr[i] - lookup.Red(j), dg = mg[i] - lookup.Green(j), db = mb[i] - lookup.Blue(j);
            const double e = w * (dr * dr + dg * dg + db * db);
            error += e;
            if (e > 0)
                worst.emplace_back(e, i);
        }
        const std::size_t used = colors.size();
        if (last) {
            use.assign(sw.begin(), sw.begin() + static_cast<std::ptrdiff_t>(used));
            for (std::size_t j = 0; j < used; ++j)
                if (sw[j] > 0)
                    colors[j] = roundColor(sr[j] / sw[j], sg[j] / sw[j], sb[j] / sw[j]);
            break;
        }
        colors.resize(k);
        std::size_t dead = 0;
        for (std::size_t j = 0; j < k; ++j)
            if (j < used && sw[j] > 0)
                colors[j] = roundColor(sr[j] / sw[j], sg[j] / sw[j], sb[j] / sw[j]);
            else
                ++dead;
        // Colours without pixels go to the worst-served cells, worst first.
        const std::size_t moves = std::min(dead, worst.size());
        std::partial_sort(worst.begin(), worst.begin() + static_cast<std::ptrdiff_t>(moves), worst.end(),
                          [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
        std::size_t next = 0;
        std::vector<TColor> kept;
        for (std::size_t j = 0; j < k; ++j) {
            if (j < used && sw[j] > 0) {
                kept.push_back(colors[j]);
            } else if (next < moves) {
                const std::size_t i = worst[next++].second;
                kept.push_back(RGB(mr[i], mg[i], mb[i]));
            }
        }
        colors = std::move(kept);
    }
    return colors;
}

} // namespace

std::vector<TColor> WuPalette(const TColorBins& bins, int maxColors, double* error)
{
    const int k = std::clamp(maxColors, 1, 256);
    if (bins.Bins().empty()) {
        if (error)
            *error = 0;
        return {};
    }
    const TWuCube cube(bins);
    std::vector<TWuCube::TBox> boxes(static_cast<std::size_t>(k));
    std::vector<double> variance(static_cast<std::size_t>(k), 0.0);
    int count = 1;
    std::size_t next = 0;
    while (count < k) {
        TWuCube::TBox& a = boxes[next];
        TWuCube::TBox& b = boxes[static_cast<std::size_t>(count)];
        if (cube.Cut(a, b)) {
            variance[next] = a.Volume() > 1 ? cube.Variance(a) : 0.0;
            variance[static_cast<std::size_t>(count)] = b.Volume() > 1 ? cube.Variance(b) : 0.0;
            ++count;
        } else {
            variance[next] = 0;
        }
        next = static_cast<std::size_t>(std::max_element(variance.begin(), variance.begin() + count) - variance.begin());
        if (variance[next] <= 0)
            break;
    }
    std::vector<TColor> colors;
    double total = 0;
    for (int i = 0; i < count; ++i) {
        const TWuCube::TSum s = cube.Sum(boxes[static_cast<std::size_t>(i)]);
        total += cube.Variance(boxes[static_cast<std::size_t>(i)]);
        if (s.W > 0)
            colors.push_back(roundColor(s.R / s.W, s.G / s.W, s.B / s.W));
    }
    if (error)
        *error = total;
    return colors;
}

std::vector<TColor> BestPalette(const TColorBins& bins, const TBestPaletteOptions& options, double* error)
{
    const int k = std::clamp(options.MaxColors, 1, 256);
    const double pixels = std::max<double>(static_cast<double>(bins.Pixels()), 1.0);
    std::vector<TColor> exact;
    if (bins.ExactColors(exact) && static_cast<int>(exact.size()) <= k) {
        if (error)
            *error = 0;
        return exact;
    }
    std::vector<double> use;
    double e = 0;
    std::vector<TColor> colors;
    if (options.Start && !options.Start->empty()) {
        std::vector<TColor> start(options.Start->begin(),
                                  options.Start->begin() + std::min<std::ptrdiff_t>(k, static_cast<std::ptrdiff_t>(options.Start->size())));
        colors = kMeans(bins, std::move(start), k, options.Passes, use, e);
        if (e / pixels <= 2 * options.StartError + 1) {
            if (error)
                *error = e / pixels;
            return byUse(colors, use);
        }
    }
    double wuError = 0;
    std::vector<TColor> wu = WuPalette(bins, k, &wuError);
    if (!colors.empty() && e <= wuError) {
        if (error)
            *error = e / pixels;
        return byUse(colors, use);
    }
    std::vector<double> wuUse;
    double we = 0;
    wu = kMeans(bins, std::move(wu), k, options.Passes, wuUse, we);
    if (!colors.empty() && e <= we) {
        if (error)
            *error = e / pixels;
        return byUse(colors, use);
    }
    if (error)
        *error = we / pixels;
    return byUse(wu, wuUse);
}
