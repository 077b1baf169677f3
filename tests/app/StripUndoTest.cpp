#include "MainWindowFixture.h"

#include "app/AnivorForm.h"

#include "editor/ui/DrawForm.h"
#include "editor/ui/DrawWidgets.h"
#include "graphics/BmpFile.h"
#include "graphics/MemoryBudget.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "widgets/FrameViews.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

namespace {

// What Undo must bring back: every entry, picture and transparency flag, and the size.
struct StripLook {
    std::vector<std::string> Entries;
    std::vector<TBitmap> Pictures;
    std::vector<bool> Transparent;
    int Width = 0, Height = 0;
    bool operator==(const StripLook&) const = default;
};

class StripUndo : public MainWindowFixture {
protected:
    // The event that made a change is over: it becomes a step.
    void Settle() { QCoreApplication::processEvents(); }
    StripLook Look() const
    {
        StripLook l;
        const TFrameStrip& s = w->Strip();
        for (int i = 0; i < s.Count(); ++i) {
            l.Entries.push_back(s.EntryText(i));
            l.Pictures.push_back(s.FindFrameImage(i).Bitmap());
            l.Transparent.push_back(s.IsTransparent(i));
        }
        l.Width = s.FrameWidth();
        l.Height = s.FrameHeight();
        return l;
    }
    void Frames(std::initializer_list<TColor> colors, int width = 20, int height = 10)
    {
        TFrameStrip& s = w->Strip();
        s.SetFrameSize(width, height);
        for (TColor c : colors)
            s.Append(SolidBitmap(width, height, c));
        s.SelectOnly(0);
        Settle();
    }
    // `command` is one step: Undo gives back the strip before it, Redo the strip after it,
    // as often as asked.
    void ExpectOneStep(const std::string& what, const std::function<void()>& command)
    {
        SCOPED_TRACE(what);
        Settle();
        const int steps = w->History().UndoCount();
        const StripLook before = Look();
        command();
        Settle();
        const StripLook after = Look();
        ASSERT_NE(before, after);
        EXPECT_EQ(w->History().UndoCount(), steps + 1);
        Trigger("frame.undo");
        Settle();
        EXPECT_EQ(Look(), before);
        Trigger("frame.redo");
        Settle();
        EXPECT_EQ(Look(), after);
        Trigger("frame.undo");
        Trigger("frame.redo");
        Settle();
        EXPECT_EQ(Look(), after);
        EXPECT_EQ(w->History().UndoCount(), steps + 1);
        EXPECT_FALSE(w->Action("frame.redo")->isEnabled());
    }
    std::string SaveGif(const std::string& name)
    {
        Trigger("animation.create");
        ui.AnswerSaveFile(dir.file(name));
        Trigger("animation.save");
        return dir.file(name);
    }
};

QMimeData* FileDrag(const std::vector<std::string>& paths)
{
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const std::string& p : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(p));
    mime->setUrls(urls);
    return mime;
}

void Drop(QWidget* target, const QPoint& pos, const std::vector<std::string>& paths)
{
    std::unique_ptr<QMimeData> mime(FileDrag(paths));
    QDragEnterEvent enter(pos, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(pos), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    EXPECT_TRUE(drop.isAccepted());
}

} // namespace

TEST_F(StripUndo, MenuItemsSitAtTheTopOfTheFrameMenu)
{
    const QList<QAction*> items = w->findChild<QMenu*>("mnuFrameMenu")->actions();
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items[0], w->Action("frame.undo"));
    EXPECT_EQ(items[1], w->Action("frame.redo"));
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(w->Action("frame.undo")->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(w->Action("frame.redo")->shortcut(), QKeySequence("Ctrl+Y"));
    EXPECT_FALSE(w->Action("frame.undo")->isEnabled());
    EXPECT_FALSE(w->Action("frame.redo")->isEnabled());
}

TEST_F(StripUndo, EveryCommandKindIsOneStep)
{
    ExpectOneStep("first New Frame", [&] {
        ui.AnswerInput("20");
        ui.AnswerInput("10");
        Trigger("frame.new");
    });
    ExpectOneStep("New Frame", [&] { Trigger("frame.new"); });
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo New Frame");
    w->Strip().SelectOnly(0);
    TBitmap marked = w->Strip().FindFrameImage(0).Bitmap();
    marked.SetPixel(1, 1, clRed); // so that every operation shows
    w->Strip().SetPicture(0, marked);
    ExpectOneStep("Invert", [&] { Trigger("image.invert"); });
    // The items name the step they take back or do again.
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo Invert");
    Trigger("frame.undo");
    EXPECT_EQ(w->Action("frame.redo")->text(), "&Redo Invert");
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo"); // the pixel set above: no command named it
    Trigger("frame.redo");
    ExpectOneStep("Duplicate", [&] { Trigger("image.duplicate"); });
    ExpectOneStep("Scroll", [&] { Trigger("image.scroll-down"); });
    // Items whose captions read alike in their submenus name their steps apart.
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo Scroll Down");
    ExpectOneStep("Mirror", [&] { Trigger("image.mirror-down"); });
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo Mirror Down");
    ExpectOneStep("Flip", [&] { Trigger("image.flip-left-right"); });
    ExpectOneStep("Delay", [&] {
        ui.AnswerInput("25");
        Trigger("frame.delay");
    });
    ExpectOneStep("Delay All", [&] {
        ui.AnswerInput("40");
        Trigger("frame.delay-all");
    });
    ExpectOneStep("Transparent", [&] {
        w->PreparePopup(1, false);
        Trigger("popup.transparent");
    });
    ExpectOneStep("move", [&] { emit w->List->ItemDropped(0, 2); });
    ExpectOneStep("Delete", [&] { Trigger("frame.delete"); });

    // A wizard run fills only the wizard list; Insert Wizard Frames is the step.
    w->Strip().Session.WizardFrameCount = 4;
    w->Strip().SelectOnly(0);
    Settle();
    const int steps = w->History().UndoCount();
    Trigger("wizard.transition");
    Settle();
    EXPECT_EQ(w->History().UndoCount(), steps);
    ASSERT_FALSE(w->Strip().WizardImages().empty());
    ExpectOneStep("Insert Wizard Frames", [&] { w->Action("wizard.insert")->trigger(); });

    const std::string gif = SaveGif("strip.gif");
    ExpectOneStep("Open", [&] {
        ui.AnswerButton(1); // "Save changes?": Discard
        ui.AnswerOpenFile(gif);
        Trigger("animation.open");
    });
    // Just opened, nothing unsaved: New asks only whether to erase the frames.
    ExpectOneStep("Animation New", [&] {
        ui.AnswerConfirm(true);
        Trigger("animation.new");
    });
    // Undo of New gives the frames back with their names; new frames keep counting on.
    Trigger("frame.undo");
    ui.AnswerInput("20");
    Trigger("frame.new");
    Settle();
    std::set<std::string> names;
    for (int i = 0; i < w->Strip().Count(); ++i)
        EXPECT_TRUE(names.insert(w->Strip().FindFrameImage(i).Name).second);
}

TEST_F(StripUndo, TheFrameEditorsUpdateFrameAndFileDropsAreSteps)
{
    Frames({clRed, clBlue});
    TDrawF draw(w.get(), dir.file("anivor.ini"));
    w->SetDrawWindow(&draw);
    ExpectOneStep("Update Frame", [&] {
        QTimer::singleShot(0, [&] {
            draw.Action("editor.rectangle")->trigger();
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(draw.pic, &press);
            QMouseEvent move(QEvent::MouseMove, QPointF(10, 8), QPointF(10, 8), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(draw.pic, &move);
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 8), QPointF(10, 8), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(draw.pic, &release);
            draw.Action("editor.update-frame")->trigger();
        });
        Trigger("frame.edit");
    });
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo Update Frame");
    // Update Frame with nothing drawn is no step.
    const int steps = w->History().UndoCount();
    QTimer::singleShot(0, [&] { draw.Action("editor.update-frame")->trigger(); });
    Trigger("frame.edit");
    Settle();
    EXPECT_EQ(w->History().UndoCount(), steps);
    SaveBmpFile(SolidBitmap(40, 20, clLime), dir.file("lime.bmp"));
    ExpectOneStep("drop", [&] { Drop(w->List->viewport(), w->List->ItemRect(0).center(), {dir.file("lime.bmp")}); });
}

// Undo and Redo select the frames they change, wherever the selection has gone since.
TEST_F(StripUndo, UndoAndRedoSelectTheFramesTheyChange)
{
    Frames({clRed, clBlue, clLime, clYellow});
    // The step, the frames it changes before and after (selected by Undo / by Redo).
    const struct {
        const char* Name;
        std::function<void()> Do;
        std::vector<int> UndoSelects;
        std::vector<int> RedoSelects;
    } steps[] = {
        {"Invert 2", [&] { w->Strip().SelectOnly(2); Trigger("image.invert"); }, {2}, {2}},
        {"Scroll 1", [&] { w->Strip().SelectOnly(1); Trigger("image.scroll-down"); }, {1}, {1}},
        {"Delete 3", [&] { w->Strip().SelectOnly(3); Trigger("frame.delete"); }, {3}, {2}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Name);
        step.Do();
        Settle();
        // The user looks elsewhere, then takes the step back and does it again.
        w->Strip().SelectOnly(0);
        Trigger("frame.undo");
        Settle();
        std::vector<int> selected;
        for (int i = 0; i < w->Strip().Count(); ++i)
            if (w->Strip().IsSelected(i))
                selected.push_back(i);
        EXPECT_EQ(selected, step.UndoSelects);
        EXPECT_EQ(w->Strip().ItemIndex(), step.UndoSelects.front());
        w->Strip().SelectOnly(0);
        Trigger("frame.redo");
        Settle();
        selected.clear();
        for (int i = 0; i < w->Strip().Count(); ++i)
            if (w->Strip().IsSelected(i))
                selected.push_back(i);
        // A removal changes no frame that stays: Redo selects the frame now in its place.
        EXPECT_EQ(selected, step.RedoSelects);
    }
}

TEST_F(StripUndo, ANewChangeEndsRedoAndUndoStopsAtTheStart)
{
    Frames({clRed});
    Trigger("image.invert");
    Settle();
    Trigger("image.invert");
    Settle();
    Trigger("frame.undo");
    Settle();
    EXPECT_TRUE(w->Action("frame.redo")->isEnabled());
    Trigger("image.flip-left-right");
    Settle();
    EXPECT_FALSE(w->Action("frame.redo")->isEnabled());
    EXPECT_EQ(w->History().UndoCount(), 3); // the frame appended, two changes since
    while (w->Action("frame.undo")->isEnabled())
        Trigger("frame.undo");
    EXPECT_TRUE(w->Strip().Empty());
    // An Undo changes nothing the history would record as a step of its own.
    Settle();
    EXPECT_EQ(w->History().RedoCount(), 3);
}

// 200 steps of 640 x 480: the history keeps at least 50 of them and stays within its share
// of the memory budget; the strip's pictures are shared with the history, never copied.
TEST_F(StripUndo, TwoHundredStepsOfLargeFramesStayWithinTheBudget)
{
    const std::uint64_t frame = MemoryBudget::PictureBytes(640, 480);
    MemoryBudget::TScopedLimit limit(256ull << 20);
    Frames({clRed, clBlue, clLime}, 640, 480);
    const std::uint64_t base = MemoryBudget::InUse();
    // Kept as plain bytes, outside the budget.
    std::vector<std::vector<std::uint8_t>> looks;
    auto bytesOf = [](const TBitmap& b) {
        return std::vector<std::uint8_t>(b.Bits(), b.Bits() + static_cast<std::size_t>(b.RowBytes()) * b.Height());
    };
    for (int i = 0; i < 200; ++i) {
        w->Strip().SelectOnly(i % 3);
        Trigger(i % 2 ? "image.invert" : "image.flip-top-down");
        Settle();
        if (i >= 150)
            looks.push_back(bytesOf(w->Strip().FindFrameImage(i % 3).Bitmap()));
        ASSERT_LE(w->History().Bytes(), w->History().MaxBytes());
        ASSERT_LE(MemoryBudget::InUse(), MemoryBudget::Limit());
    }
    // A quarter of 256 MB holds about 70 replaced pictures.
    EXPECT_GE(w->History().UndoCount(), 50);
    EXPECT_LE(MemoryBudget::InUse() - base, w->History().MaxBytes() + frame);
    for (int i = 198; i >= 150; --i) {
        Trigger("frame.undo");
        EXPECT_EQ(bytesOf(w->Strip().FindFrameImage(i % 3).Bitmap()), looks[static_cast<std::size_t>(i - 150)]) << i;
    }

    // New frames cost the history nothing: their pictures are the strip's.
    w->History().Reset();
    const std::uint64_t before = w->History().Bytes();
    for (int i = 0; i < 20; ++i) {
        Trigger("frame.new");
        Settle();
    }
    EXPECT_EQ(w->History().Bytes(), before);
}

// A strip larger than the history's share keeps Undo: only replaced pictures count.
TEST_F(StripUndo, AStripLargerThanTheHistorysShareStillUndoes)
{
    MemoryBudget::TScopedLimit limit(16ull << 20); // a 4 MB share: three frames of 640 x 480 fit
    Frames({clRed, clBlue, clLime}, 640, 480);
    for (int i = 0; i < 3; ++i) {
        Trigger("image.duplicate");
        Settle();
    }
    EXPECT_EQ(w->Strip().Count(), 6);
    EXPECT_EQ(w->History().Bytes(), 0u);
    EXPECT_TRUE(w->Action("frame.undo")->isEnabled());
    const TBitmap before = w->Strip().FindFrameImage(0).Bitmap();
    w->Strip().SelectOnly(0);
    Trigger("image.invert");
    Settle();
    EXPECT_EQ(w->History().Bytes(), MemoryBudget::PictureBytes(640, 480));
    Trigger("frame.undo");
    EXPECT_EQ(w->Strip().FindFrameImage(0).Bitmap(), before);
    for (int i = 0; i < 3; ++i)
        Trigger("frame.undo");
    EXPECT_EQ(w->Strip().Count(), 3);
}

// Files dropped on the frame list or the strip, and given on the command line: GIFs open
// as frames with their delays, pictures are imported, after the frame under the drop.
TEST_F(StripUndo, DroppedAndCommandLineFilesGoAfterTheFrameUnderThem)
{
    Frames({clRed, clBlue, clLime});
    const std::string gif = SaveGif("three.gif");
    SaveBmpFile(SolidBitmap(40, 20, clYellow), dir.file("yellow.bmp"));
    WriteTestFile(dir.file("notes.txt"), {'h', 'i'});

    ui.AnswerButton(0); // the warning about notes.txt
    Drop(w->List->viewport(), w->List->ItemRect(0).center(), {dir.file("yellow.bmp"), dir.file("notes.txt")});
    EXPECT_NE(ui.Last().Text.find("notes.txt"), std::string::npos);
    ASSERT_EQ(w->Strip().Count(), 4);
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo Drop");
    EXPECT_EQ(w->Strip().FindFrameImage(1).Bitmap().Pixel(10, 5), clYellow); // fitted, after frame 0
    EXPECT_EQ(w->Strip().ItemIndex(), 1);

    // On the strip: the frame whose place holds the point; the GIF brings its 3 frames.
    const int x = w->Strip().FrameLeft(2) + 3;
    Drop(w->ScrollBoxSource->viewport(), QPoint(x, 5), {gif});
    ASSERT_EQ(w->Strip().Count(), 7);
    EXPECT_EQ(w->Strip().FindFrameImage(3).Bitmap().Pixel(1, 1), clRed);
    EXPECT_EQ(w->Strip().FindFrameImage(5).Bitmap().Pixel(1, 1), clLime);
    EXPECT_EQ(w->Strip().FindFrameImage(6).Bitmap().Pixel(1, 1), clLime); // the old last frame
    EXPECT_EQ(w->RecentFiles().front(), gif);

    // The command line into a fresh window is Open: the GIF's frames and its frame size.
    w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("other.ini"));
    w->OpenFiles({QString::fromStdString(gif), QString::fromStdString(dir.file("yellow.bmp"))});
    ASSERT_EQ(w->Strip().Count(), 4);
    EXPECT_EQ(w->Strip().EntryText(0), "Frame1=10");
    EXPECT_EQ(w->Strip().FrameWidth(), 20);
    EXPECT_EQ(w->Strip().FindFrameImage(3).Bitmap().Pixel(10, 5), clYellow);
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo Open");
}

// `anivor a.bmp bad.png b.bmp`: both readable files come in as one step, and one message
// names the file refused and why.
TEST_F(StripUndo, CommandLineFilesPastAnUnreadableOneStillComeIn)
{
    SaveBmpFile(SolidBitmap(20, 10, clRed), dir.file("a.bmp"));
    WriteTestFile(dir.file("bad.png"), {'x', 'y', 'z'});
    SaveBmpFile(SolidBitmap(20, 10, clBlue), dir.file("b.bmp"));
    ui.AnswerButton(0);
    ExpectOneStep("Open", [&] {
        w->OpenFiles({QString::fromStdString(dir.file("a.bmp")), QString::fromStdString(dir.file("bad.png")),
                      QString::fromStdString(dir.file("b.bmp"))});
    });
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], dir.file("bad.png") + ": Not a PNG file");
    ASSERT_EQ(w->Strip().Count(), 2);
    EXPECT_EQ(w->Strip().FindFrameImage(1).Bitmap().Pixel(1, 1), clBlue);
    EXPECT_EQ(w->Action("frame.undo")->text(), "&Undo Open");
}

TEST_F(StripUndo, RecentHoldsTheLastTenGIFsOpenedOrSavedAndIsKept)
{
    EXPECT_FALSE(w->RecentMenu->menuAction()->isEnabled());
    Frames({clRed, clBlue});
    std::vector<std::string> gifs;
    for (int i = 0; i < 11; ++i)
        gifs.push_back(SaveGif("g" + std::to_string(i) + ".gif"));
    ASSERT_EQ(w->RecentFiles().size(), 10u);
    EXPECT_EQ(w->RecentFiles().front(), gifs[10]);
    EXPECT_EQ(w->RecentFiles().back(), gifs[1]);
    ui.AnswerButton(1);
    ui.AnswerOpenFile(gifs[3]);
    Trigger("animation.open");
    EXPECT_EQ(w->RecentFiles().front(), gifs[3]);
    EXPECT_EQ(w->RecentFiles().size(), 10u);
    QAction* item = w->Action("animation.recent-2");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&2 g10.gif");

    // Kept in the settings file for the next run.
    w->FormDestroy();
    w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("anivor.ini"));
    ASSERT_EQ(w->RecentFiles().size(), 10u);
    EXPECT_EQ(w->RecentFiles()[1], gifs[10]);
    ui.AnswerConfirm(true);
    Trigger("animation.new");
    w->Action("animation.recent-2")->trigger();
    EXPECT_EQ(w->Strip().Count(), 2);
    EXPECT_EQ(w->RecentFiles().front(), gifs[10]);

    // A file gone since leaves the list with a message.
    std::filesystem::remove(gifs[9]);
    ui.AnswerButton(0);
    w->Action("animation.recent-3")->trigger();
    EXPECT_NE(ui.Last().Text.find("no longer exists"), std::string::npos);
    EXPECT_EQ(w->RecentFiles().size(), 9u);
    EXPECT_EQ(w->Strip().Count(), 2);
    EXPECT_TRUE(w->Action("animation.recent-9")->isVisible());
    EXPECT_FALSE(w->Action("animation.recent-10")->isVisible());
}
