// The wizard driver without its window: prepares the two frame copies, runs a kind's
// steps into the work bitmap and collects a copy of every step's image.
#pragma once

#include "WizardStep.h"

#include <functional>
#include <vector>

// Whether a run may start with frame `itemIndex` current in a strip of `frameCount`
// frames: there must be a current frame and a frame after it. When this is false the
// caller empties its image list and does nothing else (no message).
bool WizardCanRun(int itemIndex, int frameCount);

// The copy a run works on: a new w x h 24-bit bitmap with `frame` drawn at (0, 0).
TBitmap MakeWizardSource(const TBitmap& frame, int w, int h);

// Called after every step with the number of images made so far and the number the run
// will make; returning false ends the run early (the user's Stop). The window uses it to
// process pending events and show progress.
using TWizardProgress = std::function<bool(int step, int total)>;

// Runs wizard `kind` from A to B in n steps (two passes for the kinds that have them).
// `work` is set to A's size and 24 bits, keeping its pixels, and every step leaves its
// image there; a copy of each is appended to `images`. Returns true when all steps ran,
// false when onStep stopped the run. A failing step's exception propagates; the images
// made before it stay in `images`. Throws EInvalidArgument for an unknown kind or for A
// and B that are not 24-bit bitmaps of one size.
bool RunWizardSteps(int kind, const TBitmap& A, const TBitmap& B, int n, TBitmap& work,
                    const TWizardContext& context, std::vector<TBitmap>& images,
                    const TWizardProgress& onStep = {});
