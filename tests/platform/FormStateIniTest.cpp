#include "platform/ui/FormStateIni.h"
#include "platform/ui/ScreenPlacement.h"
#include "platform/IniFile.h"

#include "support/TestSupport.h"

#include <QWidget>

#include <gtest/gtest.h>

TEST(FormStateIni, SavesAndRestoresPlacementAndKeepsItWhenClosedMaximised)
{
    TempDir dir;
    const std::string file = dir.file("anivor.ini");
    const TFormStateIni state(file);
    {
        QWidget form;
        form.setObjectName(QStringLiteral("DrawF"));
        form.move(40, 30);
        form.resize(500, 400);
        state.Save(form);
    }
    {
        TIniFile32 ini(file);
        EXPECT_FALSE(ini.ReadBool("DrawF", "State", true));
        EXPECT_EQ(ini.ReadInteger("DrawF", "Left", 0), 40);
        EXPECT_EQ(ini.ReadInteger("DrawF", "Height", 0), 400);
    }
    {
        QWidget form;
        form.setObjectName(QStringLiteral("DrawF"));
        form.resize(100, 100);
        state.Restore(form);
        EXPECT_EQ(form.pos(), QPoint(40, 30));
        EXPECT_EQ(form.size(), QSize(500, 400));
        EXPECT_FALSE(form.isMaximized());
        // Closed maximised: State=1, the stored placement stays.
        form.setWindowState(Qt::WindowMaximized);
        state.Save(form);
    }
    TIniFile32 ini(file);
    EXPECT_TRUE(ini.ReadBool("DrawF", "State", false));
    EXPECT_EQ(ini.ReadInteger("DrawF", "Left", 0), 40);
    EXPECT_EQ(ini.ReadInteger("DrawF", "Top", 0), 30);
    EXPECT_EQ(ini.ReadInteger("DrawF", "Width", 0), 500);
    EXPECT_EQ(ini.ReadInteger("DrawF", "Height", 0), 400);
    {
        QWidget form;
        form.setObjectName(QStringLiteral("DrawF"));
        state.Restore(form);
        EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    }
    // Missing keys keep the window's own values; another window has its own section.
    QWidget other;
    other.setObjectName(QStringLiteral("TemplatesF"));
    other.move(7, 8);
    other.resize(378, 472);
    state.Restore(other);
    EXPECT_EQ(other.pos(), QPoint(7, 8));
    EXPECT_EQ(other.size(), QSize(378, 472));
}

// A placement off every screen opens on the nearest screen, kept within it; one whose title
// bar still meets a screen stays where it was.
TEST(FormStateIni, PlacementsOffEveryScreenAreMovedOntoOne)
{
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const struct {
        QRect Stored, Placed;
    } cases[] = {
        {QRect(100, 100, 400, 300), QRect(100, 100, 400, 300)},     // on the first screen
        {QRect(3000, 50, 400, 300), QRect(3000, 50, 400, 300)},     // partly on the second
        {QRect(5000, 200, 400, 300), QRect(2800, 200, 400, 300)},   // beyond the second: onto it
        {QRect(-2000, -900, 400, 300), QRect(0, 0, 400, 300)},      // a screen that was left of it
        {QRect(100, 1080, 400, 300), QRect(100, 780, 400, 300)},    // just below the screen
        {QRect(100, 2000, 4000, 3000), QRect(0, 0, 1920, 1080)},    // too big: fitted
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceOnScreens(c.Stored, screens), c.Placed) << c.Stored.x() << "," << c.Stored.y();
    EXPECT_EQ(PlaceOnScreens(QRect(-5000, -5000, 10, 10), {}), QRect(-5000, -5000, 10, 10)); // no screens known
}
