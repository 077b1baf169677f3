// anivor-cli avi2gif and gif2avi: whole conversions, the progress line on a terminal, and
// failures that write nothing.
#include "CliRunner.h"
#include "gif/GiflibHelpers.h"
#include "support/FFmpegTool.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

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

TEST(ConverterCommands, Gif2AviWritesWhatFFmpegReadsWithAProgressLineOnATerminal)
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

    // Under a terminal the frames are counted on one line.
    const std::string log = dir.file("tty.txt");
    RunShell("script -qc \"'" + std::string(ANIVOR_CLI_PATH) + "' gif2avi '" + dir.file("clip.gif") + "' -o '"
             + dir.file("tty.avi") + "'\" /dev/null > '" + log + "'");
    EXPECT_NE(ReadTextFile(log).find("\rFrame 4 of 4"), std::string::npos);

    EXPECT_EQ(RunCli(dir, "gif2avi " + video + " -o " + dir.file("no.avi")).Exit, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("no.avi")));
    EXPECT_EQ(RunCli(dir, "gif2avi " + dir.file("clip.gif")).Exit, 2);
}
