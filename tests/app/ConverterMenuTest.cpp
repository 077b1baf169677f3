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
    main.show();
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
    // Both open over the main window, one not exactly on the other; each stays where it
    // is when shown again.
    EXPECT_NE(avi2gif.pos(), gif2avi.pos());
    for (QWidget* window : {static_cast<QWidget*>(&avi2gif), static_cast<QWidget*>(&gif2avi)})
        EXPECT_TRUE(main.frameGeometry().intersects(window->frameGeometry()));
    const QPoint first = avi2gif.pos();
    avi2gif.hide();
    main.Action("tools.avi-to-gif")->trigger();
    EXPECT_EQ(avi2gif.pos(), first);
}
