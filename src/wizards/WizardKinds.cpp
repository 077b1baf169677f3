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

// Cross-fade weighted n - i for A and i for B, so step n is B exactly.
void StepTween(TWizardStepInput& in) { Tween(in.A, in.n - in.i, in.B, in.i, in.W); }

} // namespace

const std::vector<TWizardKind>& WizardKinds()
{
    static const std::vector<TWizardKind> kinds = {
        {0, "Transition", "Tween", TWizardUses::AB, TWizardGroup::Transition, &StepTween, nullptr},
        {1, "Rotate Left-Right", "RotateSqueezeH, RotateExpandH", TWizardUses::AThenB, TWizardGroup::Transition, &AOnly<RotateSqueezeH>, &BOnly<RotateExpandH>},
        {2, "Rotate Top-Down", "RotateSqueezeV, RotateExpandV", TWizardUses::AThenB, TWizardGroup::Transition, &AOnly<RotateSqueezeV>, &BOnly<RotateExpandV>},
        {3, "Blinds/Blinds Down", "BlindsDown", TWizardUses::AB, TWizardGroup::Transition, &AB<BlindsDown>, nullptr},
        {4, "Blinds/Blinds Right", "BlindsRight", TWizardUses::AB, TWizardGroup::Transition, &AB<BlindsRight>, nullptr},
        {5, "Wipe/Right", "WipeRight", TWizardUses::AB, TWizardGroup::Transition, &AB<WipeRight>, nullptr},
        {6, "Wipe/Left", "WipeLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<WipeLeft>, nullptr},
        {7, "Wipe/Down", "WipeDown", TWizardUses::AB, TWizardGroup::Transition, &AB<WipeDown>, nullptr},
        {8, "Wipe/Up", "WipeUp", TWizardUses::AB, TWizardGroup::Transition, &AB<WipeUp>, nullptr},
        {9, "Curtain/Open Horiz", "CurtainOpenHoriz", TWizardUses::AB, TWizardGroup::Transition, &AB<CurtainOpenHoriz>, nullptr},
        {10, "Curtain/Close Horiz", "CurtainCloseHoriz", TWizardUses::AB, TWizardGroup::Transition, &AB<CurtainCloseHoriz>, nullptr},
        {11, "Curtain/Open Vert", "CurtainOpenVert", TWizardUses::AB, TWizardGroup::Transition, &AB<CurtainOpenVert>, nullptr},
        {12, "Curtain/Close Vert", "CurtainCloseVert", TWizardUses::AB, TWizardGroup::Transition, &AB<CurtainCloseVert>, nullptr},
        {13, "Box/In", "BoxIn", TWizardUses::AB, TWizardGroup::Transition, &AB<BoxIn>, nullptr},
        {14, "Box/Out", "BoxOut", TWizardUses::AB, TWizardGroup::Transition, &AB<BoxOut>, nullptr},
        {15, "Diagonal/Down Right", "DiagonalDownRight", TWizardUses::AB, TWizardGroup::Transition, &AB<DiagonalDownRight>, nullptr},
        {16, "Diagonal/Down Left", "DiagonalDownLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<DiagonalDownLeft>, nullptr},
        {17, "Diagonal/Up Right", "DiagonalUpRight", TWizardUses::AB, TWizardGroup::Transition, &AB<DiagonalUpRight>, nullptr},
        {18, "Diagonal/Up Left", "DiagonalUpLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<DiagonalUpLeft>, nullptr},
        {19, "Cross/In", "CrossIn", TWizardUses::AB, TWizardGroup::Transition, &AB<CrossIn>, nullptr},
        {20, "Cross/Out", "CrossOut", TWizardUses::AB, TWizardGroup::Transition, &AB<CrossOut>, nullptr},
        {21, "Circle/CircleOut", "CircleOut", TWizardUses::AB, TWizardGroup::Transition, &AB<CircleOut>, nullptr},
        {22, "Sweep/Left", "SweepLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<SweepLeft>, nullptr},
        {23, "Sweep/Right", "SweepRight", TWizardUses::AB, TWizardGroup::Transition, &AB<SweepRight>, nullptr},
        {24, "Sweep/Left-Right", "SweepLeftRight", TWizardUses::AB, TWizardGroup::Transition, &AB<SweepLeftRight>, nullptr},
        {25, "Marquee/Up", "MarqueeUp", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeUp>, nullptr},
        {26, "Marquee/Down", "MarqueeDown", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeDown>, nullptr},
        {27, "Marquee/Up-Down", "MarqueeUp, MarqueeDown", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeUp>, &AB<MarqueeDown>},
        {28, "Marquee/Left", "MarqueeLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeLeft>, nullptr},
        {29, "Marquee/Right", "MarqueeRight", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeRight>, nullptr},
        {30, "Marquee/Left-Right", "MarqueeLeft, MarqueeRight", TWizardUses::AB, TWizardGroup::Transition, &AB<MarqueeLeft>, &AB<MarqueeRight>},
        {31, "Plasma/Small", "Plasma", TWizardUses::AB, TWizardGroup::Effect, &StepPlasmaSmall, nullptr},
        {32, "Plasma/Large", "Plasma", TWizardUses::AB, TWizardGroup::Effect, &StepPlasmaLarge, nullptr},
        {33, "Plasma/Extra Large", "Plasma", TWizardUses::AB, TWizardGroup::Effect, &StepPlasmaExtraLarge, nullptr},
        {34, "Plasma/Large Turbo", "Plasma", TWizardUses::AB, TWizardGroup::Effect, &StepPlasmaLargeTurbo, nullptr},
        {35, "Effects/Smooth Rotate", "SmoothRotate", TWizardUses::A, TWizardGroup::Effect, &StepSmoothRotate, nullptr},
        {36, "Effects/FishEye", "FishEye", TWizardUses::A, TWizardGroup::Effect, &StepFishEye, nullptr},
        {37, "Effects/Blur/Split", "SplitBlur", TWizardUses::A, TWizardGroup::Effect, &StepSplitBlur, nullptr},
        {38, "Effects/Blur/Gaussian", "GaussianBlur", TWizardUses::A, TWizardGroup::Effect, &StepGaussianBlur, nullptr},
        {39, "Effects/Twist", "Twist", TWizardUses::A, TWizardGroup::Effect, &StepTwist, nullptr},
        {40, "Effects/Squeeze/Top", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeTop, nullptr},
        {41, "Effects/Squeeze/Bottom", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeBottom, nullptr},
        {42, "Effects/Squeeze/Diamond", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeDiamond, nullptr},
        {43, "Effects/Squeeze/Waste", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeWaste, nullptr},
        {44, "Effects/Squeeze/Round", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeRound, nullptr},
        {45, "Effects/Squeeze/Round Double", "Squeeze", TWizardUses::A, TWizardGroup::Effect, &StepSqueezeRoundDouble, nullptr},
        {46, "Effects/Texturize/Mozaic", "Mosaic", TWizardUses::A, TWizardGroup::Effect, &StepMosaic, nullptr},
        {47, "Effects/Noise/Color", "AddColorNoise", TWizardUses::A, TWizardGroup::Effect, &StepColorNoise, nullptr},
        {48, "Effects/Noise/Mono", "AddMonoNoise", TWizardUses::A, TWizardGroup::Effect, &StepMonoNoise, nullptr},
        {49, "Effects/Light/Brightness", "Lightness", TWizardUses::A, TWizardGroup::Effect, &StepBrightness, nullptr},
        {50, "Effects/Light/Split Light", "SplitLight", TWizardUses::A, TWizardGroup::Effect, &StepSplitLight, nullptr},
        {51, "Effects/Light/Split Light Reverse", "SplitLight", TWizardUses::A, TWizardGroup::Effect, &StepSplitLightReverse, nullptr},
        {52, "Effects/Light/Contrast", "Contrast", TWizardUses::A, TWizardGroup::Effect, &StepContrast, nullptr},
        {53, "Effects/Light/Saturation", "Saturation", TWizardUses::A, TWizardGroup::Effect, &StepSaturation, nullptr},
        {54, "Effects/Tile", "TileSmooth", TWizardUses::A, TWizardGroup::Effect, &StepTileSmooth, nullptr},
        {55, "Grow/Center", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepGrowCenter, nullptr},
        {56, "Grow/Top", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepGrowTop, nullptr},
        {57, "Grow/Bottom", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepGrowBottom, nullptr},
        {58, "Shrink/Center", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepShrinkCenter, nullptr},
        {59, "Shrink/Top", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepShrinkTop, nullptr},
        {60, "Shrink/Bottom", "ScaleOnto", TWizardUses::AB, TWizardGroup::Effect, &StepShrinkBottom, nullptr},
        {61, "Segment/Top", "SegmentTop", TWizardUses::AB, TWizardGroup::Transition, &AB<SegmentTop>, nullptr},
        {62, "Segment/Left", "SegmentLeft", TWizardUses::AB, TWizardGroup::Transition, &AB<SegmentLeft>, nullptr},
        {63, "Segment/Right", "SegmentRight", TWizardUses::AB, TWizardGroup::Transition, &AB<SegmentRight>, nullptr},
        {64, "Segment/Bottom", "SegmentBottom", TWizardUses::AB, TWizardGroup::Transition, &AB<SegmentBottom>, nullptr},
        {65, "Effects/Wings", "WingsDeep", TWizardUses::A, TWizardGroup::Effect, &StepWings, nullptr},
        {66, "Effects/Light/Fade In", "Darkness", TWizardUses::A, TWizardGroup::Effect, &StepFadeIn, nullptr},
        {67, "Effects/Light/Fade Out", "Darkness", TWizardUses::A, TWizardGroup::Effect, &StepFadeOut, nullptr},
        {68, "Effects/Light/Fade In-Out", "Darkness", TWizardUses::A, TWizardGroup::Effect, &StepFadeIn, &StepFadeOut},
        {69, "Effects/Light/Spot", "Spotlight", TWizardUses::A, TWizardGroup::Effect, &StepSpot, nullptr},
        {70, "Effects/Light/Spot Large", "Spotlight", TWizardUses::A, TWizardGroup::Effect, &StepSpotLarge, nullptr},
        {71, "Effects/Light/Spot Fade", "Spotlight", TWizardUses::A, TWizardGroup::Effect, &StepSpotFade, nullptr},
        {72, "Effects/Light/Spot Large Fade", "Spotlight", TWizardUses::A, TWizardGroup::Effect, &StepSpotLargeFade, nullptr},
        {73, "CheckerBoard/Right", "CheckerBoardRight", TWizardUses::AB, TWizardGroup::Transition, &AB<CheckerBoardRight>, nullptr},
        {74, "Fold/Right", "Fold", TWizardUses::AB, TWizardGroup::Effect, &StepFold, nullptr},
        {75, "Effects/Mask MandelBrot", "MaskMandelbrot", TWizardUses::A, TWizardGroup::Effect, &StepMaskMandelbrot, nullptr},
        {76, "Effects/Color/Filter Blue", "FilterBlue", TWizardUses::A, TWizardGroup::Effect, &StepFilterBlue, nullptr},
        {77, "Effects/Color/Filter Green", "FilterGreen", TWizardUses::A, TWizardGroup::Effect, &StepFilterGreen, nullptr},
        {78, "Effects/Color/Filter Red", "FilterRed", TWizardUses::A, TWizardGroup::Effect, &StepFilterRed, nullptr},
        {79, "Effects/Color/Keep Blue", "KeepBlue", TWizardUses::A, TWizardGroup::Effect, &StepKeepBlue, nullptr},
        {80, "Effects/Color/Keep Green", "KeepGreen", TWizardUses::A, TWizardGroup::Effect, &StepKeepGreen, nullptr},
        {81, "Effects/Color/Keep Red", "KeepRed", TWizardUses::A, TWizardGroup::Effect, &StepKeepRed, nullptr},
        {82, "Effects/Shake/Left-Right", "ShakeHorizontal", TWizardUses::A, TWizardGroup::Effect, &StepShakeHorizontal, nullptr},
        {83, "Effects/Shake/Up-Down", "ShakeVertical", TWizardUses::A, TWizardGroup::Effect, &StepShakeVertical, nullptr},
        {84, "Effects/Texturize/Triangles", "Triangles", TWizardUses::A, TWizardGroup::Effect, &StepTriangles, nullptr},
        {85, "Effects/Texturize/Tile", "Tile", TWizardUses::A, TWizardGroup::Effect, &StepTile, nullptr},
        {86, "Effects/Texturize/Tile Overlap", "TileOverlap", TWizardUses::A, TWizardGroup::Effect, &StepTileOverlap, nullptr},
        {87, "Text/Type", "typed text", TWizardUses::A, TWizardGroup::Text, &StepTextType, nullptr},
        {88, "Text/Grow", "growing text", TWizardUses::A, TWizardGroup::Text, &StepTextGrow, nullptr},
        {89, "Text/Marquee", "text moving left", TWizardUses::A, TWizardGroup::Text, &StepTextMarquee, nullptr},
        {90, "Text/Lines", "one text line per step", TWizardUses::A, TWizardGroup::Text, &StepTextLines, nullptr},
        {91, "Text/Accent", "travelling accent letter", TWizardUses::A, TWizardGroup::Text, &StepTextAccent, nullptr},
        {92, "Effects/Buttonize", "Buttonize", TWizardUses::A, TWizardGroup::Effect, &StepButtonize, nullptr},
        {93, "Effects/Dancing Spot", "random filled circle", TWizardUses::A, TWizardGroup::Effect, &StepDancingSpot, nullptr},
        {94, "Actor/Right", "actor moves right", TWizardUses::A, TWizardGroup::Actor, &StepActorRight, nullptr},
        {95, "Actor/Left", "actor moves left", TWizardUses::A, TWizardGroup::Actor, &StepActorLeft, nullptr},
        {96, "Actor/Down", "actor moves down", TWizardUses::A, TWizardGroup::Actor, &StepActorDown, nullptr},
        {97, "Actor/Up", "actor moves up", TWizardUses::A, TWizardGroup::Actor, &StepActorUp, nullptr},
        {98, "Actor/Path", "actor follows the recorded path", TWizardUses::A, TWizardGroup::Actor, &StepActorPath, nullptr},
        {99, "Actor/Circle Left", "actor circles counter-clockwise", TWizardUses::A, TWizardGroup::Actor, &StepActorCircleLeft, nullptr},
        {100, "Actor/Circle Right", "actor circles clockwise", TWizardUses::A, TWizardGroup::Actor, &StepActorCircleRight, nullptr},
        {101, "Actor/Swing", "actor swings along the lower half of an ellipse", TWizardUses::A, TWizardGroup::Actor, &StepActorSwing, nullptr},
        {102, "Actor/Quatro", "four actors move from the centre toward the corners", TWizardUses::A, TWizardGroup::Actor, &StepActorQuatro, nullptr},
        {103, "Actor/Spiral Left", "actor spirals inward counter-clockwise", TWizardUses::A, TWizardGroup::Actor, &StepActorSpiralLeft, nullptr},
        {104, "Actor/Spiral Right", "actor spirals inward clockwise", TWizardUses::A, TWizardGroup::Actor, &StepActorSpiralRight, nullptr},
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
