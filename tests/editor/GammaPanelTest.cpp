#include "editor/ui/GammaPanel.h"

#include "platform/ScriptedUi.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

void Send(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent e(type, p, w->mapToGlobal(p), button, type == QEvent::MouseMove ? Qt::NoButton : button,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

bool InFront(QWidget* a, QWidget* b)
{
    const auto kids = a->parentWidget()->children();
    return kids.indexOf(a) > kids.indexOf(b);
}

} // namespace

// The palette picture: hue down the rows, black to the hue to white across.
TEST(GammaPanel, PalettePicture)
{
    const TBitmap p = TGammaPanel::GammaPicture();
    ASSERT_EQ(p.Width(), 45);
    ASSERT_EQ(p.Height(), 96);
    EXPECT_EQ(p.Pixel(22, 0), clRed);
    EXPECT_EQ(p.Pixel(22, 16), clYellow);
    EXPECT_EQ(p.Pixel(22, 32), clLime);
    EXPECT_EQ(p.Pixel(22, 64), clBlue);
    EXPECT_EQ(p.Pixel(0, 40), clBlack);
    EXPECT_EQ(p.Pixel(44, 40), clWhite);
}

// The preview follows the mouse; palette clicks set the swatch in front, which "X" swaps;
// the swatch dialog fires OnChange even when cancelled; the setters fire it too.
TEST(GammaPanel, PreviewSwatchesAndX)
{
    ScriptedUi ui;
    TGammaPanel g;
    EXPECT_EQ(g.size(), QSize(65, 250));
    g.resize(200, 300);
    EXPECT_EQ(g.size(), QSize(65, 250));
    std::vector<std::pair<TColor, TColor>> changes;
    g.OnChange = [&](TGammaPanel* s) { changes.emplace_back(s->FirstColor(), s->SecondColor()); };

    EXPECT_EQ(g.Preview->text(), "None");
    Send(g.PalettePicture, QEvent::MouseMove, {22, 32});
    EXPECT_EQ(g.PreviewColor(), clLime);
    EXPECT_EQ(g.Preview->text(), "");
    EXPECT_EQ(g.RedLabel->text(), "R 0");
    EXPECT_EQ(g.GreenLabel->text(), "G 255");
    Send(g.PalettePicture, QEvent::MouseButtonPress, {22, 32});
    Send(g.PalettePicture, QEvent::MouseButtonRelease, {22, 32});
    EXPECT_EQ(g.FirstColor(), clLime);
    EXPECT_TRUE(InFront(g.FirstSwatch, g.SecondSwatch));
    Send(g.XLabel, QEvent::MouseMove, {1, 1});
    EXPECT_EQ(g.Preview->text(), "None");
    EXPECT_EQ(g.BlueLabel->text(), "B - - -");

    Send(g.XLabel, QEvent::MouseButtonRelease, {1, 1});
    EXPECT_TRUE(g.TargetIsSecond());
    EXPECT_TRUE(InFront(g.SecondSwatch, g.FirstSwatch));
    g.PaletteMouseMove(22, 64);
    g.PaletteClick();
    EXPECT_EQ(g.SecondColor(), clBlue);
    EXPECT_EQ(g.FirstColor(), clLime);
    g.XClick();
    EXPECT_FALSE(g.TargetIsSecond());
    EXPECT_TRUE(InFront(g.FirstSwatch, g.SecondSwatch));

    Send(g.SecondSwatch, QEvent::MouseMove, {3, 3});
    EXPECT_EQ(g.PreviewColor(), clBlue);
    ui.AnswerColorCancel();
    Send(g.SecondSwatch, QEvent::MouseButtonPress, {3, 3});
    ui.AnswerColor(clRed);
    Send(g.FirstSwatch, QEvent::MouseButtonPress, {3, 3});
    EXPECT_EQ(ui.Calls().at(1).InitialColor, clLime);
    EXPECT_EQ(g.FirstColor(), clRed);

    g.SetSecondColor(clYellow);
    EXPECT_EQ(changes, (std::vector<std::pair<TColor, TColor>>{{clLime, clWhite},
                                                               {clLime, clBlue},
                                                               {clLime, clBlue},
                                                               {clRed, clBlue},
                                                               {clRed, clYellow}}));
}
