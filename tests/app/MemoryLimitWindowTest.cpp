// The window under the memory limit of its settings file: a wizard run that would pass it
// is refused at once with the size named, nothing changes, and the window stays usable;
// the limit is written back at the end.
#include "app/AnivorForm.h"

#include "graphics/MemoryBudget.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"

#include <QAction>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

TEST(MemoryLimitWindow, WizardPastTheLimitIsRefusedAndTheWindowStaysUsable)
{
    MemoryBudget::TScopedLimit restore(MemoryBudget::Limit());
    TempDir dir;
    std::ofstream(dir.file("anivor.ini")) << "[Memory]\nLimit=" << (MemoryBudget::InUse() >> 20) + 8
                                          << "M\n";
    ScriptedUi ui;
    auto w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("anivor.ini"));
    EXPECT_EQ(MemoryBudget::Limit(), ((MemoryBudget::InUse() >> 20) + 8) << 20);

    TFrameStrip& s = w->Strip();
    s.SetFrameSize(800, 600);
    s.Session.WizardFrameCount = 10;
    s.Append(SolidBitmap(800, 600, clRed));
    s.Append(SolidBitmap(800, 600, clBlue));
    s.SelectOnly(0);
    w->Action("wizard.transition")->trigger();
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_EQ(ui.Errors()[0].rfind("Not enough memory: a wizard run of 10 frames of 800 x 600 needs ", 0), 0u) << ui.Errors()[0];
    EXPECT_TRUE(s.WizardImages().empty());
    EXPECT_EQ(s.Count(), 2);
    EXPECT_TRUE(w->Action("wizard.transition")->isEnabled());
    EXPECT_EQ(ui.WaitDepth(), 0);

    // Fewer, smaller frames fit.
    s.Session.WizardFrameCount = 4;
    s.ClearFrames();
    s.SetFrameSize(80, 60);
    s.Append(SolidBitmap(80, 60, clRed));
    s.Append(SolidBitmap(80, 60, clBlue));
    s.SelectOnly(0);
    w->Action("wizard.transition")->trigger();
    EXPECT_EQ(s.WizardImages().size(), 4u);
    EXPECT_EQ(ui.Errors().size(), 1u);

    w->close();
    w->FormDestroy();
    std::stringstream text;
    text << std::ifstream(dir.file("anivor.ini")).rdbuf();
    EXPECT_NE(text.str().find("[Memory]\nLimit="), std::string::npos) << text.str();
}
