// SmoothResize (bilinear, fixed point), Resample (separable filtered resampling with
// seven kernels) and ScaleOnto, which resamples one picture over another.
#include "GeometricEffects.h"
#include "GeometricSupport.h"

#include "graphics/Exception.h"
#include "graphics/NumberRules.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>
#include <strings.h>
#include <system_error>
#include <thread>

namespace qorFX {

using namespace geom;

void SmoothResize(const TBitmap& source, TBitmap& dest)
{
    TBitmap holder;
    const TBitmap& s = ReadableSource(source, holder, &dest);
    Make24(dest);
    const int sw = s.Width(), sh = s.Height(), dw = dest.Width(), dh = dest.Height();
    if (s.Empty() || dest.Empty())
        return;
    const std::int64_t xs = (static_cast<std::int64_t>(sw - 1) * 32768) / dw;
    const std::int64_t ys = (static_cast<std::int64_t>(sh - 1) * 32768) / dh;

    // Per column: left source pixel, its right neighbour (itself on a one-pixel-wide
    // source) and the horizontal weight.
    // Every weight is at most 32768 and the four of a pixel add up to 32768, so the sums
    // fit 32 bits and the divisions are shifts.
    std::vector<int> x1s(dw), x2s(dw);
    std::vector<std::uint32_t> wxs(dw);
    std::int64_t fx = 0;
    for (int x = 0; x < dw; ++x) {
        const int x1 = static_cast<int>(fx / 32768);
        x1s[x] = 3 * x1;
        x2s[x] = 3 * (x1 + 1 < sw ? x1 + 1 : x1);
        wxs[x] = static_cast<std::uint32_t>(fx % 32768);
        fx += xs;
    }
    auto rows = [&](int from, int to) {
        const int* __restrict lefts = x1s.data();
        const int* __restrict rights = x2s.data();
        const std::uint32_t* __restrict weights = wxs.data();
        for (int y = from; y < to; ++y) {
            const std::int64_t fy = std::int64_t(y) * ys;
            const int y1 = static_cast<int>(fy / 32768);
            const int y2 = y1 + 1 < sh ? y1 + 1 : y1;
            const std::uint32_t wy = static_cast<std::uint32_t>(fy % 32768), iwy = 32768 - wy;
            const std::uint8_t* __restrict r1 = s.ScanLine(y1);
            const std::uint8_t* __restrict r2 = s.ScanLine(y2);
            std::uint8_t* __restrict d = dest.ScanLine(y);
            for (int x = 0; x < dw; ++x) {
                const std::uint32_t wx = weights[x];
                const std::uint32_t w11 = (wx * iwy) >> 15, w10 = iwy - w11;
                const std::uint32_t w21 = (wx * wy) >> 15, w20 = wy - w21;
                const int i = lefts[x], j = rights[x];
                // The three channels spelled out: much faster than a loop over them here.
                const std::uint32_t b = r1[i] * w10 + r1[j] * w11 + r2[i] * w20 + r2[j] * w21;
                const std::uint32_t g = r1[i + 1] * w10 + r1[j + 1] * w11 + r2[i + 1] * w20 + r2[j + 1] * w21;
                const std::uint32_t r = r1[i + 2] * w10 + r1[j + 2] * w11 + r2[i + 2] * w20 + r2[j + 2] * w21;
                d[3 * x] = static_cast<std::uint8_t>(b >> 15);
                d[3 * x + 1] = static_cast<std::uint8_t>(g >> 15);
                d[3 * x + 2] = static_cast<std::uint8_t>(r >> 15);
            }
        }
    };
    // Rows do not depend on each other: a large picture (a zoomed frame) is shared with a
    // second thread, which gives the same pixels in half the time on two cores.
    std::thread lower;
    int split = dh;
    if (static_cast<std::int64_t>(dw) * dh >= (1 << 20) && std::thread::hardware_concurrency() > 1) {
        try {
            lower = std::thread(rows, dh / 2, dh);
            split = dh / 2;
        } catch (const std::system_error&) {
            // No thread to be had: one does it all.
        }
    }
    rows(0, split);
    if (lower.joinable())
        lower.join();
}

const std::vector<TResampleFilterInfo>& ResampleFilters()
{
    static const std::vector<TResampleFilterInfo> filters = {
        {"Box", TResampleFilter::Box, 0.5f},
        {"Triangle", TResampleFilter::Triangle, 1.0f},
        {"Hermite", TResampleFilter::Hermite, 1.0f},
        {"Bell", TResampleFilter::Bell, 1.5f},
        {"B-Spline", TResampleFilter::BSpline, 2.0f},
        {"Lanczos3", TResampleFilter::Lanczos3, 3.0f},
        {"Mitchell", TResampleFilter::Mitchell, 2.0f},
    };
    return filters;
}

const TResampleFilterInfo* FindResampleFilter(const std::string& name)
{
    for (const auto& f : ResampleFilters())
        if (strcasecmp(f.name, name.c_str()) == 0)
            return &f;
    return nullptr;
}

namespace {

float Sinc(float x)
{
    if (x == 0.0f)
        return 1.0f;
    const float px = static_cast<float>(std::numbers::pi) * x;
    return std::sin(px) / px;
}

float NaturalSupport(TResampleFilter filter)
{
    for (const auto& f : ResampleFilters())
        if (f.filter == filter)
            return f.support;
    return 3.0f;
}

} // namespace

float ResampleKernel(TResampleFilter filter, float x)
{
    const float t = std::fabs(x);
    switch (filter) {
    case TResampleFilter::Box:
        return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
    case TResampleFilter::Triangle:
        return t < 1.0f ? 1.0f - t : 0.0f;
    case TResampleFilter::Hermite:
        return t < 1.0f ? (2.0f * t - 3.0f) * t * t + 1.0f : 0.0f;
    case TResampleFilter::Bell:
        if (t < 0.5f)
            return 0.75f - t * t;
        if (t < 1.5f)
            return 0.5f * ((t - 1.5f) * (t - 1.5f));
        return 0.0f;
    case TResampleFilter::BSpline:
        if (t < 1.0f)
            return 0.5f * t * t * t - t * t + 2.0f / 3.0f;
        if (t < 2.0f) {
            const float u = 2.0f - t;
            return u * u * u / 6.0f;
        }
        return 0.0f;
    case TResampleFilter::Lanczos3:
        return t < 3.0f ? Sinc(t) * Sinc(t / 3.0f) : 0.0f;
    case TResampleFilter::Mitchell:
        if (t < 1.0f)
            return (7.0f * t * t * t - 12.0f * t * t + 16.0f / 3.0f) / 6.0f;
        if (t < 2.0f)
            return (-(7.0f / 3.0f) * t * t * t + 12.0f * t * t - 20.0f * t + 32.0f / 3.0f) / 6.0f;
        return 0.0f;
    }
    return 0.0f;
}

namespace {

// Contributors of destination indices from..to-1 of an axis resampled from `srcSize` to
// `dstSize` pixels.
std::vector<std::vector<TContributor>> Contributors(int srcSize, int dstSize, TResampleFilter filter,
                                                    float support, int from, int to)
{
    std::vector<std::vector<TContributor>> lists(static_cast<std::size_t>(std::max(to - from, 0)));
    if (srcSize <= 0 || dstSize <= 0)
        return lists;
    // A one-pixel source or destination has no (n - 1) spacing to scale by.
    const float scale = (srcSize == 1 || dstSize == 1)
        ? static_cast<float>(dstSize) / static_cast<float>(srcSize)
        : static_cast<float>(dstSize - 1) / static_cast<float>(srcSize - 1);
    if (std::isnan(support))
        support = 0.0f;
    // Beyond its own support a kernel is 0, so looking further only finds zero weights.
    const float reach = std::min(support, NaturalSupport(filter) + 1.0f);
    auto mirror = [srcSize](std::int64_t j) {
        std::int64_t m = j < 0 ? -j : (j < srcSize ? j : 2 * static_cast<std::int64_t>(srcSize) - 1 - j);
        return static_cast<int>(std::clamp<std::int64_t>(m, 0, srcSize - 1));
    };
    for (int i = from; i < to; ++i) {
        auto& list = lists[static_cast<std::size_t>(i - from)];
        const float centre = static_cast<float>(i) / scale;
        if (scale < 1.0f) {
            const float width = reach / scale;
            const float fscale = 1.0f / scale;
            const auto lo = static_cast<std::int64_t>(std::floor(centre - width));
            const auto hi = static_cast<std::int64_t>(std::ceil(centre + width));
            for (std::int64_t j = lo; j <= hi; ++j) {
                const float weight = ResampleKernel(filter, (centre - static_cast<float>(j)) / fscale) / fscale;
                if (weight != 0.0f)
                    list.push_back({mirror(j), weight});
            }
        } else {
            const auto lo = static_cast<std::int64_t>(std::floor(centre - reach));
            const auto hi = static_cast<std::int64_t>(std::ceil(centre + reach));
            for (std::int64_t j = lo; j <= hi; ++j) {
                const float weight = ResampleKernel(filter, centre - static_cast<float>(j));
                if (weight != 0.0f)
                    list.push_back({mirror(j), weight});
            }
        }
    }
    return lists;
}

inline std::uint8_t ToByte(float sum)
{
    if (sum > 255.0f)
        return 255;
    if (sum < 0.0f)
        return 0;
    return static_cast<std::uint8_t>(std::nearbyint(sum));
}

// Computes the part `window` of `s` resampled to dw x dh and writes it into `out` with
// the window's top-left corner at `at` (clipping is the caller's job: the window must fit).
void ResampleWindow(const TBitmap& s, int dw, int dh, const TRect& window, TResampleFilter filter,
                    float support, TBitmap& out, TPoint at)
{
    const int sw = s.Width(), sh = s.Height();
    const int cols = window.Width(), rows = window.Height();
    if (cols <= 0 || rows <= 0)
        return;
    const auto colLists = Contributors(sw, dw, filter, support, window.Left, window.Right);
    // Horizontal pass into a work area of the window's width by the source's height.
    std::vector<std::uint8_t> work(static_cast<std::size_t>(cols) * 3 * sh);
    for (int y = 0; y < sh; ++y) {
        const std::uint8_t* src = s.ScanLine(y);
        std::uint8_t* w = work.data() + static_cast<std::size_t>(y) * cols * 3;
        for (int i = 0; i < cols; ++i) {
            float b = 0.0f, g = 0.0f, r = 0.0f;
            for (const TContributor& c : colLists[i]) {
                const std::uint8_t* p = src + 3 * c.pixel;
                b += c.weight * p[0];
                g += c.weight * p[1];
                r += c.weight * p[2];
            }
            w[3 * i] = ToByte(b);
            w[3 * i + 1] = ToByte(g);
            w[3 * i + 2] = ToByte(r);
        }
    }
    // Vertical pass from the work area into the destination.
    const auto rowLists = Contributors(sh, dh, filter, support, window.Top, window.Bottom);
    const std::size_t stride = static_cast<std::size_t>(cols) * 3;
    std::vector<float> acc(stride);
    for (int j = 0; j < rows; ++j) {
        std::fill(acc.begin(), acc.end(), 0.0f);
        for (const TContributor& c : rowLists[j]) {
            const std::uint8_t* w = work.data() + static_cast<std::size_t>(c.pixel) * stride;
            for (std::size_t k = 0; k < stride; ++k)
                acc[k] += c.weight * w[k];
        }
        std::uint8_t* d = out.ScanLine(at.Y + j) + 3 * at.X;
        for (std::size_t k = 0; k < stride; ++k)
            d[k] = ToByte(acc[k]);
    }
}

} // namespace

std::vector<std::vector<TContributor>> ResampleContributors(int sourceSize, int destSize,
                                                            TResampleFilter filter, float support)
{
    return Contributors(sourceSize, destSize, filter, support, 0, std::max(destSize, 0));
}

void Resample(const TBitmap& source, TBitmap& dest, TResampleFilter filter, float support)
{
    if (source.Width() <= 0 || source.Height() <= 0)
        throw EInvalidGraphic("Source bitmap too small");
    TBitmap holder;
    const TBitmap& s = ReadableSource(source, holder, &dest);
    Make24(dest);
    if (dest.Empty())
        return;
    ResampleWindow(s, dest.Width(), dest.Height(), Rect(0, 0, dest.Width(), dest.Height()), filter,
                   support, dest, Point(0, 0));
}

void ScaleOnto(const TBitmap& first, const TBitmap& second, TBitmap& dest, double scale, int x, int y)
{
    TBitmap holder;
    const TBitmap& b = ReadableSource(second, holder, &dest);
    AssignCopy(dest, first);
    if (b.Width() <= 0 || b.Height() <= 0)
        throw EInvalidGraphic("Source bitmap too small");
    const std::int64_t tw = SafeRound(scale * first.Width(), 0, INT_MAX, -1);
    const std::int64_t th = SafeRound(scale * first.Height(), 0, INT_MAX, -1);
    if (tw <= 0 || th <= 0)
        return;
    // Only the part of the scaled picture that lands on dest is computed: every
    // destination pixel of a resampling depends only on its own contributors.
    const std::int64_t left = std::max<std::int64_t>(0, -static_cast<std::int64_t>(x));
    const std::int64_t top = std::max<std::int64_t>(0, -static_cast<std::int64_t>(y));
    const std::int64_t right = std::min<std::int64_t>(tw, static_cast<std::int64_t>(dest.Width()) - x);
    const std::int64_t bottom = std::min<std::int64_t>(th, static_cast<std::int64_t>(dest.Height()) - y);
    if (left >= right || top >= bottom)
        return;
    const TRect window(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom));
    ResampleWindow(b, static_cast<int>(tw), static_cast<int>(th), window, TResampleFilter::BSpline, 2.0f, dest,
                   Point(static_cast<int>(x + left), static_cast<int>(y + top)));
}

} // namespace qorFX
