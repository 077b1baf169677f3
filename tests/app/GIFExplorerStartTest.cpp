// The GIF explorer as part of the program: Tools > GIF Explorer shows it, and the speed
// chosen there reaches the animations the main window creates afterwards.
#include "app/AnivorForm.h"

#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "tools/ui/GIFExplorerForm.h"
#include "widgets/ImageControl.h"

#include <QAction>

#include <gtest/gtest.h>

// The explorer's speed is its own: an animation the main window creates afterwards plays
// at its frames' speed.
TEST(GIFExplorerStart, ToolsMenuShowsTheExplorerWhoseSpeedStaysItsOwn)
{
    TempDir dir;
    ScriptedUi ui;
    ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
    {
        TAnivorF w(dir.path().string() + "/", dir.file("anivor.ini"));
        TGIFExplorerF explorer(&w);
        w.SetGIFExplorer(&explorer);
        EXPECT_FALSE(explorer.isVisible());
        QAction* item = w.Action("tools.gif-explorer");
        ASSERT_TRUE(item->isEnabled());
        w.show();
        item->trigger();
        EXPECT_TRUE(explorer.isVisible());
        EXPECT_TRUE(explorer.isWindow());

        // A frame delay of 10 lasts 120 ms at 100 %.
        explorer.Action("animation.speed-800")->trigger();
        TFrameStrip& s = w.Strip();
        s.SetFrameSize(20, 10);
        s.Session.DefaultDelay = 10;
        s.Append(SolidBitmap(20, 10, clRed));
        s.Append(SolidBitmap(20, 10, clBlue));
        w.Action("animation.create")->trigger();
        ASSERT_TRUE(w.ImageAnimate->IsAnimating());
        EXPECT_EQ(w.ImageAnimate->Document()->AnimationSpeed(), 100);
        EXPECT_EQ(w.ImageAnimate->CurrentWait(), 120);
        EXPECT_EQ(explorer.Document().AnimationSpeed(), 800);
        EXPECT_TRUE(ui.Errors().empty());
    }
}
