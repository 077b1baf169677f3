// Steps of the text kinds: the text wizard settings drawn over A.
#pragma once

#include "WizardStep.h"

void StepTextType(TWizardStepInput& in);    // 87: the first i letters of line 0
void StepTextGrow(TWizardStepInput& in);    // 88: line 0, the font 10 % larger each step
void StepTextMarquee(TWizardStepInput& in); // 89: line 0 moving in from the right
void StepTextLines(TWizardStepInput& in);   // 90: line i - 1 (the last line beyond the list)
void StepTextAccent(TWizardStepInput& in);  // 91: letter i of line 0 in the accent colour
