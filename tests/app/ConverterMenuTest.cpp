#include "app/AnivorForm.h"

#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "tools/ui/Avi2GifForm.h"
#include "tools/ui/Gif2AviForm.h"

#include <QAction>

#include <gtest/gtest.h>

TEST(ConverterMenu, ToolsItemsShowTheConverterWindowsWithoutModality)
{
    TempDir dir;
    ScriptedUi ui;
    TAnivorF main(dir.path().string() + "/", dir.file("anivor.ini"));
    Tavi2gifF avi2gif(&main);
    Tgif2aviF gif2avi(&main);
    main.SetConverterWindows(&avi2gif, &gif2avi);
    const std::pair<const char*, QWidget*> items[] = {{"tools.avi-to-gif", &avi2gif}, {"tools.gif-to-avi", &gif2avi}};
    for (const auto& [name, window] : items) {
        QAction* a = main.Action(name);
        ASSERT_TRUE(a->isEnabled()) << name;
        EXPECT_TRUE(window->isHidden());
        a->trigger();
        EXPECT_FALSE(window->isHidden()) << name;
        EXPECT_FALSE(window->isModal());
        EXPECT_TRUE(window->isWindow());
    }
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{});
}
