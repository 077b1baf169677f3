#include "WizardDriver.h"

#include "BlockCopy.h"
#include "WizardKinds.h"
#include "graphics/Exception.h"

#include <string>

bool WizardCanRun(int itemIndex, int frameCount)
{
    return itemIndex >= 0 && itemIndex <= frameCount - 2;
}

TBitmap MakeWizardSource(const TBitmap& frame, int w, int h)
{
    TBitmap copy(w, h);
    {
        TCanvas canvas(copy);
        canvas.Draw(0, 0, frame);
    }
    copy.SetPixelFormat(TPixelFormat::pf24bit);
    copy.SetTransparent(false);
    return copy;
}

TWizardContext::TWizardContext()
{
    TextWizardFont.Name = "Arial";
    TextWizardFont.SetSize(12);
    TextWizardFont.Color = clBlack;
}

bool RunWizardSteps(int kind, const TBitmap& A, const TBitmap& B, int n, TBitmap& work,
                    const TWizardContext& context, std::vector<TBitmap>& images, const TWizardProgress& onStep)
{
    const TWizardKind* k = FindWizardKind(kind);
    if (!k)
        throw EInvalidArgument("Unknown wizard kind " + std::to_string(kind));
    // The steps index A and B row by row: they must agree with each other.
    if (A.PixelFormat() != TPixelFormat::pf24bit || B.PixelFormat() != TPixelFormat::pf24bit ||
        A.Width() != B.Width() || A.Height() != B.Height())
        throw EInvalidArgument("Wizard frames must be 24-bit bitmaps of one size");
    if (n <= 0)
        return true;

    wizardpixels::SetWorkSize(work, A.Width(), A.Height());
    TWizardRunState run;
    const int total = WizardImageCount(kind, n);
    int made = 0;
    for (TWizardStep step : {k->Pass1, k->Pass2}) {
        if (!step)
            continue;
        for (int i = 1; i <= n; ++i) {
            TWizardStepInput in{A, B, i, n, work, context, run};
            step(in);
            images.push_back(work);
            ++made;
            if (onStep && !onStep(made, total))
                return false;
        }
    }
    return true;
}
