// The geometric operations as catalog entries: each works on one bitmap in place.
// Operations with a separate source read a copy of the bitmap and write the bitmap;
// those with two sources (ScaleOnto, Fold) and Plasma's map use that copy for both.
// DrawRotatedEllipse draws on the bitmap with a fresh canvas.
#include "EffectCatalog.h"
#include "GeometricEffects.h"

#include "graphics/NumberRules.h"
#include "graphics/canvas/Canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

using namespace qorFX;
using Args = std::vector<double>;

double Real(const Args& args, std::size_t i)
{
    return i < args.size() ? args[i] : 0.0;
}

// Integer arguments: rounded (halves to even) and kept inside the int range.
int Int(const Args& args, std::size_t i)
{
    const double v = Real(args, i);
    if (std::isnan(v))
        return 0;
    return static_cast<int>(Round(std::clamp(v, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX))));
}

using SourceDest = void (*)(const TBitmap&, TBitmap&, int, double);

TEffectEntry Wing(const char* name, SourceDest op)
{
    return {name, {"period", "amplitude"}, [op](TBitmap& b, const Args& a) {
                const TBitmap copy = b;
                op(copy, b, Int(a, 0), Real(a, 1));
            }};
}

std::vector<TEffectEntry> Build()
{
    std::vector<TEffectEntry> c;
    c.push_back({"SmoothRotate", {"cx", "cy", "angle"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     SmoothRotate(copy, b, Int(a, 0), Int(a, 1), Real(a, 2));
                 }});
    c.push_back({"FishEye", {"amount"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     FishEye(copy, b, Real(a, 0));
                 }});
    c.push_back({"Twist", {"amount"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     Twist(copy, b, Int(a, 0));
                 }});
    c.push_back({"Wave", {"amount", "inference", "style"},
                 [](TBitmap& b, const Args& a) { Wave(b, Int(a, 0), Real(a, 1), Int(a, 2)); }});
    c.push_back({"Squeeze", {"amount", "style"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     Squeeze(copy, b, Int(a, 0), Int(a, 1));
                 }});
    c.push_back({"SmoothResize", {}, [](TBitmap& b, const Args&) {
                     const TBitmap copy = b;
                     SmoothResize(copy, b);
                 }});
    c.push_back({"TileSmooth", {"count"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     TileSmooth(copy, b, Int(a, 0));
                 }});
    // kernel: index into the filter table (0 Box .. 6 Mitchell), kept inside it; a
    // support of 0 or less (or none given) is the kernel's own.
    c.push_back({"Resample", {"kernel", "support"}, [](TBitmap& b, const Args& a) {
                     const auto& filters = ResampleFilters();
                     const auto& f = filters[std::clamp(Int(a, 0), 0, static_cast<int>(filters.size()) - 1)];
                     const double support = Real(a, 1);
                     const TBitmap copy = b;
                     Resample(copy, b, f.filter, support > 0 ? static_cast<float>(support) : f.support);
                 }});
    c.push_back({"ScaleOnto", {"scale", "x", "y"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     ScaleOnto(copy, copy, b, Real(a, 0), Int(a, 1), Int(a, 2));
                 }});
    c.push_back({"Fold", {"fraction"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     Fold(copy, copy, b, Real(a, 0));
                 }});
    c.push_back({"ShakeHorizontal", {"fraction"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     ShakeHorizontal(copy, b, Real(a, 0));
                 }});
    c.push_back({"ShakeVertical", {"fraction"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     ShakeVertical(copy, b, Real(a, 0));
                 }});
    c.push_back({"Plasma", {"amplitude", "turbulence"}, [](TBitmap& b, const Args& a) {
                     const TBitmap copy = b;
                     Plasma(copy, copy, b, Real(a, 0), Real(a, 1));
                 }});
    c.push_back({"FlipDown", {}, [](TBitmap& b, const Args&) { FlipDown(b); }});
    c.push_back({"FlipRight", {}, [](TBitmap& b, const Args&) { FlipRight(b); }});
    c.push_back({"MirrorDown", {}, [](TBitmap& b, const Args&) { MirrorDown(b); }});
    c.push_back({"MirrorRight", {}, [](TBitmap& b, const Args&) { MirrorRight(b); }});
    c.push_back({"Triangles", {"size"}, [](TBitmap& b, const Args& a) { Triangles(b, Int(a, 0)); }});
    c.push_back({"Tile", {"size"}, [](TBitmap& b, const Args& a) { Tile(b, Int(a, 0)); }});
    c.push_back({"TileOverlap", {"size"}, [](TBitmap& b, const Args& a) { TileOverlap(b, Int(a, 0)); }});
    c.push_back(Wing("WingsDeep", WingsDeep));
    c.push_back(Wing("WingsDown", WingsDown));
    c.push_back(Wing("WingsUp", WingsUp));
    c.push_back(Wing("WingsFold", WingsFold));
    c.push_back(Wing("WingsTouche", WingsTouche));
    c.push_back(Wing("WingsFlyer", WingsFlyer));
    c.push_back(Wing("WingsFlipover", WingsFlipover));
    c.push_back(Wing("WingsWavy", WingsWavy));
    // With the canvas's defaults: a black one-pixel pen and a white brush.
    c.push_back({"DrawRotatedEllipse", {"filled", "angle", "rx", "ry", "cx", "cy"}, [](TBitmap& b, const Args& a) {
                     TCanvas canvas(b);
                     DrawRotatedEllipse(canvas, Real(a, 0) != 0, Real(a, 1), Real(a, 2), Real(a, 3), Real(a, 4),
                                        Real(a, 5));
                 }});
    return c;
}

} // namespace

const std::vector<TEffectEntry>& GeometricEffectCatalog()
{
    static const std::vector<TEffectEntry> catalog = Build();
    return catalog;
}
