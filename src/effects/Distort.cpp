// FishEye, Twist, Wave and Squeeze: distortions that move pixels along curves.
#include "GeometricEffects.h"
#include "GeometricSupport.h"

#include "graphics/NumberRules.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace qorFX {

using namespace geom;

namespace {

constexpr float kPiF = static_cast<float>(std::numbers::pi);

// Bilinear sample of `s` at (sx, sy), wrapping around the edges, in single precision as
// FishEye and Twist define it. False when the position is too far out to be truncated.
bool SampleWrapped(const TBitmap& s, float sx, float sy, std::uint8_t* out)
{
    if (!(std::fabs(sx) < 1e18f && std::fabs(sy) < 1e18f))
        return false;
    const std::int64_t W = s.Width(), H = s.Height();
    std::int64_t ty = static_cast<std::int64_t>(std::trunc(sy));
    std::int64_t tx = static_cast<std::int64_t>(std::trunc(sx));
    float wy[2], wx[2];
    if (sy >= 0) {
        wy[1] = sy - static_cast<float>(ty);
        wy[0] = 1.0f - wy[1];
    } else {
        wy[0] = static_cast<float>(ty) - sy;
        wy[1] = 1.0f - wy[0];
    }
    if (sx >= 0) {
        wx[1] = sx - static_cast<float>(tx);
        wx[0] = 1.0f - wx[1];
    } else {
        wx[0] = static_cast<float>(tx) - sx;
        wx[1] = 1.0f - wx[0];
    }
    if (tx < 0)
        tx = (W - 1) - ((-tx) % W);
    else if (tx > W - 1)
        tx = tx % W;
    if (ty < 0)
        ty = (H - 1) - ((-ty) % H);
    else if (ty > H - 1)
        ty = ty % H;

    float sum[3] = {0.0f, 0.0f, 0.0f};
    for (int ix = 0; ix < 2; ++ix) {
        const std::int64_t k = tx + ix >= W ? W - tx - ix : tx + ix;
        for (int iy = 0; iy < 2; ++iy) {
            const std::int64_t r = ty + iy >= H ? H - ty - iy : ty + iy;
            const std::uint8_t* p = Px(s, static_cast<int>(k), static_cast<int>(r));
            const float weight = wx[ix] * wy[iy];
            for (int c = 0; c < 3; ++c)
                sum[c] += weight * static_cast<float>(p[c]);
        }
    }
    for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>(ClampByte(static_cast<int>(std::nearbyint(sum[c]))));
    return true;
}

} // namespace

void FishEye(const TBitmap& source, TBitmap& dest, double amount)
{
    TBitmap holder;
    const TBitmap& s = ReadableSource(source, holder, &dest);
    Make24(dest);
    if (s.Empty() || dest.Empty())
        return;
    const float xmid = static_cast<float>(s.Width()) / 2.0f;
    const float ymid = static_cast<float>(s.Height()) / 2.0f;
    const float fx = static_cast<float>(amount) * static_cast<float>(dest.Width());
    const bool lens = std::isfinite(fx) && fx != 0.0f;

    for (int y = 0; y < dest.Height(); ++y) {
        std::uint8_t* d = dest.ScanLine(y);
        const float dy = static_cast<float>(y) - ymid;
        for (int x = 0; x < dest.Width(); ++x) {
            const float dx = static_cast<float>(x) - xmid;
            const float r = std::sqrt(dx * dx + dy * dy);
            float sx = xmid, sy = ymid;
            if (r != 0.0f && lens) {
                const float denom = 1.0f - r / fx;
                // At r = fx the lens has no value: the centre is sampled there.
                if (denom != 0.0f) {
                    const float rmod = (1.0f / denom - 1.0f) * (fx / 2.0f);
                    sx = xmid + dx * rmod / r;
                    sy = ymid + dy * rmod / r;
                }
            }
            if (!SampleWrapped(s, sx, sy, d + 3 * x))
                SampleWrapped(s, xmid, ymid, d + 3 * x);
        }
    }
}

void Twist(const TBitmap& source, TBitmap& dest, int amount)
{
    TBitmap holder;
    const TBitmap& s = ReadableSource(source, holder, &dest);
    Make24(dest);
    if (s.Empty())
        return;
    const float midx = static_cast<float>(s.Width() - 1) / 2.0f;
    const float midy = static_cast<float>(s.Height() - 1) / 2.0f;
    const float offset = -kPiF / 2.0f;
    const float famount = static_cast<float>(amount);
    const int w = std::min(s.Width(), dest.Width()), h = std::min(s.Height(), dest.Height());

    for (int y = 0; y < h; ++y) {
        std::uint8_t* d = dest.ScanLine(y);
        const float dy = static_cast<float>(y) - midy;
        for (int x = 0; x < w; ++x) {
            const float dx = static_cast<float>(x) - midx;
            const float r = std::sqrt(dx * dx + dy * dy);
            float ox = 0.0f, oy = 0.0f;
            if (r != 0.0f) {
                float phi;
                if (dx == 0.0f)
                    phi = dy > 0.0f ? kPiF / 2.0f : -kPiF / 2.0f;
                else {
                    phi = std::atan(dy / dx);
                    if (dx < 0.0f)
                        phi += kPiF;
                }
                // Amount 0 would divide by zero: the twist term is left out then.
                const float theta = (amount != 0 ? phi - r / famount : phi) - offset;
                ox = r * std::cos(theta);
                oy = r * std::sin(theta);
            }
            if (!SampleWrapped(s, midx + ox, midy + oy, d + 3 * x))
                SampleWrapped(s, midx, midy, d + 3 * x);
        }
    }
}

void Wave(TBitmap& bitmap, int amount, double inference, int style)
{
    Make24(bitmap);
    if (amount <= 0 || bitmap.Empty())
        return;
    const int w = bitmap.Width(), h = bitmap.Height();
    const std::int64_t first = static_cast<std::int64_t>(h) - 2 * static_cast<std::int64_t>(amount) - 1;
    if (first < amount)
        return;
    const double fangle = (std::numbers::pi / 2.0) / amount;
    // Row offset of each column: the value computed at the column before it.
    std::vector<int> shift(static_cast<std::size_t>(w), 0);
    for (int x = 0; x + 1 < w; ++x) {
        const double a = x * fangle;
        double g;
        if (style == 1)
            g = std::sin(a) * std::cos(a);
        else if (style == 2)
            g = std::sin(a) * std::sin(inference * fangle * x);
        else
            g = std::sin(a);
        shift[x + 1] = static_cast<int>(SafeRound(amount * g, -amount, amount, 0));
    }
    const TBitmap copy = bitmap;
    for (std::int64_t y = first; y >= amount; --y) {
        const std::uint8_t* s = copy.ScanLine(static_cast<int>(y));
        for (int x = 0; x < w; ++x)
            std::memcpy(Px(bitmap, x, static_cast<int>(y + amount + shift[x])), s + 3 * x, 3);
    }
}

void Squeeze(const TBitmap& source, TBitmap& dest, int amount, int style)
{
    TBitmap holder;
    const TBitmap& s = ReadableSource(source, holder, &dest);
    Make24(dest);
    const int W = s.Width(), H = s.Height();
    if (s.Empty() || dest.Empty() || style < 7 || style > 13)
        return;
    if (amount < 0)
        amount = 0;
    if (amount > W / 2)
        amount = W / 2;
    const int cx = W / 2;
    const double pi = std::numbers::pi;
    // y / (H - 1) for the curved styles; a one-row source counts as 0.
    auto along = [H](int y) { return H > 1 ? static_cast<double>(y) / (H - 1) : 0.0; };

    const int rows = std::min(H, dest.Height());
    for (int y = 0; y < rows; ++y) {
        int left = 0, right = 0;
        switch (style) {
        case 7:
            left = amount;
            right = W - amount;
            break;
        case 8: {
            const int r = static_cast<int>(Round(static_cast<double>(H - y - 1) / H * amount));
            left = r;
            right = W - r;
            break;
        }
        case 9: {
            const int r = static_cast<int>(Round(static_cast<double>(y) / H * amount));
            left = r;
            right = W - r;
            break;
        }
        case 10: {
            const int r = static_cast<int>(Round(std::fabs(std::cos(along(y) * pi)) * amount));
            left = r;
            right = W - r;
            break;
        }
        case 11: {
            const int r = static_cast<int>(Round(std::fabs(std::sin(along(y) * pi)) * amount));
            left = r;
            right = W - r;
            break;
        }
        case 12: {
            const int l = static_cast<int>(Round(std::fabs(std::sin(along(y) * pi)) * amount));
            left = cx - l;
            right = cx + l;
            break;
        }
        case 13: {
            const double t = H > 1 ? 2.0 * y / (H - 1) : 0.0;
            const int l = static_cast<int>(Round(std::fabs(std::sin(t * pi)) * amount));
            left = cx - l;
            right = cx + l;
            break;
        }
        }
        StretchRowNearest(dest.ScanLine(y), dest.Width(), left, right, s.ScanLine(y), W);
    }
}

} // namespace qorFX
