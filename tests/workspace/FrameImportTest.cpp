#include "workspace/FrameImport.h"

#include "gif/GiflibHelpers.h"
#include "graphics/BmpFile.h"
#include "graphics/MemoryBudget.h"
#include "platform/ScriptedUi.h"
#include "support/GifPeers.h"
#include "support/TestSupport.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <QImage>

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kGreen = 0x00FF00;

GLFrame SolidFrame(int left, int top, int w, int h, std::uint8_t index, int delay, int transparent)
{
    GLFrame f;
    f.Left = left;
    f.Top = top;
    f.Width = w;
    f.Height = h;
    f.Pixels.assign(static_cast<std::size_t>(w * h), index);
    f.Delay = delay;
    f.Transparent = transparent;
    return f;
}

std::string WriteGif(const TempDir& dir, const std::string& name, const std::vector<GLFrame>& frames)
{
    GLFile file;
    file.Width = 100;
    file.Height = 80;
    file.Global = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {255, 255, 255}};
    file.Frames = frames;
    const std::string path = dir.file(name);
    WriteTestFile(path, GiflibEncode(file));
    return path;
}

std::vector<std::string> Entries(const TFrameStrip& s)
{
    std::vector<std::string> out;
    for (int i = 0; i < s.Count(); ++i)
        out.push_back(s.EntryText(i));
    return out;
}

// PNG files come from Qt, an encoder of its own.
void SaveQtFile(const TBitmap& b, const std::string& path, const char* format)
{
    QImage img(b.Width(), b.Height(), QImage::Format_RGB32);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TColor c = b.Pixel(x, y);
            img.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
        }
    ASSERT_TRUE(img.save(QString::fromStdString(path), format));
}

} // namespace

TEST(FittedRect, ByTheLongerSourceSide)
{
    auto eq = [](const TRect& a, const TRect& b) {
        return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
    };
    EXPECT_TRUE(eq(FittedRect(200, 100, {0, 0, 80, 80}), {0, 20, 80, 60}));
    EXPECT_TRUE(eq(FittedRect(100, 200, {0, 0, 80, 80}), {20, 0, 60, 80}));
    // 33 rows wanted in 20: the margin is -6 and the picture is cut.
    EXPECT_TRUE(eq(FittedRect(300, 100, {0, 0, 100, 20}), {0, -6, 100, 26}));
    // Square sources follow the height; 2.5 rounds to 2 (half to even).
    EXPECT_TRUE(eq(FittedRect(50, 50, {0, 0, 80, 40}), {20, 0, 60, 40}));
    EXPECT_TRUE(eq(FittedRect(4, 1, {0, 0, 10, 10}), {0, 4, 10, 6}));
}

TEST(OpenGIFFile, ComposesEveryFrameOnTheScreenWithItsDelay)
{
    ScriptedUi ui;
    TempDir dir;
    // The second frame is transparent all over: it shows the first.
    const std::string path = WriteGif(dir, "three.gif",
                                      {SolidFrame(0, 0, 100, 80, 1, 5, -1), SolidFrame(0, 0, 100, 80, 2, 10, 2),
                                       SolidFrame(0, 0, 100, 80, 3, 15, -1)});
    TFrameStrip s;
    s.SetFrameSize(10, 10);
    s.Append(SolidBitmap(10, 10, kRed));
    s.Append(SolidBitmap(10, 10, kRed));
    OpenGIFFile(s, path);
    EXPECT_EQ(Entries(s), (std::vector<std::string>{"Frame1=5", "Frame2=10", "Frame3=15"}));
    EXPECT_EQ(s.FrameWidth(), 100);
    EXPECT_EQ(s.FrameHeight(), 80);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap().Pixel(50, 40), kRed);
    EXPECT_FALSE(s.IsTransparent(1));
    EXPECT_EQ(s.FrameLeft(2), 2 * 105);

    // Frames of other sizes are drawn at their places; a frame without graphic control
    // takes DefaultDelay, and its transparency from the picture, not DefTrans.
    const std::string mixed = WriteGif(dir, "mixed.gif",
                                       {SolidFrame(0, 0, 100, 80, 1, 7, -1), SolidFrame(10, 10, 20, 20, 2, 8, -1),
                                        SolidFrame(0, 0, 100, 80, 3, 0, -1), SolidFrame(0, 0, 50, 80, 2, 9, -1)});
    s.Session.DefaultDelay = 25;
    s.Session.DefTrans = true;
    OpenGIFFile(s, mixed);
    EXPECT_EQ(Entries(s), (std::vector<std::string>{"Frame1=7", "Frame2=8", "Frame3=25", "Frame4=9"}));
    EXPECT_EQ(s.FindFrameImage(1).Bitmap().Pixel(15, 15), kBlue);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap().Pixel(5, 5), kRed);
    EXPECT_EQ(s.FindFrameImage(3).Bitmap().Pixel(10, 40), kBlue);
    EXPECT_EQ(s.FindFrameImage(3).Bitmap().Pixel(70, 40), clWhite);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(s.IsTransparent(i)) << i;

    // Uncovered screen is a hole: the table holds white, so the hole takes the colour just
    // below it, and the frame is transparent by its bottom-left pixel.
    OpenGIFFile(s, WriteGif(dir, "small.gif", {SolidFrame(10, 10, 20, 20, 1, 4, -1)}));
    ASSERT_EQ(s.Count(), 1);
    EXPECT_EQ(s.FindFrameImage(0).Bitmap().Pixel(0, 79), TColor(0xFFFFFE));
    EXPECT_EQ(s.FindFrameImage(0).Bitmap().Pixel(15, 15), kRed);
    EXPECT_TRUE(s.IsTransparent(0));

    // The budget is asked for every composed frame first; a refusal names the file.
    {
        const MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + MemoryBudget::PictureBytes(100, 80, 4));
        try {
            OpenGIFFile(s, path);
            FAIL() << "not refused";
        } catch (const EOutOfMemory& e) {
            EXPECT_NE(std::string(e.what()).find("opening 3 frames of 100 x 80 from " + path + " needs"), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(s.Count(), 0);
    }

    // A file the reader refuses: the strip is cleared, the error passed on.
    WriteTestFile(dir.file("bad.gif"), {'n', 'o', 'p', 'e'});
    EXPECT_THROW(OpenGIFFile(s, dir.file("bad.gif")), std::exception);
    EXPECT_EQ(s.Count(), 0);
}

// An animation with every disposal method and transparency, as written and as gifsicle -O3
// cuts it down: Open and a drop give ImageMagick's -coalesce frames, pixel for pixel.
TEST(OpenGIFFile, OptimisedGIFsOpenAsImageMagickCoalescesThem)
{
    if (!HaveProgram("gifsicle") || !HaveProgram("convert"))
        GTEST_SKIP() << "gifsicle or ImageMagick's convert is missing";
    ScriptedUi ui;
    TempDir dir;
    WriteTestFile(dir.file("made.gif"), DisposalTestGif());
    Gifsicle("-O3 '" + dir.file("made.gif") + "' -o '" + dir.file("optimised.gif") + "'");
    // gifsicle's file is the kind Open used to lose: frames cut to what changes.
    TGIFImage optimised;
    optimised.LoadFromFile(dir.file("optimised.gif"));
    ASSERT_EQ(optimised.Count(), 10);
    EXPECT_TRUE(std::any_of(optimised.Images.begin(), optimised.Images.end(),
                            [](const auto& f) { return f->Width() < 64 && f->Transparent(); }));
    for (const std::string name : {"made.gif", "optimised.gif"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        const auto coalesced = CoalesceWithImageMagick(dir, path, 64, 48);
        ASSERT_EQ(coalesced.size(), 10u);
        TFrameStrip s;
        OpenGIFFile(s, path);
        ASSERT_EQ(s.Count(), 10);
        TFrameStrip dropped;
        EXPECT_EQ(InsertFiles(dropped, {path}).Inserted, 10);
        for (int i = 0; i < 10; ++i) {
            const TFrameRecord& f = s.FindFrameImage(i);
            EXPECT_EQ(CompareWithCoalesced(f.Bitmap(), f.Transparent(), coalesced[static_cast<std::size_t>(i)]), "")
                << "frame " << i;
            EXPECT_EQ(f.DelayText, std::to_string(3 + i));
            EXPECT_EQ(dropped.FindFrameImage(i).Bitmap(), f.Bitmap()) << i;
            EXPECT_EQ(dropped.FindFrameImage(i).Transparent(), f.Transparent()) << i;
        }
        // The bottom-left pixel is covered in frames 6 and 9 only.
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(s.IsTransparent(i), i != 5 && i != 8) << i;
    }
}

TEST(OpenCommand, DialogAndRememberedFolder)
{
    ScriptedUi ui;
    TempDir dir;
    const std::string path = WriteGif(dir, "one.gif", {SolidFrame(0, 0, 100, 80, 1, 5, -1)});
    TFrameStrip s;
    std::string openDir = "/nowhere";
    ui.AnswerOpenFileCancel();
    OpenCommand(s, openDir);
    EXPECT_EQ(openDir, "/nowhere");
    ui.AnswerOpenFile(path);
    OpenCommand(s, openDir);
    EXPECT_EQ(openDir, dir.path().string());
    EXPECT_EQ(s.Count(), 1);
    ASSERT_GE(ui.Calls().size(), 1u);
}

TEST(ImportImageFile, FitsIntoTheFrameSizeAndKeepsTheSelection)
{
    ScriptedUi ui;
    TempDir dir;
    SaveBmpFile(SolidBitmap(200, 100, kRed), dir.file("wide.BMP"));
    SaveQtFile(SolidBitmap(100, 200, kBlue), dir.file("tall.png"), "PNG");
    SaveQtFile(SolidBitmap(160, 80, kRed), dir.file("photo.Jpeg"), "JPEG");
    SaveBmpFile(SolidBitmap(300, 100, kRed), dir.file("flat.bmp"));
    WriteTestFile(dir.file("notes.txt"), {'h', 'i'});

    TFrameStrip s;
    // An empty strip takes the picture's size.
    ASSERT_TRUE(ImportImageFile(s, dir.file("tall.png")));
    EXPECT_EQ(s.FrameWidth(), 100);
    EXPECT_EQ(s.FrameHeight(), 200);

    TFrameStrip q;
    q.SetFrameSize(80, 80);
    q.Append(SolidBitmap(80, 80, 0xFFFFFF));
    q.SetItemIndex(0);
    q.SetSelected(0, true);
    q.Session.DefaultDelay = 12;
    ASSERT_TRUE(ImportImageFile(q, dir.file("wide.BMP")));
    ASSERT_EQ(q.Count(), 2);
    EXPECT_EQ(q.EntryText(1), "Frame2=12");
    EXPECT_EQ(q.ItemIndex(), 0);
    EXPECT_FALSE(q.IsSelected(1));
    const TBitmap& wide = q.FindFrameImage(1).Bitmap();
    EXPECT_EQ(wide.Pixel(40, 19), clBlack);
    EXPECT_EQ(wide.Pixel(40, 20), kRed);
    EXPECT_EQ(wide.Pixel(0, 59), kRed);
    EXPECT_EQ(wide.Pixel(79, 60), clBlack);
    ASSERT_TRUE(ImportImageFile(q, dir.file("tall.png")));
    const TBitmap& tall = q.FindFrameImage(2).Bitmap();
    EXPECT_EQ(tall.Pixel(19, 40), clBlack);
    EXPECT_EQ(tall.Pixel(20, 40), kBlue);
    EXPECT_EQ(tall.Pixel(59, 0), kBlue);
    EXPECT_EQ(tall.Pixel(60, 79), clBlack);
    EXPECT_EQ(q.FrameLeft(2), 2 * 85);

    // A JPEG (any letter case) fitted the same way: 160 x 80 into 80 x 80 is (0, 20, 80, 60).
    ASSERT_TRUE(ImportImageFile(q, dir.file("photo.Jpeg")));
    const TBitmap& photo = q.FindFrameImage(3).Bitmap();
    EXPECT_EQ(photo.Pixel(40, 10), clBlack);
    EXPECT_GT(GetRValue(photo.Pixel(40, 40)), 240);
    EXPECT_LT(GetBValue(photo.Pixel(40, 40)), 16);

    EXPECT_FALSE(ImportImageFile(q, dir.file("notes.txt")));
    EXPECT_EQ(q.Count(), 4);

    // A flat strip: the wide picture overflows and is cut, no black bars.
    TFrameStrip f;
    f.SetFrameSize(100, 20);
    f.Append(SolidBitmap(100, 20, 0xFFFFFF));
    ASSERT_TRUE(ImportImageFile(f, dir.file("flat.bmp")));
    EXPECT_EQ(f.FindFrameImage(1).Bitmap().Pixel(50, 0), kRed);
    EXPECT_EQ(f.FindFrameImage(1).Bitmap().Pixel(50, 19), kRed);

    // A GIF imports its first frame.
    const std::string gif = WriteGif(dir, "a.gif", {SolidFrame(0, 0, 100, 80, 2, 5, -1), SolidFrame(0, 0, 100, 80, 1, 5, -1)});
    TFrameStrip g;
    ASSERT_TRUE(ImportImageFile(g, gif));
    EXPECT_EQ(g.FindFrameImage(0).Bitmap().Pixel(3, 3), kBlue);
}

TEST(ImportImageFiles, ManyFilesComeInOrderAsOneByOne)
{
    ScriptedUi ui;
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 9; ++i) {
        const TBitmap b = SolidBitmap(40 + i * 10, 30, RGB(i * 25, 255 - i * 20, i * 7));
        paths.push_back(dir.file("p" + std::to_string(i) + (i % 2 ? ".png" : ".bmp")));
        if (i % 2)
            SaveQtFile(b, paths.back(), "PNG");
        else
            SaveBmpFile(b, paths.back());
    }
    paths.push_back(WriteGif(dir, "a.gif", {SolidFrame(0, 0, 40, 30, 1, 5, -1)}));
    TFrameStrip one, many;
    for (const std::string& p : paths)
        ASSERT_TRUE(ImportImageFile(one, p));
    EXPECT_EQ(ImportImageFiles(many, paths), -1);
    ASSERT_EQ(many.Count(), one.Count());
    for (int i = 0; i < one.Count(); ++i) {
        EXPECT_EQ(many.EntryText(i), one.EntryText(i));
        EXPECT_TRUE(many.FindFrameImage(i).Bitmap() == one.FindFrameImage(i).Bitmap()) << i;
    }

    // A file Import does not take stops everything before it starts.
    WriteTestFile(dir.file("notes.txt"), {'h', 'i'});
    TFrameStrip none;
    EXPECT_EQ(ImportImageFiles(none, {paths[0], dir.file("notes.txt")}), 1);
    EXPECT_EQ(none.Count(), 0);
}

// Files given on the command line or dropped: every readable one comes in, in order after
// the frame given; one message names each file refused and why.
TEST(InsertFiles, EveryReadableFileComesInAndOneMessageNamesEachRefused)
{
    ScriptedUi ui;
    TempDir dir;
    SaveQtFile(SolidBitmap(40, 30, kRed), dir.file("a.png"), "PNG");
    WriteTestFile(dir.file("bad.png"), {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    SaveBmpFile(SolidBitmap(20, 10, kBlue), dir.file("b.bmp"));
    WriteTestFile(dir.file("bad.gif"), {'P', 'I', 'F', '8', '9', 'a', 1, 2, 3, 4, 5, 6});
    const std::string gif = WriteGif(dir, "c.gif", {SolidFrame(0, 0, 100, 80, 1, 5, -1), SolidFrame(0, 0, 100, 80, 2, 6, -1)});
    WriteTestFile(dir.file("notes.txt"), {'h', 'i'});
    // Animation names on files that hold none: a still PNG comes in, the rest is refused.
    SaveQtFile(SolidBitmap(40, 30, kGreen), dir.file("still.apng"), "PNG");
    WriteTestFile(dir.file("fake.webp"), {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0});
    const std::vector<std::string> paths{dir.file("a.png"),    dir.file("bad.png"),   dir.file("b.bmp"),
                                         dir.file("bad.gif"),  dir.file("gone.png"),  gif,
                                         dir.file("notes.txt"), dir.file("still.apng"), dir.file("fake.webp")};

    TFrameStrip s;
    s.SetFrameSize(40, 30);
    s.Append(SolidBitmap(40, 30, clWhite));
    s.Append(SolidBitmap(40, 30, clWhite));
    const TInsertResult r = InsertFiles(s, paths, 0);
    EXPECT_EQ(r.Inserted, 5);
    ASSERT_EQ(s.Count(), 7);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap().Pixel(20, 15), kRed);
    EXPECT_EQ(s.FindFrameImage(2).Bitmap().Pixel(20, 15), kBlue);
    EXPECT_EQ(s.EntryText(4).substr(s.EntryText(4).find('=')), "=6");
    EXPECT_EQ(s.FindFrameImage(5).Bitmap().Pixel(20, 15), kGreen);
    EXPECT_EQ(s.FindFrameImage(6).Bitmap().Pixel(20, 15), clWhite);
    EXPECT_EQ(s.ItemIndex(), 1);
    EXPECT_EQ(r.Refused, (std::vector<std::string>{
                             dir.file("bad.png") + ": Not a PNG file", dir.file("bad.gif") + ": Invalid GIF signature",
                             dir.file("fake.webp") + ": not a GIF, picture or animation Anivor can take"}));
    EXPECT_EQ(r.Skipped, (std::vector<std::string>{dir.file("gone.png"), dir.file("notes.txt")}));
    EXPECT_EQ(r.GIFFiles, std::vector<std::string>{gif});

    // The command: one warning with every file not taken.
    TFrameStrip fresh;
    EXPECT_EQ(InsertFilesCommand(fresh, paths), std::vector<std::string>{gif});
    EXPECT_EQ(fresh.Count(), 5);
    EXPECT_EQ(fresh.FrameWidth(), 40);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Errors().empty());
    for (const char* name : {"bad.png: Not a PNG file", "bad.gif: Invalid GIF signature", "gone.png", "notes.txt",
                             "fake.webp"})
        EXPECT_NE(ui.Messages()[0].find(name), std::string::npos) << name;
    // Nothing taken at all: an error.
    ui.ClearCalls();
    TFrameStrip none;
    InsertFilesCommand(none, {dir.file("bad.png")});
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{dir.file("bad.png") + ": Not a PNG file"});
}

// A file the window cannot take is named in the refusal.
TEST(OpenGIFFile, RefusalsNameTheFile)
{
    TempDir dir;
    const std::string file = dir.file("not-a-gif.gif");
    WriteTestFile(file, {'P', 'K', 3, 4, 'n', 'o', 't', ' ', 'a', ' ', 'G', 'I', 'F', 0});
    TFrameStrip strip;
    EXPECT_EQ(ThrownMessage([&] { OpenGIFFileCommand(strip, file); }), file + ": Invalid GIF signature");
    EXPECT_EQ(ThrownMessage([&] { ImportImageFile(strip, file); }), file + ": Invalid GIF signature");
}
