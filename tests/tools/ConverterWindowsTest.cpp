// The two converter windows driven as a user drives them: buttons, states, Abort in the
// middle of a run, the player.
#include "tools/ui/Avi2GifForm.h"
#include "tools/ui/Gif2AviForm.h"
#include "tools/GifToAvi.h"
#include "tools/ui/ConverterWindow.h"

#include "gif/GIFOptimizeFrames.h"
#include "gif/GiflibHelpers.h"
#include "platform/ScriptedUi.h"
#include "support/FFmpegTool.h"
#include "support/TestSupport.h"
#include "widgets/AviPlayer.h"
#include "widgets/ImageControl.h"

#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A GIF of `frames` frames of 8 x 6, each a colour of its own.
void WriteGif(const std::string& path, int frames)
{
    TGIFImage gif;
    gif.Header.Width = 8;
    gif.Header.Height = 6;
    std::vector<TColor> colors;
    for (int i = 0; i < frames; ++i)
        colors.push_back(RGB(i * 20, 255 - i * 20, 90));
    gif.GlobalColorMap().Assign(GIFColors(colors));
    for (int i = 0; i < frames; ++i)
        AddFrame(gif, {0, 0, std::vector<std::string>(6, std::string(8, CharOfIndex(i))), {}, 10});
    gif.SaveToFile(path);
}

// Clicks Abort when the progress bar reaches `value` (the run processes events there).
void AbortAt(QProgressBar* bar, QPushButton* abort, int value)
{
    QObject::connect(bar, &QProgressBar::valueChanged, abort, [abort, value](int v) {
        if (v == value && !abort->isHidden() && abort->isEnabled())
            abort->click();
    });
}

} // namespace

TEST(ConverterWindows, AviToGifOpensConvertsSavesAndAbortsLeavingSaveAsItWas)
{
    TempDir dir;
    const std::string video = dir.file("clip.avi");
    MakeVideo(video, "-c:v mjpeg", 24, 16, "10", 6);
    ScriptedUi ui;
    Tavi2gifF w;
    EXPECT_EQ(w.windowTitle(), "AVI to GIF converter");
    EXPECT_FALSE(w.ButtonConvert->isEnabled());
    EXPECT_FALSE(w.ButtonSave->isEnabled());
    EXPECT_TRUE(w.ButtonAbort->isHidden());

    // Cancel changes nothing.
    ui.AnswerOpenFileCancel();
    w.ButtonOpen->click();
    EXPECT_FALSE(w.ButtonConvert->isEnabled());

    ui.AnswerOpenFile(video);
    w.ButtonOpen->click();
    const TUiCall open = ui.CallsOf(TUiCallKind::OpenFile).back();
    EXPECT_EQ(open.FileOptions.Title, "Open AVI file");
    EXPECT_EQ(open.FileOptions.Filters[0], "AVI file (*.avi)|*.avi");
    EXPECT_NE(open.FileOptions.Filters[1].find("|*.avi;*.mp4;*.mov;*.mkv;*.webm"), std::string::npos);
    EXPECT_TRUE(w.Animate->Active());
    EXPECT_EQ(w.Animate->Interval(), 100);
    EXPECT_TRUE(w.ButtonConvert->isEnabled());
    EXPECT_FALSE(w.ButtonSave->isEnabled());

    w.ButtonConvert->click();
    ASSERT_NE(w.ImageGIF->Document(), nullptr);
    EXPECT_EQ(w.ImageGIF->Document()->Count(), 6);
    EXPECT_TRUE(w.ButtonSave->isEnabled());
    EXPECT_FALSE(w.ButtonConvert->isHidden());
    EXPECT_TRUE(w.ButtonAbort->isHidden());
    EXPECT_TRUE(w.ButtonOpen->isEnabled());

    const std::string gif = dir.file("clip.gif");
    ui.AnswerSaveFile(gif);
    w.ButtonSave->click();
    const TUiCall save = ui.CallsOf(TUiCallKind::SaveFile).back();
    EXPECT_EQ(save.FileOptions.Title, "Save GIF file");
    EXPECT_EQ(save.FileOptions.FileName, gif);
    const GLFile saved = GiflibDecode(ReadTestFile(gif));
    EXPECT_EQ(saved.Width, 24);
    // Saving again writes the same animation.
    ui.AnswerSaveFile(dir.file("again.gif"));
    w.ButtonSave->click();
    EXPECT_EQ(GiflibDecode(ReadTestFile(dir.file("again.gif"))).Frames.size(), saved.Frames.size());

    // Abort after two frames: nothing of the run is kept, the last frame stays shown and
    // Save GIF still saves the finished conversion.
    AbortAt(w.ProgressBar, w.ButtonAbort, 2);
    w.ButtonConvert->click();
    EXPECT_EQ(w.ImageGIF->Document(), nullptr);
    EXPECT_TRUE(w.ImageGIF->HasPicture());
    EXPECT_TRUE(w.ButtonSave->isEnabled());
    ASSERT_NE(w.Converted(), nullptr);
    EXPECT_EQ(w.Converted()->Count(), 6);
    EXPECT_EQ(w.ProgressBar->value(), w.ProgressBar->minimum());
    EXPECT_TRUE(w.ButtonOpen->isEnabled());
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{});

    // A file that is no video: no preview, and Convert reports why.
    const std::string text = dir.file("notes.avi");
    WriteTestFile(text, {'n', 'o'});
    ui.AnswerOpenFile(text);
    w.ButtonOpen->click();
    EXPECT_EQ(w.PanelAVI->Caption(), "Cannot preview AVI");
    EXPECT_TRUE(w.Animate->isHidden());
    EXPECT_FALSE(w.ButtonSave->isEnabled());
    w.ButtonConvert->click();
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_EQ(ui.Errors()[0].rfind("Failed to open AVI file", 0), 0u);
    EXPECT_FALSE(w.ButtonSave->isEnabled());
    EXPECT_TRUE(w.ButtonOpen->isEnabled());
    EXPECT_EQ(ui.WaitDepth(), 0);
}

TEST(ConverterWindows, GifToAviWritesBesideTheGifPlaysItAndAbortsKeepingWhatWasWritten)
{
    TempDir dir;
    const std::string gif = dir.file("anim.gif");
    WriteGif(gif, 6);
    ScriptedUi ui;
    Tgif2aviF w;
    EXPECT_EQ(w.windowTitle(), "GIF to AVI converter");
    EXPECT_FALSE(w.ButtonSave->isEnabled());
    EXPECT_TRUE(w.ProgressBar->isHidden());

    ui.AnswerOpenFile(gif);
    w.ButtonOpen->click();
    EXPECT_EQ(ui.CallsOf(TUiCallKind::OpenFile).back().FileOptions.Title, "Open GIF file");
    ASSERT_NE(w.ImageGIF->Document(), nullptr);
    EXPECT_EQ(w.FileName(), dir.file("anim.AVI"));
    EXPECT_TRUE(w.ButtonSave->isEnabled());
    EXPECT_TRUE(w.ProgressBar->isHidden());

    w.ButtonSave->click();
    EXPECT_TRUE(std::filesystem::exists(dir.file("anim.AVI")));
    EXPECT_EQ(DecodeWithFFmpeg(dir, dir.file("anim.AVI"), 8, 6).size(), 6u);
    EXPECT_TRUE(w.Animate->Active());
    EXPECT_EQ(w.Animate->FileName(), dir.file("anim.AVI"));
    EXPECT_EQ(w.Animate->Interval(), 100);
    const int shown = w.Animate->FramesShown();
    w.Animate->Advance();
    EXPECT_EQ(w.Animate->FramesShown(), shown + 1);
    EXPECT_TRUE(w.ButtonSave->isEnabled()); // the same GIF can be written again
    EXPECT_TRUE(w.ProgressBar->isHidden());

    // Abort at frame 3: the file holds frames 0 to 2, nothing plays.
    AbortAt(w.ProgressBar, w.ButtonAbort, 3);
    w.ButtonSave->click();
    EXPECT_EQ(DecodeWithFFmpeg(dir, dir.file("anim.AVI"), 8, 6).size(), 3u);
    EXPECT_FALSE(w.Animate->Active());
    EXPECT_TRUE(w.ButtonAbort->isHidden());
    EXPECT_TRUE(w.ButtonOpen->isEnabled());

    // A file that is no GIF: the reader's message, nothing to save.
    const std::string bad = dir.file("bad.gif");
    WriteTestFile(bad, {'G', 'I', 'F'});
    ui.AnswerOpenFile(bad);
    w.ButtonOpen->click();
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_FALSE(w.ButtonSave->isEnabled());
    EXPECT_EQ(w.ImageGIF->Document(), nullptr);
    EXPECT_EQ(ui.WaitDepth(), 0);
}

TEST(ConverterWindows, PlayerLoopsThroughTheFramesAndRefusesWhatItCannotPlay)
{
    TempDir dir;
    const std::string gif = dir.file("three.gif");
    WriteGif(gif, 3);
    TGIFImage image;
    image.LoadFromFile(gif);
    WriteGifAsAvi(image, dir.file("three.avi"));
    TAviPlayer player;
    ASSERT_TRUE(player.Play(dir.file("three.avi")));
    std::vector<QRgb> seen;
    for (int i = 0; i < 7; ++i) {
        seen.push_back(player.Picture().pixel(0, 0));
        player.Advance();
    }
    // Frames 0, 1, 2, then from the start again.
    EXPECT_NE(seen[0], seen[1]);
    EXPECT_NE(seen[1], seen[2]);
    EXPECT_EQ(seen[3], seen[0]);
    EXPECT_EQ(seen[6], seen[0]);
    EXPECT_EQ(player.FramesShown(), 8);

    EXPECT_FALSE(player.Play(gif));
    EXPECT_FALSE(player.Active());
    EXPECT_FALSE(player.HasPicture());
    EXPECT_EQ(player.FileName(), "");
}
