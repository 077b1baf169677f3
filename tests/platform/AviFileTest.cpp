// The AVI services: our writer checked by ffmpeg, our reader checked on files ffmpeg
// makes, and both on bad input.
#include "platform/avi/AviHeader.h"
#include "platform/avi/AviWriter.h"
#include "platform/avi/VideoReader.h"

#include "graphics/MemoryBudget.h"
#include "support/FFmpegTool.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// An 8-bit frame whose pixel (x, y) is index f(x, y) of `palette`.
template <class F>
TBitmap Frame8(int w, int h, const std::vector<TColor>& palette, F f)
{
    TBitmap b(w, h, TPixelFormat::pf8bit);
    b.SetPalette(palette);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.ScanLine(y)[x] = static_cast<std::uint8_t>(f(x, y));
    return b;
}

std::vector<TColor> Ramp(int n, int salt)
{
    std::vector<TColor> p;
    for (int i = 0; i < n; ++i)
        p.push_back(RGB((i * 7 + salt) & 255, (i * 13 + 2 * salt) & 255, (i * 29 + 3 * salt) & 255));
    return p;
}

std::size_t FilesIn(const TempDir& dir)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

} // namespace

TEST(AviWriter, FFmpegReadsBackEveryFrameWithItsOwnPaletteAtTheStreamRate)
{
    TempDir dir;
    const std::string path = dir.file("out.avi");
    // Odd width (rows are padded), a palette change on frame 1, none on frame 2 (same
    // palette again), an empty position 3 and a change back on frame 4.
    const int w = 13, h = 7;
    const std::vector<TColor> a = Ramp(256, 0), b = Ramp(200, 91);
    std::vector<TBitmap> frames = {
        Frame8(w, h, a, [](int x, int y) { return x * 19 + y * 3; }),
        Frame8(w, h, b, [](int x, int y) { return (x + y * w) % 200; }),
        Frame8(w, h, b, [](int x, int y) { return (x * y) % 200; }),
        Frame8(w, h, a, [](int x, int y) { return 255 - x - y; }),
    };
    {
        TAviWriter writer(path, w, h, 10, 100, 5);
        writer.WriteFrame(frames[0]);
        writer.WriteFrame(frames[1]);
        writer.WriteFrame(frames[2]);
        writer.SkipFrame();
        writer.WriteFrame(frames[3]);
        EXPECT_EQ(writer.Length(), 5u);
        writer.Finish();
    }
    EXPECT_EQ(FilesIn(dir), 1u); // no temporary file left

    EXPECT_EQ(FFprobe(path, "r_frame_rate"), "10/1");
    EXPECT_EQ(FFprobe(path, "codec_name"), "rawvideo");
    const std::vector<TBitmap> decoded = DecodeWithFFmpeg(dir, path, w, h);
    ASSERT_EQ(decoded.size(), 4u); // the empty position carries no picture
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(decoded[i] == As24Bit(frames[i])) << "frame " << i;

    // Our reader sees the stream header's values and repeats the frame before an empty
    // position, so later frames keep theirs.
    TVideoReader reader(path);
    EXPECT_TRUE(reader.Info().Avi);
    EXPECT_EQ(reader.Info().Timing.Scale, 10u);
    EXPECT_EQ(reader.Info().Timing.Rate, 100u);
    EXPECT_EQ(reader.Info().Timing.Start, 0u);
    EXPECT_EQ(reader.Info().Timing.Length, 5u);
    const std::vector<int> expected = {0, 1, 2, 2, 3};
    TBitmap got;
    for (std::uint32_t i = 0; i < 5; ++i) {
        reader.ReadFrame(i, got);
        EXPECT_TRUE(got == As24Bit(frames[static_cast<std::size_t>(expected[i])])) << "position " << i;
    }
    // An earlier position starts again from the beginning.
    reader.ReadFrame(1, got);
    EXPECT_TRUE(got == As24Bit(frames[1]));
    EXPECT_NE(ThrownMessage([&] { reader.ReadFrame(5, got); }).find("Failed to decompress AVI frame 5"), std::string::npos);
}

TEST(AviWriter, RefusesWhatAPlainAviCannotHoldAndLeavesTheOldFileOnFailure)
{
    TempDir dir;
    const std::string path = dir.file("out.avi");
    WriteTestFile(path, {'o', 'l', 'd'});
    // 1000 x 1000 frames: 1100 of them pass 1 GB; refused before anything is written.
    EXPECT_NE(ThrownMessage([&] { TAviWriter(path, 1000, 1000, 1, 100, 1100); }).find("larger than 1 GB"), std::string::npos);
    EXPECT_NE(ThrownMessage([&] { TAviWriter(path, 0, 10, 1, 100, 1); }).find("outside 1 to 65535"), std::string::npos);
    EXPECT_NE(ThrownMessage([&] { TAviWriter(path, 70000, 1, 1, 100, 1); }).find("outside 1 to 65535"), std::string::npos);
    {
        // Abandoned half-way: the target is untouched and the temporary file gone.
        TAviWriter writer(path, 4, 4, 1, 100, 2);
        writer.WriteFrame(Frame8(4, 4, Ramp(4, 0), [](int, int) { return 1; }));
        EXPECT_THROW(writer.WriteFrame(Frame8(5, 4, Ramp(4, 0), [](int, int) { return 1; })), EInvalidArgument);
    }
    EXPECT_EQ(ReadTestFile(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(FilesIn(dir), 1u);
}

TEST(AviHeader, FindsTheFirstVideoStreamHeaderAndNeverReadsPastTheBytes)
{
    TempDir dir;
    const std::string path = dir.file("av.avi");
    // Audio first, then video: the video stream's header is the one.
    FFmpeg("-f lavfi -i sine=frequency=440:duration=1 -f lavfi -i testsrc=size=16x16:rate=25:duration=0.12 "
           "-map 0:a -map 1:v -c:a pcm_s16le -c:v rawvideo -pix_fmt bgr24 '" + path + "'");
    const std::vector<unsigned char> bytes = ReadTestFile(path);
    const auto timing = ReadAviStreamTiming(bytes.data(), bytes.size());
    ASSERT_TRUE(timing);
    EXPECT_EQ(timing->Rate / timing->Scale, 25u);
    EXPECT_EQ(timing->Length, 3u);
    // Every prefix either finds the same header or nothing.
    for (std::size_t n = 0; n < bytes.size() && n < 4096; ++n) {
        const std::vector<unsigned char> head(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        const auto t = ReadAviStreamTiming(head.data(), head.size());
        if (t) {
            EXPECT_EQ(t->Length, 3u) << n;
        }
    }
    const std::string text = "RIFF\xff\xff\xff\xff" "AVI LIST\xff\xff\xff\x7fhdrl";
    EXPECT_FALSE(ReadAviStreamTiming(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_FALSE(ReadAviStreamTiming(nullptr, 0));
}

TEST(VideoReader, ReadsEveryCodecAndContainerFFmpegWrites)
{
    TempDir dir;
    struct Case {
        const char* File;
        const char* Codec;
        const char* Rate;
        std::uint32_t Scale, RateValue;
    };
    const Case cases[] = {
        {"raw.avi", "-c:v rawvideo -pix_fmt bgr24", "15", 1, 15},
        {"mjpeg.avi", "-c:v mjpeg -q:v 3", "30", 1, 30},
        {"mpeg4.avi", "-c:v mpeg4", "25", 1, 25},
        {"h264.avi", "-c:v libx264 -preset ultrafast", "10", 1, 10},
        {"h264.mp4", "-c:v libx264 -preset ultrafast", "10", 1, 10},
        {"vp8.webm", "-c:v libvpx -b:v 200k", "20", 1, 20},
        {"mjpeg.mkv", "-c:v mjpeg", "12", 1, 12},
        {"mpeg4.mov", "-c:v mpeg4", "5", 1, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        const std::string path = dir.file(c.File);
        MakeVideo(path, c.Codec, 32, 24, c.Rate, 6);
        TVideoReader reader(path);
        const TVideoStreamInfo& info = reader.Info();
        EXPECT_EQ(info.Width, 32);
        EXPECT_EQ(info.Height, 24);
        EXPECT_EQ(info.Timing.Start, 0u);
        EXPECT_EQ(info.Timing.Length, 6u);
        EXPECT_EQ(std::uint64_t(info.Timing.Rate) * c.Scale, std::uint64_t(c.RateValue) * info.Timing.Scale);
        int n = 0;
        TBitmap frame;
        while (reader.NextFrame(frame)) {
            EXPECT_EQ(frame.Width(), 32);
            EXPECT_EQ(frame.PixelFormat(), TPixelFormat::pf24bit);
            ++n;
        }
        EXPECT_EQ(n, 6);
    }
    // Uncompressed frames come out exactly as ffmpeg decodes them.
    const std::vector<TBitmap> reference = DecodeWithFFmpeg(dir, dir.file("raw.avi"), 32, 24);
    TVideoReader raw(dir.file("raw.avi"));
    TBitmap frame;
    for (std::uint32_t i = 0; i < 6; ++i) {
        raw.ReadFrame(i, frame);
        EXPECT_TRUE(frame == reference[i]) << i;
    }
    // The same file from memory.
    TVideoReader memory(ReadTestFile(dir.file("raw.avi")));
    memory.ReadFrame(3, frame);
    EXPECT_TRUE(frame == reference[3]);
}

TEST(VideoReader, BadFilesGetClearMessagesBeforeAnythingLarge)
{
    TempDir dir;
    const std::string good = dir.file("good.avi");
    MakeVideo(good, "-c:v rawvideo -pix_fmt bgr24", 32, 24, "15", 4);
    const std::vector<unsigned char> bytes = ReadTestFile(good);
    auto write = [&](const std::string& name, std::vector<unsigned char> b) {
        WriteTestFile(dir.file(name), b);
        return dir.file(name);
    };
    auto openError = [&](const std::string& path) { return ThrownMessage([&] { TVideoReader r(path); }); };

    EXPECT_EQ(openError(dir.file("missing.avi")), "Failed to open AVI file: " + dir.file("missing.avi") + " does not exist");
    EXPECT_EQ(openError(dir.path().string()), "Failed to open AVI file: " + dir.path().string() + " is not a file");
    EXPECT_EQ(openError(write("text.avi", {'h', 'e', 'l', 'l', 'o'})).rfind("Failed to open AVI file: not a video file", 0), 0u);
    EXPECT_EQ(openError(write("empty.avi", {})).rfind("Failed to open AVI file", 0), 0u);
    // A playlist is not followed to the files it names.
    const std::string list = "#EXTM3U\n#EXTINF:1,\n" + good + "\n";
    EXPECT_EQ(openError(write("list.m3u8", std::vector<unsigned char>(list.begin(), list.end()))).rfind("Failed to open AVI file", 0), 0u);

    const std::string audio = dir.file("audio.avi");
    FFmpeg("-f lavfi -i sine=duration=0.2 -c:a pcm_s16le '" + audio + "'");
    EXPECT_EQ(openError(audio), "Failed to open AVI stream: the file holds no video");

    std::vector<unsigned char> huge = bytes;
    PatchChunkField(huge, "strf", 4, 65535);
    PatchChunkField(huge, "strf", 8, 65535);
    PatchChunkField(huge, "avih", 32, 65535);
    PatchChunkField(huge, "avih", 36, 65535);
    EXPECT_NE(openError(write("huge.avi", huge)).find("AVI frame is too large (65535 x 65535 pixels"), std::string::npos);

    // Cut in the middle of the frames: the frames that are there read, the rest fail.
    std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    TVideoReader truncated(write("cut.avi", cut));
    EXPECT_EQ(truncated.Info().Timing.Length, 4u);
    TBitmap frame;
    const std::string error = ThrownMessage([&] {
        for (std::uint32_t i = 0; i < 4; ++i)
            truncated.ReadFrame(i, frame);
    });
    EXPECT_EQ(error.rfind("Failed to decompress AVI frame ", 0), 0u) << error;
    // Every prefix of the file is refused or read without a crash.
    for (std::size_t n = 0; n < bytes.size(); n += 97) {
        std::vector<unsigned char> head(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        try {
            TVideoReader r(std::vector<std::uint8_t>(head.begin(), head.end()));
            while (r.NextFrame(frame)) {
            }
        } catch (const EVideoError&) {
        }
    }
}
