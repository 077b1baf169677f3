// Effect kinds. The steps marked PENDING wait for their effects-library operation (named
// in the comment); until it is wired in, such a step draws A unchanged.
#include "EffectWizards.h"

#include "BlockCopy.h"
#include "graphics/Random.h"
#include "graphics/canvas/Canvas.h"

using namespace wizardpixels;

void DrawAOntoWork(TWizardStepInput& in)
{
    CopySame(in.W, in.A, TRect(0, 0, in.A.Width(), in.A.Height()));
}

// PENDING: Plasma(A, map B, W, amplitude, turbulence), unpainted pixels keep W.
void StepPlasmaSmall(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepPlasmaLarge(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepPlasmaExtraLarge(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepPlasmaLargeTurbo(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: SmoothRotate(A, W, cx, cy, 360 f); corners keep W.
void StepSmoothRotate(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: FishEye(A, W, (45 f + 55) / 100).
void StepFishEye(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: SplitBlur, GaussianBlur (Round(20 f)) on W <- A.
void StepSplitBlur(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepGaussianBlur(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: Twist(A, W, Round(50 f + 1)).
void StepTwist(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: Squeeze(A, W, Round(100 f), style 8..13); margins keep W.
void StepSqueezeTop(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSqueezeBottom(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSqueezeDiamond(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSqueezeWaste(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSqueezeRound(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSqueezeRoundDouble(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: Mosaic(Round(30 f + 2)), AddColorNoise / AddMonoNoise(Round(200 f)),
// Lightness(Round(100 f)), SplitLight(Round(10 f)) and (Round(9 (1 - f) + 1)),
// Contrast(Round(100 f)), Saturation(Round(255 f)) on W <- A.
void StepMosaic(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepColorNoise(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepMonoNoise(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepBrightness(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSplitLight(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSplitLightReverse(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepContrast(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSaturation(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: TileSmooth(A, W, i).
void StepTileSmooth(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: ScaleOnto(A, B, W, s, X, Y) with the B-Spline kernel.
void StepGrowCenter(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepGrowTop(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepGrowBottom(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepShrinkCenter(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepShrinkTop(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepShrinkBottom(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: WingsDeep(A, W, 100, Round(100 f + 1)).
void StepWings(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: Darkness(Round(255 (1 - f))) and Darkness(Round(255 f)) on W <- A.
void StepFadeIn(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepFadeOut(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: Spotlight(amount, spot rectangle) on W <- A.
void StepSpot(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSpotLarge(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSpotFade(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepSpotLargeFade(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: Fold(A, B, W, f).
void StepFold(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: MaskMandelbrot(Round(40 f)) on W <- A.
void StepMaskMandelbrot(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: FilterBlue / FilterGreen / FilterRed(0, Round(255 f)), KeepBlue / KeepGreen /
// KeepRed(f) on W <- A.
void StepFilterBlue(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepFilterGreen(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepFilterRed(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepKeepBlue(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepKeepGreen(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepKeepRed(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: ShakeHorizontal / ShakeVertical(A, W, 0.5 f).
void StepShakeHorizontal(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepShakeVertical(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: Triangles(Round(max(w, h) f + 5)), Tile / TileOverlap(Round(min(w, h) f / 2 + 3))
// on W <- A.
void StepTriangles(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepTile(TWizardStepInput& in) { DrawAOntoWork(in); }
void StepTileOverlap(TWizardStepInput& in) { DrawAOntoWork(in); }
// PENDING: Buttonize(Round(h 0.3 i / n), 20) on W <- A.
void StepButtonize(TWizardStepInput& in) { DrawAOntoWork(in); }

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
