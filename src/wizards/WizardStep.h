// What a wizard step gets to work with: the two frame copies A and B, the step number i
// of n, the work bitmap W it leaves its image in, the settings some kinds read, and a
// little state that lives for one run.
#pragma once

#include "ActorPicture.h"

#include "graphics/Bitmap.h"
#include "graphics/Types.h"
#include "graphics/canvas/Canvas.h"

#include <string>
#include <vector>

// Settings read by the text and actor kinds. The main window owns the real values and
// hands a copy to each run.
struct TWizardContext {
    TWizardContext();

    // Text wizards.
    TFont TextWizardFont;                            // name, size, colour (the text colour), style
    std::vector<std::string> TextWizardText{"Anivor"};
    TColor AccentColor = clRed;
    TPoint TextPosition;                             // also the origin of the straight actor paths

    // Actor wizards: the frame editor's first actor picture (empty: none loaded) and the
    // recorded path of top-left corners.
    TActorPicture ActorPicture;
    std::vector<TPoint> ActorPath;
};

// State that one run carries from step to step (what the work bitmap's canvas would
// remember between steps).
struct TWizardRunState {
    int GrowFontSize = 0;   // Text/Grow: the size the previous step drew with
    int SpotDiameter = 0;   // Dancing Spot: chosen at step 1 for the whole run
};

struct TWizardStepInput {
    const TBitmap& A;
    const TBitmap& B;
    int i;
    int n;
    TBitmap& W;
    const TWizardContext& context;
    TWizardRunState& run;
};

using TWizardStep = void (*)(TWizardStepInput& in);
