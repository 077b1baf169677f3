// Steps of the actor kinds: A with the actor picture drawn at a position that depends on
// the step. Without an actor picture every step is a plain copy of A.
#pragma once

#include "WizardStep.h"

#include <vector>

void StepActorRight(TWizardStepInput& in);       // 94
void StepActorLeft(TWizardStepInput& in);        // 95
void StepActorDown(TWizardStepInput& in);        // 96
void StepActorUp(TWizardStepInput& in);          // 97
void StepActorPath(TWizardStepInput& in);        // 98
void StepActorCircleLeft(TWizardStepInput& in);  // 99
void StepActorCircleRight(TWizardStepInput& in); // 100
void StepActorSwing(TWizardStepInput& in);       // 101
void StepActorQuatro(TWizardStepInput& in);      // 102
void StepActorSpiralLeft(TWizardStepInput& in);  // 103
void StepActorSpiralRight(TWizardStepInput& in); // 104

// Top-left corners at which a kind draws the actor at step i of n on a w x h frame, for
// an actor of actorW x actorH (empty: no actor at this step). Exposed for tests.
std::vector<TPoint> ActorPositions(int kind, int i, int n, int w, int h, int actorW, int actorH,
                                   TPoint textPosition, const std::vector<TPoint>& path);
