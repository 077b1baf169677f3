// Effect kinds: one effects-library operation per kind, its strength following f = i / n.
// "Prepared" steps draw A onto W and work on W in place; the others write W straight from
// A (and B), leaving W's previous pixels where they do not paint.
#include "EffectWizards.h"

#include "BlockCopy.h"
#include "graphics/NumberRules.h"
#include "graphics/Random.h"
#include "graphics/canvas/Canvas.h"

#include "effects/GeometricEffects.h"
#include "effects/PixelEffects.h"

#include <algorithm>

using namespace wizardpixels;

void DrawAOntoWork(TWizardStepInput& in)
{
    CopySame(in.W, in.A, TRect(0, 0, in.A.Width(), in.A.Height()));
}

namespace {

double frac(const TWizardStepInput& in) { return static_cast<double>(in.i) / in.n; }
int roundI(double x) { return static_cast<int>(Round(x)); }

// Plasma: A displaced by the blue bytes of B; pixels it does not reach keep W.
void plasma(TWizardStepInput& in, double amplitudeBase, double turbulence)
{
    qorFX::Plasma(in.A, in.B, in.W, amplitudeBase * frac(in), turbulence);
}

void squeeze(TWizardStepInput& in, int style)
{
    qorFX::Squeeze(in.A, in.W, roundI(100 * frac(in)), style);
}

enum class Anchor { Centre, Top, Bottom };

// B scaled by s drawn over A: centred horizontally, vertically as anchored.
void scaleOnto(TWizardStepInput& in, double s, Anchor anchor)
{
    const int w = in.A.Width(), h = in.A.Height();
    const int sw = roundI(w * s), sh = roundI(h * s);
    const int x = (w - sw) / 2;
    const int y = anchor == Anchor::Centre ? (h - sh) / 2 : anchor == Anchor::Top ? 0 : h - sh;
    qorFX::ScaleOnto(in.A, in.B, in.W, s, x, y);
}

double growScale(const TWizardStepInput& in) { return frac(in); }
double shrinkScale(const TWizardStepInput& in) { return 1 - 0.9 * frac(in); }

// The spot travels right from x0 = Round(f w); everything outside it is black.
void spot(TWizardStepInput& in, bool large, bool fade)
{
    DrawAOntoWork(in);
    const int w = in.A.Width(), h = in.A.Height();
    const int x0 = roundI(frac(in) * w);
    const int top = large ? h / 6 : h / 4;
    const int size = large ? (2 * h) / 3 : h / 2;
    const int level = fade ? roundI(255 * (1 - frac(in))) : 0;
    qorFX::Spotlight(in.W, level, TRect(x0, top, x0 + size, top + size));
}

} // namespace

void StepPlasmaSmall(TWizardStepInput& in) { plasma(in, in.A.Height() / 4, 64); }
void StepPlasmaLarge(TWizardStepInput& in) { plasma(in, in.A.Height() / 2, 64); }
void StepPlasmaExtraLarge(TWizardStepInput& in) { plasma(in, (2 * in.A.Height()) / 3, 64); }
void StepPlasmaLargeTurbo(TWizardStepInput& in) { plasma(in, in.A.Height() / 2, 32); }

void StepSmoothRotate(TWizardStepInput& in)
{
    qorFX::SmoothRotate(in.A, in.W, in.A.Width() / 2, in.A.Height() / 2, 360 * frac(in));
}

void StepFishEye(TWizardStepInput& in) { qorFX::FishEye(in.A, in.W, (45 * frac(in) + 55) / 100); }

void StepSplitBlur(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::SplitBlur(in.W, roundI(20 * frac(in)));
}

void StepGaussianBlur(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::GaussianBlur(in.W, roundI(20 * frac(in)));
}

void StepTwist(TWizardStepInput& in) { qorFX::Twist(in.A, in.W, roundI(50 * frac(in) + 1)); }

// Squeeze styles: 8 Top, 9 Bottom, 10 Diamond, 11 Waste, 12 Round, 13 Round Double.
void StepSqueezeTop(TWizardStepInput& in) { squeeze(in, 8); }
void StepSqueezeBottom(TWizardStepInput& in) { squeeze(in, 9); }
void StepSqueezeDiamond(TWizardStepInput& in) { squeeze(in, 10); }
void StepSqueezeWaste(TWizardStepInput& in) { squeeze(in, 11); }
void StepSqueezeRound(TWizardStepInput& in) { squeeze(in, 12); }
void StepSqueezeRoundDouble(TWizardStepInput& in) { squeeze(in, 13); }

void StepMosaic(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::Mosaic(in.W, roundI(30 * frac(in) + 2));
}

void StepColorNoise(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::AddColorNoise(in.W, roundI(200 * frac(in)));
}

void StepMonoNoise(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::AddMonoNoise(in.W, roundI(200 * frac(in)));
}

void StepBrightness(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::Lightness(in.W, roundI(100 * frac(in)));
}

void StepSplitLight(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::SplitLight(in.W, roundI(10 * frac(in)));
}

void StepSplitLightReverse(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::SplitLight(in.W, roundI(9 * (1 - frac(in)) + 1));
}

void StepContrast(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::Contrast(in.W, roundI(100 * frac(in)));
}

void StepSaturation(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::Saturation(in.W, roundI(255 * frac(in)));
}

void StepTileSmooth(TWizardStepInput& in) { qorFX::TileSmooth(in.A, in.W, in.i); }

void StepGrowCenter(TWizardStepInput& in) { scaleOnto(in, growScale(in), Anchor::Centre); }
void StepGrowTop(TWizardStepInput& in) { scaleOnto(in, growScale(in), Anchor::Top); }
void StepGrowBottom(TWizardStepInput& in) { scaleOnto(in, growScale(in), Anchor::Bottom); }
void StepShrinkCenter(TWizardStepInput& in) { scaleOnto(in, shrinkScale(in), Anchor::Centre); }
void StepShrinkTop(TWizardStepInput& in) { scaleOnto(in, shrinkScale(in), Anchor::Top); }
void StepShrinkBottom(TWizardStepInput& in) { scaleOnto(in, shrinkScale(in), Anchor::Bottom); }

void StepWings(TWizardStepInput& in) { qorFX::WingsDeep(in.A, in.W, 100, roundI(100 * frac(in) + 1)); }

void StepFadeIn(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::Darkness(in.W, roundI(255 * (1 - frac(in))));
}

void StepFadeOut(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::Darkness(in.W, roundI(255 * frac(in)));
}

void StepSpot(TWizardStepInput& in) { spot(in, false, false); }
void StepSpotLarge(TWizardStepInput& in) { spot(in, true, false); }
void StepSpotFade(TWizardStepInput& in) { spot(in, false, true); }
void StepSpotLargeFade(TWizardStepInput& in) { spot(in, true, true); }

void StepFold(TWizardStepInput& in) { qorFX::Fold(in.A, in.B, in.W, frac(in)); }

void StepMaskMandelbrot(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::MaskMandelbrot(in.W, roundI(40 * frac(in)));
}

void StepFilterBlue(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::FilterBlue(in.W, 0, roundI(255 * frac(in)));
}

void StepFilterGreen(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::FilterGreen(in.W, 0, roundI(255 * frac(in)));
}

void StepFilterRed(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::FilterRed(in.W, 0, roundI(255 * frac(in)));
}

void StepKeepBlue(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::KeepBlue(in.W, frac(in));
}

void StepKeepGreen(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::KeepGreen(in.W, frac(in));
}

void StepKeepRed(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::KeepRed(in.W, frac(in));
}

void StepShakeHorizontal(TWizardStepInput& in) { qorFX::ShakeHorizontal(in.A, in.W, 0.5 * frac(in)); }
void StepShakeVertical(TWizardStepInput& in) { qorFX::ShakeVertical(in.A, in.W, 0.5 * frac(in)); }

void StepTriangles(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::Triangles(in.W, roundI(std::max(in.A.Width(), in.A.Height()) * frac(in) + 5));
}

void StepTile(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::Tile(in.W, roundI(std::min(in.A.Width(), in.A.Height()) * frac(in) / 2 + 3));
}

void StepTileOverlap(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    qorFX::TileOverlap(in.W, roundI(std::min(in.A.Width(), in.A.Height()) * frac(in) / 2 + 3));
}

void StepButtonize(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    // The bevel is computed as ((h * 0.3) * i) / n before rounding.
    qorFX::Buttonize(in.W, roundI((in.A.Height() * 0.3) * in.i / in.n), 20);
}


void StepDancingSpot(TWizardStepInput& in)
{
    DrawAOntoWork(in);
    const int w = in.A.Width(), h = in.A.Height();
    // The draws happen in this order so the spots depend only on how far the
    // application's one generator has run.
    const int x0 = Random((2 * w) / 3);
    const int y0 = Random((2 * h) / 3);
    if (in.i == 1)
        in.run.SpotDiameter = Random(h / 2);
    const int d = in.run.SpotDiameter;
    TCanvas canvas(in.W);
    canvas.Pen.Style = TPenStyle::psClear;
    canvas.Brush.SetColor(in.context.AccentColor);
    canvas.Ellipse(x0, y0, x0 + d, y0 + d);
}
