// Keeping the user's work in the window: projects saved and opened, the "Save changes?"
// question before anything discards the strip, the title's unsaved mark, the autosave and
// the recovery after a run that died.
#include "MainWindowFixture.h"

#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"
#include "graphics/PngFile.h"
#include "support/FFmpegTool.h"
#include "widgets/FileListBox.h"
#include "widgets/PainterReduceForm.h"
#include "workspace/ProjectFile.h"

#include <QCheckBox>
#include <QCloseEvent>

#include <QApplication>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class ProjectWindow : public MainWindowFixture {
protected:
    // Three frames as the issue tells: a 256 x 256 PNG of 65,536 colours and two more,
    // with delays 7 and 250, the last one transparent.
    void ImportThree()
    {
        TBitmap photo(256, 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                photo.SetPixel(x, y, RGB(x, y, (x * 3 + y * 5) & 255));
        WriteFileAtomic(dir.file("colours.png"), WritePng(photo));
        SaveBmpFile(SolidBitmap(256, 256, RGB(10, 200, 30)), dir.file("green.bmp"));
        SaveBmpFile(SolidBitmap(256, 256, RGB(250, 250, 5)), dir.file("yellow.bmp"));
        w->OpenFiles({QString::fromStdString(dir.file("colours.png")), QString::fromStdString(dir.file("green.bmp")),
                      QString::fromStdString(dir.file("yellow.bmp"))});
        TFrameStrip& s = w->Strip();
        ASSERT_EQ(s.Count(), 3);
        s.SetDelayText(1, "7");
        s.SetDelayText(2, "250");
        s.SetTransparent(2, true);
        w->RecordStripChange();
        sources = {photo, SolidBitmap(256, 256, RGB(10, 200, 30)), SolidBitmap(256, 256, RGB(250, 250, 5))};
    }
    std::string Title() const { return w->windowTitle().toStdString(); }

    std::vector<TBitmap> sources;
};

} // namespace

// Save Project, New, Open Project: the strip comes back exactly, and the archive's PNGs
// decode with FFmpeg to the pictures imported.
TEST_F(ProjectWindow, SaveNewAndOpenGiveTheStripBackExactly)
{
    EXPECT_EQ(Title(), "Anivor 13");
    ImportThree();
    EXPECT_EQ(Title(), "Anivor 13 - Untitled*");
    w->PainterReduceF->Action("palette.netscape")->trigger();
    w->CheckBoxCrop->setChecked(true);
    const TStripDocument before = w->Strip().Document();

    const std::string path = dir.file("three.anivor");
    ui.AnswerSaveFile(path);
    Trigger("animation.save-project");
    EXPECT_EQ(ui.Last().FileOptions.Filters, std::vector<std::string>{"Anivor Projects|*.anivor"});
    EXPECT_EQ(Title(), "Anivor 13 - three.anivor");
    EXPECT_EQ(w->RecentFiles().front(), path);

    // Saved: New asks only whether to erase the frames.
    ui.AnswerConfirm(true);
    Trigger("animation.new");
    ASSERT_TRUE(w->Strip().Empty());
    EXPECT_EQ(Title(), "Anivor 13");
    w->PainterReduceF->Action("palette.optimized")->trigger();
    w->CheckBoxCrop->setChecked(false);

    ui.AnswerOpenFile(path);
    Trigger("animation.open-project");
    const TStripDocument& after = w->Strip().Document();
    ASSERT_EQ(after.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const TFrameRecord &a = before.Frames[static_cast<std::size_t>(i)], &b = after.Frames[static_cast<std::size_t>(i)];
        EXPECT_EQ(a.Name, b.Name);
        EXPECT_EQ(a.DelayText, b.DelayText);
        EXPECT_EQ(a.Transparent(), b.Transparent());
        EXPECT_TRUE(a.Bitmap() == b.Bitmap()) << i;
    }
    EXPECT_EQ(after.FrameCounter, before.FrameCounter);
    EXPECT_EQ(Title(), "Anivor 13 - three.anivor");
    EXPECT_EQ(w->PainterReduceF->Settings().Palette, rmNetscape);
    EXPECT_TRUE(w->CheckBoxCrop->isChecked());

    // Another tool unpacks it; FFmpeg decodes each picture to its source.
    ASSERT_EQ(RunShell("python3 -c \"import zipfile,sys; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])\" '" + path
                       + "' '" + dir.file("x") + "'"),
              0);
    for (int i = 0; i < 3; ++i) {
        const std::vector<TBitmap> decoded = DecodeWithFFmpeg(dir, dir.file("x/frames/0000" + std::to_string(i + 1) + ".png"), 256, 256);
        ASSERT_EQ(decoded.size(), 1u);
        EXPECT_TRUE(decoded[0] == sources[static_cast<std::size_t>(i)]) << i;
    }

    // A change, then Ctrl+S writes to the same file without a dialog.
    w->Strip().SetDelayText(0, "12");
    EXPECT_EQ(Title(), "Anivor 13 - three.anivor*");
    Trigger("animation.save-project");
    EXPECT_EQ(Title(), "Anivor 13 - three.anivor");
    EXPECT_EQ(LoadProject(path).Project.Document.Frames[0].DelayText, "12");
    EXPECT_TRUE(ui.Errors().empty());
    EXPECT_EQ(ui.PendingAnswers(), 0);
}

// Close, New, Open and Open Project on unsaved work: Cancel changes nothing, Discard goes
// on, Save saves first (and a cancelled save dialog changes nothing either).
TEST_F(ProjectWindow, EveryWayOfDiscardingAsksFirst)
{
    TGIFImage gif;
    gif.Add(SolidBitmap(4, 4, clRed));
    gif.SaveToFile(dir.file("other.gif"));
    TProjectWriter().Save(dir.file("other.anivor"), {});
    struct Way {
        const char* Name;
        std::function<void()> Run;
        std::function<bool()> WentOn;
        std::string Opens; // the file its dialog answers with once it goes on
    };
    bool closed = false;
    const std::vector<Way> ways{
        {"close", [&] {
             QCloseEvent e;
             QApplication::sendEvent(w.get(), &e);
             closed = e.isAccepted();
         }, [&] { return closed; }, ""},
        {"new", [&] { Trigger("animation.new"); }, [&] { return w->Strip().Empty(); }, ""},
        {"open", [&] { Trigger("animation.open"); }, [&] { return w->Strip().FrameWidth() == 4; }, dir.file("other.gif")},
        {"open project", [&] { Trigger("animation.open-project"); }, [&] { return w->Strip().Empty(); },
         dir.file("other.anivor")},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.Name);
        w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("anivor.ini"));
        TFrameStrip& s = w->Strip();
        s.SetFrameSize(8, 8);
        s.Append(SolidBitmap(8, 8, clBlue));
        const int calls = static_cast<int>(ui.Calls().size());

        ui.AnswerButton(2); // Cancel
        way.Run();
        EXPECT_EQ(ui.Calls()[static_cast<std::size_t>(calls)].Text, "Save changes?");
        EXPECT_FALSE(way.WentOn());
        EXPECT_EQ(s.Count(), 1);
        EXPECT_TRUE(w->Project().Modified());

        ui.AnswerButton(0); // Save...
        ui.AnswerSaveFileCancel(); // ... but not now
        way.Run();
        EXPECT_FALSE(way.WentOn());
        EXPECT_EQ(s.Count(), 1);

        ui.AnswerButton(0); // Save, for real
        ui.AnswerSaveFile(dir.file(std::string("saved-") + way.Name + ".anivor"));
        if (!way.Opens.empty())
            ui.AnswerOpenFile(way.Opens);
        way.Run();
        EXPECT_TRUE(way.WentOn());
        EXPECT_EQ(LoadProject(dir.file(std::string("saved-") + way.Name + ".anivor")).Project.Document.Count(), 1);

        // Discard: on at once.
        w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("anivor.ini"));
        w->Strip().SetFrameSize(8, 8);
        w->Strip().Append(SolidBitmap(8, 8, clBlue));
        ui.AnswerButton(1);
        if (!way.Opens.empty())
            ui.AnswerOpenFile(way.Opens);
        way.Run();
        EXPECT_TRUE(way.WentOn());
        EXPECT_EQ(ui.PendingAnswers(), 0);
    }
    EXPECT_TRUE(ui.Errors().empty());
}

// The autosave of a real window program killed with SIGKILL is offered at the next start
// and gives the strip back as it was; a clean exit leaves no copy.
TEST_F(ProjectWindow, AnAutosaveOutlivesAKilledRunAndIsRestored)
{
    std::ofstream(dir.file("anivor.ini")) << "[Autosave]\nSeconds=1\n";
    TBitmap picture(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture.SetPixel(x, y, RGB(x * 6, y * 8, 77));
    SaveBmpFile(picture, dir.file("frame.bmp"));

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("ANIVOR_HOME", dir.path().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(ANIVOR_PROGRAM_PATH, "anivor", dir.file("frame.bmp").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string copy = dir.file("recovery/anivor-" + std::to_string(pid) + ".anivor");
    for (int i = 0; i < 100 && !std::filesystem::exists(copy); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // a write in progress ends
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    ASSERT_TRUE(std::filesystem::exists(copy));

    // The next start asks; closing the box keeps the copy for later, Restore gives the
    // strip back, marked unsaved, and the copy goes.
    w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("anivor.ini"));
    ui.AnswerButton(-1);
    w->OfferRecovery();
    EXPECT_EQ(w->Strip().Count(), 0);
    EXPECT_TRUE(std::filesystem::exists(copy));
    ui.AnswerButton(0);
    w->OfferRecovery();
    EXPECT_NE(ui.Last().Text.find("Restore the frames"), std::string::npos) << ui.Last().Text;
    ASSERT_EQ(w->Strip().Count(), 1);
    EXPECT_TRUE(w->Strip().FindFrameImage(0).Bitmap() == picture);
    EXPECT_TRUE(w->Project().Modified());
    EXPECT_EQ(w->windowTitle().toStdString(), "Anivor 13 - Untitled*");
    EXPECT_FALSE(std::filesystem::exists(copy));

    // This run's own copy: written while unsaved, gone at a clean exit.
    EXPECT_TRUE(w->Project().AutosaveTick());
    w->Project().FlushAutosave();
    const std::string mine = RecoveryFileOfThisRun(RecoveryFolder(dir.path().string() + "/"));
    EXPECT_TRUE(std::filesystem::exists(mine));
    EXPECT_FALSE(w->Project().AutosaveTick()); // nothing changed since
    ui.AnswerButton(1);
    w->close();
    w->FormDestroy();
    EXPECT_FALSE(std::filesystem::exists(mine));
    EXPECT_TRUE(ui.Errors().empty());
}
