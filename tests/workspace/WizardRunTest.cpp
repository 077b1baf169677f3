// RunWizard over the strip: when it refuses, what A and B are, what lands in wizlist,
// stopping, failing steps, the text settings and the preview it builds.
#include "workspace/WizardRun.h"

#include "gif/GiflibHelpers.h"
#include "graphics/Exception.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "wizards/WizardKinds.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor kRed = 0x0000FF; // TColor is 0x00BBGGRR
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kWhite = 0xFFFFFF;

// A strip of solid 6 x 4 frames, frame 0 selected, n = 4.
TFrameStrip StripOf(std::initializer_list<TColor> colors)
{
    TFrameStrip s;
    s.SetFrameSize(6, 4);
    s.Session.WizardFrameCount = 4;
    for (TColor c : colors)
        s.Append(SolidBitmap(6, 4, c));
    if (s.Count() > 0)
        s.SelectOnly(0);
    return s;
}

// A previous run's leftovers, to see that a refused run empties wizlist.
void Leftovers(TFrameStrip& s)
{
    s.ResetWizardList();
    s.AddWizardImage(SolidBitmap(6, 4, kGreen));
}

int CountPixels(const TBitmap& b, TColor c)
{
    int count = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            count += b.Pixel(x, y) == c;
    return count;
}

} // namespace

TEST(RunWizard, RefusesWithoutACurrentFrameOrOnTheLastOne)
{
    ScriptedUi ui;
    TFrameStrip none = StripOf({kRed, kBlue});
    none.SetItemIndex(-1);
    Leftovers(none);
    const TWizardOutcome a = RunWizard(none, 0);
    EXPECT_FALSE(a.Ran);
    EXPECT_TRUE(none.WizardImages().empty());
    EXPECT_EQ(a.Preview.Document, nullptr);

    TFrameStrip last = StripOf({kRed, kBlue});
    last.SelectOnly(1);
    Leftovers(last);
    EXPECT_FALSE(RunWizard(last, 5).Ran);
    EXPECT_TRUE(last.WizardImages().empty());

    TFrameStrip single = StripOf({kRed});
    EXPECT_FALSE(RunWizard(single, 87).Ran);
    EXPECT_TRUE(single.WizardImages().empty());

    // No message, no hourglass: nothing at all happens.
    EXPECT_TRUE(ui.Calls().empty());
    EXPECT_EQ(ui.MaxWaitDepth(), 0);

    // An unknown kind is refused before wizlist is touched.
    TFrameStrip s = StripOf({kRed, kBlue});
    Leftovers(s);
    EXPECT_THROW(RunWizard(s, 105), EInvalidArgument);
    EXPECT_THROW(RunWizard(s, -1), EInvalidArgument);
    EXPECT_EQ(s.WizardImages().size(), 1u);
}

TEST(RunWizard, CopiesTheSelectedFrameAndTheNextAs24BitFrameSizeBitmaps)
{
    ScriptedUi ui;
    TFrameStrip s = StripOf({kWhite, kRed, kBlue});
    // Frame 2 is an 8-bit transparent picture. B is a white bitmap with the frame drawn
    // on it, so its transparent colour (the bottom-left pixel's, blue) shows white.
    TBitmap indexed(6, 4, TPixelFormat::pf8bit);
    indexed.SetPalette({kBlue, kGreen});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            indexed.SetPixel(x, y, y == 0 ? kGreen : kBlue);
    indexed.SetTransparent(true);
    s.SetPicture(2, indexed);
    s.SelectOnly(1);

    TWizardRunHooks hooks;
    hooks.OnStep = [&](int step, int total) {
        EXPECT_EQ(total, 4);
        EXPECT_EQ(static_cast<int>(s.WizardImages().size()), 0) << "wizlist fills when the steps are done, step " << step;
        return true;
    };
    const TWizardOutcome r = RunWizard(s, 0, hooks);
    ASSERT_TRUE(r.Ran);
    EXPECT_FALSE(r.Stopped);

    // Tween from red (frame 1) to frame 2: (A (n - i) + B i) div n per channel.
    const std::vector<TBitmap>& images = s.WizardImages();
    ASSERT_EQ(images.size(), 4u);
    for (const TBitmap& b : images) {
        EXPECT_EQ(b.Width(), 6);
        EXPECT_EQ(b.Height(), 4);
        EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    }
    // i = 1 over green: red 255 * 3 div 4 = 191, green 255 div 4 = 63; over white the
    // red stays 255 and the other channels are 63.
    EXPECT_EQ(images[0].Pixel(0, 0), TColor(0x003FBF));
    EXPECT_EQ(images[0].Pixel(0, 1), TColor(0x3F3FFF));
    EXPECT_EQ(images[1].Pixel(0, 1), TColor(0x7F7FFF));
    // The last image is B exactly.
    EXPECT_EQ(CountPixels(images[3], kGreen), 6);
    EXPECT_EQ(CountPixels(images[3], kWhite), 18);
    // The strip itself is unchanged.
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.ItemIndex(), 1);
    EXPECT_EQ(CountPixels(s.FindFrameImage(1).Bitmap(), kRed), 24);
    EXPECT_TRUE(s.FindFrameImage(2).Bitmap().Transparent());
    // The hourglass showed and is gone.
    EXPECT_GE(ui.MaxWaitDepth(), 1);
    EXPECT_EQ(ui.WaitDepth(), 0);
}

TEST(RunWizard, ThePreviewHoldsEveryImageWithTheDefaultDelay)
{
    ScriptedUi ui;
    TFrameStrip s = StripOf({kRed, kBlue});
    s.Session.DefaultDelay = 17;
    for (int kind : {0, 27}) {
        const TWizardOutcome r = RunWizard(s, kind);
        const std::size_t expected = static_cast<std::size_t>(WizardImageCount(kind, 4));
        EXPECT_EQ(s.WizardImages().size(), expected) << kind;
        ASSERT_TRUE(r.Preview.Succeeded()) << kind;
        ASSERT_NE(r.Preview.Document, nullptr);
        const GLFile gl = GiflibDecode(AnimationBytes(*r.Preview.Document));
        EXPECT_EQ(gl.Frames.size(), expected) << kind;
        EXPECT_EQ(gl.Frames.front().Delay, 17);
        EXPECT_EQ(gl.Loops, 0);
        EXPECT_GT(r.Preview.Size, 0);
    }
    EXPECT_EQ(ui.WaitDepth(), 0);
}

TEST(RunWizard, StoppingOrAFailingStepKeepsWhatWasMade)
{
    ScriptedUi ui;
    TFrameStrip s = StripOf({kRed, kBlue});
    s.Session.WizardFrameCount = 10;

    // The user's Stop after the third image: three images, previewed.
    TWizardRunHooks stop;
    stop.OnStep = [](int step, int) { return step < 3; };
    const TWizardOutcome r = RunWizard(s, 0, stop);
    EXPECT_TRUE(r.Ran);
    EXPECT_TRUE(r.Stopped);
    EXPECT_EQ(s.WizardImages().size(), 3u);
    ASSERT_NE(r.Preview.Document, nullptr);
    EXPECT_EQ(r.Preview.Document->Count(), 3);

    // A failure after the fourth image ends the run with its error; the four stay, the
    // cursor is back, no preview is built.
    TWizardRunHooks fail;
    fail.OnStep = [](int step, int) {
        if (step == 4)
            throw Exception("step failed");
        return true;
    };
    EXPECT_THROW(RunWizard(s, 30, fail), Exception);
    EXPECT_EQ(s.WizardImages().size(), 4u);
    EXPECT_EQ(ui.WaitDepth(), 0);

    // The text kinds read line 0: without any line the first step fails.
    s.Session.TextWizardText.clear();
    EXPECT_THROW(RunWizard(s, 87), EInvalidArgument);
    EXPECT_TRUE(s.WizardImages().empty());
    // Lines draws nothing for an empty list: n plain copies of A.
    RunWizard(s, 90);
    ASSERT_EQ(s.WizardImages().size(), 10u);
    EXPECT_EQ(CountPixels(s.WizardImages()[9], kRed), 24);
    EXPECT_EQ(ui.WaitDepth(), 0);
}

TEST(RunWizard, TextKindsUseTheStripSettings)
{
    ScriptedUi ui;
    TFrameStrip s;
    s.SetFrameSize(80, 30);
    s.Session.WizardFrameCount = 4;
    s.Append(SolidBitmap(80, 30, kWhite));
    s.Append(SolidBitmap(80, 30, kWhite));
    s.SelectOnly(0);
    s.Session.TextWizardFont = TFontChoice{"Arial", 14, 1, kBlue};
    s.Session.TextWizardText = {"WW"};
    s.Session.AccentColor = kGreen;
    s.Session.TextPosition = TPoint(40, 5);

    const TWizardContext c = WizardContextOf(s);
    EXPECT_EQ(c.TextWizardFont.Name, "Arial");
    EXPECT_EQ(c.TextWizardFont.Size(), 14);
    EXPECT_EQ(c.TextWizardFont.Style, 1u);
    EXPECT_EQ(c.TextWizardFont.Color, kBlue);
    EXPECT_EQ(c.AccentColor, kGreen);
    EXPECT_EQ(c.TextPosition, TPoint(40, 5));

    // Accent: step 1 shows the first letter in the accent colour, the rest in the font
    // colour, all right of the marked position.
    RunWizard(s, 91);
    ASSERT_EQ(s.WizardImages().size(), 4u);
    const TBitmap& first = s.WizardImages()[0];
    EXPECT_GT(CountPixels(first, kGreen), 0);
    EXPECT_GT(CountPixels(first, kBlue), 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(first.Pixel(x, y), kWhite) << x << "," << y;
    // Steps past the end of the text show it in the font colour only.
    EXPECT_EQ(CountPixels(s.WizardImages()[3], kGreen), 0);
    EXPECT_GT(CountPixels(s.WizardImages()[3], kBlue), 0);
}
