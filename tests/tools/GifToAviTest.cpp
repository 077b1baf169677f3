// GIF to AVI: the frame duration rule, and every AVI read back by ffmpeg to exactly the
// pictures a browser shows for the GIF.
#include "tools/GifToAvi.h"

#include "gif/GIFOptimizeFrames.h"
#include "platform/avi/AviHeader.h"
#include "platform/avi/VideoReader.h"
#include "support/FFmpegTool.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const TColor kRed = RGB(220, 20, 30), kGreen = RGB(10, 200, 40), kBlue = RGB(30, 40, 210), kYellow = RGB(250, 240, 5);
const std::vector<std::pair<char, TColor>> kLegend = {{'R', kRed}, {'G', kGreen}, {'B', kBlue}, {'Y', kYellow}};

// A GIF of full-screen frames with these delays (-1: no graphic control) and, when
// `localOnFirst`, a local colour table on frame 0.
std::unique_ptr<TGIFImage> Delays(std::initializer_list<int> delays, bool localOnFirst)
{
    auto gif = std::make_unique<TGIFImage>();
    gif->Header.Width = 2;
    gif->Header.Height = 2;
    gif->GlobalColorMap().Assign(GIFColors({kRed, kGreen}));
    bool first = true;
    for (int d : delays) {
        FramePlan plan{0, 0, {"01", "10"}};
        plan.Delay = d;
        if (first && localOnFirst)
            plan.Table = {kBlue, kYellow};
        AddFrame(*gif, plan);
        first = false;
    }
    return gif;
}

TAviStreamTiming TimingOf(const std::string& path)
{
    const std::vector<unsigned char> bytes = ReadTestFile(path);
    const auto t = ReadAviStreamTiming(bytes.data(), bytes.size());
    return t ? *t : TAviStreamTiming{};
}

std::vector<std::string> Rows(const TBitmap& b) { return RowsFromBitmap(b, kLegend); }

std::size_t FilesIn(const TempDir& dir)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

} // namespace

TEST(GifToAvi, FrameDurationIsTheLastDelayUnlessALocalTableStopsTheWalk)
{
    EXPECT_EQ(GifAviFrameDuration(*Delays({10, 10, 10}, false)), 10u);
    EXPECT_EQ(GifAviFrameDuration(*Delays({-1, -1}, false)), 1u);
    EXPECT_EQ(GifAviFrameDuration(*Delays({5, 20, 20}, false)), 20u);
    EXPECT_EQ(GifAviFrameDuration(*Delays({5, 20, 20}, true)), 5u);
    EXPECT_EQ(GifAviFrameDuration(*Delays({0, 20, 30}, true)), 20u);

    // The stream plays at the GIF's pace: delay 10 is 10 frames a second.
    TempDir dir;
    const std::string path = dir.file("ten.avi");
    WriteGifAsAvi(*Delays({10, 10, 10}, false), path);
    const TAviStreamTiming t = TimingOf(path);
    EXPECT_EQ(t.Scale, 10u);
    EXPECT_EQ(t.Rate, 100u);
    EXPECT_EQ(t.Start, 0u);
    EXPECT_EQ(t.Length, 3u);
    EXPECT_EQ(FFprobe(path, "r_frame_rate"), "10/1");
    WriteGifAsAvi(*Delays({-1, -1}, false), path);
    EXPECT_EQ(FFprobe(path, "r_frame_rate"), "100/1");

    EXPECT_EQ(GifAviFileName("/a/b.c/anim.gif"), "/a/b.c/anim.AVI");
    EXPECT_EQ(GifAviFileName("/a/b.c/anim"), "/a/b.c/anim.AVI");
}

TEST(GifToAvi, OptimisedFramesAreComposedOnTheScreenAsABrowserShowsThem)
{
    // A 6 x 4 screen on a yellow background: a full frame, then smaller frames that keep,
    // restore to the background (with transparent pixels) and restore to the previous.
    TGIFImage gif;
    gif.Header.Width = 6;
    gif.Header.Height = 4;
    gif.GlobalColorMap().Assign(GIFColors({kRed, kGreen, RGB(1, 2, 3), kBlue, kYellow}));
    gif.Header.BackgroundColorIndex = 4;
    AddFrame(gif, {0, 0, {"000000", "000000", "000000", "000000"}, {}, 10});
    AddFrame(gif, {1, 1, {"11", "11"}, {}, 10, 1});
    AddFrame(gif, {3, 0, {"21", "12"}, {}, 10, 2, 2});
    AddFrame(gif, {0, 2, {"333", "333"}, {}, 10, 3});
    gif.AddEmptyFrame(); // no image data: its position stays empty
    AddFrame(gif, {5, 3, {"1"}, {}, 10});
    const std::vector<std::vector<std::string>> screens = {
        {"RRRRRR", "RRRRRR", "RRRRRR", "RRRRRR"},
        {"RRRRRR", "RGGRRR", "RGGRRR", "RRRRRR"},
        {"RRRRGR", "RGGGRR", "RGGRRR", "RRRRRR"},
        {"RRRYYR", "RGGYYR", "BBBRRR", "BBBRRR"},
        {"RRRYYR", "RGGYYR", "RGGRRR", "RRRRRG"},
    };
    TempDir dir;
    const std::string path = dir.file("composed.avi");
    const TGifToAviResult result = WriteGifAsAvi(gif, path);
    EXPECT_EQ(result.Frames, 6u);
    EXPECT_FALSE(result.Aborted);
    EXPECT_EQ(TimingOf(path).Length, 6u);
    // One palette serves: no palette changes in the file.
    const std::vector<unsigned char> bytes = ReadTestFile(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("00pc"), std::string::npos);

    const std::vector<TBitmap> decoded = DecodeWithFFmpeg(dir, path, 6, 4);
    ASSERT_EQ(decoded.size(), screens.size());
    for (std::size_t i = 0; i < screens.size(); ++i)
        EXPECT_EQ(Rows(decoded[i]), screens[i]) << "frame " << i;
    // The frame after the empty position keeps its place in the stream.
    TVideoReader reader(path);
    TBitmap frame;
    reader.ReadFrame(4, frame);
    EXPECT_EQ(Rows(frame), screens[3]);
    reader.ReadFrame(5, frame);
    EXPECT_EQ(Rows(frame), screens[4]);
}

TEST(GifToAvi, FramesWithTheirOwnColourTablesKeepTheirColours)
{
    // Three full frames, each with 256 colours of its own (768 in all), and a small frame
    // whose local colours are drawn over them: more than 256 colours on one screen.
    const int w = 32, h = 16;
    TGIFImage gif;
    gif.Header.Width = w;
    gif.Header.Height = h;
    std::vector<TBitmap> expected;
    TBitmap screen(w, h, TPixelFormat::pf24bit);
    for (int k = 0; k < 3; ++k) {
        std::vector<TColor> table;
        for (int i = 0; i < 256; ++i)
            table.push_back(RGB((i * 5 + k * 80) & 255, (i * 11 + k * 3) & 255, (i * 17 + 50 * k) & 255));
        std::vector<std::string> rows;
        TGIFSubImage* f = AddFrame(gif, {0, 0, std::vector<std::string>(h, std::string(w, '0')), table, 7});
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int index = (x + y * w + k * 37) & 255;
                f->ScanLine(y)[x] = static_cast<std::uint8_t>(index);
                screen.SetPixel(x, y, table[static_cast<std::size_t>(index)]);
            }
        f->Changed();
        expected.push_back(screen);
    }
    std::vector<TColor> small;
    for (int i = 0; i < 64; ++i)
        small.push_back(RGB(i * 4, 255 - i, 7));
    TGIFSubImage* f = AddFrame(gif, {4, 4, std::vector<std::string>(8, std::string(8, '0')), small, 7});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            f->ScanLine(y)[x] = static_cast<std::uint8_t>(x + 8 * y);
            screen.SetPixel(4 + x, 4 + y, small[static_cast<std::size_t>(x + 8 * y)]);
        }
    f->Changed();
    expected.push_back(screen);

    TempDir dir;
    const std::string path = dir.file("local.avi");
    WriteGifAsAvi(gif, path);
    const std::vector<TBitmap> decoded = DecodeWithFFmpeg(dir, path, w, h);
    ASSERT_EQ(decoded.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(decoded[i] == expected[i]) << "frame " << i;
    // The last screen holds 256 - 64 + 64... colours beyond one palette: it is reduced,
    // and ffmpeg still reads exactly what we wrote.
    TVideoReader reader(path);
    TBitmap ours;
    reader.ReadFrame(3, ours);
    EXPECT_TRUE(decoded[3] == ours);
    EXPECT_EQ(TimingOf(path).Scale, 7u);
}

TEST(GifToAvi, SavingAgainReplacesTheFileAndAbortKeepsTheFramesWrittenSoFar)
{
    TempDir dir;
    const std::string path = dir.file("anim.AVI");
    WriteGifAsAvi(*Delays({10, 10, 10, 10, 10}, false), path);
    const std::vector<unsigned char> first = ReadTestFile(path);
    WriteGifAsAvi(*Delays({20, 20}, false), path);
    EXPECT_NE(ReadTestFile(path), first);
    EXPECT_EQ(TimingOf(path).Length, 2u);
    EXPECT_EQ(FilesIn(dir), 1u);

    TGifToAviView view;
    int count = 0;
    view.Begin = [&](int n) { count = n; };
    view.Step = [](int i) { return i < 3; };
    const TGifToAviResult result = WriteGifAsAvi(*Delays({10, 10, 10, 10, 10}, false), path, view);
    EXPECT_EQ(count, 5);
    EXPECT_TRUE(result.Aborted);
    EXPECT_EQ(result.Frames, 3u);
    EXPECT_EQ(DecodeWithFFmpeg(dir, path, 2, 2).size(), 3u);
}

TEST(GifToAvi, RefusesWhatCannotBeWrittenAndKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = dir.file("out.avi");
    WriteTestFile(path, {'o', 'l', 'd'});
    TGIFImage empty;
    EXPECT_THROW(WriteGifAsAvi(empty, path), GIFException);
    // Five frames of a 16000 x 16000 screen pass 1 GB: refused before any frame is drawn.
    TGIFImage huge;
    huge.Header.Width = 16000;
    huge.Header.Height = 16000;
    huge.GlobalColorMap().Assign(GIFColors({kRed, kGreen}));
    for (int i = 0; i < 5; ++i)
        AddFrame(huge, {i, i, {"1"}, {}, 10});
    try {
        WriteGifAsAvi(huge, path);
        FAIL() << "written";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "The AVI file would be larger than 1 GB, more than a plain AVI file can hold");
    }
    EXPECT_EQ(ReadTestFile(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(FilesIn(dir), 1u);
}
