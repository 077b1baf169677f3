// RunWizard: one wizard run over the frame strip. The selected frame and the one after it
// are copied into A and B, the kind's steps fill wizlist, and the result is assembled as
// the wizard preview. No widgets: the main window and anivor-cli both call it and follow
// the run through TWizardRunHooks.
#pragma once

#include "Assembly.h"
#include "FrameStrip.h"
#include "wizards/WizardDriver.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the caller adds to a run. Every member may be left as it is.
struct TWizardRunHooks {
    // After every step, with the images made so far and the number the run makes; it may
    // let pending events run. Returning false ends the run early (the user's Stop).
    TWizardProgress OnStep;
    // Builds and shows the preview of wizlist in place of the plain PreviewWizardFrames
    // (the main window's, which also shows it). Called once the steps have run.
    std::function<void()> ShowPreview;
    // Without ShowPreview: palette, dithering, Merge and Crop of the preview built here,
    // and how its frames are shown.
    TAssemblyOptions Preview;
    TAssemblyView PreviewView;
    // The actor kinds' picture and path (the frame editor's); without a picture the
    // actor kinds make plain copies of A.
    TActorPicture ActorPicture;
    std::vector<TPoint> ActorPath;
};

struct TWizardOutcome {
    // False when the run was refused (no selected frame, or it is the last one): wizlist
    // is then empty and nothing else happened.
    bool Ran = false;
    // The run was ended early by OnStep; what it made until then is in wizlist.
    bool Stopped = false;
    // The preview of wizlist when no ShowPreview was given (its Document is null when the
    // run was refused). The caller shows it, and shows Preview.Error when it failed.
    TAssemblyResult Preview;
};

// The text wizard settings of the strip as the steps read them.
TWizardContext WizardContextOf(const TFrameStrip& strip);

// Memory a run of `kind` with n steps on frames of width x height needs: A and B, the
// work bitmap and a step's scratch, every image it makes, and the preview built of them.
std::uint64_t WizardRunMemoryNeed(int kind, int n, int width, int height);
// The words a refusal names the run by: "a wizard run of 20 frames of 640 x 480".
std::string WizardRunDescription(int kind, int n, int width, int height);

// Runs wizard `kind` (0..104) from the strip's selected frame to the next. The hourglass
// shows while the steps run and is restored on every way out. A failing step ends the run
// with its exception: the images made before it stay in wizlist and no preview is built.
// Throws EInvalidArgument for an unknown kind, and EOutOfMemory before anything is made
// when the run would pass the memory budget.
TWizardOutcome RunWizard(TFrameStrip& strip, int kind, const TWizardRunHooks& hooks = {});
