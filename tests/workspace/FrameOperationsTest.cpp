// Frame image operations on the strip: the scrolls against hand-made pixels, how results
// come back (size, format, transparency, the views told), the overlay of the next frame,
// rotation, saving a frame, and nothing at all without a frame.
#include "workspace/FrameOperations.h"

#include "effects/GeometricEffects.h"
#include "effects/PixelEffects.h"
#include "graphics/BmpFile.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>

namespace {

const std::vector<std::pair<char, TColor>> kLegend{
    {'A', RGB(200, 10, 10)}, {'B', RGB(10, 200, 10)}, {'C', RGB(10, 10, 200)}, {'.', clWhite}, {'k', clBlack}};

// A strip holding the pictures as frames, the first selected.
TFrameStrip StripOf(const std::vector<TBitmap>& pictures)
{
    TFrameStrip s;
    s.SetFrameSize(pictures[0].Width(), pictures[0].Height());
    for (const TBitmap& p : pictures)
        s.Append(p);
    s.SelectOnly(0);
    return s;
}

std::vector<std::string> Rows(const TFrameStrip& s, int i)
{
    return RowsFromBitmap(s.FindFrameImage(i).Bitmap(), kLegend);
}

} // namespace

TEST(FrameOperations, CircularScrollsByOnePixel)
{
    TFrameStrip row = StripOf({BitmapFromRows({"ABC"}, kLegend)});
    ScrollFrame(row, 0, TScrollDirection::Left);
    EXPECT_EQ(Rows(row, 0), std::vector<std::string>{"BCA"});
    ScrollFrame(row, 0, TScrollDirection::Right);
    ScrollFrame(row, 0, TScrollDirection::Right);
    EXPECT_EQ(Rows(row, 0), std::vector<std::string>{"CAB"});

    TFrameStrip column = StripOf({BitmapFromRows({"A", "B", "C"}, kLegend)});
    ScrollFrame(column, 0, TScrollDirection::Up);
    EXPECT_EQ(Rows(column, 0), (std::vector<std::string>{"B", "C", "A"}));
    ScrollFrame(column, 0, TScrollDirection::Down);
    ScrollFrame(column, 0, TScrollDirection::Down);
    EXPECT_EQ(Rows(column, 0), (std::vector<std::string>{"C", "A", "B"}));

    // Wider rows: every row turns on its own; a single pixel stays.
    TFrameStrip block = StripOf({BitmapFromRows({"AB.", "kCA"}, kLegend)});
    ScrollFrame(block, 0, TScrollDirection::Right);
    EXPECT_EQ(Rows(block, 0), (std::vector<std::string>{".AB", "AkC"}));
    TFrameStrip one = StripOf({BitmapFromRows({"A"}, kLegend)});
    for (TScrollDirection d : {TScrollDirection::Up, TScrollDirection::Down, TScrollDirection::Left, TScrollDirection::Right})
        ScrollFrame(one, 0, d);
    EXPECT_EQ(Rows(one, 0), std::vector<std::string>{"A"});
}

TEST(FrameOperations, ResultsComeBackAs24BitKeepingTransparency)
{
    TBitmap palette = BitmapFromRows({"AB", "C."}, kLegend);
    palette.SetPixelFormat(TPixelFormat::pf8bit);
    TFrameStrip s = StripOf({palette});
    s.SetTransparent(0, true);
    ASSERT_EQ(s.FindFrameImage(0).Bitmap().PixelFormat(), TPixelFormat::pf8bit);
    int pixels = 0;
    s.Subscribe([&](TStripChange c) { pixels += c == TStripChange::Pixels; });
    const std::uint64_t version = s.FindFrameImage(0).Version;

    FlipFrameLeftRight(s, 0);
    EXPECT_EQ(Rows(s, 0), (std::vector<std::string>{"BA", ".C"}));
    EXPECT_EQ(s.FindFrameImage(0).Bitmap().PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_TRUE(s.IsTransparent(0));
    EXPECT_EQ(pixels, 1);
    EXPECT_NE(s.FindFrameImage(0).Version, version);

    FlipFrameTopDown(s, 0);
    EXPECT_EQ(Rows(s, 0), (std::vector<std::string>{".C", "BA"}));
    InvertFrame(s, 0);
    InvertFrame(s, 0);
    EXPECT_EQ(Rows(s, 0), (std::vector<std::string>{".C", "BA"}));
    MirrorFrameRight(s, 0);
    EXPECT_EQ(Rows(s, 0), (std::vector<std::string>{"..", "BB"}));
    EXPECT_TRUE(s.IsTransparent(0));

    // Blur, trace and shadows are the library's operations on the frame's copy.
    TBitmap dot = SolidBitmap(9, 7, clWhite);
    dot.SetPixel(4, 3, clBlack);
    TFrameStrip n = StripOf({dot});
    const TBitmap before = n.FindFrameImage(0).Bitmap();
    BlurFrame(n, 0);
    TBitmap blurred = before;
    qorFX::SplitBlur(blurred, 2);
    EXPECT_EQ(n.FindFrameImage(0).Bitmap(), blurred);
    // The bands along the right and bottom edges blur with their own pixels: a white
    // corner far from a red patch at the top left stays white but for the faint trace the
    // in-place blur carries across (it once took the patch's colour from the opposite
    // edge and became (190, 118, 118)).
    TBitmap corner = SolidBitmap(12, 10, clWhite);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            corner.SetPixel(x, y, clRed);
    TFrameStrip c = StripOf({corner});
    BlurFrame(c, 0);
    for (const TPoint p : {TPoint(11, 9), TPoint(11, 0), TPoint(0, 9), TPoint(10, 8)}) {
        const TColor px = c.FindFrameImage(0).Bitmap().Pixel(p.X, p.Y);
        EXPECT_GE(std::min({GetRValue(px), GetGValue(px), GetBValue(px)}), 248) << p.X << "," << p.Y;
    }
    EXPECT_NE(c.FindFrameImage(0).Bitmap().Pixel(2, 2), clRed); // the patch itself blurs
    ReplaceFrameBitmap(n, 0, before);
    ShadowFrame(n, 0, TShadowDirection::DownRight);
    TBitmap shadow = before;
    qorFX::ShadowDownRight(shadow);
    EXPECT_EQ(n.FindFrameImage(0).Bitmap(), shadow);
}

TEST(FrameOperations, OverlayOfTheNextFrame)
{
    const TBitmap black = SolidBitmap(4, 2, clBlack);
    TBitmap next = SolidBitmap(4, 2, RGB(10, 200, 10));
    next.SetPixel(1, 0, clWhite); // white pixels are never drawn
    TFrameStrip s = StripOf({black, next});
    OverlayNextFrame(s, 0, false);
    // 50%: every pixel with x + y odd.
    EXPECT_EQ(Rows(s, 0), (std::vector<std::string>{"kkkB", "BkBk"}));
    EXPECT_EQ(s.FindFrameImage(1).Bitmap(), next);
    // On the last frame nothing happens.
    const TBitmap last = s.FindFrameImage(1).Bitmap();
    OverlayNextFrame(s, 1, false);
    OverlayNextFrame(s, 1, true);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap(), last);

    TFrameStrip q = StripOf({black, SolidBitmap(4, 2, RGB(10, 200, 10))});
    OverlayNextFrame(q, 0, true);
    const TBitmap expected = [&] {
        TBitmap a = black;
        qorFX::Overlay25(SolidBitmap(4, 2, RGB(10, 200, 10)), a);
        return a;
    }();
    EXPECT_EQ(q.FindFrameImage(0).Bitmap(), expected);
}

TEST(FrameOperations, RotateByTheRotationAngle)
{
    const TBitmap picture = BitmapFromRows({"AAB..", "A.B..", "CCCkk", "..k..", "....."}, kLegend);
    TFrameStrip s = StripOf({picture});
    s.Session.RotationAngle = 90;
    RotateFrame(s, 0);
    TBitmap expected = picture;
    qorFX::SmoothRotate(picture, expected, 2, 2, 90);
    EXPECT_EQ(s.FindFrameImage(0).Bitmap(), expected);
    EXPECT_NE(expected, picture);
}

TEST(FrameOperations, SaveAsAsksAboutTheFileItWrites)
{
    TempDir dir;
    TFrameStrip s = StripOf({BitmapFromRows({"AB", "Ck"}, kLegend)});
    ScriptedUi ui;
    ui.AnswerSaveFile(dir.file("frame.png"));
    EXPECT_EQ(SaveFrameAsCommand(s, 0, dir.path()), dir.file("frame.bmp"));
    const TUiCall& dialog = ui.Last();
    EXPECT_EQ(dialog.FileOptions.Filters, std::vector<std::string>{"Bitmap Files|*.bmp"});
    EXPECT_EQ(dialog.FileOptions.DefaultExt, "bmp");
    EXPECT_EQ(dialog.FileOptions.InitialDir, dir.path());
    // The dialog does not ask about the name typed: the name written is asked about below.
    EXPECT_FALSE(dialog.FileOptions.OverwritePrompt);
    EXPECT_FALSE(std::filesystem::exists(dir.file("frame.png")));
    ASSERT_TRUE(std::filesystem::exists(dir.file("frame.bmp")));
    EXPECT_EQ(RowsFromBitmap(LoadBmpFile(dir.file("frame.bmp")), kLegend), (std::vector<std::string>{"AB", "Ck"}));
    EXPECT_EQ(BitmapFileName("/a.b/name"), "/a.b/name.bmp");
    EXPECT_EQ(BitmapFileName("x.tar.gz"), "x.tar.bmp");

    // Name typed, the files there before, the answer to "replace?", whether a question
    // came, and what frame.bmp holds afterwards ("old" or the frame).
    WriteTestFile(dir.file("a.png"), {'p', 'n', 'g'});
    const struct {
        const char* Typed;
        bool Exists;
        bool Yes;
        bool Asked;
        bool Written;
    } cases[] = {
        {"frame.gif", true, false, true, false}, // frame.bmp exists: asked, kept on No
        {"frame.gif", true, true, true, true},   // replaced on Yes
        {"frame.bmp", true, false, true, false},
        {"a.png", false, false, false, true},    // a.bmp is new: no question though a.png exists
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        const std::string written = BitmapFileName(dir.file(c.Typed));
        std::filesystem::remove(written);
        if (c.Exists)
            WriteTestFile(written, {'o', 'l', 'd'});
        const std::size_t calls = ui.Calls().size();
        ui.AnswerSaveFile(dir.file(c.Typed));
        if (c.Asked)
            ui.AnswerConfirm(c.Yes);
        EXPECT_EQ(SaveFrameAsCommand(s, 0, dir.path()), c.Written ? written : std::string());
        const std::vector<TUiCall> confirms = ui.CallsOf(TUiCallKind::Confirm);
        const bool asked = ui.Calls().size() == calls + 2;
        EXPECT_EQ(asked, c.Asked);
        if (asked)
            EXPECT_NE(confirms.back().Text.find(std::filesystem::path(written).filename().string()), std::string::npos);
        EXPECT_EQ(std::filesystem::file_size(written) == 3, !c.Written);
    }
    EXPECT_EQ(ReadTestFile(dir.file("a.png")), (std::vector<std::uint8_t>{'p', 'n', 'g'}));
    // Cancel writes nothing.
    const auto files = std::distance(std::filesystem::directory_iterator(dir.path()), {});
    ui.AnswerSaveFileCancel();
    EXPECT_EQ(SaveFrameAsCommand(s, 0, dir.path()), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), files);
}

TEST(FrameOperations, NothingWithoutAFrame)
{
    TFrameStrip s = StripOf({BitmapFromRows({"AB", "Ck"}, kLegend)});
    const TBitmap before = s.FindFrameImage(0).Bitmap();
    ScriptedUi ui;
    for (const TFrameOperation& op : FrameOperations()) {
        op.Apply(s, -1);
        op.Apply(s, 1);
    }
    SaveFrameAsCommand(s, -1, "");
    EXPECT_TRUE(ui.Calls().empty());
    EXPECT_EQ(s.FindFrameImage(0).Bitmap(), before);
    // The names the command line uses.
    ASSERT_NE(FindFrameOperation("scroll-left"), nullptr);
    EXPECT_STREQ(FindFrameOperation("SCROLL LEFT")->Name, "Scroll Left");
    EXPECT_STREQ(FindFrameOperation("overlay 25%")->Name, "Overlay 25%");
    EXPECT_EQ(FindFrameOperation("Sharpen"), nullptr);
    EXPECT_EQ(FrameOperations().size(), 20u);
}
