// Steps of the effect kinds: one effects-library operation per kind, its strength
// following f = i / n. Each step leaves its image in W (in.W).
#pragma once

#include "WizardStep.h"

void StepPlasmaSmall(TWizardStepInput& in);        // 31
void StepPlasmaLarge(TWizardStepInput& in);        // 32
void StepPlasmaExtraLarge(TWizardStepInput& in);   // 33
void StepPlasmaLargeTurbo(TWizardStepInput& in);   // 34
void StepSmoothRotate(TWizardStepInput& in);       // 35
void StepFishEye(TWizardStepInput& in);            // 36
void StepSplitBlur(TWizardStepInput& in);          // 37
void StepGaussianBlur(TWizardStepInput& in);       // 38
void StepTwist(TWizardStepInput& in);              // 39
void StepSqueezeTop(TWizardStepInput& in);         // 40
void StepSqueezeBottom(TWizardStepInput& in);      // 41
void StepSqueezeDiamond(TWizardStepInput& in);     // 42
void StepSqueezeWaste(TWizardStepInput& in);       // 43
void StepSqueezeRound(TWizardStepInput& in);       // 44
void StepSqueezeRoundDouble(TWizardStepInput& in); // 45
void StepMosaic(TWizardStepInput& in);             // 46
void StepColorNoise(TWizardStepInput& in);         // 47
void StepMonoNoise(TWizardStepInput& in);          // 48
void StepBrightness(TWizardStepInput& in);         // 49
void StepSplitLight(TWizardStepInput& in);         // 50
void StepSplitLightReverse(TWizardStepInput& in);  // 51
void StepContrast(TWizardStepInput& in);           // 52
void StepSaturation(TWizardStepInput& in);         // 53
void StepTileSmooth(TWizardStepInput& in);         // 54
void StepGrowCenter(TWizardStepInput& in);         // 55
void StepGrowTop(TWizardStepInput& in);            // 56
void StepGrowBottom(TWizardStepInput& in);         // 57
void StepShrinkCenter(TWizardStepInput& in);       // 58
void StepShrinkTop(TWizardStepInput& in);          // 59
void StepShrinkBottom(TWizardStepInput& in);       // 60
void StepWings(TWizardStepInput& in);              // 65
void StepFadeIn(TWizardStepInput& in);             // 66, and pass 1 of 68
void StepFadeOut(TWizardStepInput& in);            // 67, and pass 2 of 68
void StepSpot(TWizardStepInput& in);               // 69
void StepSpotLarge(TWizardStepInput& in);          // 70
void StepSpotFade(TWizardStepInput& in);           // 71
void StepSpotLargeFade(TWizardStepInput& in);      // 72
void StepFold(TWizardStepInput& in);               // 74
void StepMaskMandelbrot(TWizardStepInput& in);     // 75
void StepFilterBlue(TWizardStepInput& in);         // 76
void StepFilterGreen(TWizardStepInput& in);        // 77
void StepFilterRed(TWizardStepInput& in);          // 78
void StepKeepBlue(TWizardStepInput& in);           // 79
void StepKeepGreen(TWizardStepInput& in);          // 80
void StepKeepRed(TWizardStepInput& in);            // 81
void StepShakeHorizontal(TWizardStepInput& in);    // 82
void StepShakeVertical(TWizardStepInput& in);      // 83
void StepTriangles(TWizardStepInput& in);          // 84
void StepTile(TWizardStepInput& in);               // 85
void StepTileOverlap(TWizardStepInput& in);        // 86
void StepButtonize(TWizardStepInput& in);          // 92
void StepDancingSpot(TWizardStepInput& in);        // 93

// Draws A onto W at (0, 0): the preparation of the in-place effect kinds, and the whole
// step of a kind whose operation is not available yet.
void DrawAOntoWork(TWizardStepInput& in);
