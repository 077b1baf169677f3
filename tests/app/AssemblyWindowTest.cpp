#include "MainWindowFixture.h"

#include "app/AnivorForm.h"

#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"
#include "widgets/FileListBox.h"
#include "widgets/ImageControl.h"
#include "widgets/PainterReduceForm.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class AssemblyWindow : public MainWindowFixture {
protected:
    void Trigger(const char* name)
    {
        QAction* a = w->Action(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    void Frames(std::initializer_list<TColor> colors)
    {
        TFrameStrip& s = w->Strip();
        s.SetFrameSize(20, 10);
        for (TColor c : colors)
            s.Append(SolidBitmap(20, 10, c));
    }
};

} // namespace

TEST_F(AssemblyWindow, CreateStopAndSaveFollowTheStates)
{
    Trigger("animation.create"); // an empty strip: nothing happens
    EXPECT_FALSE(w->Action("animation.save")->isEnabled());
    EXPECT_EQ(w->anisize->text(), "0");

    Frames({0x0000FF, 0x00FF00, 0xFF0000});
    Trigger("animation.create");
    EXPECT_TRUE(w->ImageAnimate->IsAnimating());
    EXPECT_EQ(w->Action("animation.save")->text(), "Save GIF &As...");
    EXPECT_EQ(w->Action("animation.save")->iconText(), "GIF");
    EXPECT_TRUE(w->Action("animation.save")->isEnabled());
    EXPECT_TRUE(w->Action("animation.stop")->isEnabled());
    EXPECT_EQ(ui.WaitDepth(), 0);
    EXPECT_GE(ui.MaxWaitDepth(), 1);

    ui.AnswerSaveFile(dir.file("anim.gif"));
    Trigger("animation.save");
    const TUiCall& dlg = ui.Last();
    EXPECT_EQ(dlg.Caption, "Save animated GIF");
    EXPECT_EQ(dlg.FileOptions.InitialDir, dir.path().string() + "/images");
    EXPECT_EQ(dlg.FileOptions.DefaultExt, "gif");
    const auto gif = ReadFileBytes(dir.file("anim.gif"));
    EXPECT_EQ(QString::number(gif.size()), w->anisize->text());
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 3), "GIF");

    Trigger("animation.stop");
    EXPECT_FALSE(w->ImageAnimate->IsAnimating());
    EXPECT_EQ(w->Action("animation.save")->text(), "Save BMP &As...");
    EXPECT_EQ(w->Action("animation.save")->iconText(), "BMP");
    EXPECT_TRUE(w->Action("animation.save")->isEnabled());
    EXPECT_FALSE(w->Action("animation.stop")->isEnabled());
    ui.AnswerSaveFile(dir.file("last.bmp"));
    Trigger("animation.save");
    EXPECT_EQ(ui.Last().FileOptions.DefaultExt, "bmp");
    EXPECT_EQ(LoadBmpFile(dir.file("last.bmp")).Pixel(3, 3), TColor(0xFF0000)); // the last frame

    // Create Selection of the first frame only: a GIF again.
    w->Strip().SetSelected(0, true);
    Trigger("animation.create-selection");
    EXPECT_EQ(w->Action("animation.save")->text(), "Save GIF &As...");
    EXPECT_FALSE(w->ImageAnimate->IsAnimating()); // one frame: shown still
    EXPECT_EQ(w->ImageAnimate->Document()->Count(), 1);
    ui.AnswerSaveFile(dir.file("again.gif"));
    Trigger("animation.save");
    EXPECT_EQ(ReadFileBytes(dir.file("again.gif"))[0], 'G');
    EXPECT_TRUE(ui.Errors().empty());

    ui.AnswerButton(1); // "Save changes?": Discard
    w->close();
    EXPECT_FALSE(w->ImageAnimate->HasPicture());
}

TEST_F(AssemblyWindow, AFailedCreateShowsTheErrorAndKeepsTheState)
{
    TFrameStrip& s = w->Strip();
    s.SetFrameSize(32, 32);
    // A first animation that works; the failed one must leave it to Save.
    s.Append(SolidBitmap(32, 32, 0x0000FF));
    s.Append(SolidBitmap(32, 32, 0x00FF00));
    Trigger("animation.create");
    ui.AnswerSaveFile(dir.file("good.gif"));
    Trigger("animation.save");
    const auto good = ReadFileBytes(dir.file("good.gif"));
    s.ClearFrames();
    TBitmap many(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            many.SetPixel(x, y, static_cast<TColor>(x * 8 | (y * 8) << 8));
    s.Append(SolidBitmap(32, 32, 0x00FF00));
    s.Append(many);
    w->PainterReduceF->Action("palette.none")->trigger();
    Trigger("animation.create");
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_EQ(ui.Errors()[0], "Color table overflow");
    EXPECT_EQ(w->Action("animation.save")->text(), "Save GIF &As...");
    EXPECT_TRUE(w->Action("animation.stop")->isEnabled());
    EXPECT_NE(w->anisize->text(), QString::number(good.size())); // the first frame was built and measured
    EXPECT_EQ(ui.WaitDepth(), 0);
    EXPECT_FALSE(w->AssemblyProgress->isVisible());
    ui.AnswerSaveFile(dir.file("after.gif"));
    Trigger("animation.save");
    EXPECT_EQ(ReadFileBytes(dir.file("after.gif")), good);
}

TEST_F(AssemblyWindow, WizardPreviewPlaysTheWizardFrames)
{
    TFrameStrip& s = w->Strip();
    s.SetFrameSize(20, 10);
    s.Append(SolidBitmap(20, 10, 0xFFFFFF));
    s.ResetWizardList();
    s.AddWizardImage(SolidBitmap(20, 10, 0x0000FF));
    s.AddWizardImage(SolidBitmap(20, 10, 0x00FF00));
    s.AddWizardImage(SolidBitmap(20, 10, 0xFF0000));
    w->PreviewWizardFrames();
    EXPECT_TRUE(ui.Errors().empty());
    ASSERT_NE(w->ImageAnimate->Document(), nullptr);
    EXPECT_EQ(w->ImageAnimate->Document()->Count(), 3);
    EXPECT_TRUE(w->ImageAnimate->IsAnimating());
    EXPECT_EQ(w->PreviewState(), TPreviewState::Animation);
    EXPECT_EQ(s.Count(), 1); // the strip itself is not touched
}

TEST_F(AssemblyWindow, OptimizerMenusSteerCreate)
{
    TPainterReduceF* f = w->PainterReduceF;
    EXPECT_EQ(f->windowTitle(), "GIF Optimizer");
    const std::vector<std::pair<const char*, const char*>> items{
        {"palette.none", "&None"},
        {"palette.windows-system", "&Windows system (20 colors)"},
        {"palette.windows-halftone", "W&indows halftone (256 colors)"},
        {"palette.windows-grayscale", "W&in&dows grayscale (4 colors)"},
        {"palette.monochrome", "&Monochrome (black/white)"},
        {"palette.grayscale", "&Grayscale (256 shades)"},
        {"palette.netscape", "N&etscape (216 colors)"},
        {"palette.optimized", "&Optimized (256 colors)"},
        {"palette.colors-8", "8 colors"},
        {"palette.colors-256", "256 colors"},
        {"palette.optimized-windows", "&Optimized Windows (256 colors)"},
        {"dither.floyd-steinberg", "&Floyd Steinberg"},
        {"dither.nearest-color", "&Nearest color"},
        {"dither.stucki", "Stucki"},
        {"dither.burkes", "Burkes"},
        {"dither.sierra", "Sierra"},
        {"dither.jajuni", "JaJuNi"},
        {"dither.steve-arche", "SteveArche"},
    };
    for (const auto& [id, caption] : items)
        EXPECT_EQ(f->Action(id)->text().toStdString(), caption) << id;
    const TReduceSettings start = f->Settings();
    EXPECT_EQ(start.Palette, rmQuantizeWindows);
    EXPECT_EQ(start.Bits, 8);
    EXPECT_EQ(start.Dither, dmFloydSteinberg);
    EXPECT_TRUE(f->Action("palette.optimized-windows")->isChecked());

    f->Action("palette.colors-16")->trigger();
    EXPECT_EQ(f->Settings().Palette, rmQuantize);
    EXPECT_EQ(f->Settings().Bits, 4);
    f->Action("palette.monochrome")->trigger();
    f->Action("dither.stucki")->trigger();
    EXPECT_FALSE(f->Action("dither.floyd-steinberg")->isChecked());

    w->Strip().SetFrameSize(20, 10);
    w->Strip().Append(SolidBitmap(20, 10, 0x808080));
    w->Strip().Append(SolidBitmap(20, 10, 0x0000FF));
    Trigger("animation.create");
    for (const TGIFColor& c : w->ImageAnimate->Document()->GlobalColorMap().Colors())
        EXPECT_TRUE((c == TGIFColor{0, 0, 0}) || (c == TGIFColor{255, 255, 255}));

    // Convert: nothing to convert, then the frame of the popup.
    f->Convert();
    EXPECT_EQ(ui.Messages().back(), "No bitmap to convert!");
    w->PreparePopup(1, true);
    QTimer::singleShot(0, f, [f] {
        f->ButtonConvert->click();
        f->accept();
    });
    Trigger("popup.optimize");
    EXPECT_TRUE(f->sizecap->text().startsWith("Size= "));
    EXPECT_TRUE(f->sizecap->text().endsWith(" bytes"));
    EXPECT_TRUE(f->ImageGIF->HasPicture());
    // The note says what the palette is; it does not claim the system palette's result.
    EXPECT_TRUE(TPainterReduceF::HalftoneNote(24).contains("fixed set of 256 colors"));
    EXPECT_FALSE(TPainterReduceF::HalftoneNote(24).contains("same"));
}

TEST_F(AssemblyWindow, NewFramesStayWhiteAndDuplicatesExactAfterOpenAndCreate)
{
    // A GIF of three frames whose one colour table is red, green and blue only.
    TGIFImage rgb;
    for (int f = 0; f < 3; ++f) {
        TBitmap b(20, 10, TPixelFormat::pf8bit);
        b.SetPalette({clRed, clLime, clBlue});
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x)
                b.ScanLine(y)[x] = static_cast<std::uint8_t>((x / 4 + y + f) % 3);
        rgb.Add(b);
    }
    rgb.OptimizeColorMaps();
    ASSERT_EQ(rgb.GlobalColorMap().Count(), 3);
    rgb.SaveToFile(dir.file("rgb.gif"));

    ui.AnswerButton(1); // "Save changes?": Discard
    ui.AnswerOpenFile(dir.file("rgb.gif"));
    Trigger("animation.open");
    ASSERT_EQ(w->Strip().Count(), 3);
    Trigger("animation.create");
    w->Strip().SelectOnly(2);
    Trigger("frame.new"); // F3: a fourth frame, after the third
    ASSERT_EQ(w->Strip().Count(), 4);
    EXPECT_EQ(w->Strip().FindFrameImage(3).Bitmap(), SolidBitmap(20, 10, clWhite));
    Trigger("animation.create");
    ui.AnswerSaveFile(dir.file("saved.gif"));
    Trigger("animation.save");
    TGIFImage saved;
    saved.LoadFromFile(dir.file("saved.gif"));
    ASSERT_EQ(saved.Count(), 4);
    const TBitmap fourth = saved.Images[3]->Bitmap();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(fourth.Pixel(x, y), clWhite) << x << "," << y;

    // Ctrl+D after a Create: a picture of colours no palette had is copied exactly.
    TBitmap gradient(20, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            gradient.SetPixel(x, y, RGB(x * 12 + 5, y * 25 + 1, 130 + x - y));
    w->Strip().SetPicture(0, gradient);
    Trigger("animation.create");
    w->Strip().SelectOnly(0);
    Trigger("image.duplicate");
    ASSERT_EQ(w->Strip().Count(), 5);
    EXPECT_EQ(w->Strip().FindFrameImage(1).Bitmap(), gradient);
    EXPECT_TRUE(ui.Errors().empty());
}

TEST_F(AssemblyWindow, KeepFramePalettesIsOffAtFirstAndRemembered)
{
    QAction* keep = w->PainterReduceF->Action("palette.keep-frame-palettes");
    ASSERT_NE(keep, nullptr);
    EXPECT_EQ(keep->text(), "Keep Frame Palettes");
    EXPECT_TRUE(keep->isCheckable());
    EXPECT_FALSE(keep->isChecked());
    Frames({0x0000FF, 0x00FF00});
    Trigger("animation.create");
    EXPECT_GT(w->ImageAnimate->Document()->GlobalColorMap().Count(), 0);

    keep->trigger();
    Trigger("animation.create");
    const TGIFImage* doc = w->ImageAnimate->Document();
    EXPECT_EQ(doc->GlobalColorMap().Count(), 0);
    for (const auto& frame : doc->Images)
        EXPECT_GT(frame->ColorMap.Count(), 0);

    // Written at exit, read at the next start.
    ui.AnswerButton(1);
    w->close();
    w->FormDestroy();
    w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("anivor.ini"));
    EXPECT_TRUE(w->PainterReduceF->Action("palette.keep-frame-palettes")->isChecked());
}

TEST_F(AssemblyWindow, FilesTabImportsAndOpenReplacesTheStrip)
{
    std::filesystem::create_directory(dir.path() / "pics");
    SaveBmpFile(SolidBitmap(40, 20, 0x0000FF), dir.file("pics/wide.bmp"));
    WriteTestFile(dir.file("pics/readme.txt"), {'x'});
    TqorFileListBox* files = w->FilePanel->Files;
    w->FilePanel->SetDirectory(QString::fromStdString(dir.path().string()));
    ASSERT_TRUE(files->SelectEntry("[pics]"));
    files->Activate(); // into the folder; nothing is imported
    EXPECT_EQ(w->Strip().Count(), 0);
    EXPECT_EQ(files->Directory().toStdString(), (dir.path() / "pics").string());
    EXPECT_FALSE(files->SelectEntry("readme.txt"));
    ASSERT_TRUE(files->SelectEntry("wide.bmp"));
    Trigger("files.add");
    ASSERT_EQ(w->Strip().Count(), 1);
    EXPECT_EQ(w->Strip().FrameWidth(), 40);
    files->Activate(); // a double-click imports too
    EXPECT_EQ(w->Strip().Count(), 2);
    ASSERT_TRUE(files->SelectEntry("[..]"));
    files->Activate();
    EXPECT_EQ(files->Directory().toStdString(), dir.path().string());
    EXPECT_EQ(w->CurrentSettings().FramesDir, dir.path().string());

    // Open: the dialog, then the strip holds the file's frames.
    Trigger("animation.create");
    ui.AnswerSaveFile(dir.file("made.gif"));
    Trigger("animation.save");
    ui.AnswerButton(1);
    ui.AnswerOpenFile(dir.file("made.gif"));
    Trigger("animation.open");
    EXPECT_EQ(ui.Last().FileOptions.Filters.front(), "Animations|*.gif;*.apng;*.png;*.webp;*.avi;*.mp4;*.m4v;*.mov;*.mkv;*.webm");
    EXPECT_EQ(ui.Last().FileOptions.Filters.at(1), "GIF Files|*.gif");
    EXPECT_EQ(w->Strip().Count(), 2);
    EXPECT_EQ(w->Strip().EntryText(1), "Frame2=10");
    EXPECT_EQ(w->CurrentSettings().OpenDir, dir.path().string());
    EXPECT_TRUE(ui.Errors().empty());
}

// Save after Stop writes the picture the stopped preview shows, whatever ran since: new
// frames, frame operations and Open leave it alone.
TEST_F(AssemblyWindow, SaveAfterStopWritesWhatThePreviewShows)
{
    Frames({0x0000FF, 0x00FF00});
    Trigger("animation.create");
    Trigger("animation.stop");
    ASSERT_EQ(w->PreviewState(), TPreviewState::Stopped);
    const QImage shown = w->ImageAnimate->Picture();
    ASSERT_EQ(shown.pixelColor(5, 5), QColor(0, 255, 0));

    Trigger("frame.new");
    w->Strip().SelectOnly(0);
    for (const char* op : {"image.mirror-right", "image.invert", "image.scroll-up", "image.flip-left-right"})
        Trigger(op);
    TGIFImage gif;
    gif.Add(SolidBitmap(6, 4, 0xFF0000));
    gif.SaveToFile(dir.file("other.gif"));
    ui.AnswerButton(1);
    ui.AnswerOpenFile(dir.file("other.gif"));
    Trigger("animation.open");
    ASSERT_EQ(w->Strip().FrameWidth(), 6);

    EXPECT_EQ(w->ImageAnimate->Picture(), shown);
    ui.AnswerSaveFile(dir.file("stopped.bmp"));
    Trigger("animation.save");
    const TBitmap saved = LoadBmpFile(dir.file("stopped.bmp"));
    ASSERT_EQ(saved.Width(), 20);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(saved.Pixel(x, y), TColor(0x00FF00)) << x << "," << y;
    EXPECT_TRUE(ui.Errors().empty());
}

// The reduction is a value each user holds: a Create with the web palette and Stucki
// dithering changes neither how a later import keeps a photo nor how a document or the
// GIF Optimizer converts one afterwards.
TEST_F(AssemblyWindow, ACreateLeavesLaterImportsTheirOwnReduction)
{
    TPainterReduceF* f = w->PainterReduceF;
    f->Action("palette.netscape")->trigger();
    f->Action("dither.stucki")->trigger();
    Frames({0x0000FF, 0x00FF00});
    Trigger("animation.create");

    TBitmap photo(20, 10); // 200 colours, none of them on the web palette
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            photo.SetPixel(x, y, RGB(7 + x * 11, 9 + y * 23, 101 + x + y));
    SaveBmpFile(photo, dir.file("photo.bmp"));
    w->FilePanel->SetDirectory(QString::fromStdString(dir.path().string()));
    ASSERT_TRUE(w->FilePanel->Files->SelectEntry("photo.bmp"));
    Trigger("files.add");
    ASSERT_EQ(w->Strip().Count(), 3);
    EXPECT_EQ(w->Strip().FindFrameImage(2).Bitmap(), photo);

    // A new document converts with its own reduction: the web palette, no dithering.
    TGIFImage document;
    document.Add(photo);
    EXPECT_EQ(document.Images[0]->Bitmap(), ReduceColors(photo, rmNetscape, dmNearest, 8));
    // The optimizer's preview converts with its own menus.
    f->Action("palette.optimized")->trigger();
    f->SetBitmap(photo);
    f->Convert();
    ASSERT_NE(f->ImageGIF->Document(), nullptr);
    EXPECT_GT(f->ImageGIF->Document()->Images[0]->ActiveColorMap().Count(), 190);
}
