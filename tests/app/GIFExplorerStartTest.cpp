// The GIF explorer as part of the program: Tools > GIF Explorer shows it, and the speed
// chosen there reaches the animations the main window creates afterwards.
#include "app/AnivorForm.h"

#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "tools/ui/GIFExplorerForm.h"
#include "widgets/ImageControl.h"

#include <QAction>

#include <gtest/gtest.h>

TEST(GIFExplorerStart, ToolsMenuShowsTheExplorerAndItsSpeedReachesCreate)
{
    TempDir dir;
    ScriptedUi ui;
    ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
    const int speed = DefaultAnimationSpeed;
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

        // 800 %: a frame delay of 10 (120 ms at 100 %) lasts 15 ms in the preview.
        explorer.Action("animation.speed-800")->trigger();
        TFrameStrip& s = w.Strip();
        s.FrameWidth = 20;
        s.FrameHeight = 10;
        s.DefaultDelay = 10;
        s.Append(SolidBitmap(20, 10, clRed));
        s.Append(SolidBitmap(20, 10, clBlue));
        w.Action("animation.create")->trigger();
        ASSERT_TRUE(w.ImageAnimate->IsAnimating());
        EXPECT_EQ(w.ImageAnimate->Document()->AnimationSpeed(), 800);
        EXPECT_EQ(w.ImageAnimate->CurrentWait(), 15);
        EXPECT_TRUE(ui.Errors().empty());
    }
    DefaultAnimationSpeed = speed;
}
