// The kind table, the menu layout and the driver: image counts, passes, stopping,
// failures and the rule for when a run may start.
#include "WizardTestHelpers.h"
#include "graphics/Exception.h"
#include "wizards/BlockCopy.h"
#include "wizards/Transitions.h"
#include "wizards/WizardDriver.h"
#include "wizards/WizardKinds.h"
#include "wizards/WizardMenu.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

namespace {

// Depth-first walk collecting "path -> kind" for every command.
void Walk(const std::vector<TWizardMenuItem>& items, const std::string& prefix,
          std::vector<std::pair<std::string, int>>& out)
{
    for (const TWizardMenuItem& item : items) {
        const std::string path = prefix.empty() ? item.Caption : prefix + "/" + item.Caption;
        if (item.ItemType == TWizardMenuItem::Type::Submenu)
            Walk(item.Items, path, out);
        else if (item.ItemType == TWizardMenuItem::Type::Command)
            out.emplace_back(path, item.Kind);
    }
}

} // namespace

TEST(WizardMenu, EveryKindReachableExactlyOnceUnderItsTablePath)
{
    std::vector<std::pair<std::string, int>> commands;
    Walk(WizardMenu(), "", commands);
    ASSERT_EQ(commands.size(), 105u);
    std::set<int> seen;
    for (const auto& [path, kind] : commands) {
        const TWizardKind* k = FindWizardKind(kind);
        ASSERT_NE(k, nullptr) << path;
        EXPECT_TRUE(seen.insert(kind).second) << "kind " << kind << " twice";
        EXPECT_EQ(path, k->MenuPath) << "kind " << kind;
    }
    EXPECT_EQ(seen.size(), 105u);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 104);

    // Top level in display order, with the one separator after Plasma.
    std::vector<std::string> top;
    for (const TWizardMenuItem& item : WizardMenu())
        top.push_back(item.ItemType == TWizardMenuItem::Type::Separator ? "-" : item.Caption);
    EXPECT_EQ(top, (std::vector<std::string>{"Transition", "Rotate Left-Right", "Rotate Top-Down", "Blinds", "Wipe",
                                             "Curtain", "Box", "Diagonal", "Cross", "Circle", "Sweep", "Marquee",
                                             "Plasma", "-", "Fold", "CheckerBoard", "Segment", "Grow", "Shrink",
                                             "Effects", "Text", "Actor"}));
    // Menu order differs from kind order in places: Wipe lists Up before Down.
    std::vector<int> wipe;
    for (const auto& [path, kind] : commands)
        if (path.rfind("Wipe/", 0) == 0)
            wipe.push_back(kind);
    EXPECT_EQ(wipe, (std::vector<int>{5, 6, 8, 7}));
}

TEST(WizardKinds, TableShape)
{
    const auto& kinds = WizardKinds();
    ASSERT_EQ(kinds.size(), 105u);
    std::set<std::string> paths;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(kinds[i].Kind, static_cast<int>(i));
        EXPECT_NE(kinds[i].Pass1, nullptr);
        EXPECT_TRUE(paths.insert(kinds[i].MenuPath).second) << kinds[i].MenuPath;
        const bool two = i == 1 || i == 2 || i == 27 || i == 30 || i == 68;
        EXPECT_EQ(kinds[i].TwoPasses(), two) << i;
        EXPECT_EQ(WizardImageCount(static_cast<int>(i), 10), two ? 20 : 10);
    }
    EXPECT_EQ(FindWizardKind(-1), nullptr);
    EXPECT_EQ(FindWizardKind(105), nullptr);
    EXPECT_EQ(WizardImageCount(105, 10), 0);
    EXPECT_EQ(kinds[1].Uses, TWizardUses::AThenB);
    EXPECT_EQ(kinds[35].Uses, TWizardUses::A);
    EXPECT_EQ(kinds[74].Uses, TWizardUses::AB);
}

TEST(WizardDriver, EveryKindMakesNOr2NFrameSizedImages)
{
    const TBitmap A = PatternBitmap(12, 8, 1), B = PatternBitmap(12, 8, 2);
    TWizardContext ctx;
    for (int kind = 0; kind < kWizardKindCount; ++kind) {
        std::vector<TBitmap> images;
        TBitmap work(3, 3, TPixelFormat::pf8bit);
        EXPECT_TRUE(RunWizardSteps(kind, A, B, 4, work, ctx, images)) << kind;
        const bool two = kind == 1 || kind == 2 || kind == 27 || kind == 30 || kind == 68;
        ASSERT_EQ(images.size(), two ? 8u : 4u) << kind;
        for (const TBitmap& img : images) {
            EXPECT_EQ(img.Width(), 12) << kind;
            EXPECT_EQ(img.Height(), 8) << kind;
            EXPECT_EQ(img.PixelFormat(), TPixelFormat::pf24bit) << kind;
        }
    }
}

TEST(WizardDriver, PassesEndWhereTheyShould)
{
    const TBitmap A = PatternBitmap(10, 6, 1), B = PatternBitmap(10, 6, 2);
    TWizardContext ctx;
    TBitmap work;
    std::vector<TBitmap> images;
    // Transition with n = 4: the fourth image is B exactly; the first is 3:1.
    RunWizardSteps(0, A, B, 4, work, ctx, images);
    ASSERT_EQ(images.size(), 4u);
    EXPECT_TRUE(images[3] == B);
    TBitmap quarter;
    Tween(A, 3, B, 1, quarter);
    EXPECT_TRUE(images[0] == quarter);
    // Marquee Up-Down goes A -> B -> A; Left-Right likewise.
    for (int kind : {27, 30}) {
        images.clear();
        RunWizardSteps(kind, A, B, 4, work, ctx, images);
        ASSERT_EQ(images.size(), 8u);
        EXPECT_TRUE(images[3] == B) << kind;
        EXPECT_TRUE(images[7] == A) << kind;
    }
    // Rotate: A squeezes away in pass 1, B grows in pass 2 (full width 10 = 4 * 2 + 2).
    images.clear();
    RunWizardSteps(1, A, B, 5, work, ctx, images);
    ASSERT_EQ(images.size(), 10u);
    EXPECT_TRUE(images[4] == SolidBitmap(10, 6, A.Pixel(0, 0)));
    EXPECT_TRUE(images[9] == B);
    // The images are copies: later steps do not change earlier ones.
    images.clear();
    RunWizardSteps(5, A, B, 4, work, ctx, images);
    EXPECT_EQ(images[0].Pixel(5, 0), A.Pixel(5, 0));
    EXPECT_EQ(images[3].Pixel(5, 0), B.Pixel(5, 0));
    EXPECT_TRUE(work == images[3]);
}

TEST(WizardDriver, OnStepReportsProgressAndCanStop)
{
    const TBitmap A = SolidBitmap(8, 6, kA), B = SolidBitmap(8, 6, kB);
    TWizardContext ctx;
    TBitmap work;
    std::vector<TBitmap> images;
    std::vector<std::pair<int, int>> calls;
    const bool completed = RunWizardSteps(1, A, B, 4, work, ctx, images, [&](int step, int total) {
        calls.emplace_back(step, total);
        return step < 6; // Stop pressed during the second pass
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(images.size(), 6u);
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls.front(), std::make_pair(1, 8));
    EXPECT_EQ(calls.back(), std::make_pair(6, 8));

    images.clear();
    EXPECT_FALSE(RunWizardSteps(3, A, B, 4, work, ctx, images, [](int, int) { return false; }));
    EXPECT_EQ(images.size(), 1u);
}

TEST(WizardDriver, FailuresKeepTheImagesMadeSoFar)
{
    const TBitmap A = SolidBitmap(8, 6, kA), B = SolidBitmap(8, 6, kB);
    TWizardContext ctx;
    TBitmap work;
    std::vector<TBitmap> images;
    // Something going wrong after the second step (here the progress callback).
    EXPECT_THROW(RunWizardSteps(5, A, B, 4, work, ctx, images,
                                [](int step, int) -> bool {
                                    if (step == 2)
                                        throw std::runtime_error("boom");
                                    return true;
                                }),
                 std::runtime_error);
    EXPECT_EQ(images.size(), 2u);
    // A text step without text lines fails with the list's index error at step 1.
    ctx.TextWizardText.clear();
    images.clear();
    try {
        RunWizardSteps(87, A, B, 4, work, ctx, images);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
    EXPECT_TRUE(images.empty());
    // ...while Lines simply draws nothing.
    EXPECT_TRUE(RunWizardSteps(90, A, B, 4, work, ctx, images));
    EXPECT_TRUE(images.back() == A);
    // Inputs the steps could not index safely are refused up front.
    EXPECT_THROW(RunWizardSteps(105, A, B, 4, work, ctx, images), EInvalidArgument);
    EXPECT_THROW(RunWizardSteps(-1, A, B, 4, work, ctx, images), EInvalidArgument);
    EXPECT_THROW(RunWizardSteps(3, A, SolidBitmap(8, 5, kB), 4, work, ctx, images), EInvalidArgument);
    EXPECT_THROW(RunWizardSteps(3, A, TBitmap(8, 6, TPixelFormat::pf8bit), 4, work, ctx, images), EInvalidArgument);
}

TEST(WizardDriver, RunMayStartOnlyWithAFrameAfterTheCurrentOne)
{
    EXPECT_FALSE(WizardCanRun(-1, 5)); // nothing selected
    EXPECT_FALSE(WizardCanRun(4, 5));  // last frame
    EXPECT_FALSE(WizardCanRun(5, 5));
    EXPECT_TRUE(WizardCanRun(3, 5));
    EXPECT_TRUE(WizardCanRun(0, 2));
    EXPECT_FALSE(WizardCanRun(0, 1));
    EXPECT_FALSE(WizardCanRun(0, 0));
}

TEST(WizardDriver, WorkBitmapAndSourcesArePrepared)
{
    // The work bitmap becomes 24-bit at the frame size, keeping the pixels it had.
    TBitmap work(4, 3);
    work.Fill(clLime);
    work.SetPixel(0, 0, clRed);
    wizardpixels::SetWorkSize(work, 6, 2);
    EXPECT_EQ(work.Width(), 6);
    EXPECT_EQ(work.Height(), 2);
    EXPECT_EQ(work.Pixel(0, 0), clRed);
    EXPECT_EQ(work.Pixel(3, 1), clLime);
    TBitmap indexed(2, 2, TPixelFormat::pf8bit);
    indexed.SetPalette({clBlack, clYellow});
    indexed.SetPixel(1, 1, clYellow);
    wizardpixels::SetWorkSize(indexed, 2, 2);
    EXPECT_EQ(indexed.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(indexed.Pixel(1, 1), clYellow);

    // A frame copy is the frame drawn on a new frame-sized 24-bit bitmap.
    TBitmap frame(2, 2, TPixelFormat::pf8bit);
    frame.SetPalette({clBlue, clRed});
    frame.SetPixel(1, 0, clRed);
    const TBitmap copy = MakeWizardSource(frame, 3, 2);
    EXPECT_EQ(copy.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_EQ(copy.Pixel(0, 0), clBlue);
    EXPECT_EQ(copy.Pixel(1, 0), clRed);
    EXPECT_FALSE(copy.Transparent());
}
