#include "workspace/Assembly.h"
#include "workspace/StripCommands.h"

#include "gif/GiflibHelpers.h"
#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor kRed = 0x0000FF;   // TColor is 0x00BBGGRR
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kGreen = 0x00FF00;
constexpr TColor kWhite = 0xFFFFFF;

// A strip of frames of 8 x 6, each from rows of characters.
TFrameStrip StripOf(const std::vector<std::vector<std::string>>& frames)
{
    TFrameStrip s;
    s.SetFrameSize(8, 6);
    for (const auto& rows : frames)
        s.Append(BitmapFromRows(rows, {{'r', kRed}, {'b', kBlue}, {'g', kGreen}, {'w', kWhite}, {'k', 0}}));
    return s;
}

std::vector<std::string> Fill(char c) { return std::vector<std::string>(6, std::string(8, c)); }

TGIFColor Rgb(TColor c) { return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
                                  static_cast<std::uint8_t>((c >> 16) & 0xFF)}; }

} // namespace

TEST(CreateAnimation, DelaysTransparencyLoopsAndOneGlobalTable)
{
    ScriptedUi ui;
    std::vector<std::string> second = Fill('b');
    second[5][0] = 'r'; // bottom-left: the transparent colour
    second[0][3] = 'r';
    second[2][2] = 'g';
    second[4][6] = 'k'; // black stays opaque although the transparent entry is black too
    TFrameStrip s = StripOf({Fill('w'), second, Fill('g')});
    s.SetDelayText(0, "10");
    s.SetDelayText(1, "20");
    s.SetDelayText(2, "30");
    s.SetTransparent(1, true);
    s.SetLoopCount(3);
    int shown = 0;
    TAssemblyView view;
    view.ShowFrame = [&](const TBitmap& b) {
        ++shown;
        EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit); // the user sees the reduced frame
    };
    const TAssemblyResult r = CreateAnimation(s, false, {}, view);
    ASSERT_TRUE(r.Succeeded());
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(ui.WaitDepth(), 0);

    const std::vector<std::uint8_t> bytes = AnimationBytes(*r.Document);
    EXPECT_EQ(r.Size, static_cast<std::int64_t>(bytes.size()));
    const GLFile gl = GiflibDecode(bytes);
    EXPECT_EQ(gl.Loops, 3);
    ASSERT_EQ(gl.Frames.size(), 3u);
    ASSERT_FALSE(gl.Global.empty());
    for (const GLFrame& f : gl.Frames)
        EXPECT_FALSE(f.LocalTable);
    EXPECT_EQ(gl.Frames[0].Delay, 10);
    EXPECT_EQ(gl.Frames[1].Delay, 20);
    EXPECT_EQ(gl.Frames[2].Delay, 30);
    EXPECT_EQ(gl.Frames[0].Transparent, -1);
    EXPECT_EQ(gl.Frames[2].Transparent, -1);
    const int t = gl.Frames[1].Transparent;
    ASSERT_GE(t, 0);
    // The transparent entry is the table's last colour (the file pads the table to a power of 2).
    for (const GLFrame& f : gl.Frames)
        for (std::uint8_t p : f.Pixels)
            EXPECT_LE(p, t);
    EXPECT_EQ(gl.Global[static_cast<std::size_t>(t)], (TGIFColor{0, 0, 0}));
    // Every red pixel of frame 1 is transparent, the others keep their colours.
    const GLFrame& f1 = gl.Frames[1];
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const int index = f1.Pixels[static_cast<std::size_t>(y * 8 + x)];
            if (second[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == 'r')
                EXPECT_EQ(index, t) << x << "," << y;
            else
            {
                const char c = second[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                EXPECT_NE(index, t) << x << "," << y;
                EXPECT_EQ(gl.Global[static_cast<std::size_t>(index)], Rgb(c == 'g' ? kGreen : c == 'k' ? 0 : kBlue));
            }
        }
    EXPECT_EQ(gl.Global[gl.Frames[2].Pixels[0]], Rgb(kGreen));

    // Frame 0 carries the loop extension, then the graphic control; disposal stays 0.
    const TGIFSubImage& first = *r.Document->Images[0];
    ASSERT_EQ(first.Extensions.size(), 2u);
    EXPECT_NE(dynamic_cast<TGIFAppExtNSLoop*>(first.Extensions[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<TGIFGraphicControlExtension*>(first.Extensions[1].get()), nullptr);
    EXPECT_EQ(r.Document->Images[1]->Extensions.size(), 1u);
    EXPECT_EQ(r.Document->Images[1]->GraphicControlExtension()->Disposal(), 0);
    // The result keeps the last assembled frame, reduced, at 24 bits.
    EXPECT_EQ(r.LastFrame.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(r.LastFrame.Pixel(0, 0), kGreen);
}

TEST(CreateAnimation, SelectionDelayTextAndLoopWrap)
{
    ScriptedUi ui;
    TFrameStrip s = StripOf({Fill('r'), Fill('g'), Fill('b'), Fill('w')});
    s.SetSelected(0, true);
    s.SetSelected(2, true);
    s.SetSelected(3, false);
    s.SetDelayText(2, "soon"); // not a number: written as 30
    ui.AnswerInput("70000");
    SetLoopsCommand(s);
    EXPECT_EQ(s.LoopCount(), 70000);
    TAssemblyOptions o;
    o.Reduction.Dither = dmNearest;
    const TAssemblyResult r = CreateAnimation(s, true, o);
    ASSERT_TRUE(r.Succeeded());
    const GLFile gl = GiflibDecode(AnimationBytes(*r.Document));
    ASSERT_EQ(gl.Frames.size(), 2u);
    EXPECT_EQ(gl.Loops, 4464); // the low 16 bits of 70000
    EXPECT_EQ(gl.Global[gl.Frames[0].Pixels[0]], Rgb(kRed));
    EXPECT_EQ(gl.Global[gl.Frames[1].Pixels[0]], Rgb(kBlue));
    EXPECT_EQ(gl.Frames[1].Delay, 30);
    EXPECT_EQ(r.Document->Images[1]->Extensions.size(), 1u);

    ui.AnswerInput("many");
    SetLoopsCommand(s);
    EXPECT_EQ(s.LoopCount(), 0);

    // Nothing selected: an empty document, nothing to measure.
    s.ClearSelection();
    const TAssemblyResult none = CreateAnimation(s, true, o);
    EXPECT_TRUE(none.Document->Empty());
    EXPECT_EQ(none.Size, -1);
}

TEST(CreateAnimation, FailureKeepsWhatWasBuiltAndItsSize)
{
    ScriptedUi ui;
    TFrameStrip s;
    s.SetFrameSize(32, 32);
    s.Append(SolidBitmap(32, 32, kRed));
    TBitmap many(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            many.SetPixel(x, y, static_cast<TColor>(x * 8 | (y * 8) << 8 | 0x400000));
    s.Append(many);
    TAssemblyOptions o;
    o.Reduction.Palette = rmNone;
    const TAssemblyResult r = CreateAnimation(s, false, o);
    ASSERT_FALSE(r.Succeeded());
    try {
        std::rethrow_exception(r.Error);
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
    EXPECT_EQ(ui.WaitDepth(), 0);
    ASSERT_EQ(r.Document->Count(), 1);
    EXPECT_EQ(r.Size, static_cast<std::int64_t>(AnimationBytes(*r.Document).size()));
}

TEST(CreateAnimation, MergeAndCropStillShowTheSameFrames)
{
    ScriptedUi ui;
    std::vector<std::string> moved = Fill('w');
    moved[2][3] = 'r';
    TFrameStrip s = StripOf({Fill('w'), moved, moved});
    TAssemblyOptions plain;
    plain.Reduction.Dither = dmNearest;
    TAssemblyOptions opt = plain;
    opt.Merge = opt.Crop = true;
    const TAssemblyResult a = CreateAnimation(s, false, plain);
    const TAssemblyResult b = CreateAnimation(s, false, opt);
    ASSERT_TRUE(a.Succeeded());
    ASSERT_TRUE(b.Succeeded());
    EXPECT_LT(b.Size, a.Size);
    // Compose the optimised file with giflib: every frame looks as the strip's frame.
    const GLFile gl = GiflibDecode(AnimationBytes(*b.Document));
    std::vector<TGIFColor> screen(48, TGIFColor{1, 2, 3});
    std::vector<std::vector<TGIFColor>> shown;
    for (const GLFrame& f : gl.Frames) {
        const auto& pal = f.Colors;
        for (int y = 0; y < f.Height; ++y)
            for (int x = 0; x < f.Width; ++x) {
                const int i = f.Pixels[static_cast<std::size_t>(y * f.Width + x)];
                if (i != f.Transparent)
                    screen[static_cast<std::size_t>((f.Top + y) * 8 + f.Left + x)] = pal[static_cast<std::size_t>(i)];
            }
        shown.push_back(screen);
    }
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back()[2 * 8 + 3], Rgb(kRed));
    EXPECT_EQ(shown.back()[0], Rgb(kWhite));
    EXPECT_EQ(shown.front()[2 * 8 + 3], Rgb(kWhite));
}

TEST(CreateAnimation, TheFileIsTheSameOnOneThreadAndOnMany)
{
    ScriptedUi ui;
    TFrameStrip s;
    s.SetFrameSize(40, 30);
    for (int f = 0; f < 9; ++f) {
        TBitmap b(40, 30);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                b.SetPixel(x, y, RGB((x * 6 + f * 20) & 0xFF, (y * 8 + f * 9) & 0xFF, (x * y + f * 30) & 0xFF));
        s.Append(b);
    }
    s.SetTransparent(4, true);
    for (const bool framePalettes : {false, true}) {
        TAssemblyOptions one;
        one.FramePalettes = framePalettes;
        one.Threads = 1;
        TAssemblyOptions many = one;
        many.Threads = 4;
        const TAssemblyResult a = CreateAnimation(s, false, one);
        const TAssemblyResult b = CreateAnimation(s, false, many);
        ASSERT_TRUE(a.Succeeded());
        ASSERT_TRUE(b.Succeeded());
        EXPECT_EQ(a.Bytes, b.Bytes) << (framePalettes ? "frame palettes" : "merged");
        EXPECT_EQ(a.Bytes, AnimationBytes(*a.Document));
    }
}

TEST(CreateAnimation, FramePalettesKeepEveryFramesOwnColours)
{
    ScriptedUi ui;
    // Three frames of many colours each, the second transparent.
    TFrameStrip s;
    s.SetFrameSize(32, 24);
    std::vector<TBitmap> sources;
    for (int f = 0; f < 3; ++f) {
        TBitmap b(32, 24);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x)
                b.SetPixel(x, y, RGB((x * 8 + f * 70) & 0xFF, (y * 10 + f * 40) & 0xFF, ((x + y) * 5 + f * 90) & 0xFF));
        sources.push_back(b);
        s.Append(b);
    }
    s.SetTransparent(1, true);
    s.SetDelayText(2, "25");
    TAssemblyOptions o;
    o.FramePalettes = true;
    const TAssemblyResult r = CreateAnimation(s, false, o);
    ASSERT_TRUE(r.Succeeded());
    const GLFile gl = GiflibDecode(r.Bytes);
    EXPECT_TRUE(gl.Global.empty());
    ASSERT_EQ(gl.Frames.size(), 3u);
    for (int f = 0; f < 3; ++f) {
        const GLFrame& frame = gl.Frames[static_cast<std::size_t>(f)];
        EXPECT_TRUE(frame.LocalTable) << f;
        // Every pixel shows the colour the reduction gave it (the transparent ones aside).
        const TBitmap reduced = ReduceFrame(sources[static_cast<std::size_t>(f)], o.Reduction);
        const TColor key = reduced.Pixel(0, 23);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x) {
                const int i = frame.Pixels[static_cast<std::size_t>(y * 32 + x)];
                if (f == 1 && reduced.Pixel(x, y) == key) {
                    EXPECT_EQ(i, frame.Transparent) << x << "," << y;
                    continue;
                }
                ASSERT_NE(i, frame.Transparent);
                EXPECT_EQ(frame.Colors[static_cast<std::size_t>(i)], Rgb(reduced.Pixel(x, y))) << f << ": " << x << "," << y;
            }
    }
    EXPECT_EQ(gl.Frames[0].Transparent, -1);
    EXPECT_GE(gl.Frames[1].Transparent, 0);
    EXPECT_EQ(gl.Frames[2].Delay, 25);
    EXPECT_EQ(gl.Loops, 0);
}

TEST(PreviewWizardFrames, DefaultDelayDefTransAndLoopForever)
{
    ScriptedUi ui;
    TFrameStrip s = StripOf({Fill('w')});
    s.ResetWizardList();
    std::vector<std::string> rows = Fill('b');
    s.AddWizardImage(BitmapFromRows(rows, {{'b', kBlue}}));
    s.AddWizardImage(BitmapFromRows(Fill('g'), {{'g', kGreen}}));
    s.Session.DefaultDelay = 15;
    s.Session.DefTrans = true;
    s.SetLoopCount(7);
    const TAssemblyResult r = PreviewWizardFrames(s, {});
    ASSERT_TRUE(r.Succeeded());
    const GLFile gl = GiflibDecode(AnimationBytes(*r.Document));
    ASSERT_EQ(gl.Frames.size(), 2u);
    EXPECT_EQ(gl.Loops, 0);
    EXPECT_EQ(gl.Frames[0].Delay, 15);
    EXPECT_EQ(gl.Frames[1].Delay, 15);
    EXPECT_GE(gl.Frames[0].Transparent, 0);
    EXPECT_EQ(gl.Frames[0].Pixels[0], gl.Frames[0].Transparent);
}

TEST(PreviewSave, GifOrBmpByState)
{
    ScriptedUi ui;
    EXPECT_EQ(PreviewSaveDialog(TPreviewState::Stopped, "/x/images").DefaultExt, "bmp");
    EXPECT_EQ(PreviewSaveDialog(TPreviewState::Animation, "/x/images").Filters.front(), "GIF Image|*.gif");
    // File names are case-sensitive here: the extension added is lower case, as everywhere.
    EXPECT_EQ(PreviewSaveDialog(TPreviewState::Animation, "/x/images").DefaultExt, "gif");

    TFrameStrip s = StripOf({Fill('w'), Fill('r')});
    const TAssemblyResult r = CreateAnimation(s, false, {});
    TempDir dir;
    SavePreview(dir.file("a.gif"), TPreviewState::Animation, r.Document.get(), r.LastFrame);
    const auto gif = ReadFileBytes(dir.file("a.gif"));
    EXPECT_EQ(static_cast<std::int64_t>(gif.size()), r.Size);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    SavePreview(dir.file("a.bmp"), TPreviewState::Stopped, r.Document.get(), r.LastFrame);
    const TBitmap bmp = LoadBmpFile(dir.file("a.bmp"));
    EXPECT_EQ(bmp.Width(), 8);
    EXPECT_EQ(bmp.Pixel(4, 4), kRed); // the last assembled frame

    // Nothing to save is an error, not a silent success.
    EXPECT_THROW(SavePreview(dir.file("none.gif"), TPreviewState::Animation, nullptr, r.LastFrame), std::exception);
    EXPECT_THROW(SavePreview(dir.file("none.bmp"), TPreviewState::Stopped, nullptr, TBitmap()), std::exception);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.gif")));
}

namespace {

// Bytes written to memory, as a file would take them.
class TMemorySink final : public TFileSink {
public:
    using TFileSink::Write;
    void Write(const void* data, std::size_t size) override
    {
        const auto* p = static_cast<const std::uint8_t*>(data);
        Bytes.insert(Bytes.end(), p, p + size);
    }
    void WriteAt(std::uint64_t offset, const void* data, std::size_t size) override
    {
        std::copy_n(static_cast<const std::uint8_t*>(data), size, Bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    std::vector<std::uint8_t> Bytes;
};

} // namespace

// The file written while the frames are made is the very file of the built document, for
// every way of choosing colours, with frames held as they are and compressed: under the
// lower budget the 216 KB of reduced frames are more than an eighth of it, so only the
// first 48 KB wait uncompressed; under the higher one they all do.
TEST(WriteAnimation, WritesTheBuiltDocumentsFileHoldingFramesCompressed)
{
    ScriptedUi ui;
    TFrameStrip s;
    s.SetFrameSize(96, 64);
    for (int f = 0; f < 36; ++f) {
        TBitmap b(96, 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 96; ++x) {
                std::uint8_t* p = b.ScanLine(y) + 3 * x;
                const bool block = x / 16 == f % 6 && y < 32;
                p[0] = static_cast<std::uint8_t>(block ? 20 : x * 2 + f);     // blue: a ramp that moves
                p[1] = static_cast<std::uint8_t>(block ? 200 : y * 3);        // green
                p[2] = static_cast<std::uint8_t>(((x * 7 + y * 13 + f * 29) % 17) * 15); // red: busy
            }
        s.Append(std::move(b));
        s.SetDelayText(f, std::to_string(5 + f));
        // Every fourth frame flat (its few colours fit its table) and transparent.
        if (f % 4 == 3) {
            s.StorePicture(f, SolidBitmap(96, 64, f % 8 == 3 ? kRed : kBlue));
            s.SetTransparent(f, true);
        }
    }
    s.SetLoopCount(7);
    struct Case {
        TReduceSettings Reduction;
        bool FramePalettes;
    };
    const Case cases[] = {
        {{rmQuantizeWindows, 8, dmFloydSteinberg}, false},
        {{rmQuantizeWindows, 8, dmFloydSteinberg}, true},
        {{rmQuantize, 3, dmStucki}, false},
        {{rmNetscape, 8, dmNearest}, false},
        {{rmBest, 8, dmFloydSteinberg}, false},
        {{rmBest, 6, dmNearest}, true},
    };
    for (const std::uint64_t budget : {std::uint64_t(3) << 19, std::uint64_t(3) << 20}) {
        const MemoryBudget::TScopedLimit limit(budget);
        EXPECT_EQ(RawHoldAllowance(36, 96, 64), budget > (std::uint64_t(2) << 20) ? 36 * 96 * 64 : budget / 32);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(PaletteName(c.Reduction.Palette)) + (c.FramePalettes ? " frame palettes" : "")
                         + " budget " + std::to_string(budget));
            TAssemblyOptions o;
            o.Reduction = c.Reduction;
            o.FramePalettes = c.FramePalettes;
            const TAssemblyResult built = CreateAnimation(s, false, o);
            ASSERT_TRUE(built.Succeeded());
            for (const int threads : {1, 3}) {
                o.Threads = threads;
                TMemorySink sink;
                int shown = 0;
                TAssemblyView view;
                view.ShowFrame = [&](const TBitmap&) { ++shown; };
                const TAnimationWritten written = WriteAnimation(StripAssemblyInput(s, false), sink, o, view);
                EXPECT_EQ(shown, 36);
                EXPECT_EQ(written.Frames, 36);
                EXPECT_EQ(written.Size, sink.Bytes.size());
                EXPECT_TRUE(sink.Bytes == built.Bytes) << "threads " << threads << ": " << sink.Bytes.size() << " bytes against "
                                                       << built.Bytes.size();
            }
        }
    }
}
