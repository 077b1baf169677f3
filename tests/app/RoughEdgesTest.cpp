// Rough edges found using the main window as a new user would.
#include "MainWindowFixture.h"

#include "app/AnivorForm.h"

#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "widgets/FrameViews.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class RoughEdges : public MainWindowFixture {
protected:
    void Frames(int count, int width = 20, int height = 10)
    {
        TFrameStrip& s = w->Strip();
        s.SetFrameSize(width, height);
        for (int i = 0; i < count; ++i)
            s.Append(SolidBitmap(width, height, i % 2 ? clRed : clBlue));
    }
    QLabel* Pointer() const { return w->ScrollBoxSource->FramePointer(); }
};

} // namespace

// The yellow pointer never names a frame that is gone: after New it hides, after Open it
// shows a frame of the opened GIF, after a delay change it shows the new delay.
TEST_F(RoughEdges, TheFramePointerNeverShowsAFrameThatIsGone)
{
    Frames(7);
    w->Strip().SelectOnly(6);
    EXPECT_EQ(Pointer()->text(), "Frame7=10");
    EXPECT_TRUE(Pointer()->isVisibleTo(w.get()));
    ui.AnswerInput("25");
    Trigger("frame.delay");
    EXPECT_EQ(Pointer()->text(), "Frame7=25");

    Trigger("animation.create");
    ui.AnswerSaveFile(dir.file("seven.gif"));
    Trigger("animation.save");
    w->Strip().SelectOnly(2);
    ui.AnswerButton(1); // "Save changes?": Discard
    Trigger("animation.new");
    EXPECT_FALSE(Pointer()->isVisibleTo(w.get()));
    EXPECT_EQ(Pointer()->text(), "");

    // Open: a pointed frame of the old strip does not survive under the same name.
    Frames(2);
    w->Strip().SelectOnly(1);
    ui.AnswerButton(1);
    ui.AnswerOpenFile(dir.file("seven.gif"));
    Trigger("animation.open");
    ASSERT_EQ(w->Strip().Count(), 7);
    const std::string shown = Pointer()->text().toStdString();
    if (Pointer()->isVisibleTo(w.get())) {
        const std::string name = shown.substr(0, shown.find('='));
        ASSERT_GE(w->Strip().IndexOfName(name), 0) << shown;
        EXPECT_EQ(w->Strip().EntryText(w->Strip().IndexOfName(name)), shown);
    }
    // A deleted frame takes the pointer with it.
    w->Strip().SelectOnly(6);
    Trigger("frame.delete");
    EXPECT_NE(Pointer()->text(), "Frame7=25");
}

// Save starts in the program's "images" folder, made when missing, then where the last
// save went; the extension it adds is lower case.
TEST_F(RoughEdges, SaveStartsInImagesThenWhereTheLastSaveWent)
{
    Frames(2);
    Trigger("animation.create");
    ui.AnswerSaveFile(dir.file("elsewhere/one.gif"));
    std::filesystem::create_directory(dir.path() / "elsewhere");
    Trigger("animation.save");
    EXPECT_EQ(ui.Last().FileOptions.InitialDir, dir.path().string() + "/images");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "images"));
    EXPECT_EQ(ui.Last().FileOptions.DefaultExt, "gif");

    ui.AnswerSaveFile(dir.file("elsewhere/two.gif"));
    Trigger("animation.save");
    EXPECT_EQ(ui.Last().FileOptions.InitialDir, dir.path().string() + "/elsewhere");
    Trigger("animation.stop");
    ui.AnswerSaveFile(dir.file("elsewhere/last.bmp"));
    Trigger("animation.save");
    EXPECT_EQ(ui.Last().FileOptions.DefaultExt, "bmp");

    // The next run starts there too.
    w->FormDestroy();
    w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("anivor.ini"));
    Frames(1);
    Trigger("animation.create");
    ui.AnswerSaveFileCancel();
    Trigger("animation.save");
    EXPECT_EQ(ui.Last().FileOptions.InitialDir, dir.path().string() + "/elsewhere");
}

// After a run from the Wizards drop-down its button is up again.
TEST_F(RoughEdges, TheWizardsButtonComesUpAfterARun)
{
    Frames(2);
    w->Strip().SelectOnly(0);
    w->Strip().Session.WizardFrameCount = 4;
    auto* button = qobject_cast<QToolButton*>(w->ToolBar1->widgetForAction(w->wizpop->menuAction()));
    ASSERT_NE(button, nullptr);
    button->setDown(true); // as while its menu is open, the mouse on it
    button->setAttribute(Qt::WA_UnderMouse, true);
    QCursor::setPos(w->mapToGlobal(QPoint(2, w->height() - 2)));
    Trigger("wizard.transition");
    EXPECT_FALSE(button->isDown());
    EXPECT_FALSE(button->underMouse());
    EXPECT_TRUE(button->isEnabled());
}

// Insert Wizard Frames of 31 frames of 1600 x 1200 is quick, with one re-layout of the
// views.
TEST_F(RoughEdges, InsertingManyLargeWizardFramesIsQuick)
{
    Frames(2, 1600, 1200);
    w->Strip().SelectOnly(0);
    w->Strip().ResetWizardList();
    for (int i = 0; i < 31; ++i)
        w->Strip().AddWizardImage(SolidBitmap(1600, 1200, i % 2 ? clLime : clYellow));
    int relayouts = 0;
    w->Strip().Subscribe([&](TStripChange c) { relayouts += c == TStripChange::Frames; });
    QElapsedTimer t;
    t.start();
    w->Action("wizard.insert")->trigger();
    QCoreApplication::processEvents();
    const qint64 ms = t.elapsed();
    EXPECT_EQ(w->Strip().Count(), 33);
    EXPECT_EQ(relayouts, 1);
    std::cerr << "Insert Wizard Frames, 31 of 1600 x 1200: " << ms << " ms\n";
}
