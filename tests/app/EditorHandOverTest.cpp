#include "app/AnivorForm.h"

#include "editor/ui/DrawForm.h"
#include "editor/ui/DrawWidgets.h"
#include "editor/ui/GammaPanel.h"
#include "graphics/BmpFile.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "widgets/FrameViews.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void Mouse(QWidget* target, QEvent::Type type, QPoint p)
{
    QMouseEvent e(type, p, target->mapToGlobal(p), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

} // namespace

// Frame > Edit and a double-click on a frame open it in the frame editor; Update Frame
// writes it back into the strip, closing the editor otherwise leaves it alone.
TEST(EditorHandOver, EditUpdatesTheSelectedFrame)
{
    TempDir dir;
    ScriptedUi ui;
    ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
    TAnivorF w(dir.path().string() + "/", dir.file("anivor.ini"));
    EXPECT_FALSE(w.Action("frame.edit")->isEnabled());
    TDrawF draw(&w, dir.file("anivor.ini"));
    w.SetDrawWindow(&draw);
    ASSERT_TRUE(w.Action("frame.edit")->isEnabled());

    ui.AnswerInput("30");
    ui.AnswerInput("20");
    w.Action("frame.new")->trigger();
    w.Action("frame.new")->trigger();
    ASSERT_EQ(w.Strip().ItemIndex(), 1);

    QTimer::singleShot(0, [&] {
        draw.Action("editor.rectangle")->trigger();
        Mouse(draw.pic, QEvent::MouseButtonPress, {2, 2});
        Mouse(draw.pic, QEvent::MouseMove, {10, 8});
        Mouse(draw.pic, QEvent::MouseButtonRelease, {10, 8});
        draw.Action("editor.update-frame")->trigger();
    });
    w.Action("frame.edit")->trigger();
    EXPECT_EQ(w.Strip().FindFrameImage(1).Bitmap().Pixel(2, 2), clBlack);
    EXPECT_EQ(w.Strip().FindFrameImage(0).Bitmap(), SolidBitmap(30, 20, clWhite));

    // A double-click on the first frame selects it and opens it; closing discards.
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(draw.Picture().Bitmap(), SolidBitmap(30, 20, clWhite));
        draw.Action("editor.color-dropper")->trigger();
        draw.Action("editor.flood-fill")->trigger();
        draw.gamma->SetSecondColor(clRed);
        Mouse(draw.pic, QEvent::MouseButtonPress, {5, 5});
        Mouse(draw.pic, QEvent::MouseButtonRelease, {5, 5});
        EXPECT_EQ(draw.Picture().Bitmap().Pixel(5, 5), clRed);
        draw.reject();
    });
    emit w.ScrollBoxSource->FrameDoubleClicked("Frame1");
    EXPECT_EQ(w.Strip().ItemIndex(), 0);
    EXPECT_EQ(w.Strip().FindFrameImage(0).Bitmap(), SolidBitmap(30, 20, clWhite));
    EXPECT_TRUE(ui.Errors().empty());
}

// The actor wizards draw the frame editor's first actor along the path recorded there.
TEST(EditorHandOver, ActorWizardsUseTheEditorsActorAndPath)
{
    TempDir dir;
    ScriptedUi ui;
    ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
    TAnivorF w(dir.path().string() + "/", dir.file("anivor.ini"));
    TDrawF draw(&w, dir.file("anivor.ini"));
    w.SetDrawWindow(&draw);
    ui.AnswerInput("30");
    ui.AnswerInput("20");
    w.Action("frame.new")->trigger();
    w.Action("frame.new")->trigger();
    w.Strip().SelectOnly(0);

    // Without an actor: copies of the frame.
    w.findChild<QAction*>("wizard.actor-path")->trigger();
    ASSERT_FALSE(w.Strip().WizardImages().empty());
    for (const TBitmap& image : w.Strip().WizardImages())
        EXPECT_EQ(image, SolidBitmap(30, 20, clWhite));

    TBitmap actor = SolidBitmap(2, 2, clRed);
    actor.SetPixel(0, 1, clBlue); // the bottom-left colour stays out
    SaveBmpFile(actor, dir.file("a.bmp"));
    draw.Actors().LoadFile(0, dir.file("a.bmp"));
    draw.Actors().Path().Assign({{3, 4}, {10, 2}});
    w.findChild<QAction*>("wizard.actor-path")->trigger();
    const auto& images = w.Strip().WizardImages();
    ASSERT_GE(images.size(), 3u);
    EXPECT_EQ(images[0].Pixel(3, 4), clRed);
    EXPECT_EQ(images[0].Pixel(3, 5), clWhite);
    EXPECT_EQ(images[1].Pixel(11, 3), clRed);
    EXPECT_EQ(images[2], SolidBitmap(30, 20, clWhite));
    EXPECT_TRUE(ui.Errors().empty());
}
