// anivor-cli avi2gif and gif2avi: whole conversions and failures that write nothing (the
// progress bar on a terminal: ProgressTest.cpp).
#include "CliRunner.h"
#include "graphics/BmpFile.h"
#include "gif/GiflibHelpers.h"
#include "support/FFmpegTool.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

TEST(ConverterCommands, Avi2GifConvertsAndFailsWithoutWritingAnything)
{
    TempDir dir;
    const std::string video = dir.file("clip.mp4");
    MakeVideo(video, "-c:v libx264 -preset ultrafast -pix_fmt yuv420p", 32, 24, "25", 5);
    const CliRun r = RunCli(dir, "avi2gif " + video + " -o " + dir.file("clip.gif"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_NE(r.Out.find("5 frames, 32 x 24, delay 4"), std::string::npos) << r.Out;
    const GLFile gl = GiflibDecode(ReadTestFile(dir.file("clip.gif")));
    EXPECT_EQ(gl.Width, 32);
    EXPECT_EQ(gl.Loops, 0);

    WriteTestFile(dir.file("text.avi"), {'x'});
    const CliRun bad = RunCli(dir, "avi2gif " + dir.file("text.avi") + " -o " + dir.file("text.gif"));
    EXPECT_EQ(bad.Exit, 1);
    EXPECT_NE(bad.Err.find("Failed to open AVI file"), std::string::npos) << bad.Err;
    std::vector<unsigned char> cut = ReadTestFile(dir.file("clip.mp4"));
    cut.resize(cut.size() / 2);
    WriteTestFile(dir.file("cut.mp4"), cut);
    const CliRun truncated = RunCli(dir, "avi2gif " + dir.file("cut.mp4") + " -o " + dir.file("cut.gif"));
    EXPECT_EQ(truncated.Exit, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("text.gif")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("cut.gif")));

    EXPECT_EQ(RunCli(dir, "avi2gif " + video).Exit, 2);
    EXPECT_EQ(RunCli(dir, "avi2gif -o x.gif").Exit, 2);
    EXPECT_EQ(RunCli(dir, "avi2gif a b -o x.gif").Exit, 2);
}

TEST(ConverterCommands, Avi2GifBestPaletteComesCloserToTheVideo)
{
    // The web palette stays the default; Best chooses one table for the whole video and
    // writes it with far less error against the decoded frames.
    TempDir dir;
    const std::string video = dir.file("clip.mp4");
    MakeVideo(video, "-c:v libx264 -preset ultrafast -pix_fmt yuv444p", 64, 48, "25", 6);
    FFmpeg("-i '" + video + "' -pix_fmt bgr24 '" + dir.file("f%d.bmp") + "'");
    auto squaredError = [&](const std::string& gif) {
        const GLFile gl = GiflibDecode(ReadTestFile(gif));
        EXPECT_EQ(gl.Frames.size(), 6u);
        double sum = 0;
        // Frame 0 is whole (later frames may be cut to what changed).
        const TBitmap frame = LoadBmpFile(dir.file("f1.bmp"));
        const GLFrame& f = gl.Frames[0];
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const TColor c = frame.Pixel(x, y);
                const TGIFColor g = (f.LocalTable ? f.Colors : gl.Global)[f.Pixels[static_cast<std::size_t>(y * 64 + x)]];
                sum += std::pow(GetRValue(c) - g.Red, 2) + std::pow(GetGValue(c) - g.Green, 2) + std::pow(GetBValue(c) - g.Blue, 2);
            }
        return sum;
    };
    ASSERT_EQ(RunCli(dir, "avi2gif " + video + " -o " + dir.file("web.gif")).Exit, 0);
    const CliRun best = RunCli(dir, "avi2gif --palette best " + video + " -o " + dir.file("best.gif"));
    ASSERT_EQ(best.Exit, 0) << best.Err;
    EXPECT_LT(squaredError(dir.file("best.gif")) * 4, squaredError(dir.file("web.gif")));
    EXPECT_EQ(RunCli(dir, "avi2gif --palette rainbow " + video + " -o " + dir.file("x.gif")).Exit, 2);
    EXPECT_EQ(RunCli(dir, "avi2gif --palette none " + video + " -o " + dir.file("x.gif")).Exit, 2);
}

TEST(ConverterCommands, Gif2AviWritesWhatFFmpegReads)
{
    TempDir dir;
    const std::string video = dir.file("clip.avi");
    MakeVideo(video, "-c:v rawvideo -pix_fmt bgr24", 16, 12, "10", 4);
    ASSERT_EQ(RunCli(dir, "avi2gif " + video + " -o " + dir.file("clip.gif")).Exit, 0);
    const CliRun r = RunCli(dir, "gif2avi " + dir.file("clip.gif") + " -o " + dir.file("back.avi"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_NE(r.Out.find("16 x 12, 10/100 s a frame"), std::string::npos) << r.Out;
    EXPECT_EQ(FFprobe(dir.file("back.avi"), "r_frame_rate"), "10/1");
    EXPECT_EQ(DecodeWithFFmpeg(dir, dir.file("back.avi"), 16, 12).size(), 4u);

    EXPECT_EQ(RunCli(dir, "gif2avi " + video + " -o " + dir.file("no.avi")).Exit, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("no.avi")));
    EXPECT_EQ(RunCli(dir, "gif2avi " + dir.file("clip.gif")).Exit, 2);
}
