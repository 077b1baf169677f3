// The wing distortions. Each moves every source pixel to a target whose offset is a
// row term (from u = (py mod period) / amplitude) combined with a column term (from
// v = (px mod period) / amplitude); the terms are computed once per row and column.
#include "GeometricEffects.h"
#include "GeometricSupport.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace qorFX {

using namespace geom;

namespace {

enum class Wing { Deep, Down, Up, Fold, Touche, Flyer, Flipover, Wavy };

// Row term R(u) and column term C(v) of each wing.
double RowTerm(Wing wing, double x, double u)
{
    switch (wing) {
    case Wing::Fold:
    case Wing::Flipover:
        return x * std::sin(u);
    case Wing::Wavy:
        return x * std::sin(u) * std::cos(1.5 * u);
    default:
        return x * std::cos(u);
    }
}

double ColumnTerm(Wing wing, double x, double v)
{
    switch (wing) {
    case Wing::Fold:
        return x * std::cos(v);
    case Wing::Flyer:
        return std::tan(v) / x;
    case Wing::Flipover:
        return std::tan(v) / (x * x);
    case Wing::Wavy:
        return x * std::sin(2 * v) * std::cos(v);
    default:
        return x * std::sin(v);
    }
}

// Target (X, Y) of source pixel (px, py) before abs and rounding.
inline void Target(Wing wing, double px, double py, double R, double C, double& X, double& Y)
{
    switch (wing) {
    case Wing::Down:
        Y = py + R + C;
        X = px - C - R;
        break;
    case Wing::Up:
        Y = py - R - C;
        X = px + C + R;
        break;
    default:
        Y = py + R - C;
        X = px + R - C;
        break;
    }
}

void Wings(Wing wing, const TBitmap& source, TBitmap& dest, int period, double amplitude)
{
    TBitmap holder;
    const TBitmap& s = ReadableSource(source, holder, &dest);
    AssignCopy(dest, s);
    const int w = s.Width(), h = s.Height();
    // Without a period or an amplitude the offsets have no value: the copy stays.
    if (period == 0 || amplitude == 0 || std::isnan(amplitude) || s.Empty())
        return;
    std::vector<double> rows(h), cols(w);
    for (int py = 0; py < h; ++py)
        rows[py] = RowTerm(wing, amplitude, (py % period) / amplitude);
    for (int px = 0; px < w; ++px)
        cols[px] = ColumnTerm(wing, amplitude, (px % period) / amplitude);

    const bool reverse = wing == Wing::Touche;
    for (int i = 0; i < h; ++i) {
        const int py = reverse ? h - 1 - i : i;
        const std::uint8_t* srow = s.ScanLine(py);
        for (int j = 0; j < w; ++j) {
            const int px = reverse ? w - 1 - j : j;
            double X, Y;
            Target(wing, px, py, rows[py], cols[px], X, Y);
            int tx, ty;
            if (!RoundedIndex(std::fabs(Y), h, ty) || !RoundedIndex(std::fabs(X), w, tx))
                continue;
            std::memcpy(Px(dest, tx, ty), srow + 3 * px, 3);
        }
    }
}

} // namespace

void WingsDeep(const TBitmap& s, TBitmap& d, int period, double amplitude) { Wings(Wing::Deep, s, d, period, amplitude); }
void WingsDown(const TBitmap& s, TBitmap& d, int period, double amplitude) { Wings(Wing::Down, s, d, period, amplitude); }
void WingsUp(const TBitmap& s, TBitmap& d, int period, double amplitude) { Wings(Wing::Up, s, d, period, amplitude); }
void WingsFold(const TBitmap& s, TBitmap& d, int period, double amplitude) { Wings(Wing::Fold, s, d, period, amplitude); }
void WingsTouche(const TBitmap& s, TBitmap& d, int period, double amplitude) { Wings(Wing::Touche, s, d, period, amplitude); }
void WingsFlyer(const TBitmap& s, TBitmap& d, int period, double amplitude) { Wings(Wing::Flyer, s, d, period, amplitude); }
void WingsFlipover(const TBitmap& s, TBitmap& d, int period, double amplitude) { Wings(Wing::Flipover, s, d, period, amplitude); }
void WingsWavy(const TBitmap& s, TBitmap& d, int period, double amplitude) { Wings(Wing::Wavy, s, d, period, amplitude); }

} // namespace qorFX
