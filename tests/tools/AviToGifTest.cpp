// AVI to GIF: timing from the stream header, which frames, every codec, abort and bad
// files; the videos come from ffmpeg.
#include "tools/AviToGif.h"

#include "gif/ColorReduction.h"
#include "gif/GiflibHelpers.h"
#include "graphics/MemoryBudget.h"
#include "support/FFmpegTool.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string MakeRaw(const TempDir& dir, const std::string& name, const std::string& rate, int frames)
{
    const std::string path = dir.file(name);
    MakeVideo(path, "-c:v rawvideo -pix_fmt bgr24", 16, 12, rate, frames);
    return path;
}

std::string Patched(const TempDir& dir, const std::string& from, const std::string& name,
                    std::initializer_list<std::pair<std::size_t, std::uint32_t>> strhFields)
{
    std::vector<unsigned char> bytes = ReadTestFile(from);
    for (const auto& [offset, value] : strhFields)
        PatchChunkField(bytes, "strh", offset, value);
    WriteTestFile(dir.file(name), bytes);
    return dir.file(name);
}

constexpr std::size_t kScale = 20, kRate = 24, kStart = 28, kLength = 32;

bool HasLoop(const TGIFSubImage& f)
{
    for (const auto& e : f.Extensions)
        if (dynamic_cast<const TGIFAppExtNSLoop*>(e.get()))
            return true;
    return false;
}

} // namespace

TEST(AviToGif, OneDelayForEveryFrameFromTheStreamRate)
{
    EXPECT_EQ(AviFrameDelay({1, 15, 0, 0}), 7);
    EXPECT_EQ(AviFrameDelay({1, 30, 0, 0}), 3);
    EXPECT_EQ(AviFrameDelay({250, 0, 0, 0}), 2);
    EXPECT_EQ(AviFrameDelay({1, 40, 0, 0}), 3); // 2.5 rounds up
    EXPECT_EQ(AviFrameDelay({1001, 30000, 0, 0}), 3);
    EXPECT_EQ(AviFrameDelay({4000000000u, 1, 0, 0}), 65535);

    TempDir dir;
    const std::string fifteen = MakeRaw(dir, "15.avi", "15", 3);
    struct Case {
        std::string Path;
        int Delay;
    };
    const Case cases[] = {{fifteen, 7}, {MakeRaw(dir, "30.avi", "30", 3), 3},
                          {Patched(dir, fifteen, "rate0.avi", {{kScale, 250}, {kRate, 0}}), 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        const std::unique_ptr<TGIFImage> gif = ConvertAviToGif(c.Path);
        ASSERT_TRUE(gif);
        ASSERT_EQ(gif->Count(), 3);
        for (int i = 0; i < 3; ++i) {
            const TGIFSubImage& f = *gif->Images[static_cast<std::size_t>(i)];
            EXPECT_EQ(f.Delay(), c.Delay);
            // Only the first frame loops, forever.
            EXPECT_EQ(HasLoop(f), i == 0);
        }
        const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(gif->Images[0]->Extensions[0].get());
        ASSERT_TRUE(loop);
        EXPECT_EQ(loop->Loops(), 0);
    }
}

TEST(AviToGif, ConvertsThePositionsFromStartToLengthMinusOneInTheWebPalette)
{
    TempDir dir;
    const std::string five = MakeRaw(dir, "five.avi", "10", 5);
    const std::string started = Patched(dir, five, "start2.avi", {{kStart, 2}});
    const std::vector<TBitmap> decoded = DecodeWithFFmpeg(dir, five, 16, 12);
    ASSERT_EQ(decoded.size(), 5u);

    std::vector<std::uint32_t> steps;
    std::uint32_t first = 0, end = 0;
    int shown = 0;
    TAviToGifView view;
    view.Begin = [&](std::uint32_t a, std::uint32_t b) { first = a, end = b; };
    view.Step = [&](std::uint32_t p) {
        steps.push_back(p);
        return true;
    };
    view.ShowFrame = [&](const TBitmap&) { ++shown; };
    const std::unique_ptr<TGIFImage> gif = ConvertAviToGif(started, view);
    ASSERT_TRUE(gif);
    EXPECT_EQ(first, 2u);
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(steps, (std::vector<std::uint32_t>{2, 3, 4}));
    EXPECT_EQ(shown, 3);
    // Positions 2, 3, 4 are the stream's first three frames, each reduced to the web
    // palette with Floyd-Steinberg.
    ASSERT_EQ(gif->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const TBitmap expected = ReduceColors(decoded[static_cast<std::size_t>(i)], rmNetscape, dmFloydSteinberg, 8);
        const TGIFSubImage& f = *gif->Images[static_cast<std::size_t>(i)];
        ASSERT_EQ(f.Width(), 16);
        ASSERT_EQ(f.Height(), 12);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(f.ActiveColorMap().ColorValue(f.Pixel(x, y)), expected.Pixel(x, y)) << i << " " << x << "," << y;
    }
}

TEST(AviToGif, EveryCodecConvertsWithItsFrameCountAndDelayAndSavesAGifGiflibReads)
{
    TempDir dir;
    const std::pair<const char*, const char*> cases[] = {
        {"mjpeg.avi", "-c:v mjpeg"},
        {"mpeg4.avi", "-c:v mpeg4"},
        {"h264.avi", "-c:v libx264 -preset ultrafast"},
        {"h264.mp4", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"},
    };
    for (const auto& [name, codec] : cases) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        MakeVideo(path, codec, 32, 24, "20", 5);
        const std::unique_ptr<TGIFImage> gif = ConvertAviToGif(path);
        ASSERT_TRUE(gif);
        EXPECT_EQ(gif->Count(), 5);
        EXPECT_EQ(gif->Width(), 32);
        for (const auto& f : gif->Images)
            EXPECT_EQ(f->Delay(), 5);
        const std::string out = dir.file(std::string(name) + ".gif");
        SaveConvertedGif(*gif, out);
        const GLFile file = GiflibDecode(ReadTestFile(out));
        EXPECT_EQ(file.Width, 32);
        EXPECT_EQ(file.Loops, 0);
        // The optimiser may fold a repeated frame into the one before: the time stays.
        int total = 0;
        for (const GLFrame& f : file.Frames)
            total += f.Delay;
        EXPECT_EQ(total, 25);
    }
}

TEST(AviToGif, AbortAndBadFilesLeaveNoGif)
{
    TempDir dir;
    const std::string path = MakeRaw(dir, "six.avi", "10", 6);
    TAviToGifView view;
    int steps = 0;
    view.Step = [&](std::uint32_t) { return ++steps <= 2; };
    EXPECT_EQ(ConvertAviToGif(path, view), nullptr);
    EXPECT_EQ(steps, 3);

    EXPECT_EQ(ThrownMessage([&] { ConvertAviToGif(Patched(dir, path, "none.avi", {{kLength, 0}})); }),
              "The video holds no frames to convert");
    EXPECT_EQ(ThrownMessage([&] { ConvertAviToGif(Patched(dir, path, "late.avi", {{kStart, 6}})); }),
              "The video holds no frames to convert");
    {
        // Refused from what the file holds, before any frame is decoded.
        const std::string three = Patched(dir, MakeRaw(dir, "300.avi", "10", 300), "claims.avi", {{kLength, 3000}});
        MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + 300000);
        const std::string error = ThrownMessage([&] { ConvertAviToGif(three); });
        EXPECT_EQ(error.rfind("Not enough memory", 0), 0u) << error;
        EXPECT_NE(error.find("300 GIF frames of 16 x 12 pixels"), std::string::npos) << error;
    }
    // Cut inside its first frame: nothing to convert.
    std::vector<unsigned char> bytes = ReadTestFile(path);
    const std::size_t movi = std::string(bytes.begin(), bytes.end()).find("movi");
    bytes.resize(movi + 4 + 8 + 100);
    WriteTestFile(dir.file("cut.avi"), bytes);
    EXPECT_EQ(ThrownMessage([&] { ConvertAviToGif(dir.file("cut.avi")); }),
              "Failed to decompress AVI frame 0: the file ends inside it");
}

// A cut video, or one whose header claims more frames than it holds, gives the frames
// before the first that cannot be read, with a warning naming that frame; they are the
// frames ffmpeg decodes from the whole file.
TEST(AviToGif, CutAndOverClaimingVideosKeepTheFramesBeforeTheFirstThatCannotBeRead)
{
    TempDir dir;
    const std::string raw = MakeRaw(dir, "thirty.avi", "10", 30);
    const std::string h264 = dir.file("thirty.mp4");
    MakeVideo(h264, "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -movflags +faststart", 16, 12, "10", 30);
    // The raw AVI cut in the middle of frame 27's chunk (its index at the end is lost too).
    std::vector<unsigned char> bytes = ReadTestFile(raw);
    std::size_t at = std::string(bytes.begin(), bytes.end()).find("movi") + 4;
    for (int frame = 0; frame < 27; ++frame)
        at += 8 + (bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16);
    bytes.resize(at + 8 + 200);
    WriteTestFile(dir.file("cut.avi"), bytes);
    // The MP4 cut in its last few frames.
    std::vector<unsigned char> mp4 = ReadTestFile(h264);
    mp4.resize(mp4.size() - 150);
    WriteTestFile(dir.file("cut.mp4"), mp4);

    struct Case {
        std::string Path, Source, Reason;
        int Frames; // -1: any number from 20 to 29
    };
    const Case cases[] = {
        {dir.file("cut.avi"), raw, "the file ends inside it", 27},
        {Patched(dir, MakeRaw(dir, "six.avi", "10", 6), "eight.avi", {{kLength, 8}}), raw, "the file ends before it", 6},
        {Patched(dir, dir.file("six.avi"), "billion.avi", {{kLength, 1000000000}}), raw, "the file ends before it", 6},
        {dir.file("cut.mp4"), h264, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path);
        std::vector<std::string> warnings;
        TAviToGifView view;
        view.Warning = [&](const std::string& w) { warnings.push_back(w); };
        const std::unique_ptr<TGIFImage> gif = ConvertAviToGif(c.Path, view);
        ASSERT_TRUE(gif);
        const int n = gif->Count();
        if (c.Frames >= 0)
            EXPECT_EQ(n, c.Frames);
        else
            EXPECT_TRUE(n >= 20 && n < 30) << n;
        ASSERT_EQ(warnings.size(), 1u);
        const std::string named = "Failed to decompress AVI frame " + std::to_string(n) + ": ";
        EXPECT_EQ(warnings[0].rfind(named + c.Reason, 0), 0u) << warnings[0];
        const std::vector<TBitmap> decoded = DecodeWithFFmpeg(dir, c.Source, 16, 12);
        ASSERT_GE(static_cast<int>(decoded.size()), n);
        for (int i = 0; i < n; ++i) {
            const TBitmap expected = ReduceColors(decoded[static_cast<std::size_t>(i)], rmNetscape, dmFloydSteinberg, 8);
            const TGIFSubImage& f = *gif->Images[static_cast<std::size_t>(i)];
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(f.ActiveColorMap().ColorValue(f.Pixel(x, y)), expected.Pixel(x, y)) << i << " " << x << "," << y;
        }
    }
}
