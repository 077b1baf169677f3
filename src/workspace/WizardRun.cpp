#include "WizardRun.h"

#include "graphics/Exception.h"
#include "graphics/MemoryBudget.h"
#include "platform/Ui.h"
#include "wizards/WizardKinds.h"

#include <string>

TWizardContext WizardContextOf(const TFrameStrip& strip)
{
    TWizardContext context;
    context.TextWizardFont.Name = strip.Session.TextWizardFont.Name;
    context.TextWizardFont.SetSize(strip.Session.TextWizardFont.Size);
    context.TextWizardFont.Style = strip.Session.TextWizardFont.Style;
    context.TextWizardFont.Color = strip.Session.TextWizardFont.Color;
    context.TextWizardText = strip.Session.TextWizardText;
    context.AccentColor = strip.Session.AccentColor;
    context.TextPosition = strip.Session.TextPosition;
    return context;
}

std::uint64_t WizardRunMemoryNeed(int kind, int n, int width, int height)
{
    const int images = WizardImageCount(kind, n);
    // A, B, the work bitmap and two pictures of scratch for a step.
    return MemoryBudget::PictureBytes(width, height, images + 5) + AssemblyMemoryNeed(images, width, height);
}

std::string WizardRunDescription(int kind, int n, int width, int height)
{
    return "a wizard run of " + FrameCountText(WizardImageCount(kind, n)) + " of " + std::to_string(width) + " x "
           + std::to_string(height);
}

TWizardOutcome RunWizard(TFrameStrip& strip, int kind, const TWizardRunHooks& hooks)
{
    // An unknown kind is a caller's mistake: refuse it before touching wizlist.
    if (!FindWizardKind(kind))
        throw EInvalidArgument("Unknown wizard kind " + std::to_string(kind));

    TWizardOutcome outcome;
    strip.ResetWizardList();
    const int c = strip.ItemIndex();
    if (!WizardCanRun(c, strip.Count()))
        return outcome;

    const int w = strip.FrameWidth(), h = strip.FrameHeight();
    // Refused at once, before any image is made, when the whole run cannot fit.
    MemoryBudget::Check(WizardRunMemoryNeed(kind, strip.Session.WizardFrameCount, w, h),
                        WizardRunDescription(kind, strip.Session.WizardFrameCount, w, h));
    const TBitmap A = MakeWizardSource(strip.FindFrameImage(c).Bitmap(), w, h);
    const TBitmap B = MakeWizardSource(strip.FindFrameImage(c + 1).Bitmap(), w, h);
    TWizardContext context = WizardContextOf(strip);
    context.ActorPicture = hooks.ActorPicture;
    context.ActorPath = hooks.ActorPath;

    // The steps collect into a list of their own; whatever they made, also when one
    // fails, goes into wizlist.
    std::vector<TBitmap> images;
    auto keep = [&] {
        for (TBitmap& image : images)
            strip.AddWizardImage(std::move(image));
        images.clear();
    };
    outcome.Ran = true;
    {
        WaitCursor wait;
        try {
            TBitmap work; // the steps' scratch
            outcome.Stopped = !RunWizardSteps(kind, A, B, strip.Session.WizardFrameCount, work, context, images, hooks.OnStep);
        } catch (...) {
            keep();
            throw;
        }
    }
    keep();
    if (strip.WizardImages().empty())
        return outcome;
    if (hooks.ShowPreview)
        hooks.ShowPreview();
    else
        outcome.Preview = PreviewWizardFrames(strip, hooks.Preview, hooks.PreviewView);
    return outcome;
}
