// The workspace against the memory budget and damaged files: a wizard run and Create are
// refused before they make anything, naming the size; a cut GIF opens its whole frames and
// says so; a GIF without a picture is not imported.
#include "workspace/Assembly.h"
#include "workspace/FrameImport.h"
#include "workspace/WizardRun.h"

#include "gif/GIFImage.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TFrameStrip stripOf(int w, int h, int frames)
{
    TFrameStrip s;
    s.SetFrameSize(w, h);
    s.Session.WizardFrameCount = 10;
    for (int i = 0; i < frames; ++i)
        s.Append(SolidBitmap(w, h, i % 2 ? clRed : clBlue));
    s.SelectOnly(0);
    return s;
}

} // namespace

TEST(MemoryBudgetWork, WizardRunsAndCreateAreRefusedBeforeTheyStart)
{
    ScriptedUi ui;
    TFrameStrip s = stripOf(300, 200, 2);
    const std::uint64_t need = WizardRunMemoryNeed(0, 10, 300, 200);
    {
        MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + need - 1);
        try {
            RunWizard(s, 0);
            FAIL() << "not refused";
        } catch (const EOutOfMemory& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Not enough memory: a wizard run of 10 frames of 300 x 200 needs ", 0), 0u)
                << e.what();
        }
        EXPECT_TRUE(s.WizardImages().empty());
        EXPECT_EQ(ui.WaitDepth(), 0);

        // Create of the two frames needs far less: it runs.
        const TAssemblyResult ok = CreateAnimation(s, false, {});
        EXPECT_TRUE(ok.Succeeded());
    }
    // With the room the run needs, it runs.
    {
        MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + need);
        EXPECT_EQ(RunWizard(s, 0).Ran, true);
        EXPECT_EQ(s.WizardImages().size(), 10u);
    }
    // Create past the budget: an error in the result and no document built.
    {
        MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + AssemblyMemoryNeed(2, 300, 200) - 1);
        const TAssemblyResult refused = CreateAnimation(s, false, {});
        ASSERT_FALSE(refused.Succeeded());
        try {
            std::rethrow_exception(refused.Error);
        } catch (const EOutOfMemory& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Not enough memory: an animation of 2 frames of 300 x 200 needs ", 0), 0u)
                << e.what();
        }
        EXPECT_TRUE(refused.Document->Empty());
    }
}

TEST(MemoryBudgetWork, CutGifsOpenTheirFramesAndSaySo)
{
    ScriptedUi ui;
    TempDir dir;
    TGIFImage gif;
    for (TColor c : {clRed, clLime, clBlue})
        gif.Add(SolidBitmap(30, 20, c));
    std::vector<std::uint8_t> bytes = gif.SaveToBytes();
    bytes.resize(bytes.size() - 4);
    WriteFileAtomic(dir.file("cut.gif"), bytes);
    TFrameStrip s;
    std::string openDir = dir.path().string();
    ui.AnswerOpenFile(dir.file("cut.gif"));
    OpenCommand(s, openDir);
    EXPECT_GE(s.Count(), 2);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap().Pixel(3, 3), clLime);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], dir.file("cut.gif") + ": Premature end of data. The frames complete before the cut were opened.");

    // A whole file opens without a word; one without a picture is not imported.
    ui.ClearCalls();
    WriteFileAtomic(dir.file("whole.gif"), gif.SaveToBytes());
    ui.AnswerOpenFile(dir.file("whole.gif"));
    OpenCommand(s, openDir);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_TRUE(ui.Messages().empty());
    WriteFileAtomic(dir.file("empty.gif"), std::vector<std::uint8_t>{'G', 'I', 'F', '8', '9', 'a', 9, 0, 9, 0, 0, 0, 0, 0x3B});
    EXPECT_THROW(ImportImageFile(s, dir.file("empty.gif")), EInvalidGraphic);
    EXPECT_EQ(s.Count(), 3);
}
