#include "WizardKinds.h"

#include "ActorWizards.h"
#include "EffectWizards.h"
#include "TextWizards.h"
#include "Transitions.h"

namespace {

using Generator = void (*)(const TBitmap&, const TBitmap&, int, int, TBitmap&);
using SingleGenerator = void (*)(const TBitmap&, int, int, TBitmap&);

// Adapters from the generators' plain signatures to the step signature of the table.
template <Generator G>
void AB(TWizardStepInput& in) { G(in.A, in.B, in.i, in.n, in.W); }
template <SingleGenerator G>
void AOnly(TWizardStepInput& in) { G(in.A, in.i, in.n, in.W); }
template <SingleGenerator G>
void BOnly(TWizardStepInput& in) { G(in.B, in.i, in.n, in.W); }

// Effect kinds wait for the effects library (the dancing spot does not need it).
constexpr bool kEffectPending = !kEffectOperationsAvailable;

// Cross-fade weighted n - i for A and i for B, so step n is B exactly.
void StepTween(TWizardStepInput& in) { Tween(in.A, in.n - in.i, in.B, in.i, in.W); }

} // namespace

const std::vector<TWizardKind>& WizardKinds()
{
    static const std::vector<TWizardKind> kinds = {
        {0, "Transition", "Tween", TWizardUses::AB, TWizardGroup::Transition, &StepTween, nullptr, false},
        {1, "Rotate Left-Right", "RotateSqueezeH, RotateExpandH", TWizardUses::AThenB, TWizardGroup::Transition, &AOnly<RotateSqueezeH>, &BOnly<RotateExpandH>, false},
        {2, "Rotate Top-Down", "RotateSqueezeV, RotateExpandV", TWizardUses::AThenB, TWizardGroup::Transition, &AOnly<RotateSqueezeV>, &BOnly<RotateExpandV>, false},
        {3, "Blinds/Blinds Down", "BlindsDown", TWizardUses::AB, TWizardGroup::Transition, &AB<BlindsDown>, nullptr, false},
        {4, "Blinds/Blinds Right", "BlindsRight", TWizardUses::AB, TWizardGroup::Transition, &AB<BlindsRight>, nullptr, false},
        {5, "Wipe/Right", "WipeRight", TWizardUses::AB, TWizardGroup::Transition, &AB<WipeRight>, nullptr, false},
        {6, "Wipe/Left", "WipeLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<WipeLeft>, nullptr, false},
        {7, "Wipe/Down", "WipeDown", TWizardUses::AB, TWizardGroup::Transition, &AB<WipeDown>, nullptr, false},
        {8, "Wipe/Up", "WipeUp", TWizardUses::AB, TWizardGroup::Transition, &AB<WipeUp>, nullptr, false},
        {9, "Curtain/Open Horiz", "CurtainOpenHoriz", TWizardUses::AB, TWizardGroup::Transition, &AB<CurtainOpenHoriz>, nullptr, false},
        {10, "Curtain/Close Horiz", "CurtainCloseHoriz", TWizardUses::AB, TWizardGroup::Transition, &AB<CurtainCloseHoriz>, nullptr, false},
        {11, "Curtain/Open Vert", "CurtainOpenVert", TWizardUses::AB, TWizardGroup::Transition, &AB<CurtainOpenVert>, nullptr, false},
        {12, "Curtain/Close Vert", "CurtainCloseVert", TWizardUses::AB, TWizardGroup::Transition, &AB<CurtainCloseVert>, nullptr, false},
        {13, "Box/In", "BoxIn", TWizardUses::AB, TWizardGroup::Transition, &AB<BoxIn>, nullptr, false},
        {14, "Box/Out", "BoxOut", TWizardUses::AB, TWizardGroup::Transition, &AB<BoxOut>, nullptr, false},
        {15, "Diagonal/Down Right", "DiagonalDownRight", TWizardUses::AB, TWizardGroup::Transition, &AB<DiagonalDownRight>, nullptr, false},
        {16, "Diagonal/Down Left", "DiagonalDownLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<DiagonalDownLeft>, nullptr, false},
        {17, "Diagonal/Up Right", "DiagonalUpRight", TWizardUses::AB, TWizardGroup::Transition, &AB<DiagonalUpRight>, nullptr, false},
        {18, "Diagonal/Up Left", "DiagonalUpLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<DiagonalUpLeft>, nullptr, false},
        {19, "Cross/In", "CrossIn", TWizardUses::AB, TWizardGroup::Transition, &AB<CrossIn>, nullptr, false},
        {20, "Cross/Out", "CrossOut", TWizardUses::AB, TWizardGroup::Transition, &AB<CrossOut>, nullptr, false},
        {21, "Circle/CircleOut", "CircleOut", TWizardUses::AB, TWizardGroup::Transition, &AB<CircleOut>, nullptr, false},
        {22, "Sweep/Left", "SweepLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<SweepLeft>, nullptr, false},
        {23, "Sweep/Right", "SweepRight", TWizardUses::AB, TWizardGroup::Transition, &AB<SweepRight>, nullptr, false},
        {24, "Sweep/Left-Right", "SweepLeftRight", TWizardUses::AB, TWizardGroup::Transition, &AB<SweepLeftRight>, nullptr, false},
        {25, "Marquee/Up", "MarqueeUp", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeUp>, nullptr, false},
        {26, "Marquee/Down", "MarqueeDown", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeDown>, nullptr, false},
        {27, "Marquee/Up-Down", "MarqueeUp, MarqueeDown", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeUp>, &AB<MarqueeDown>, false},
        {28, "Marquee/Left", "MarqueeLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeLeft>, nullptr, false},
        {29, "Marquee/Right", "MarqueeRight", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeRight>, nullptr, false},
        {30, "Marquee/Left-Right", "MarqueeLeft, MarqueeRight", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeLeft>, &AB<MarqueeRight>, false},
        {31, "Plasma/Small", "Plasma", TWizardUses::AB, TWizardGroup::Effect, &StepPlasmaSmall, nullptr, kEffectPending},
        {32, "Plasma/Large", "Plasma", TWizardUses::AB, TWizardGroup::Effect, &StepPlasmaLarge, nullptr, kEffectPending},
        {33, "Plasma/Extra Large", "Plasma", TWizardUses::AB, TWizardGroup::Effect, &StepPlasmaExtraLarge, nullptr, kEffectPending},
        {34, "Plasma/Large Turbo", "Plasma", TWizardUses::AB, TWizardGroup::Effect, &StepPlasmaLargeTurbo, nullptr, kEffectPending},
        {35, "Effects/Smooth Rotate", "SmoothRotate", TWizardUses::A, TWizardGroup::Effect, &StepSmoothRotate, nullptr, kEffectPending},
        {36, "Effects/FishEye", "FishEye", TWizardUses::A, TWizardGroup::Effect, &StepFishEye, nullptr, kEffectPending},
        {37, "Effects/Blur/Split", "SplitBlur", TWizardUses::A, TWizardGroup::Effect, &StepSplitBlur, nullptr, kEffectPending},
        {38, "Effects/Blur/Gaussian", "GaussianBlur", TWizardUses::A, TWizardGroup::Effect, &StepGaussianBlur, nullptr, kEffectPending},
        {39, "Effects/Twist", "Twist", TWizardUses::A, TWizardGroup::Effect, &StepTwist, nullptr, kEffectPending},
        {40, "Effects/Squeeze/Top", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeTop, nullptr, kEffectPending},
        {41, "Effects/Squeeze/Bottom", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeBottom, nullptr, kEffectPending},
        {42, "Effects/Squeeze/Diamond", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeDiamond, nullptr, kEffectPending},
        {43, "Effects/Squeeze/Waste", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeWaste, nullptr, kEffectPending},
        {44, "Effects/Squeeze/Round", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeRound, nullptr, kEffectPending},
        {45, "Effects/Squeeze/Round Double", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeRoundDouble, nullptr, kEffectPending},
        {46, "Effects/Texturize/Mozaic", "Mosaic", TWizardUses::A, TWizardGroup::Effect, &StepMosaic, nullptr, kEffectPending},
        {47, "Effects/Noise/Color", "AddColorNoise", TWizardUses::A, TWizardGroup::Effect, &StepColorNoise, nullptr, kEffectPending},
        {48, "Effects/Noise/Mono", "AddMonoNoise", TWizardUses::A, TWizardGroup::Effect, &StepMonoNoise, nullptr, kEffectPending},
        {49, "Effects/Light/Brightness", "Lightness", TWizardUses::A, TWizardGroup::Effect, &StepBrightness, nullptr, kEffectPending},
        {50, "Effects/Light/Split Light", "SplitLight", TWizardUses::A, TWizardGroup::Effect, &StepSplitLight, nullptr, kEffectPending},
        {51, "Effects/Light/Split Light Reverse", "SplitLight", TWizardUses::A, TWizardGroup::Effect, &StepSplitLightReverse, nullptr, kEffectPending},
        {52, "Effects/Light/Contrast", "Contrast", TWizardUses::A, TWizardGroup::Effect, &StepContrast, nullptr, kEffectPending},
        {53, "Effects/Light/Saturation", "Saturation", TWizardUses::A, TWizardGroup::Effect, &StepSaturation, nullptr, kEffectPending},
        {54, "Effects/Tile", "TileSmooth", TWizardUses::A, TWizardGroup::Effect, &StepTileSmooth, nullptr, kEffectPending},
        {55, "Grow/Center", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepGrowCenter, nullptr, kEffectPending},
        {56, "Grow/Top", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepGrowTop, nullptr, kEffectPending},
        {57, "Grow/Bottom", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepGrowBottom, nullptr, kEffectPending},
        {58, "Shrink/Center", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepShrinkCenter, nullptr, kEffectPending},
        {59, "Shrink/Top", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepShrinkTop, nullptr, kEffectPending},
        {60, "Shrink/Bottom", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepShrinkBottom, nullptr, kEffectPending},
        {61, "Segment/Top", "SegmentTop", TWizardUses::AB, TWizardGroup::Transition, &AB<SegmentTop>, nullptr, false},
        {62, "Segment/Left", "SegmentLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<SegmentLeft>, nullptr, false},
        {63, "Segment/Right", "SegmentRight", TWizardUses::AB, TWizardGroup::Transition, &AB<SegmentRight>, nullptr, false},
        {64, "Segment/Bottom", "SegmentBottom", TWizardUses::AB, TWizardGroup::Transition, &AB<SegmentBottom>, nullptr, false},
        {65, "Effects/Wings", "WingsDeep", TWizardUses::A, TWizardGroup::Effect, &StepWings, nullptr, kEffectPending},
        {66, "Effects/Light/Fade In", "Darkness", TWizardUses::A, TWizardGroup::Effect, &StepFadeIn, nullptr, kEffectPending},
        {67, "Effects/Light/Fade Out", "Darkness", TWizardUses::A, TWizardGroup::Effect, &StepFadeOut, nullptr, kEffectPending},
        {68, "Effects/Light/Fade In-Out", "Darkness", TWizardUses::A, TWizardGroup::Effect, &StepFadeIn, &StepFadeOut, kEffectPending},
        {69, "Effects/Light/Spot", "Spotlight", TWizardUses::A, TWizardGroup::Effect, &StepSpot, nullptr, kEffectPending},
        {70, "Effects/Light/Spot Large", "Spotlight", TWizardUses::A, TWizardGroup::Effect, &StepSpotLarge, nullptr, kEffectPending},
        {71, "Effects/Light/Spot Fade", "Spotlight", TWizardUses::A, TWizardGroup::Effect, &StepSpotFade, nullptr, kEffectPending},
        {72, "Effects/Light/Spot Large Fade", "Spotlight", TWizardUses::A, TWizardGroup::Effect, &StepSpotLargeFade, nullptr, kEffectPending},
        {73, "CheckerBoard/Right", "CheckerBoardRight", TWizardUses::AB, TWizardGroup::Transition, &AB<CheckerBoardRight>, nullptr, false},
        {74, "Fold/Right", "Fold", TWizardUses::AB, TWizardGroup::Effect, &StepFold, nullptr, kEffectPending},
        {75, "Effects/Mask MandelBrot", "MaskMandelbrot", TWizardUses::A, TWizardGroup::Effect, &StepMaskMandelbrot, nullptr, kEffectPending},
        {76, "Effects/Color/Filter Blue", "FilterBlue", TWizardUses::A, TWizardGroup::Effect, &StepFilterBlue, nullptr, kEffectPending},
        {77, "Effects/Color/Filter Green", "FilterGreen", TWizardUses::A, TWizardGroup::Effect, &StepFilterGreen, nullptr, kEffectPending},
        {78, "Effects/Color/Filter Red", "FilterRed", TWizardUses::A, TWizardGroup::Effect, &StepFilterRed, nullptr, kEffectPending},
        {79, "Effects/Color/Keep Blue", "KeepBlue", TWizardUses::A, TWizardGroup::Effect, &StepKeepBlue, nullptr, kEffectPending},
        {80, "Effects/Color/Keep Green", "KeepGreen", TWizardUses::A, TWizardGroup::Effect, &StepKeepGreen, nullptr, kEffectPending},
        {81, "Effects/Color/Keep Red", "KeepRed", TWizardUses::A, TWizardGroup::Effect, &StepKeepRed, nullptr, kEffectPending},
        {82, "Effects/Shake/Left-Right", "ShakeHorizontal", TWizardUses::A, TWizardGroup::Effect, &StepShakeHorizontal, nullptr, kEffectPending},
        {83, "Effects/Shake/Up-Down", "ShakeVertical", TWizardUses::A, TWizardGroup::Effect, &StepShakeVertical, nullptr, kEffectPending},
        {84, "Effects/Texturize/Triangles", "Triangles", TWizardUses::A, TWizardGroup::Effect, &StepTriangles, nullptr, kEffectPending},
        {85, "Effects/Texturize/Tile", "Tile", TWizardUses::A, TWizardGroup::Effect, &StepTile, nullptr, kEffectPending},
        {86, "Effects/Texturize/Tile Overlap", "TileOverlap", TWizardUses::A, TWizardGroup::Effect, &StepTileOverlap, nullptr, kEffectPending},
        {87, "Text/Type", "typed text", TWizardUses::A, TWizardGroup::Text, &StepTextType, nullptr, false},
        {88, "Text/Grow", "growing text", TWizardUses::A, TWizardGroup::Text, &StepTextGrow, nullptr, false},
        {89, "Text/Marquee", "text moving left", TWizardUses::A, TWizardGroup::Text, &StepTextMarquee, nullptr, false},
        {90, "Text/Lines", "one text line per step", TWizardUses::A, TWizardGroup::Text, &StepTextLines, nullptr, false},
        {91, "Text/Accent", "travelling accent letter", TWizardUses::A, TWizardGroup::Text, &StepTextAccent, nullptr, false},
        {92, "Effects/Buttonize", "Buttonize", TWizardUses::A, TWizardGroup::Effect, &StepButtonize, nullptr, kEffectPending},
        {93, "Effects/Dancing Spot", "random filled circle", TWizardUses::A, TWizardGroup::Effect, &StepDancingSpot, nullptr, false},
        {94, "Actor/Right", "actor moves right", TWizardUses::A, TWizardGroup::Actor, &StepActorRight, nullptr, false},
        {95, "Actor/Left", "actor moves left", TWizardUses::A, TWizardGroup::Actor, &StepActorLeft, nullptr, false},
        {96, "Actor/Down", "actor moves down", TWizardUses::A, TWizardGroup::Actor, &StepActorDown, nullptr, false},
        {97, "Actor/Up", "actor moves up", TWizardUses::A, TWizardGroup::Actor, &StepActorUp, nullptr, false},
        {98, "Actor/Path", "actor follows the recorded path", TWizardUses::A, TWizardGroup::Actor, &StepActorPath, nullptr, false},
        {99, "Actor/Circle Left", "actor circles counter-clockwise", TWizardUses::A, TWizardGroup::Actor, &StepActorCircleLeft, nullptr, false},
        {100, "Actor/Circle Right", "actor circles clockwise", TWizardUses::A, TWizardGroup::Actor, &StepActorCircleRight, nullptr, false},
        {101, "Actor/Swing", "actor swings along the lower half of an ellipse", TWizardUses::A, TWizardGroup::Actor, &StepActorSwing, nullptr, false},
        {102, "Actor/Quatro", "four actors move from the centre toward the corners", TWizardUses::A, TWizardGroup::Actor, &StepActorQuatro, nullptr, false},
        {103, "Actor/Spiral Left", "actor spirals inward counter-clockwise", TWizardUses::A, TWizardGroup::Actor, &StepActorSpiralLeft, nullptr, false},
        {104, "Actor/Spiral Right", "actor spirals inward clockwise", TWizardUses::A, TWizardGroup::Actor, &StepActorSpiralRight, nullptr, false},
    };
    return kinds;
}

const TWizardKind* FindWizardKind(int kind)
{
    const auto& kinds = WizardKinds();
    if (kind < 0 || kind >= static_cast<int>(kinds.size()))
        return nullptr;
    return &kinds[static_cast<std::size_t>(kind)];
}

int WizardImageCount(int kind, int n)
{
    const TWizardKind* k = FindWizardKind(kind);
    if (!k || n <= 0)
        return 0;
    return k->TwoPasses() ? 2 * n : n;
}
